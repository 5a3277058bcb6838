// The command line as a terminal sees it when no window runs: each command's
// output and exit status, the JSON read back, and bad input that writes
// nothing.

#include "CliProcess.h"

#include "cli/WindowLink.h"
#include "common/FileBytes.h"
#include "common/TaskFixtures.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"

#include <QDate>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace cdk;
using namespace cdk::test;

namespace {

QString today() { return DayListKey(QDate::currentDate()); }

QString s(const char *text) { return QString::fromUtf8(text); }

QStringList args(const char *text) { return s(text).split(QLatin1Char(' ')); }

QList<TaskRecord> rows(const QString &folder, const QString &list)
{
    TaskStore store(folder);
    store.OpenTaskDatabase();
    return store.tasksOfList(list);
}

// True when the text holds nothing a terminal would act on but line ends.
bool onlyPrintable(const QString &text)
{
    for (const QChar c : text) {
        if (c != u'\n' && (c.category() == QChar::Other_Control || c.unicode() == 0x202e))
            return false;
    }
    return true;
}

// What --json and the export must give back whole.
QString jsonSubject(const QString &json)
{
    return QJsonDocument::fromJson(json.toUtf8())
        .object()
        .value(QStringLiteral("tasks"))
        .toArray()
        .at(0)
        .toObject()
        .value(QStringLiteral("subject"))
        .toString();
}

} // namespace

