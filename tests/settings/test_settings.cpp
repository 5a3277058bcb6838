#include "settings/IniFile.h"
#include "settings/Settings.h"

#include "common/FileBytes.h"
#include "common/RecordingPrompter.h"

#include <QDir>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <filesystem>
#include <memory>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using cdk::clsSettings;
using cdk::IniFile;
using cdk::Setting;
using cdk::SettingsSection;
using cdk::test::fileBytes;
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

        IniFile ini(path());
        cdk::IniError error;
        QVERIFY(!ini.write(u"General"_s, u"Key"_s, u"a\nb"_s, &error));
        QVERIFY(!error.description.isEmpty());
        QVERIFY(!QFile::exists(ini.path()));
    }

    // The file is read once and kept; another program's edit is still seen at
    // the next read, whether it changes the file's size or only its time.
    void keptCopySeesOtherWriters()
    {
        QCOMPARE(m_settings.number(Setting::SortColumn), 0);
        QVERIFY(!QFile::exists(path())); // reading creates nothing
        m_settings.setNumber(Setting::SortColumn, 3);
        QCOMPARE(fileBytes(path()), QByteArray("[Sort]\r\nColumn=3\r\n"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"settings.ini"_s});
        QCOMPARE(m_settings.number(Setting::SortColumn), 3);

        QVERIFY(writeFileBytes(path(), "[Sort]\nColumn=12\n"));
        QCOMPARE(m_settings.number(Setting::SortColumn), 12);

        // Same size; the time moves by a microsecond, finer than QFileInfo sees.
        namespace fs = std::filesystem;
        const fs::path file(QFile::encodeName(path()).toStdString());
        const fs::file_time_type time = fs::last_write_time(file);
        QVERIFY(writeFileBytes(path(), "[Sort]\nColumn=47\n"));
        fs::last_write_time(file, time + std::chrono::microseconds(1));
        QCOMPARE(m_settings.number(Setting::SortColumn), 47);
        // A write starts from the other program's version, not the kept one.
        m_settings.setBoolean(Setting::SortDescending, true);
        QCOMPARE(fileBytes(path()), QByteArray("[Sort]\nColumn=47\nDescending=1\n"));

        // The price of not reading the file for every key: an edit that keeps
        // both size and time to the last digit goes unseen.
        const fs::file_time_type ours = fs::last_write_time(file);
        QVERIFY(writeFileBytes(path(), "[Sort]\nColumn=50\nDescending=1\n"));
        fs::last_write_time(file, ours);
        QCOMPARE(m_settings.number(Setting::SortColumn), 47);
    }

    void firstRunWritesTheTableInOrder()
    {
        m_settings.Init(m_dir->path());
        QCOMPARE(QFileInfo(m_settings.SettingsPath()), QFileInfo(path()));
        QCOMPARE(fileBytes(path()), firstRunFile);
        QCOMPARE(m_settings.number(Setting::MainHKKey), 77);
        QVERIFY(m_prompter.shown.isEmpty());

        // An existing file is never filled up; its flags are loaded.
        const QByteArray own = "[General]\nDisableTaskColoring=1\nRunOnStartup=2\n";
        QVERIFY(writeFileBytes(path(), own));
        m_settings.Init(m_dir->path());
        QCOMPARE(fileBytes(path()), own);
        QVERIFY(m_settings.flags().DisableTaskColoring);
        QVERIFY(!m_settings.flags().DisplayDoneTasksAtTheEnd);
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
        QCOMPARE(m_settings.number(Setting::SortColumn), number);
        QCOMPARE(m_settings.LoadLong(SettingsSection::Sort, u"Missing"_s), 0);
        QVERIFY(m_prompter.shown.isEmpty());
    }

    void untypedWritesAndTheNullSection()
    {
        m_settings.SaveNum(SettingsSection::Sort, u"Column"_s, -4);
        m_settings.SaveBoolean(SettingsSection::Sort, u"Descending"_s, true);
        m_settings.Save(SettingsSection::Backup, u"LastDBSaveFile"_s, u"backup 2024"_s);
        m_settings.SaveBoolean(SettingsSection::Sort, u"Descending"_s, false);
        const QByteArray expected = "[Sort]\r\nColumn=-4\r\nDescending=0\r\n"
                                    "[Backup]\r\nLastDBSaveFile=backup 2024\r\n";
        QCOMPARE(fileBytes(path()), expected);
        QVERIFY(m_prompter.shown.isEmpty());

        // Section 0 has no name: nothing is read from it, and a write there is
        // the program's own mistake, which the user is told of.
        QVERIFY(writeFileBytes(path(), "[]\r\nKey=1\r\n" + expected));
        QCOMPARE(m_settings.Load(SettingsSection::None, u"Key"_s), QString());
        m_settings.SaveNum(SettingsSection::None, u"Key"_s, 5);
        QCOMPARE(m_prompter.shown.size(), 1);
        const RecordingPrompter::Shown &box = m_prompter.shown.first();
        QCOMPARE(box.title, u"Error - Chronodeck"_s);
        QCOMPARE(box.icon, cdk::MessageIcon::Critical);
        QVERIFY2(box.text.startsWith(u"Unable to write settings.\r\n\r\nCode: "_s),
                 qPrintable(box.text));
        QVERIFY(box.text.contains(u"\r\nDescription: No section given for Key"_s));
        QCOMPARE(fileBytes(path()), QByteArray("[]\r\nKey=1\r\n" + expected));
    }

    // A write moves the display flags, the key matched as the file matches it
    // and only in its own section (the grid follows them: the settings
    // dialog's test).
    void writesMoveTheFlags()
    {
        m_settings.setBoolean(Setting::DisableTaskColoring, true);
        QVERIFY(m_settings.flags().DisableTaskColoring);
        m_settings.Save(SettingsSection::General, u" displaydonetasksattheend "_s, u"1"_s);
        m_settings.setBoolean(Setting::MarkTasks100PercentWhenCheckedOff, true);
        m_settings.SaveBoolean(SettingsSection::General, u"DisableTaskColoring"_s, false);
        m_settings.SaveNum(SettingsSection::Sort, u"DisplayDoneTasksAtTheEnd"_s, 0);

        const cdk::DisplayFlags &flags = m_settings.flags();
        QVERIFY(flags.DisplayDoneTasksAtTheEnd);
        QVERIFY(!flags.DisableTaskColoring);
        QVERIFY(flags.MarkTasks100PercentWhenCheckedOff);
    }

    // A settings file the program cannot write or read is a fault of the
    // machine, not of what the user did: no box at start-up or at any resize,
    // the program runs on with what it can read, and the log says it once.
    void unusableFileIsLoggedOnceAndNeverShown_data()
    {
        QTest::addColumn<QString>("fault");
        for (const char *fault :
             {"read-only file", "read-only folder", "folder is a file", "file is a folder"})
            QTest::newRow(fault) << QString::fromLatin1(fault);
    }

    void unusableFileIsLoggedOnceAndNeverShown()
    {
        QFETCH(QString, fault);
        QString folder = m_dir->path();
        const bool permissions = fault.startsWith(u"read-only"_s);
        if (permissions && ::geteuid() == 0)
            QSKIP("permissions do not bind the superuser; the other rows fail for everyone");
        if (fault == u"read-only file"_s) {
            QVERIFY(writeFileBytes(path(), firstRunFile));
            QVERIFY(QFile::setPermissions(path(), QFile::ReadOwner));
        } else if (fault == u"read-only folder"_s) {
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        } else if (fault == u"folder is a file"_s) {
            folder = m_dir->filePath(u"not a folder"_s);
            QVERIFY(writeFileBytes(folder, "x"));
        } else {
            QVERIFY(QDir().mkpath(path()));
        }
        const auto restore = qScopeGuard([this] {
            QFile::setPermissions(m_dir->path(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        });
        const QString file = QDir(folder).filePath(u"settings.ini"_s);
        const QByteArray before = fileBytes(file);

        // One line in the log, however many keys fail.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^cannot (read|write) "_s));
        QTest::failOnWarning(QRegularExpression(u"."_s));
        m_settings.Init(folder); // the first run's values, where the file is missing
        // A resize writes the window's place in one go, as the window does.
        for (int resize = 0; resize < 3; ++resize)
            m_settings.Save(SettingsSection::WindowPos,
                            {{u"frmMainX"_s, QString::number(resize)}, {u"frmMainY"_s, u"20"_s}});
        m_settings.setNumber(Setting::SortColumn, 3);
        m_settings.setBoolean(Setting::DisplayDoneTasksAtTheEnd, true);

        QVERIFY2(m_prompter.shown.isEmpty(), qPrintable(m_prompter.lastText()));
        QCOMPARE(fileBytes(file), before);
        QCOMPARE(m_settings.number(Setting::MainHKKey), fault == u"read-only file"_s ? 77 : 0);
        QCOMPARE(m_settings.number(Setting::SortColumn), 0);
        QVERIFY(m_settings.flags().DisplayDoneTasksAtTheEnd); // holds for this run
    }

    // A full disk, made real by a file-size limit in a child process: every
    // key written fails, the file keeps its old bytes, no temporary copy is
    // left beside it, no box is shown and the log says it once.
    void fullDiskLeavesTheFileAsItWas()
    {
        QByteArray before = firstRunFile;
        while (before.size() < 8192)
            before += "; kept by the user\r\n";
        QVERIFY(writeFileBytes(path(), before));

        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            rlimit limit {};
            ::getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = 4096;
            ::setrlimit(RLIMIT_FSIZE, &limit);
            static int warnings = 0;
            qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &) {
                warnings += type == QtWarningMsg ? 1 : 0;
            });
            RecordingPrompter prompter;
            clsSettings settings {prompter};
            settings.Init(m_dir->path());
            for (int resize = 0; resize < 5; ++resize)
                settings.SaveNum(SettingsSection::WindowPos, u"frmMainX"_s, resize);
            settings.setBoolean(Setting::DisplayDoneTasksAtTheEnd, true);
            // The run goes on with what it was told.
            const bool held = settings.flags().DisplayDoneTasksAtTheEnd;
            ::_exit(prompter.shown.isEmpty() && warnings == 1 && held ? 0 : 10 + warnings);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(fileBytes(path()), before);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList {u"settings.ini"_s});
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
