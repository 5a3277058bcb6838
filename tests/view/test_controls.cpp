#include "controls/Icons.h"
#include "controls/ImageButton.h"

#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

using namespace cdk;

namespace {

// Every key the program asks a picture for: menus, greyed priorities, grid,
// toolbar, tray and window.
const QStringList kProgramKeys = QStringLiteral(
    "SAVE RESTORE WRENCH TRAY EXIT PLUS EDITTASK DELETE MANAGE RECURRENT DONE UNDONE FLAG "
    "PRIORITY URGENTP HIGHESTP HIGHP NORMALP LOWP LOWESTP FOLDERFLAT CLOCK RESET MOVERIGHT "
    "MOVELEFT MOVEX PLAY STOP HELP INFO URGENTGP HIGHESTGP HIGHGP NORMALGP LOWGP LOWESTGP "
    "CHECK UNCHECK CHECKBOX SORTUP SORTDOWN ADDTASK DELETETASK STARTTIME MANAGEPROJECTS "
    "MANAGECATEGORIES SETTINGS PREVIOUSDAY STOPTIMER FINISHIT NEXTDAY TODAY CHECKHIGH "
    "TRAYNORMAL TRAYPLAY TRAYDONE APP").split(QLatin1Char(' '));

// Pixels that are not transparent, and whether all of them are grey.
struct Ink
{
    int count = 0;
    bool allGrey = true;
};

Ink inkOf(const QPixmap &pm)
{
    Ink ink;
    const QImage img = pm.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.alpha() < 200)
                continue;
            ++ink.count;
            if (qAbs(c.red() - c.green()) > 2 || qAbs(c.green() - c.blue()) > 2)
                ink.allGrey = false;
        }
    }
    return ink;
}

} // namespace

class TestControls final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyProgramKeyHasItsOwnPicture()
    {
        for (const QString &key : kProgramKeys) {
            QVERIFY2(hasIconForKey(key), qPrintable(key));
            const QPixmap pm = iconForKey(key).pixmap(QSize(16, 16));
            QVERIFY2(QFile::exists(iconFileForKey(key)), qPrintable(key));
            QVERIFY2(inkOf(pm).count > 0, qPrintable(key));
        }
        // An unknown key still draws something.
        QVERIFY(!hasIconForKey(QStringLiteral("P")));
        QVERIFY(inkOf(iconForKey(QStringLiteral("P")).pixmap(QSize(24, 24))).count > 0);
    }

    void greyedAndDisabledLooksAreGrey()
    {
        const Ink urgent = inkOf(iconForKey(QStringLiteral("URGENTP")).pixmap(QSize(24, 24)));
        QVERIFY(!urgent.allGrey);
        const Ink greyed = inkOf(iconForKey(QStringLiteral("URGENTGP")).pixmap(QSize(24, 24)));
        QVERIFY(greyed.count > 0);
        QVERIFY(greyed.allGrey);
        const Ink disabled =
            inkOf(iconForKey(QStringLiteral("CHECK")).pixmap(QSize(24, 24), QIcon::Disabled));
        QVERIFY(disabled.count > 0);
        QVERIFY(disabled.allGrey);
    }

    void buttonStatesAndClicks()
    {
        isButton b;
        b.setIcon(iconForKey(QStringLiteral("ADDTASK")));
        b.setTag(QStringLiteral("ADDTASK"));
        b.resize(10, 10);
        QCOMPARE(b.size(), QSize(20, 20));
        b.resize(24, 24);
        b.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b));
        QSignalSpy clicked(&b, &QAbstractButton::clicked);
        QTest::mouseClick(&b, Qt::RightButton);
        QCOMPARE(clicked.count(), 0);
        QTest::mousePress(&b, Qt::LeftButton);
        QCOMPARE(b.look(), isButton::Look::Pressed);
        QTest::mouseRelease(&b, Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(b.look(), isButton::Look::Hot);
        b.setEnabled(false);
        QCOMPARE(b.look(), isButton::Look::Disabled);
        b.setEnabled(true);
        QCOMPARE(b.look(), isButton::Look::Normal);
        QCOMPARE(b.property("tag").toString(), QStringLiteral("ADDTASK"));
        // Every look paints without trouble.
        QVERIFY(!b.grab().isNull());
    }

};

QTEST_MAIN(TestControls)
#include "test_controls.moc"
