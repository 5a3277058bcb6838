// Many `chronodeck` processes on one data folder at once, no window: every
// task a process reported as added is in the database exactly once, and the
// recurrent templates reach a new day's list once, however the processes
// overlap. The processes are real; what is checked is what they printed and
// what the file holds afterwards.

#include "CliProcess.h"

#include "common/FileBytes.h"
#include "store/Sql.h"
#include "store/TaskRecord.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"

#include <QDate>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <vector>

using namespace cdk;
using namespace cdk::test;

namespace {

// A few hundred processes take seconds; under the sanitizers each starts
// about five times slower, which still leaves the test well within its time.
constexpr int kAddsPerWorker = 50;
constexpr int kWorkers = 8;
constexpr int kRaceTrials = 10;
constexpr int kNewDays = 5;

QString s(const char *text) { return QString::fromUtf8(text); }

struct Ran
{
    QStringList arguments;
    CliRun run;
};

// Runs each worker's commands one after another, all workers at the same
// time, and returns every run in the order they ended. A run that has not
// ended when the time is up is killed and counts as failed.
QList<Ran> runWorkers(const QString &folder, const QList<QList<QStringList>> &workers)
{
    QList<Ran> finished;
    QEventLoop loop;
    QObject owner;
    std::vector<qsizetype> next(size_t(workers.size()), 0);
    qsizetype running = 0;
    bool stopping = false;
    std::function<void(qsizetype)> startNext = [&](qsizetype w) {
        if (stopping || next[size_t(w)] == workers.at(w).size()) {
            if (running == 0)
                loop.quit();
            return;
        }
        const QStringList arguments = workers.at(w).at(next[size_t(w)]++);
        auto *process = new QProcess(&owner);
        auto ended = [&, w, arguments, process] {
            Ran f {arguments, collect(*process)};
            if (stopping)
                f.run.err += s("killed: did not finish in time");
            else if (process->error() == QProcess::FailedToStart)
                f.run.err += s("could not start: ") + process->errorString();
            finished.append(f);
            process->deleteLater();
            --running;
            startNext(w);
        };
        QObject::connect(process, &QProcess::finished, &loop, ended);
        QObject::connect(process, &QProcess::errorOccurred, &loop,
                         [ended](QProcess::ProcessError error) {
                             if (error == QProcess::FailedToStart)
                                 ended();
                         });
        ++running;
        startCli(*process, folder, arguments);
    };
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
        stopping = true;
        for (QProcess *process : owner.findChildren<QProcess *>()) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
        loop.quit();
    });
    deadline.start(100'000);
    for (qsizetype w = 0; w < workers.size(); ++w)
        startNext(w);
    if (running > 0)
        loop.exec();
    return finished;
}

QString describe(const Ran &f)
{
    return s("`%1` exited %2: %3")
        .arg(f.arguments.join(QLatin1Char(' ')), QString::number(f.run.exit),
             QString(f.run.err + f.run.out).trimmed().left(120));
}

struct Row
{
    qint32 id = 0;
    QString subject;
};

// The rows of one list as the file holds them, in stored order. A file that
// cannot be read, or has no task table, is a problem to report.
QList<Row> rowsOf(const QString &folder, const QString &list, QStringList &problems)
{
    const QString path = folder + TaskStore::databaseFileName();
    if (!QFile::exists(path)) {
        problems << s("no database file");
        return {};
    }
    QList<Row> rows;
    try {
        sql::Database db = sql::Database::openReadOnly(path);
        sql::Statement query
            = db.prepare(s("SELECT ID, Subject FROM Chronodeck WHERE List = ?1 ORDER BY rowid"));
        query.bind(1, list);
        while (query.step())
            rows.append({query.int32(0), query.text(1)});
    } catch (const StoreError &e) {
        problems << s("the database cannot be read: %1").arg(e.message());
    }
    return rows;
}

