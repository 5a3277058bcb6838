// Many `chronodeck` processes on one data folder at once, no window: every
// task a process reported as added is in the database exactly once, and the
// recurrent templates reach a new day's list once, however the processes
// overlap. The processes are real; what is checked is what they printed and
// what the file holds afterwards.

#include "CliProcess.h"

#include "common/FileBytes.h"
#include "store/Sql.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"

#include <QDate>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
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

// Starts every script at once, each in a shell of its own with $EXE the
// program and $DIR the folder, and returns the lines they printed. A command
// that fails prints "failed" and its status after its own message.
QStringList runTogether(const QString &folder, const QStringList &scripts)
{
    std::vector<std::unique_ptr<QProcess>> shells;
    for (const QString &script : scripts) {
        auto shell = std::make_unique<QProcess>();
        QProcessEnvironment env = cliEnvironment();
        env.insert(s("EXE"), s(CHRONODECK_EXE));
        env.insert(s("DIR"), folder);
        shell->setProcessEnvironment(env);
        shell->setProcessChannelMode(QProcess::MergedChannels);
        shell->start(s("sh"), {s("-c"), script});
        shells.push_back(std::move(shell));
    }
    QStringList lines;
    for (const auto &shell : shells) {
        if (!shell->waitForFinished(100'000)) {
            shell->kill();
            lines << s("a worker did not finish in time");
        }
        lines << QString::fromUtf8(shell->readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
    return lines;
}

QString addScript(int worker, int adds)
{
    return s("for n in $(seq 1 %1); do \"$EXE\" --data-dir \"$DIR\" add \"Task %2.$n\" "
             "--budget 20 || echo \"failed $?\"; done")
        .arg(adds)
        .arg(worker);
}

// Subject -> ID of each row of the list, several IDs for a subject stored twice.
QHash<QString, QList<qint32>> rowsOf(const QString &folder, const QString &list,
                                     QStringList &problems)
{
    QHash<QString, QList<qint32>> rows;
    try {
        sql::Database db = sql::Database::openReadOnly(folder + TaskStore::databaseFileName());
        sql::Statement query = db.prepare(s("SELECT ID, Subject FROM Chronodeck WHERE List = ?1"));
        query.bind(1, list);
        while (query.step())
            rows[query.text(1)].append(query.int32(0));
    } catch (const StoreError &e) {
        problems << s("the database cannot be read: %1").arg(e.message());
    }
    return rows;
}

// What the user was told against what the file holds: every command printed
// "Added task N to DAY: SUBJECT", and each task so reported is in that day's
// list exactly once, under its number, and the list holds nothing else.
QStringList addProblems(const QString &folder, const QStringList &lines)
{
    static const QRegularExpression added(
        s("^Added task (\\d+) to (\\d{4}-\\d{2}-\\d{2}): (Task \\d+\\.\\d+) \\("));
    QStringList problems;
    QHash<QString, QHash<QString, qint32>> reported; // day list -> subject -> ID
    for (const QString &line : lines) {
        const QRegularExpressionMatch match = added.match(line);
        if (!match.hasMatch()) {
            problems << line.left(160);
            continue;
        }
        const QString list = DayListKey(QDate::fromString(match.captured(2), Qt::ISODate));
        reported[list].insert(match.captured(3), match.captured(1).toInt());
    }
    for (auto day = reported.cbegin(); day != reported.cend(); ++day) {
        const auto rows = rowsOf(folder, day.key(), problems);
        for (auto task = day->cbegin(); task != day->cend(); ++task) {
            if (rows.value(task.key()) != QList<qint32> {task.value()})
                problems << s("\"%1\", reported as task %2, is stored as %3")
                                .arg(task.key())
                                .arg(task.value())
                                .arg(QDebug::toString(rows.value(task.key())));
        }
        if (rows.size() != day->size())
            problems << s("%1 holds %2 tasks, %3 were reported")
                            .arg(day.key())
                            .arg(rows.size())
                            .arg(day->size());
    }
    return problems;
}

const QStringList kTemplates {s("Water the plants"), s("Read the mail"), s("Stretch")};

void addTemplates(const QString &folder)
{
    TaskStore store(folder);
    store.OpenTaskDatabase();
    qint32 id = 1;
    for (const QString &subject : kTemplates) {
        TaskRecord templ;
        templ.ID = id++;
        templ.List = recurrentListKey();
        templ.Subject = s("0]") + subject; // every day
        templ.Duration = 15;
        store.SaveTask(templ, true, templ.List, templ.ID);
    }
}

// The morning of a new day: the last copy was made yesterday, as both the
// settings and the database know, and today's list holds no copies yet.
void makeNewDay(const QString &folder, const QDate &today)
{
    const QDate yesterday = today.addDays(-1);
    QVERIFY(writeFileBytes(folder + s("settings.ini"),
                           s("[General]\r\nLastRecurrentInjectDay=%1\r\nLastRecurrentInjectMonth="
                             "%2\r\nLastRecurrentInjectYear=%3\r\n")
                               .arg(yesterday.day())
                               .arg(yesterday.month())
                               .arg(yesterday.year())
                               .toUtf8()));
    sql::Database db = sql::Database::open(folder + TaskStore::databaseFileName(), false);
    sql::Statement set = db.prepare(s("INSERT OR REPLACE INTO ProgramState (Name, Value) "
                                      "VALUES ('LastRecurrentInject', ?1)"));
    set.bind(1, yesterday.toString(Qt::ISODate)).run();
    sql::Statement clear = db.prepare(s("DELETE FROM Chronodeck WHERE List = ?1"));
    clear.bind(1, DayListKey(today)).run();
}

// Nothing failed and today's list holds one copy of each template.
QStringList copyProblems(const QString &folder, const QDate &today, const QStringList &lines)
{
    QStringList problems = lines.filter(QRegularExpression(s("^failed")));
    const auto rows = rowsOf(folder, DayListKey(today), problems);
    for (const QString &subject : kTemplates) {
        if (rows.value(subject).size() != 1)
            problems << s("\"%1\" copied %2 times").arg(subject).arg(rows.value(subject).size());
    }
    if (rows.size() != kTemplates.size())
        problems << s("today's list holds other tasks too");
    return problems;
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
        for (int trial = 1; trial <= kRaceTrials; ++trial) {
            QTemporaryDir dir;
            const QString folder = dir.path() + QLatin1Char('/');
            QStringList scripts;
            for (int w = 0; w < kWorkers; ++w)
                scripts << addScript(w, 1);
            for (const QString &problem : addProblems(folder, runTogether(folder, scripts)))
                problems << s("trial %1: %2").arg(trial).arg(problem);
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.mid(0, 6).join(u'\n')));
    }

    void manyAddsFromManyProcesses()
    {
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        QStringList scripts;
        for (int w = 0; w < kWorkers; ++w)
            scripts << addScript(w, kAddsPerWorker);
        const QStringList lines = runTogether(folder, scripts);
        QCOMPARE(lines.size(), kWorkers * kAddsPerWorker);
        const QStringList problems = addProblems(folder, lines);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.mid(0, 6).join(u'\n')));
    }

    // Processes that start together on a new day: the first copies the
    // templates, the others find the day done.
    void newDayCopiesTemplatesOnce()
    {
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        addTemplates(folder);
        QStringList problems;
        for (int day = 1; day <= kNewDays; ++day) {
            for (const int together : {2, 8}) {
                const QDate today = QDate::currentDate();
                makeNewDay(folder, today);
                QStringList scripts;
                for (int w = 0; w < together; ++w)
                    scripts << s("\"$EXE\" --data-dir \"$DIR\" %1 >/dev/null || echo \"failed $?\"")
                                   .arg(w % 2 ? s("list") : s("status"));
                const QStringList lines = runTogether(folder, scripts);
                // Midnight in between makes another day; that trial says nothing.
                if (QDate::currentDate() != today)
                    continue;
                for (const QString &problem : copyProblems(folder, today, lines))
                    problems << s("day %1, %2 at once: %3").arg(day).arg(together).arg(problem);
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.mid(0, 6).join(u'\n')));
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
        QStringList lines;
        for (int i = 0; i < 2; ++i)
            lines << runTogether(folder, {s("\"$EXE\" --data-dir \"$DIR\" status >/dev/null "
                                            "|| echo \"failed $?\"")});
        if (QDate::currentDate() != today)
            QSKIP("midnight passed between the two commands");
        const QStringList problems = copyProblems(folder, today, lines);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
        QCOMPARE(fileBytes(folder + s("settings.ini")), huge);
    }
};

QTEST_GUILESS_MAIN(TestManyProcesses)
#include "test_many_processes.moc"
