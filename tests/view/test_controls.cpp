#include "controls/GradientPanel.h"
#include "controls/Icons.h"
#include "controls/ImageButton.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
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
    QColor any;
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
            ink.any = c;
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
    }

    void unknownKeyIsNeverBlank()
    {
        QVERIFY(!hasIconForKey(QStringLiteral("P")));
        const QIcon icon = iconForKey(QStringLiteral("P"));
        QVERIFY(!icon.isNull());
        QVERIFY(inkOf(icon.pixmap(QSize(24, 24))).count > 0);
    }

    void crispAtHighPixelRatio()
    {
        const QPixmap pm = iconForKey(QStringLiteral("CLOCK")).pixmap(QSize(16, 16), 2.0);
        QCOMPARE(pm.size(), QSize(32, 32));
        QCOMPARE(pm.devicePixelRatio(), 2.0);
    }

    void drawnInThePalettesTextColour()
    {
        const QPalette saved = QGuiApplication::palette();
        QPalette pal = saved;
        pal.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee)); // a dark theme's text
        QGuiApplication::setPalette(pal);
        const Ink plain = inkOf(iconForKey(QStringLiteral("SAVE")).pixmap(QSize(32, 32)));
        QVERIFY(plain.count > 0);
        QCOMPARE(plain.any.rgb(), QColor(0xee, 0xee, 0xee).rgb());
        // Tints stay readable on the dark background.
        QVERIFY(iconColorForKey(QStringLiteral("URGENTP"), pal.color(QPalette::Text)).lightness() > 110);
        QGuiApplication::setPalette(saved);
        const Ink dark = inkOf(iconForKey(QStringLiteral("SAVE")).pixmap(QSize(32, 32)));
        QCOMPARE(dark.any.rgb(), saved.color(QPalette::Text).rgb());
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

    void lighten()
    {
        QCOMPARE(isButton::Lighten(QColor(0, 0, 0), 32), QColor(32, 32, 32));
        QCOMPARE(isButton::Lighten(QColor(255, 255, 255), 176), QColor(255, 255, 255));
        QCOMPARE(isButton::Lighten(QColor(100, 0, 200), 128), QColor(177, 128, 227));
    }

    void buttonIconPlacement_data()
    {
        QTest::addColumn<QSize>("button");
        QTest::addColumn<int>("align");
        QTest::addColumn<QPoint>("at");
        QTest::newRow("centred") << QSize(24, 24) << 0 << QPoint(4, 4);
        QTest::newRow("left") << QSize(40, 24) << 1 << QPoint(3, 4);
        QTest::newRow("right") << QSize(40, 24) << 2 << QPoint(21, 4);
        QTest::newRow("top") << QSize(24, 40) << 3 << QPoint(4, 3);
        QTest::newRow("bottom") << QSize(24, 40) << 4 << QPoint(4, 21);
    }
    void buttonIconPlacement()
    {
        QFETCH(QSize, button);
        QFETCH(int, align);
        QFETCH(QPoint, at);
        isButton b;
        b.setIconSize(QSize(16, 16));
        b.setIconAlign(align);
        b.resize(button);
        QCOMPARE(b.iconPosition(), at);
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

    void gradientRunsAlongTheAngle()
    {
        GradientPanel panel;
        panel.resize(100, 40);
        panel.setColors(QColor(Qt::black), QColor(Qt::white));
        panel.setAngle(0);
        QImage img = panel.grab().toImage();
        QVERIFY(img.pixelColor(2, 20).lightness() < 20);
        QVERIFY(img.pixelColor(97, 20).lightness() > 235);
        panel.setAngle(90); // bottom to top
        img = panel.grab().toImage();
        QVERIFY(img.pixelColor(50, 38).lightness() < 20);
        QVERIFY(img.pixelColor(50, 1).lightness() > 235);
        panel.setBorder(true);
        panel.setBorderColor(QColor(Qt::red));
        img = panel.grab().toImage();
        QCOMPARE(img.pixelColor(0, 20), QColor(Qt::red));
        QCOMPARE(img.pixelColor(99, 20), QColor(Qt::red));
    }
};

QTEST_MAIN(TestControls)
#include "test_controls.moc"
