#include "settings/WindowPlacement.h"

#include "common/RecordingPrompter.h"
#include "settings/Settings.h"

#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

using namespace Qt::StringLiterals;
using cdk::SettingsSection;

class TestWindowPlacement : public QObject
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

private Q_SLOTS:
    void init()
    {
        QFile::remove(m_dir.filePath(u"settings.ini"_s));
        m_settings.setPath(m_dir.filePath(u"settings.ini"_s));
    }
    void load_data();
    void load();
    void saveNormalWindowAndBack();
    void maximisedWindowKeepsNormalSize();
    void wasMaximizedRestoresMaximisedWithNormalGeometry();
};

void TestWindowPlacement::load_data()
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
    QTest::newRow("y negative") << screen << "X=100;Y=-5" << QRect(100, 0, 400, 300);
    QTest::newRow("y missing: centred both ways") << screen << "X=-20"
                                                  << QRect(440, 362, 400, 300);
    QTest::newRow("x empty: centred both ways") << screen << "X=;Y=100"
                                                << QRect(440, 362, 400, 300);
    QTest::newRow("halves round to even") << screen << "X=12.5;Y=13.5"
                                               << QRect(12, 14, 400, 300);
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
}

void TestWindowPlacement::load()
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

void TestWindowPlacement::saveNormalWindowAndBack()
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

void TestWindowPlacement::maximisedWindowKeepsNormalSize()
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

void TestWindowPlacement::wasMaximizedRestoresMaximisedWithNormalGeometry()
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

QTEST_MAIN(TestWindowPlacement)
#include "test_window_placement.moc"
