#include "settings/GridColumns.h"
#include "settings/WindowPlacement.h"

#include "common/RecordingPrompter.h"
#include "settings/Settings.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

using namespace Qt::StringLiterals;
using cdk::SettingsSection;

namespace {

const QList<int> kInitialWidths{40, 250, 80, 70, 50, 90, 90, 85};

// A header like the task grid's: eight columns with their initial widths.
struct Grid
{
    QStandardItemModel model{0, 8};
    QHeaderView header{Qt::Horizontal};

    Grid()
    {
        header.setMinimumSectionSize(10);
        header.setModel(&model);
        for (int i = 0; i < 8; ++i)
            header.resizeSection(i, kInitialWidths.at(i));
    }
    QList<int> order() const // logical column at each display position
    {
        QList<int> logical;
        for (int visual = 0; visual < 8; ++visual)
            logical.append(header.logicalIndex(visual));
        return logical;
    }
    QList<int> widths() const
    {
        QList<int> sizes;
        for (int i = 0; i < 8; ++i)
            sizes.append(header.sectionSize(i));
        return sizes;
    }
};

} // namespace

// Where the main window and the grid's columns are kept between runs.
class TestWindowLayout : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    cdk::test::RecordingPrompter m_prompter;
    cdk::clsSettings m_settings{m_prompter};

    // "X=..;Y=..": keys of the main window without the name prefix.
    void store(const QString &keys)
    {
        for (const QString &pair : keys.split(u';', Qt::SkipEmptyParts))
            m_settings.Save(SettingsSection::WindowPos, u"frmMain"_s + pair.section(u'=', 0, 0),
                            pair.section(u'=', 1));
    }
    QString stored(const QString &key)
    {
        return m_settings.Load(SettingsSection::WindowPos, u"frmMain"_s + key);
    }
    void storeColumns(const QStringList &pairs)
    {
        for (const QString &pair : pairs)
            m_settings.Save(SettingsSection::Columns, u"MainGrid"_s + pair.section(u'=', 0, 0),
                            pair.section(u'=', 1));
    }
    qint32 storedColumn(const QString &key)
    {
        return m_settings.LoadLong(SettingsSection::Columns, u"MainGrid"_s + key);
    }

