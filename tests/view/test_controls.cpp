#include "controls/Icons.h"
#include "controls/ImageButton.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QSvgRenderer>
#include <QTest>

#include <climits>

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

// The sizes the program draws at, and their doubles for high-DPI screens.
const QList<int> kMaskSides = {16, 20, 24, 32, 40, 48, 64, 96};

// A key drawn straight from its SVG in the colour the program gives it.
QImage svgReference(const QString &key, int side, const QColor &text)
{
    QFile f(iconFileForKey(key));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QByteArray svg = f.readAll();
    svg.replace("currentColor", iconColorForKey(key, text).name().toLatin1());
    QSvgRenderer renderer(svg);
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    renderer.render(&p, QRectF(0, 0, side, side));
    return image;
}

// The disabled look: the grey of each pixel's luminance.
QImage greyOf(QImage image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            const int g = qRound(0.3 * qRed(p) + 0.59 * qGreen(p) + 0.11 * qBlue(p));
            line[x] = qRgba(g, g, g, qAlpha(p));
        }
    }
    return image;
}

// The largest difference of any channel of any pixel; INT_MAX when the
// sizes differ.
int difference(const QPixmap &drawn, const QImage &reference)
{
    const QImage a = drawn.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (a.size() != reference.size())
        return INT_MAX;
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto *p = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *q = reinterpret_cast<const QRgb *>(reference.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            for (const int shift : {0, 8, 16, 24}) {
                const int d = int((p[x] >> shift) & 0xff) - int((q[x] >> shift) & 0xff);
                worst = qMax(worst, qAbs(d));
            }
        }
    }
    return worst;
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

    void masksLookLikeTheirSvg()
    {
        const QColor text = QGuiApplication::palette().color(QPalette::Text);
        for (const QString &key : kProgramKeys) {
            for (const int side : kMaskSides) {
                const QString what = key + u' ' + QString::number(side);
                QVERIFY2(hasIconMask(key, QSize(side, side)), qPrintable(what));
                const QImage reference = svgReference(key, side, text);
                const QIcon icon = iconForKey(key);
                QVERIFY2(difference(icon.pixmap(QSize(side, side)), reference) <= 2,
                         qPrintable(what));
                const QPixmap disabled = icon.pixmap(QSize(side, side), QIcon::Disabled);
                QVERIFY2(difference(disabled, greyOf(reference)) <= 2, qPrintable(what));
            }
        }
    }

    void otherSizesAreDrawnFromTheSvg()
    {
        const QColor text = QGuiApplication::palette().color(QPalette::Text);
        for (const QSize &size : {QSize(22, 22), QSize(24, 16)})
            QVERIFY(!hasIconMask(QStringLiteral("PLUS"), size));
        const QPixmap drawn = iconForKey(QStringLiteral("URGENTP")).pixmap(QSize(22, 22));
        QCOMPARE(difference(drawn, svgReference(QStringLiteral("URGENTP"), 22, text)), 0);
    }

    void masksFollowAPaletteChange()
    {
        const QPalette before = QApplication::palette();
        QPalette dark = before;
        dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
        QApplication::setPalette(dark);
        for (const QString &key : {QStringLiteral("PLUS"), QStringLiteral("URGENTP")}) {
            const QImage reference = svgReference(key, 24, dark.color(QPalette::Text));
            QVERIFY2(difference(iconForKey(key).pixmap(QSize(24, 24)), reference) <= 2,
                     qPrintable(key));
        }
        QApplication::setPalette(before);
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