// What the user was told against what the file holds: every run exited 0
// and printed "Added task N to DAY: ...", each task so reported is in that
// day's list exactly once under its number, and the list holds nothing else.
QStringList addProblems(const QString &folder, const QList<Ran> &runs)
{
    static const QRegularExpression added(s("^Added task (\\d+) to (\\d{4}-\\d{2}-\\d{2}): "));
    QStringList problems;
    QHash<QString, QHash<QString, qint32>> reported; // day list -> subject -> ID
    for (const Ran &f : runs) {
        const QRegularExpressionMatch match = added.match(f.run.out);
        if (f.run.exit != 0 || !match.hasMatch()) {
            problems << describe(f);
            continue;
        }
        const QString list = DayListKey(QDate::fromString(match.captured(2), Qt::ISODate));
        reported[list].insert(f.arguments.value(1), match.captured(1).toInt());
    }
    for (auto day = reported.cbegin(); day != reported.cend(); ++day) {
        const QList<Row> rows = rowsOf(folder, day.key(), problems);
        QHash<QString, QList<qint32>> stored;
        for (const Row &row : rows)
            stored[row.subject].append(row.id);
        for (auto task = day->cbegin(); task != day->cend(); ++task) {
            const QList<qint32> ids = stored.value(task.key());
            if (ids != QList<qint32> {task.value()})
                problems << s("\"%1\", reported as task %2, is stored %3 times")
                                .arg(task.key())
                                .arg(task.value())
                                .arg(ids.size());
        }
        if (rows.size() != day->size())
            problems << s("the list %1 holds %2 tasks, %3 were reported")
                            .arg(day.key(), QString::number(rows.size()),
                                 QString::number(day->size()));
    }
    return problems;
}

// A subject no other add of the run uses, so each report can be found.
QStringList addCommand(int worker, int n)
{
    return {s("add"), s("Task %1.%2").arg(worker).arg(n), s("--budget"), s("20")};
}

const QStringList &templateSubjects()
{
    static const QStringList subjects {s("Water the plants"), s("Read the mail"), s("Stretch")};
    return subjects;
}

// A folder whose templates all belong in every day's list.
void addTemplates(const QString &folder)
{
    TaskStore store(folder);
    store.OpenTaskDatabase();
    qint32 id = 1;
    for (const QString &subject : templateSubjects()) {
        TaskRecord templ;
        templ.ID = id++;
        templ.List = recurrentListKey();
        templ.Subject = s("0]") + subject;
        templ.Category = 1;
        templ.Duration = 15;
        templ.Priority = 2;
        store.SaveTask(templ, true, templ.List, templ.ID);
    }
    store.Close();
}

// The morning of a new day: the last copy was made yesterday, as far as both
// the settings and the database (when it records the day) know, and today's
// list holds no copies yet. Returns what went wrong, or nothing.
QString makeNewDay(const QString &folder, const QDate &today)
{
    const QDate yesterday = today.addDays(-1);
    if (!writeFileBytes(folder + s("settings.ini"),
                        s("[General]\r\nLastRecurrentInjectDay=%1\r\n"
                          "LastRecurrentInjectMonth=%2\r\nLastRecurrentInjectYear=%3\r\n")
                            .arg(yesterday.day())
                            .arg(yesterday.month())
                            .arg(yesterday.year())
                            .toUtf8()))
        return s("settings.ini cannot be written");
    try {
        sql::Database db = sql::Database::open(folder + TaskStore::databaseFileName(), false);
        if (db.scalar(s("SELECT count(*) FROM sqlite_master WHERE type = 'table' "
                        "AND name = 'ProgramState'"))
                .toInt()
            == 1) {
            sql::Statement set = db.prepare(s("INSERT OR REPLACE INTO ProgramState (Name, Value) "
                                              "VALUES ('LastRecurrentInject', ?1)"));
            set.bind(1, yesterday.toString(Qt::ISODate));
            set.run();
        }
        sql::Statement clear = db.prepare(s("DELETE FROM Chronodeck WHERE List = ?1"));
        clear.bind(1, DayListKey(today));
        clear.run();
    } catch (const StoreError &e) {
        return e.message();
    }
    return {};
}

// Every run exited 0 and today's list holds one copy of each template.
QStringList copyProblems(const QString &folder, const QDate &today, const QList<Ran> &runs)
{
    QStringList problems;
    for (const Ran &f : runs) {
        if (f.run.exit != 0)
            problems << describe(f);
    }
    QHash<QString, int> copies;
    for (const Row &row : rowsOf(folder, DayListKey(today), problems))
        ++copies[row.subject];
    for (const QString &subject : templateSubjects()) {
        if (copies.value(subject) != 1)
            problems << s("\"%1\" copied %2 times").arg(subject).arg(copies.value(subject));
    }
    if (copies.size() != templateSubjects().size())
        problems << s("today's list holds other tasks too");
    return problems;
}

