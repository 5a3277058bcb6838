#include "settings/Settings.h"

#include "IniTestFiles.h"
#include "common/RecordingAutostart.h"
#include "common/RecordingPrompter.h"
#include "settings/Autostart.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <unistd.h>

using namespace Qt::StringLiterals;
using cdk::clsSettings;
using cdk::SettingsSection;
using cdk::test::fileBytes;
using cdk::test::RecordingAutostart;
using cdk::test::RecordingPrompter;
using cdk::test::writeFileBytes;

namespace {

const QByteArray firstRunFile = "[Hotkeys]\r\nMainHKUsed=1\r\nMainHKMod=3\r\nMainHKKey=77\r\n"
                                "[General]\r\nRunOnStartup=0\r\nTaskViewFontSizeSize=9\r\n"
                                "TaskViewFontSizeIndex=1\r\n";

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingPrompter m_prompter;
    clsSettings m_settings{m_prompter};
    QString path() const { return m_dir->filePath(u"settings.ini"_s); }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_prompter.shown.clear();
        m_settings.setPath(path());
    }
    void conversions_data();
    void conversions();
    void typedWritesAndTheNullSection();
    void firstRunWritesDefaultsInOrder();
    void runOnStartupReachesTheSeam_data();
    void runOnStartupReachesTheSeam();
    void writeIntoVanishedFolderIsReported();
    void readOnlyFileIsReported();
    void unreadableFileIsReported();
    void gridAppearance_data();
    void gridAppearance();
};

void TestSettings::conversions_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<qint32>("number");
    QTest::addColumn<bool>("boolean");
    QTest::newRow("1") << QByteArray("1") << 1 << true;
    QTest::newRow("1.0") << QByteArray("1.0") << 1 << true;
    QTest::newRow("1.4 rounds to 1 but is no 1") << QByteArray("1.4") << 1 << false;
    QTest::newRow("-4") << QByteArray("-4") << -4 << false;
    QTest::newRow("-1") << QByteArray("-1") << -1 << false;
    QTest::newRow("2") << QByteArray("2") << 2 << false;
    QTest::newRow("abc") << QByteArray("abc") << 0 << false;
    QTest::newRow("true") << QByteArray("true") << 0 << false;
    QTest::newRow("leading number") << QByteArray(" 12abc") << 12 << false;
    QTest::newRow("2.5 to even") << QByteArray("2.5") << 2 << false;
    QTest::newRow("3.5 to even") << QByteArray("3.5") << 4 << false;
    QTest::newRow("empty") << QByteArray("") << 0 << false;
    QTest::newRow("beyond 32 bits") << QByteArray("99999999999") << 2147483647 << false;
}

void TestSettings::conversions()
{
    QFETCH(QByteArray, stored);
    QFETCH(qint32, number);
    QFETCH(bool, boolean);
    QVERIFY(writeFileBytes(path(), "[Sort]\r\nColumn=" + stored + "\r\n"));
    QCOMPARE(m_settings.LoadLong(SettingsSection::Sort, u"Column"_s), number);
    QCOMPARE(m_settings.LoadBoolean(SettingsSection::Sort, u"Column"_s), boolean);
    QCOMPARE(m_settings.LoadLong(SettingsSection::Sort, u"Missing"_s), 0);
    QVERIFY(m_prompter.shown.isEmpty());
}

void TestSettings::typedWritesAndTheNullSection()
{
    m_settings.SaveNum(SettingsSection::Sort, u"Column"_s, -4);
    m_settings.SaveBoolean(SettingsSection::Sort, u"Descending"_s, true);
    m_settings.Save(SettingsSection::Backup, u"LastDBSaveFile"_s, u"backup 2024"_s);
    m_settings.SaveBoolean(SettingsSection::Sort, u"Descending"_s, false);
    const QByteArray expected = "[Sort]\r\nColumn=-4\r\nDescending=0\r\n"
                                "[Backup]\r\nLastDBSaveFile=backup 2024\r\n";
    QCOMPARE(fileBytes(path()), expected);
    QVERIFY(m_prompter.shown.isEmpty());

    // Section 0 has no name: nothing is read from it and writes are refused.
    QVERIFY(writeFileBytes(path(), "[]\r\nKey=1\r\n" + expected));
    QCOMPARE(m_settings.Load(SettingsSection::None, u"Key"_s), QString());
    m_settings.SaveNum(SettingsSection::None, u"Key"_s, 5);
    QCOMPARE(m_prompter.shown.size(), 1);
    QVERIFY(m_prompter.lastText().startsWith(u"Unable to write settings."_s));
    QCOMPARE(fileBytes(path()), QByteArray("[]\r\nKey=1\r\n" + expected));
}

void TestSettings::firstRunWritesDefaultsInOrder()
{
    RecordingAutostart autostart;
    m_settings.Init(m_dir->path(), autostart);
    QCOMPARE(QFileInfo(m_settings.SettingsPath()), QFileInfo(path()));
    QCOMPARE(fileBytes(path()), firstRunFile);
    QCOMPARE(autostart.calls, QStringList{u"set user"_s});
    QVERIFY(m_prompter.shown.isEmpty());
}