private Q_SLOTS:
    void init()
    {
        QFile::remove(m_dir.filePath(u"settings.ini"_s));
        m_settings.setPath(m_dir.filePath(u"settings.ini"_s));
    }

    void placementLoad_data()
    {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QRect>("expected");

        // A 400 x 300 window on a 1280 x 1024 area fits at x <= 880 and y < 724.
        const QRect screen(0, 0, 1280, 1024);
        QTest::newRow("nothing stored: centred") << screen << "" << QRect(440, 362, 400, 300);
        QTest::newRow("x negative") << screen << "X=-20;Y=100" << QRect(0, 100, 400, 300);
        QTest::newRow("x at the limit") << screen << "X=880;Y=100" << QRect(880, 100, 400, 300);
        QTest::newRow("x past the limit: flush right") << screen << "X=881;Y=100"
                                                       << QRect(880, 100, 400, 300);
        QTest::newRow("y just fits") << screen << "X=100;Y=723" << QRect(100, 723, 400, 300);
        QTest::newRow("y at the limit: 66 above the bottom") << screen << "X=100;Y=724"
                                                             << QRect(100, 658, 400, 300);
        QTest::newRow("y missing: centred both ways") << screen << "X=-20"
                                                      << QRect(440, 362, 400, 300);
        QTest::newRow("junk x reads 0") << screen << "X=abc;Y=1" << QRect(0, 1, 400, 300);
        QTest::newRow("stored size, clamped with it")
            << screen << "X=600;Y=500;Width=800;Height=600" << QRect(480, 358, 800, 600);
        QTest::newRow("zero and negative sizes ignored") << screen << "X=1;Y=1;Width=0;Height=-3"
                                                         << QRect(1, 1, 400, 300);
        QTest::newRow("odd room centres to even") << QRect(0, 0, 1281, 1025) << ""
                                                  << QRect(440, 362, 400, 300);
        // A usable area beside a panel or on a second monitor.
        const QRect offset(1920, 30, 1280, 994);
        QTest::newRow("offset area, too far left and down") << offset << "X=100;Y=2000"
                                                            << QRect(1920, 658, 400, 300);
        QTest::newRow("offset area, centred") << offset << "" << QRect(2360, 377, 400, 300);
        // A size remembered at a smaller scale, 1100 x 760 on 800 x 500: cut
        // to the area, not hanging off its top and left.
        const QRect scaled(0, 0, 800, 500);
        QTest::newRow("larger than the area: cut to it")
            << scaled << "X=200;Y=100;Width=1100;Height=760" << QRect(0, 0, 800, 500);
        QTest::newRow("the bottom margin never lifts the top above the area")
            << scaled << "X=10;Y=30;Width=600;Height=480" << QRect(10, 0, 600, 480);
        QTest::newRow("larger than the area, centred") << scaled << "Width=900;Height=700"
                                                       << QRect(0, 0, 800, 500);
    }

    void placementLoad()
    {
        QFETCH(QRect, screen);
        QFETCH(QString, keys);
        QFETCH(QRect, expected);
        store(keys);
        QWidget window;
        window.setGeometry(7, 7, 400, 300);
        cdk::LoadWindowPos(m_settings, &window, screen);
        QCOMPARE(QRect(window.pos(), window.size()), expected);
        QVERIFY(!window.isMaximized());
        QVERIFY(!window.isVisible());
        QVERIFY(m_prompter.shown.isEmpty());
    }

    // The frame the window manager draws around the client counts: at a
    // scale of 2 on 1600 x 1000 the area is 800 x 500 and a title bar of 12.
    void placementKeepsTheFrameInside_data()
    {
        QTest::addColumn<QString>("x");
        QTest::addColumn<QString>("y");
        QTest::addColumn<QSize>("client");
        QTest::addColumn<QSize>("minimum");
        QTest::addColumn<QRect>("expected");

        const QSize minimum(450, 300);
        // Frame 1 + 1 wide and 12 + 3 high around the client.
        QTest::newRow("first start, centred with its frame")
            << "" << "" << QSize(720, 450) << minimum << QRect(39, 18, 722, 465);
        QTest::newRow("stored near the top, taller than the room")
            << "40" << "-12" << QSize(700, 490) << minimum << QRect(40, 0, 702, 500);
        QTest::newRow("remembered at scale 1, larger than the screen")
            << "200" << "100" << QSize(1100, 760) << minimum << QRect(0, 0, 800, 500);
        QTest::newRow("flush right counts the borders")
            << "900" << "10" << QSize(600, 400) << minimum << QRect(198, 10, 602, 415);
        QTest::newRow("the minimum wins over the screen, top-left kept")
            << "300" << "300" << QSize(300, 200) << QSize(900, 600)
            << QRect(0, 0, 902, 615);
    }

    void placementKeepsTheFrameInside()
    {
        QFETCH(QString, x);
        QFETCH(QString, y);
        QFETCH(QSize, client);
        QFETCH(QSize, minimum);
        QFETCH(QRect, expected);
        const QRect area(0, 0, 800, 500);
        const QMargins frame(1, 12, 1, 3);
        const QRect placed = cdk::PlaceWindowFrame(area, frame, client, minimum, x, y);
        QCOMPARE(placed, expected);
        // Where the minimum allows, the whole frame is on the screen.
        if (minimum.width() <= 800)
            QVERIFY(area.contains(placed));

        // After the first show the frame the window really got is checked
        // again: a frame the window manager put above and left of the area
        // comes back into its corner.
        const QRect offTop = placed.translated(-placed.left() - 5, -placed.top() - 12);
        QCOMPARE(cdk::FrameWithin(offTop, frame, area, minimum), QRect(QPoint(0, 0), placed.size()));
    }

    void saveNormalWindowAndBack()
    {
        QWidget window;
        window.resize(500, 350);
        window.move(30, 40);
        cdk::SaveWindowPos(m_settings, &window, false);
        QCOMPARE(stored(u"WasMaximized"_s), u"0"_s);
        QCOMPARE(stored(u"Height"_s), u"350"_s);

        QWidget again;
        cdk::LoadWindowPos(m_settings, &again, QRect(0, 0, 1920, 1080));
        QCOMPARE(QRect(again.pos(), again.size()), QRect(30, 40, 500, 350));

        // Position only: the size and state in the file stay.
        window.setGeometry(-8, 12, 200, 100);
        cdk::SaveWindowPos(m_settings, &window, true);
        QCOMPARE(stored(u"X"_s), u"-8"_s);
        QCOMPARE(stored(u"Y"_s), u"12"_s);
        QCOMPARE(stored(u"Width"_s), u"500"_s);
    }

    void maximisedWindowKeepsNormalSize()
    {
        store(u"Width=640;Height=480"_s);
        QWidget window;
        window.resize(500, 350);
        window.showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.isMaximized());
        cdk::SaveWindowPos(m_settings, &window, false);
        QCOMPARE(stored(u"WasMaximized"_s), u"1"_s);
        QCOMPARE(stored(u"X"_s), QString::number(window.pos().x()));
        QCOMPARE(stored(u"Width"_s), u"640"_s);
        QCOMPARE(stored(u"Height"_s), u"480"_s);
    }

    void wasMaximizedRestoresMaximisedWithNormalGeometry()
    {
        store(u"X=50;Y=60;Width=640;Height=480;WasMaximized=1"_s);
        QWidget window;
        window.resize(400, 300);
        cdk::LoadWindowPos(m_settings, &window, QRect(0, 0, 1280, 1024));
        QVERIFY(!window.isVisible()); // a program started minimised stays hidden
        QVERIFY(window.windowState().testFlag(Qt::WindowMaximized));

        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.isMaximized());
        window.showNormal();
        QTRY_COMPARE(QRect(window.pos(), window.size()), QRect(50, 60, 640, 480));
    }

    void columnsRoundTrip_data()
    {
        QTest::addColumn<QList<int>>("order");
        QTest::newRow("reversed") << QList<int>{7, 6, 5, 4, 3, 2, 1, 0};
        // Orders that placing the columns one by one in column order gets wrong.
        QTest::newRow("reversed but the last two") << QList<int>{7, 6, 5, 4, 3, 2, 0, 1};
        QTest::newRow("scattered") << QList<int>{2, 7, 0, 5, 1, 6, 4, 3};
    }

    void columnsRoundTrip()
    {
        QFETCH(QList<int>, order);
        const QList<int> widths{21, 300, 75, 66, 41, 120, 99, 64};
        Grid before;
        for (int i = 0; i < 8; ++i) {
            before.header.moveSection(before.header.visualIndex(order.at(i)), i);
            before.header.resizeSection(i, widths.at(i));
        }
        QCOMPARE(before.order(), order);
        cdk::SaveSGridColumns(m_settings, &before.header, u"MainGrid"_s);

        Grid after;
        cdk::LoadSGridColumns(m_settings, &after.header, u"MainGrid"_s);
        QCOMPARE(after.order(), order);
        QCOMPARE(after.widths(), widths);
        QVERIFY(m_prompter.shown.isEmpty());
    }

    void unusableColumnValuesAreIgnored()
    {
        storeColumns({u"SizeColumn1=0"_s, u"SizeColumn2=-40"_s, u"SizeColumn3=abc"_s,
               u"SizeColumn4=111.5"_s, u"OrderColumn1=0"_s, u"OrderColumn2=-2"_s,
               u"OrderColumn3=99"_s, u"OrderColumn4=70000"_s, u"OrderColumn8=1"_s});
        Grid grid;
        cdk::LoadSGridColumns(m_settings, &grid.header, u"MainGrid"_s);
        QList<int> widths = kInitialWidths;
        widths[3] = 112; // 111.5 rounds to the even neighbour
        QCOMPARE(grid.widths(), widths);
        QCOMPARE(grid.order(), (QList<int>{7, 0, 1, 2, 3, 4, 5, 6}));
    }

    void columnKeysAndHiddenColumns()
    {
        Grid grid;
        grid.header.moveSection(0, 7); // the first column shown last
        grid.header.resizeSection(2, 123);
        cdk::SaveSGridColumns(m_settings, &grid.header, u"MainGrid"_s);
        QCOMPARE(storedColumn(u"OrderColumn1"_s), 8);
        QCOMPARE(storedColumn(u"OrderColumn2"_s), 1);
        QCOMPARE(storedColumn(u"SizeColumn3"_s), 123);

        // A hidden column reports width 0; its stored width must survive.
        grid.header.hideSection(2);
        grid.header.resizeSection(3, 77);
        cdk::SaveSGridColumns(m_settings, &grid.header, u"MainGrid"_s);
        QCOMPARE(storedColumn(u"SizeColumn3"_s), 123);
        QCOMPARE(storedColumn(u"SizeColumn4"_s), 77);
    }
};

QTEST_MAIN(TestWindowLayout)
#include "test_window_layout.moc"