// QTest cuts a long message: a count, then the first problems, which are
// also logged whole.
QString report(const QStringList &problems, const QString &count = QString())
{
    for (const QString &problem : problems)
        qWarning("%s", qPrintable(problem));
    QStringList shown = problems.mid(0, 4);
    if (problems.size() > shown.size())
        shown << s("... %1 problems in all").arg(problems.size());
    if (!count.isEmpty())
        shown.prepend(count);
    return shown.join(QLatin1Char('\n'));
}

} // namespace

class TestManyProcesses : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The first commands on a folder race to create the database; none of
    // them may lose another's task or refuse the file another is making.
    void firstCommandsOnAnEmptyFolder()
    {
        QStringList problems;
        int failedTrials = 0;
        for (int trial = 1; trial <= kRaceTrials; ++trial) {
            QTemporaryDir dir;
            const QString folder = dir.path() + QLatin1Char('/');
            QList<QList<QStringList>> workers;
            for (int w = 0; w < kWorkers; ++w)
                workers.append({addCommand(w, 1)});
            const QStringList found = addProblems(folder, runWorkers(folder, workers));
            for (const QString &problem : found)
                problems << s("trial %1: %2").arg(trial).arg(problem);
            failedTrials += found.isEmpty() ? 0 : 1;
        }
        QVERIFY2(problems.isEmpty(),
                 qPrintable(report(
                     problems, s("%1 of %2 trials failed").arg(failedTrials).arg(kRaceTrials))));
    }

    void manyAddsFromManyProcesses()
    {
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        QList<QList<QStringList>> workers;
        for (int w = 0; w < kWorkers; ++w) {
            QList<QStringList> commands;
            for (int n = 1; n <= kAddsPerWorker; ++n)
                commands.append(addCommand(w, n));
            workers.append(commands);
        }
        const QList<Ran> runs = runWorkers(folder, workers);
        QCOMPARE(runs.size(), kWorkers * kAddsPerWorker);
        const QStringList problems = addProblems(folder, runs);
        QVERIFY2(problems.isEmpty(), qPrintable(report(problems)));
    }

    // Processes that start together on a new day: the first copies the
    // templates, the others find the day done.
    void newDayCopiesTemplatesOnce()
    {
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        addTemplates(folder);
        QStringList problems;
        int failedTrials = 0;
        for (int day = 1; day <= kNewDays; ++day) {
            for (const int together : {2, 8}) {
                const QDate today = QDate::currentDate();
                const QString unprepared = makeNewDay(folder, today);
                QVERIFY2(unprepared.isEmpty(), qPrintable(unprepared));
                QList<QList<QStringList>> workers;
                for (int w = 0; w < together; ++w)
                    workers.append({{w % 2 ? s("list") : s("status")}});
                const QList<Ran> runs = runWorkers(folder, workers);
                // Midnight in between makes another day; that trial says nothing.
                if (QDate::currentDate() != today)
                    continue;
                const QStringList found = copyProblems(folder, today, runs);
                for (const QString &problem : found)
                    problems << s("day %1, %2 at once: %3").arg(day).arg(together).arg(problem);
                failedTrials += found.isEmpty() ? 0 : 1;
            }
        }
        QVERIFY2(problems.isEmpty(),
                 qPrintable(report(
                     problems, s("%1 of %2 trials failed").arg(failedTrials).arg(2 * kNewDays))));
    }

    // A settings file too large to be read or rewritten: the database alone
    // must know that today's copies are made, and the file stays as it was.
    void unwritableSettingsDoNotCopyAgain()
    {
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        addTemplates(folder);
        const QByteArray huge = "[General]\r\n; " + QByteArray(1100 * 1024, 'x') + "\r\n";
        QVERIFY(writeFileBytes(folder + s("settings.ini"), huge));
        const QDate today = QDate::currentDate();
        QList<Ran> runs;
        for (int i = 0; i < 2; ++i)
            runs.append({{s("status")}, runCli(folder, {s("status")})});
        if (QDate::currentDate() != today)
            QSKIP("midnight passed between the two commands");
        const QStringList problems = copyProblems(folder, today, runs);
        QVERIFY2(problems.isEmpty(), qPrintable(report(problems)));
        QVERIFY(fileBytes(folder + s("settings.ini")) == huge);
    }
};

QTEST_GUILESS_MAIN(TestManyProcesses)
#include "test_many_processes.moc"