void TestSettings::runOnStartupReachesTheSeam_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("calls");
    const QByteArray general = "[General]\r\nDisplayDoneTasksAtTheEnd=1\r\nRunOnStartup=";
    QTest::newRow("0") << QByteArray(general + "0") << QStringList{u"set user"_s};
    QTest::newRow("1") << QByteArray(general + "1") << QStringList{u"set all users"_s};
    QTest::newRow("2") << QByteArray(general + "2") << QStringList{u"remove"_s};
    QTest::newRow("5") << QByteArray(general + "5") << QStringList();
    QTest::newRow("1.5 rounds to 2") << QByteArray(general + "1.5") << QStringList{u"remove"_s};
    QTest::newRow("missing reads 0") << QByteArray("[Sort]\nColumn=4\n")
                                     << QStringList{u"set user"_s};
}

void TestSettings::runOnStartupReachesTheSeam()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, calls);
    QVERIFY(writeFileBytes(path(), file));
    RecordingAutostart autostart;
    m_settings.Init(m_dir->path(), autostart);
    QCOMPARE(autostart.calls, calls);
    // An existing file is never filled up with the first-run values.
    QCOMPARE(fileBytes(path()), file);
    QCOMPARE(m_settings.flags().DisplayDoneTasksAtTheEnd, file.startsWith("[General]"));
    QVERIFY(!m_settings.flags().DisableTaskColoring);
}

void TestSettings::writeIntoVanishedFolderIsReported()
{
    // The folder disappears while the program runs.
    QVERIFY(m_dir->remove());
    m_settings.SaveNum(SettingsSection::Hotkeys, u"MainHKMod"_s, 6);
    QCOMPARE(m_prompter.shown.size(), 1);
    const RecordingPrompter::Shown &box = m_prompter.shown.first();
    QCOMPARE(box.title, u"Error - Chronodeck"_s);
    QCOMPARE(box.icon, cdk::MessageIcon::Critical);
    QVERIFY2(box.text.startsWith(u"Unable to write settings.\r\n\r\nCode: "_s), qPrintable(box.text));
    QVERIFY(box.text.contains(u"\r\nDescription: "_s));
    QVERIFY(!QFileInfo::exists(m_dir->path()));

    // A missing file is no read failure: the program just sees no values.
    QCOMPARE(m_settings.LoadLong(SettingsSection::Hotkeys, u"MainHKMod"_s), 0);
    QCOMPARE(m_prompter.shown.size(), 1);
}

void TestSettings::readOnlyFileIsReported()
{
    if (::geteuid() == 0)
        QSKIP("file permissions do not bind the superuser");
    QVERIFY(writeFileBytes(path(), firstRunFile));
    QVERIFY(QFile::setPermissions(path(), QFile::ReadOwner));
    m_settings.SaveBoolean(SettingsSection::Hotkeys, u"MainHKUsed"_s, false);
    QCOMPARE(m_prompter.shown.size(), 1);
    QVERIFY(m_prompter.lastText().startsWith(u"Unable to write settings."_s));
    QCOMPARE(fileBytes(path()), firstRunFile);
}

void TestSettings::unreadableFileIsReported()
{
    QVERIFY(QDir().mkpath(path())); // exists, but cannot be read as a file
    QCOMPARE(m_settings.Load(SettingsSection::General, u"Key"_s), QString());
    QCOMPARE(m_settings.LoadBoolean(SettingsSection::General, u"Key"_s), false);
    QCOMPARE(m_prompter.shown.size(), 2);
    QVERIFY(m_prompter.lastText().startsWith(u"Error while reading settings.\r\n\r\nCode: "_s));
    // Nothing is written over what could not be read.
    m_settings.SaveNum(SettingsSection::General, u"Key"_s, 1);
    QVERIFY(m_prompter.lastText().startsWith(u"Unable to write settings."_s));
    QVERIFY(QFileInfo(path()).isDir());
}

void TestSettings::gridAppearance_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("fontSize");
    QTest::addColumn<int>("rowHeight");
    QTest::addColumn<bool>("gridLines");
    const QByteArray size = "[General]\nTaskViewFontSizeSize=";
    QTest::newRow("first run, grid at 9") << firstRunFile << 9 << 0 << 0 << true;
    for (const auto &[points, height] :
         {std::pair{8, 19}, {9, 20}, {10, 22}, {11, 26}, {12, 27}, {14, 29}, {16, 31}})
        QTest::addRow("%d", points) << QByteArray(size + QByteArray::number(points)) << 1 << points << height
                                    << true;
    QTest::newRow("20") << QByteArray(size + "20") << 9 << 0 << 0 << true;
    QTest::newRow("7") << QByteArray(size + "7") << 9 << 0 << 0 << true;
    QTest::newRow("abc") << QByteArray(size + "abc") << 9 << 0 << 0 << true;
    const QByteArray hide = "[General]\nHideGridlines=";
    QTest::newRow("hide 1") << QByteArray(hide + "1") << 9 << 0 << 0 << false;
    QTest::newRow("hide -1") << QByteArray(hide + "-1") << 9 << 0 << 0 << true;
    QTest::newRow("hide true") << QByteArray(hide + "true") << 9 << 0 << 0 << true;
}

void TestSettings::gridAppearance()
{
    QFETCH(QByteArray, file);
    QFETCH(int, current);
    QFETCH(int, fontSize);
    QFETCH(int, rowHeight);
    QFETCH(bool, gridLines);
    QVERIFY(writeFileBytes(path(), file));
    const cdk::GridAppearance look = m_settings.gridAppearance(current);
    QCOMPARE(look.fontSize, fontSize);
    QCOMPARE(look.rowHeight, rowHeight);
    QCOMPARE(look.showGridLines, gridLines);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
