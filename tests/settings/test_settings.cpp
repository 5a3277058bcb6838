#include "settings/IniFile.h"
#include "settings/Settings.h"

#include "common/FileBytes.h"
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
using cdk::IniFile;
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

// The settings file: the INI rules underneath, then the typed settings on top.
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

    void readRules_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        const QByteArray basic
            = "[General]\r\nRunOnStartup=1\r\nName=abc\r\n[Sort]\r\nColumn=3\r\n";
        QTest::newRow("crlf") << basic << "Sort" << "Column" << "3";
        QTest::newRow("case ignored") << basic << "gEnErAl" << "RUNONSTARTUP" << "1";
        QTest::newRow("key of another section") << basic << "Sort" << "Name" << "";
        QTest::newRow("missing section") << basic << "Backup" << "Column" << "";
        QTest::newRow("lf, no trailing newline") << QByteArray("[A]\nx=1\nk=last") << "A" << "k"
                                                 << "last";
        QTest::newRow("first duplicate key wins") << QByteArray("[A]\nk=1st\nk=2nd\n") << "A"
                                                  << "k" << "1st";
        QTest::newRow("only the first section of a name counts")
            << QByteArray("[A]\nx=1\n[B]\n[a]\nk=later\n") << "A" << "k" << "";
        QTest::newRow("keys before any section belong to none")
            << QByteArray("k=outside\n[A]\nj=1\n") << "A" << "k" << "";
        QTest::newRow("line without equals sign, comment")
            << QByteArray("[A]\nk\n;k=no\nk=real\n") << "A" << "k" << "real";
        QTest::newRow("blanks trimmed") << QByteArray(" [ A ] \n \t k  = a=b \t\n") << "A" << "k"
                                        << "a=b";
        const QByteArray x300 = "[A]\nk=" + QByteArray(300, 'x') + "\n";
        QTest::newRow("300 characters read as 255") << x300 << "A" << "k" << QString(255, u'x');
        // A cut through a surrogate pair would hand out half a character.
        QTest::newRow("no half character")
            << ("[A]\nk=" + QByteArray(254, 'x') + "\xF0\x9F\x98\x80") << "A" << "k"
            << QString(254, u'x');
    }

    void readRules()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QCOMPARE(IniFile::valueIn(content, section, key), expected);
    }

    void writeRules_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("after");

        const QByteArray head = "; by hand\r\njunk line\r\n[General]\r\n";
        const QByteArray tail = "\r\n; trailing comment\r\n[Sort]\r\nColumn=2\r\n";
        const QByteArray messy = head + "  Font = 9  \r\nFont=dup\r\n" + tail;
        QTest::newRow("rewrite in place, everything else kept")
            << messy << "general" << "FONT" << QByteArray(head + "FONT=v\r\nFont=dup\r\n" + tail);
        QTest::newRow("new key after the section's last key")
            << messy << "General" << "Size"
            << QByteArray(head + "  Font = 9  \r\nFont=dup\r\nSize=v\r\n" + tail);
        QTest::newRow("new section at the end")
            << messy << "Backup" << "Dir" << QByteArray(messy + "[Backup]\r\nDir=v\r\n");
        QTest::newRow("new file gets crlf") << QByteArray() << "A"
                                            << "k" << QByteArray("[A]\r\nk=v\r\n");
        QTest::newRow("section without keys") << QByteArray("[A]\n[B]\nx=1\n") << "A" << "k"
                                              << QByteArray("[A]\nk=v\n[B]\nx=1\n");
        QTest::newRow("no trailing newline, rewrite") << QByteArray("[A]\r\nk=1") << "A" << "k"
                                                      << QByteArray("[A]\r\nk=v");
        QTest::newRow("no trailing newline, new key") << QByteArray("[A]\r\nk=1") << "A" << "j"
                                                      << QByteArray("[A]\r\nk=1\r\nj=v\r\n");
        QTest::newRow("no trailing newline, new section") << QByteArray("[A]\nk=1") << "B" << "j"
                                                          << QByteArray("[A]\nk=1\n[B]\nj=v\n");
        QTest::newRow("key of the duplicate section goes to the first")
            << QByteArray("[A]\nx=1\n[A]\nk=old\n") << "A" << "k"
            << QByteArray("[A]\nx=1\nk=v\n[A]\nk=old\n");
        QTest::newRow("key outside sections left alone") << QByteArray("k=out\n[A]\n") << "A" << "k"
                                                         << QByteArray("k=out\n[A]\nk=v\n");
        QTest::newRow("byte-order mark and mixed endings kept")
            << QByteArray("\xEF\xBB\xBF[A]\r\nk=1\n[B]\r\n") << "A" << "k"
            << QByteArray("\xEF\xBB\xBF[A]\r\nk=v\n[B]\r\n");
    }

    void writeRules()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QByteArray, after);
        const QByteArray written = IniFile::withValue(before, section, key, u"v"_s);
        QCOMPARE(written, after);
        QCOMPARE(IniFile::valueIn(written, section, key), u"v"_s);
    }

    void refusesLinesThatWouldBreakTheFile()
    {
        QVERIFY(IniFile::isWritable(u"General"_s, u"Key"_s, u"C:\\a b=c"_s));
        QVERIFY(!IniFile::isWritable(u""_s, u"Key"_s, u"v"_s));
        QVERIFY(!IniFile::isWritable(u"Gen]eral"_s, u"Key"_s, u"v"_s));
        QVERIFY(!IniFile::isWritable(u"General"_s, u"a=b"_s, u"v"_s));
        QVERIFY(!IniFile::isWritable(u"General"_s, u"[x"_s, u"v"_s));
        QVERIFY(!IniFile::isWritable(u"General"_s, u"Key"_s, u"a\r\nb"_s));

        const IniFile ini(path());
        cdk::IniError error;
        QVERIFY(!ini.write(u"General"_s, u"Key"_s, u"a\nb"_s, &error));
        QVERIFY(!error.description.isEmpty());
        QVERIFY(!QFile::exists(ini.path()));
    }

    void fileIsCreatedAndReReadEveryTime()
    {
        const IniFile ini(path());
        QString value = u"stale"_s;
        QVERIFY(ini.read(u"Sort"_s, u"Column"_s, &value));
        QCOMPARE(value, QString());
        QVERIFY(!QFile::exists(ini.path())); // reading creates nothing

        QVERIFY(ini.write(u"Sort"_s, u"Column"_s, u"3"_s));
        QCOMPARE(fileBytes(ini.path()), QByteArray("[Sort]\r\nColumn=3\r\n"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList {u"settings.ini"_s});

        // Another program edits the file behind our back: the next read sees it.
        QVERIFY(writeFileBytes(ini.path(), "[Sort]\nColumn=5\n"));
        QVERIFY(ini.read(u"Sort"_s, u"Column"_s, &value));
        QCOMPARE(value, u"5"_s);
    }

    void conversions_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<qint32>("number");
        QTest::addColumn<bool>("boolean");
        QTest::newRow("1") << QByteArray("1") << 1 << true;
        QTest::newRow("1.0") << QByteArray("1.0") << 1 << true;
        QTest::newRow("1.4 rounds to 1 but is no 1") << QByteArray("1.4") << 1 << false;
        QTest::newRow("-1") << QByteArray("-1") << -1 << false;
        QTest::newRow("2") << QByteArray("2") << 2 << false;
        QTest::newRow("abc") << QByteArray("abc") << 0 << false;
        QTest::newRow("true") << QByteArray("true") << 0 << false;
        QTest::newRow("beyond 32 bits") << QByteArray("99999999999") << 2147483647 << false;
    }

    void conversions()
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

    void typedWritesAndTheNullSection()
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

    void firstRunWritesDefaultsInOrder()
    {
        RecordingAutostart autostart;
        m_settings.Init(m_dir->path(), autostart);
        QCOMPARE(QFileInfo(m_settings.SettingsPath()), QFileInfo(path()));
        QCOMPARE(fileBytes(path()), firstRunFile);
        QCOMPARE(autostart.calls, QStringList{u"set user"_s});
        QVERIFY(m_prompter.shown.isEmpty());
    }

    void runOnStartupReachesTheSeam_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("calls");
        const QByteArray general = "[General]\r\nDisplayDoneTasksAtTheEnd=1\r\nRunOnStartup=";
        QTest::newRow("0") << QByteArray(general + "0") << QStringList{u"set user"_s};
        QTest::newRow("1") << QByteArray(general + "1") << QStringList{u"set all users"_s};
        QTest::newRow("2") << QByteArray(general + "2") << QStringList{u"remove"_s};
        QTest::newRow("5") << QByteArray(general + "5") << QStringList();
        QTest::newRow("missing reads 0") << QByteArray("[Sort]\nColumn=4\n")
                                         << QStringList{u"set user"_s};
    }

    void runOnStartupReachesTheSeam()
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

    void writeIntoVanishedFolderIsReported()
    {
        // The folder disappears while the program runs.
        QVERIFY(m_dir->remove());
        m_settings.SaveNum(SettingsSection::Hotkeys, u"MainHKMod"_s, 6);
        QCOMPARE(m_prompter.shown.size(), 1);
        const RecordingPrompter::Shown &box = m_prompter.shown.first();
        QCOMPARE(box.title, u"Error - Chronodeck"_s);
        QCOMPARE(box.icon, cdk::MessageIcon::Critical);
        QVERIFY2(box.text.startsWith(u"Unable to write settings.\r\n\r\nCode: "_s),
                 qPrintable(box.text));
        QVERIFY(box.text.contains(u"\r\nDescription: "_s));
        QVERIFY(!QFileInfo::exists(m_dir->path()));

        // A missing file is no read failure: the program just sees no values.
        QCOMPARE(m_settings.LoadLong(SettingsSection::Hotkeys, u"MainHKMod"_s), 0);
        QCOMPARE(m_prompter.shown.size(), 1);
    }

    void readOnlyFileIsReported()
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

    void unreadableFileIsReported()
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

    void gridAppearance_data()
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
            QTest::addRow("%d", points)
                << QByteArray(size + QByteArray::number(points)) << 1 << points << height << true;
        QTest::newRow("20") << QByteArray(size + "20") << 9 << 0 << 0 << true;
        QTest::newRow("abc") << QByteArray(size + "abc") << 9 << 0 << 0 << true;
        const QByteArray hide = "[General]\nHideGridlines=";
        QTest::newRow("hide 1") << QByteArray(hide + "1") << 9 << 0 << 0 << false;
        QTest::newRow("hide -1") << QByteArray(hide + "-1") << 9 << 0 << 0 << true;
        QTest::newRow("hide true") << QByteArray(hide + "true") << 9 << 0 << 0 << true;
    }

    void gridAppearance()
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
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
