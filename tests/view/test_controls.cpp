#include "controls/DatePicker.h"
#include "controls/GradientPanel.h"
#include "controls/Icons.h"
#include "controls/ImageButton.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QFile>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
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
    void greyedPicturesAreGrey()
    {
        const Ink urgent = inkOf(iconForKey(QStringLiteral("URGENTP")).pixmap(QSize(24, 24)));
        QVERIFY(!urgent.allGrey);
        const Ink greyed = inkOf(iconForKey(QStringLiteral("URGENTGP")).pixmap(QSize(24, 24)));
        QVERIFY(greyed.count > 0);
        QVERIFY(greyed.allGrey);
    }

    // Every key the program asks for has a picture of its own, drawn from
    // masks that look like its SVG; an unknown key still draws something.
    void masksLookLikeTheirSvg()
    {
        const QColor text = QGuiApplication::palette().color(QPalette::Text);
        QVERIFY(!hasIconForKey(QStringLiteral("P")));
        QVERIFY(inkOf(iconForKey(QStringLiteral("P")).pixmap(QSize(24, 24))).count > 0);
        for (const QString &key : kProgramKeys) {
            QVERIFY2(hasIconForKey(key), qPrintable(key));
            QVERIFY2(inkOf(iconForKey(key).pixmap(QSize(16, 16))).count > 0, qPrintable(key));
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

    // The button as the user sees it: where the icon, its shadow and its
    // grey copy land in the pixels of the drawn button.
    void buttonPaintsEachLookWhereTheRulesSay()
    {
        const QColor red(200, 30, 30);
        QPixmap solid(16, 16);
        solid.fill(red);
        isButton b;
        b.setIcon(QIcon(solid));
        b.setIconSize(QSize(16, 16));
        b.resize(10, 10);
        QCOMPARE(b.size(), QSize(20, 20));
        b.resize(24, 24);
        QCursor::setPos(1000, 1000);
        b.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b));

        auto redBox = [&b, red] {
            const QImage img = b.grab().toImage();
            QRect box;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    if (img.pixelColor(x, y) == red)
                        box |= QRect(x, y, 1, 1);
            return box;
        };
        QCOMPARE(redBox(), QRect(4, 4, 16, 16));

        QSignalSpy clicked(&b, &QAbstractButton::clicked);
        QTest::mouseClick(&b, Qt::RightButton);
        QCOMPARE(clicked.count(), 0);
        QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(12, 12));
        QCOMPARE(redBox(), QRect(5, 5, 16, 16));
        QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(12, 12));
        QCOMPARE(clicked.count(), 1);

        // Let go outside: no click, and the hot look until the mouse is
        // seen to leave.
        QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(12, 12));
        QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(40, 40));
        QCOMPARE(clicked.count(), 1);

        // Hot: the icon lifted to (2, 2), its shadow left at (4, 4).
        QCOMPARE(b.look(), isButton::Look::Hot);
        QCOMPARE(redBox(), QRect(2, 2, 16, 16));
        const QImage hot = b.grab().toImage();
        QCOMPARE(hot.pixelColor(19, 19), QColor(0x80, 0x80, 0x80));
        QCOMPARE(hot.pixelColor(4, 19), QColor(0x80, 0x80, 0x80));
        QCOMPARE(hot.pixelColor(20, 20), isButton::Lighten(b.palette().color(QPalette::Highlight), 176));
        QCOMPARE(hot.pixelColor(0, 0), b.palette().color(QPalette::Highlight));

        // Switched off under the mouse: grey at once, no red left.
        b.setEnabled(false);
        QCOMPARE(b.look(), isButton::Look::Disabled);
        const QImage off = b.grab().toImage();
        QCOMPARE(redBox(), QRect());
        // The grey of the red's luminance: 0.3 x 200 + 0.59 x 30 + 0.11 x 30.
        QCOMPARE(off.pixelColor(10, 10), QColor(81, 81, 81));
        b.setEnabled(true);
        QCOMPARE(redBox(), QRect(4, 4, 16, 16));

        b.resize(40, 24);
        b.setIconAlign(isButton::AlignRight);
        QCOMPARE(redBox().left(), 21);
    }

    // A picture in the text colour must not look the same switched on and
    // off, on a light theme (black) and on a dark one (white).
    void disabledButtonIsVisiblyGreyForTextColouredIcons()
    {
        for (const bool dark : {false, true}) {
            QPalette pal;
            pal.setColor(QPalette::Text, dark ? Qt::white : Qt::black);
            pal.setColor(QPalette::Button, dark ? QColor(50, 50, 50) : QColor(240, 240, 240));
            QApplication::setPalette(pal);
            isButton b;
            b.setIcon(iconForKey(QStringLiteral("ADDTASK")));
            b.setIconSize(QSize(16, 16));
            b.resize(24, 24);
            const QImage on = b.grab().toImage();
            b.setEnabled(false);
            const QImage off = b.grab().toImage();
            int darkest = 255, brightest = 0;
            for (int y = 4; y < 20; ++y) {
                for (int x = 4; x < 20; ++x) {
                    const int level = qGray(off.pixel(x, y));
                    darkest = qMin(darkest, level);
                    brightest = qMax(brightest, level);
                }
            }
            QVERIFY(on != off);
            if (dark)
                QVERIFY2(brightest < 200, qPrintable(QString::number(brightest)));
            else
                QVERIFY2(darkest > 60, qPrintable(QString::number(darkest)));
        }
        QApplication::setPalette(QPalette());
    }

    // A gradient kept to a strip along one edge: colour 1 solid everywhere
    // else, colour 2 reached at the edge, and the laid-out children clear of
    // the strip.
    void gradientStripKeepsChildrenOnTheSolidPart_data()
    {
        QTest::addColumn<Qt::Edge>("edge");
        QTest::addColumn<qreal>("angle");
        QTest::newRow("right") << Qt::RightEdge << 0.0;
        QTest::newRow("top") << Qt::TopEdge << 90.0;
        QTest::newRow("left") << Qt::LeftEdge << 180.0;
        QTest::newRow("bottom") << Qt::BottomEdge << 270.0;
    }
    void gradientStripKeepsChildrenOnTheSolidPart()
    {
        QFETCH(Qt::Edge, edge);
        QFETCH(qreal, angle);
        GradientPanel panel;
        panel.setColors(QColor(80, 80, 80), QColor(0, 255, 0));
        panel.setAngle(angle);
        panel.setGradientStrip(edge, 30);
        auto *layout = new QHBoxLayout(&panel);
        layout->setContentsMargins(0, 0, 0, 0);
        auto *child = new QLabel(QStringLiteral("text"), &panel);
        child->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(child);
        panel.resize(200, 100);
        layout->activate();

        QImage painted(panel.size(), QImage::Format_RGB32);
        panel.render(&painted, {}, {}, QWidget::DrawWindowBackground);
        const QRect strip = panel.gradientRect();
        const bool across = edge == Qt::LeftEdge || edge == Qt::RightEdge;
        QCOMPARE(across ? strip.width() : strip.height(), 30);
        QVERIFY(!strip.intersects(child->geometry()));
        for (int y = 0; y < painted.height(); ++y)
            for (int x = 0; x < painted.width(); ++x)
                if (!strip.contains(x, y))
                    QCOMPARE(painted.pixelColor(x, y), QColor(80, 80, 80));
        const QPoint edgePixel = edge == Qt::RightEdge ? QPoint(199, 50)
            : edge == Qt::LeftEdge                     ? QPoint(0, 50)
            : edge == Qt::TopEdge                      ? QPoint(100, 0)
                                                       : QPoint(100, 99);
        const QColor end = painted.pixelColor(edgePixel);
        QVERIFY2(end.green() > 240 && end.red() < 10, qPrintable(end.name()));
    }

    // From the keyboard alone: F4 drops the calendar down, arrows walk it,
    // Enter picks the day and closes it; Escape closes it and keeps the day.
    void datePickerCalendarWorksFromTheKeyboard()
    {
        QWidget window;
        auto *picker = new DatePicker(&window);
        picker->setDate(QDate(2026, 12, 6));
        window.show();
        picker->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QSignalSpy changed(picker, &DatePicker::dateChanged);

        QTest::keyClick(picker, Qt::Key_F4);
        QCalendarWidget *calendar = picker->calendar();
        QVERIFY(calendar);
        QWidget *popup = calendar->window();
        QTRY_VERIFY(popup->isVisible());
        QVERIFY(popup->geometry().top() >= picker->mapToGlobal(QPoint(0, picker->height())).y());
        QWidget *days = calendar->focusWidget();
        QVERIFY(days);
        QTest::keyClick(days, Qt::Key_Down);
        QTest::keyClick(days, Qt::Key_Return);
        QTRY_VERIFY(!popup->isVisible());
        QCOMPARE(picker->date(), QDate(2026, 12, 13));
        QCOMPARE(changed.count(), 1);

        QTest::keyClick(picker, Qt::Key_F4);
        QTRY_VERIFY(popup->isVisible());
        QTest::keyClick(calendar->focusWidget(), Qt::Key_Right);
        QTest::keyClick(calendar->focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!popup->isVisible());
        QCOMPARE(picker->date(), QDate(2026, 12, 13));
    }
};

QTEST_MAIN(TestControls)
#include "test_controls.moc"