class TestCliProgram : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_folder = m_dir->path() + QLatin1Char('/');
    }

    void addThenListAsTextAndJson()
    {
        // What a window killed outright leaves behind does not stand in the way.
        QVERIFY(writeFileBytes(m_folder + s(".chronodeck.sock"), ""));
        CliRun add = runCli(m_folder,
                            {s("add"), s("Write the report"), s("--budget"), s("1h30m"),
                             s("--category"), s("wORK"), s("--priority"), s("high")});
        QCOMPARE(add.exit, 0);
        QCOMPARE(add.err, QString());
        QVERIFY2(add.out.startsWith(s("Added task 1 to ")), qPrintable(add.out));
        QCOMPARE(runCli(m_folder, args("add Call Bob --budget 45")).exit, 0);
        QCOMPARE(runCli(m_folder, args("done 2")).exit, 0);
        // Tomorrow's list is another list; its subject must survive JSON.
        const QString awkward = QStringLiteral("Say \"hi\"\tto C:\\Temp, caf\u00e9 \U0001F600");
        QCOMPARE(runCli(m_folder, {s("add"), awkward, s("--day"), s("tomorrow")}).exit, 0);
        const QJsonObject later
            = QJsonDocument::fromJson(
                  runCli(m_folder, args("list --day tomorrow --json")).out.toUtf8())
                  .object();
        QCOMPARE(later.value(s("tasks")).toArray().at(0).toObject().value(s("subject")).toString(),
                 awkward);

        const CliRun list = runCli(m_folder, args("list"));
        QCOMPARE(list.exit, 0);
        QCOMPARE(list.out,
                 s("ID  Done/Budget   %  State        Subject\n"
                   " 1    0:00/1:30  0%  Not Started  Write the report\n"
                   " 2    0:00/0:45  0%  Finished     Call Bob\n"));

        const CliRun json = runCli(m_folder, args("list --json"));
        QCOMPARE(json.exit, 0);
        QJsonParseError error;
        const QJsonObject object = QJsonDocument::fromJson(json.out.toUtf8(), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(object.value(s("day")).toString(), QDate::currentDate().toString(Qt::ISODate));
        const QJsonArray tasks = object.value(s("tasks")).toArray();
        QCOMPARE(tasks.size(), 2);
        const QJsonObject first = tasks[0].toObject();
        QCOMPARE(first.value(s("id")).toInt(), 1);
        QCOMPARE(first.value(s("subject")).toString(), s("Write the report"));
        QCOMPARE(first.value(s("category")).toString(), s("Work"));
        QCOMPARE(first.value(s("budget")).toInt(), 90);
        QCOMPARE(first.value(s("priority")).toString(), s("High"));
        QCOMPARE(first.value(s("state")).toString(), s("Not Started"));
        QCOMPARE(tasks[1].toObject().value(s("finished")).toBool(), true);
        QCOMPARE(first.value(s("tracked")).toBool(), false);

        // Nothing tracks without the window.
        QCOMPARE(runCli(m_folder, args("status --json")).out, s("{}\n"));
        QCOMPARE(runCli(m_folder, {s("status"), s("--format"), s("{subject}")}).out, s("\n"));
        const CliRun stop = runCli(m_folder, args("stop"));
        QCOMPARE(stop.exit, 0);
        QCOMPARE(stop.out, s("Nothing is tracked\n"));
    }

    // Task text can hold terminal control sequences (a new window title, a
    // wiped screen): what is printed for people shows them as escapes, the
    // database and the JSON keep the text exactly.
    void controlCharactersArePrintedAsEscapes()
    {
        const QString hostile
            = QStringLiteral(u"\u001b]0;pwned\u0007\u001b[2J\u007f\u009b31m \u202etxt.exe");
        const QString shown = QStringLiteral(u"\\e]0;pwned\\a\\e[2J\\x7f\\u009b31m \\u202etxt.exe");
        const CliRun add = runCli(m_folder, {s("add"), hostile});
        QCOMPARE(add.exit, 0);
        QCOMPARE(add.out,
                 s("Added task 1 to %1: %2 (1:00)\n")
                     .arg(QDate::currentDate().toString(Qt::ISODate), shown));
        QCOMPARE(rows(m_folder, today()).value(0).Subject, hostile);

        const CliRun list = runCli(m_folder, args("list"));
        QVERIFY2(list.out.endsWith(s("Not Started  ") + shown + QLatin1Char('\n')),
                 qPrintable(list.out));
        QCOMPARE(jsonSubject(runCli(m_folder, args("list --json")).out), hostile);

        // Category names come from the database too.
        {
            TaskStore store(m_folder);
            store.OpenTaskDatabase();
            CategoryRecord category = store.categories().value(0);
            category.Name = s("Work\x1b[8m");
            QVERIFY(store.UpdateCategory(category));
            QVERIFY(store.SetTaskCategory(today(), 1, category.ID));
        }
        const CliRun report = runCli(m_folder, args("report --period day"));
        QCOMPARE(report.exit, 0);
        QVERIFY2(report.out.contains(s("\nWork\\e[8m ")), qPrintable(report.out));
        const CliRun refused = runCli(m_folder, args("add x --category none"));
        QCOMPARE(refused.exit, 1);
        QVERIFY2(refused.err.contains(s("Work\\e[8m")), qPrintable(refused.err));
        for (const CliRun &run : {add, list, report, refused})
            QVERIFY2(onlyPrintable(run.out + run.err), qPrintable(run.out + run.err));
    }

    // A subject of any length is stored and given back whole; what is
    // printed for people shows its start.
    void longSubjectsAreCutOnlyForPeople()
    {
        const QString tail = s(" and the end");
        const QString subject = QString(20000, QLatin1Char('w')) + tail;
        QCOMPARE(runCli(m_folder, {s("add"), subject}).exit, 0);
        const CliRun list = runCli(m_folder, args("list"));
        QCOMPARE(list.exit, 0);
        QVERIFY2(list.out.size() < 2000, qPrintable(list.out.left(200)));
        QVERIFY(list.out.endsWith(QStringLiteral(u"www\u2026\n")));
        QCOMPARE(jsonSubject(runCli(m_folder, args("list --json")).out), subject);
        const CliRun csv = runCli(m_folder, args("export"));
        QVERIFY(csv.out.contains(QLatin1Char(',') + subject + QLatin1Char(',')));
        QCOMPARE(rows(m_folder, today()).value(0).Subject, subject);
    }

    // Exit 1 with one line on stderr naming what was wrong, and the database
    // file exactly as it was.
    void badInputWritesNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("bad budget") << args("add x --budget 1:75") << s("bad budget \"1:75\"");
        QTest::newRow("bad day") << args("add x --day 2024-13-01") << s("bad day");
        QTest::newRow("unknown priority") << args("add x --priority top") << s("unknown priority");
        QTest::newRow("unknown category")
            << args("add x --category Nope") << s("unknown category \"Nope\"");
        QTest::newRow("blank subject")
            << QStringList {s("add"), s("  ")} << s("the subject is empty");
        QTest::newRow("start without window")
            << args("add x --start") << s("tracking needs the Chronodeck window");
        QTest::newRow("unknown ID to check off")
            << args("done 1 7") << s("unknown ID: there is no task 7");
        QTest::newRow("tracking without window")
            << args("start 1") << s("tracking needs the Chronodeck window");
        QTest::newRow("unknown command") << args("remove 1") << s("unknown command \"remove\"");
        QTest::newRow("export format") << args("export --format xml") << s("unknown format");
        QTest::newRow("range backwards")
            << args("report --from 2024-03-09 --to 2024-03-01") << s("--from 2024-03-09 is after");
        QTest::newRow("half a range") << args("export --from 2024-03-01") << s("--from and --to");
        QTest::newRow("unknown period") << args("report --period year") << s("unknown period");
        QTest::newRow("review moves only to tomorrow")
            << args("review --move-to friday") << s("bad value \"friday\" for --move-to");
    }
    void badInputWritesNothing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QCOMPARE(runCli(m_folder, args("add Kept")).exit, 0);
        const QByteArray before = fileBytes(m_folder + TaskStore::databaseFileName());

        const CliRun run = runCli(m_folder, arguments);
        QCOMPARE(run.exit, 1);
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.startsWith(s("chronodeck: ") + message), qPrintable(run.err));
        QCOMPARE(run.err.count(QLatin1Char('\n')), 1);
        QCOMPARE(fileBytes(m_folder + TaskStore::databaseFileName()), before);
        QCOMPARE(rows(m_folder, today()).size(), 1);
    }

    // review lists what is left of the day and changes nothing; with
    // --move-to tomorrow every unfinished task lands at the end of the next
    // day's list, and the day has nothing left to review.
    void reviewPrintsThenMoves()
    {
        QCOMPARE(runCli(m_folder, args("add Write --budget 1h30m")).exit, 0);
        QCOMPARE(runCli(m_folder, args("add Call --budget 40")).exit, 0);
        QCOMPARE(runCli(m_folder, args("add Filed --budget 20")).exit, 0);
        QCOMPARE(runCli(m_folder, args("done 3")).exit, 0);
        QCOMPARE(runCli(m_folder, args("add Planned --day tomorrow")).exit, 0);
        const QByteArray before = fileBytes(m_folder + TaskStore::databaseFileName());

        const CliRun review = runCli(m_folder, args("review"));
        QCOMPARE(review.exit, 0);
        QCOMPARE(review.out, s("ID  Done/Budget  Subject\n"
                               " 1    0:00/1:30  Write\n"
                               " 2    0:00/0:40  Call\n"
                               "2 tasks, 2:10 planned, 0:00 done, move 2:10 to tomorrow\n"));
        QCOMPARE(fileBytes(m_folder + TaskStore::databaseFileName()), before);

        const QString tomorrow = QDate::currentDate().addDays(1).toString(Qt::ISODate);
        const CliRun moved = runCli(m_folder, args("review --move-to tomorrow"));
        QCOMPARE(moved.exit, 0);
        QCOMPARE(moved.out, s("Moved 2 tasks to %1\n"
                              "2 tasks, 2:10 planned, 0:00 done, move 2:10 to tomorrow\n")
                                .arg(tomorrow));
        QStringList left;
        for (const TaskRecord &t : rows(m_folder, today()))
            left << QString::number(t.ID) + t.Subject;
        QCOMPARE(left, QStringList {s("3Filed")});
        QStringList next;
        for (const TaskRecord &t : rows(m_folder, DayListKey(QDate::currentDate().addDays(1))))
            next << QString::number(t.ID) + t.Subject;
        next.sort();
        QCOMPARE(next, (QStringList {s("1Planned"), s("2Write"), s("3Call")}));
        QCOMPARE(runCli(m_folder, args("review")).out,
                 s("Nothing left to review on %1\n")
                     .arg(QDate::currentDate().toString(Qt::ISODate)));
    }

    // The report and the exports read the same day the window shows.
    void reportAndExportOfTheDay()
    {
        QCOMPARE(runCli(m_folder, args("add Plan --budget 90 --category work")).exit, 0);
        QCOMPARE(runCli(m_folder, args("add Mail --budget 15")).exit, 0);
        QCOMPARE(runCli(m_folder, args("done 2")).exit, 0);

        const CliRun report = runCli(m_folder, args("report --period day"));
        QCOMPARE(report.exit, 0);
        const QString totalLine = report.out.split(QLatin1Char('\n')).filter(s("Total")).value(0);
        QVERIFY2(totalLine.simplified() == s("Total 1:45 0:00 1 1"), qPrintable(report.out));

        const CliRun csv = runCli(m_folder, args("export --format csv"));
        QCOMPARE(csv.exit, 0);
        const QStringList lines = csv.out.split(s("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.at(0), s("Date,Subject,Category,Priority,State,Budget minutes,Done seconds"));
        QVERIFY2(lines.at(2).endsWith(s(",Mail,(none),Normal,Finished,15,0")), qPrintable(lines.at(2)));

        const CliRun ics = runCli(m_folder, args("export --format ICS"));
        QCOMPARE(ics.exit, 0);
        QCOMPARE(ics.out.count(s("BEGIN:VTODO")), 2);
    }

    // The check-off of the window: with "mark 100 %" the whole budget counts
    // as done.
    void doneFollowsTheSettings()
    {
        QFile ini(m_folder + s("settings.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[General]\r\nMarkTasks100PercentWhenCheckedOff=1\r\n");
        ini.close();
        QCOMPARE(runCli(m_folder, args("add A --budget 30")).exit, 0);
        QCOMPARE(runCli(m_folder, args("done 1")).exit, 0);
        const QList<TaskRecord> stored = rows(m_folder, today());
        QCOMPARE(stored.first().State, int(TaskState::Finished));
        QCOMPARE(stored.first().FinishedDuration, 30);
    }

    void dataFolderOrDatabaseUnusable()
    {
        // A file where the folder should be.
        QVERIFY(writeFileBytes(m_folder + s("plain"), "x"));
        CliRun run = runCli(m_folder + s("plain"), args("list"));
        QCOMPARE(run.exit, 2);
        QVERIFY2(run.err.startsWith(s("chronodeck: ")), qPrintable(run.err));

        // A database file that is not one is left exactly as it is.
        const QByteArray junk(8192, 'j');
        QVERIFY(writeFileBytes(m_folder + TaskStore::databaseFileName(), junk));
        run = runCli(m_folder, args("add x"));
        QCOMPARE(run.exit, 2);
        QCOMPARE(run.err.count(QLatin1Char('\n')), 1);
        QCOMPARE(fileBytes(m_folder + TaskStore::databaseFileName()), junk);
    }

    void helpAndVersion()
    {
        CliRun run = runCli(m_folder, args("--version"));
        QCOMPARE(run.exit, 0);
        QVERIFY(run.out.startsWith(s("Chronodeck ")));
        run = runCli(m_folder, args("--help"));
        QCOMPARE(run.exit, 0);
        for (const char *command : {"add", "list", "start", "stop", "done", "status"})
            QVERIFY2(run.out.contains(s("\n  ") + s(command) + QLatin1Char(' ')), command);
        run = runCli(m_folder, args("done --help"));
        QCOMPARE(run.exit, 0);
        QVERIFY(run.out.startsWith(s("Usage: chronodeck done ID...")));
        // Help touches no data folder.
        QVERIFY(!QFile::exists(m_folder + TaskStore::databaseFileName()));
    }

    // The program started without a command is the window, and it answers
    // commands: only there can tracking start.
    void windowProgramTakesCommands()
    {
        QProcess window;
        QProcessEnvironment env = cliEnvironment();
        env.insert(s("QT_QPA_PLATFORM"), s("offscreen"));
        window.setProcessEnvironment(env);
        window.start(s(CHRONODECK_EXE), {s("--data-dir"), m_folder, s("minimized")});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(cli::commandSocketName(m_folder)), 20000);

        // The status line of a status bar shows the start of a long subject,
        // escaped; the JSON has it whole.
        // A placeholder in the subject is text like any other.
        const QString subject = s("Tracked\x1b[2J{budget}") + QString(20000, QLatin1Char('w'));
        QCOMPARE(runCli(m_folder, {s("add"), subject, s("--start")}).exit, 0);
        const QJsonObject status
            = QJsonDocument::fromJson(runCli(m_folder, args("status --json")).out.toUtf8())
                  .object();
        QCOMPARE(status.value(s("subject")).toString(), subject);
        QCOMPARE(status.value(s("id")).toInt(), 1);
        const QString line = runCli(m_folder, args("status")).out;
        QVERIFY2(line.startsWith(s("Tracked\\e[2J{budget}www")), qPrintable(line.left(100)));
        QVERIFY2(line.endsWith(QStringLiteral(u"w\u2026 0:00/1:00 0%\n")),
                 qPrintable(line.right(100)));
        QVERIFY(line.size() < 2000);
        const QString stopped = runCli(m_folder, args("stop")).out;
        QVERIFY2(stopped.startsWith(s("Stopped tracking task 1: Tracked\\e[2J{budget}www")),
                 qPrintable(stopped.left(100)));
        QVERIFY(stopped.size() < 2000);

        window.kill();
        window.waitForFinished(5000);
    }

#ifdef Q_OS_LINUX
    // A command must not pay for the widget libraries: the loader reports
    // every library it maps.
    void commandLoadsNoWidgets()
    {
        QProcess process;
        QProcessEnvironment env = cliEnvironment();
        env.insert(s("LD_DEBUG"), s("libs"));
        process.setProcessEnvironment(env);
        process.start(s(CHRONODECK_EXE), {s("--data-dir"), m_folder, s("list")});
        QVERIFY(process.waitForFinished(20000));
        const QByteArray loaded = process.readAllStandardError();
        QVERIFY(loaded.contains("libQt6Core.so"));
        QVERIFY(!loaded.contains("libQt6Widgets.so"));
        QVERIFY(!loaded.contains("libQt6Gui.so"));
    }
#endif

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_folder;
};

QTEST_GUILESS_MAIN(TestCliProgram)
#include "test_cli_program.moc"
