// The steps that put new content in the place of the database file (a
// restore, the compaction at exit) are killed outright at moments spread over
// their whole run, the way a power cut or `kill -9` would stop them. After
// every kill the next start finds the database of before or the new one,
// complete, under its own name: never a missing, empty or half-copied file.
#include "common/FakeClock.h"
#include "common/RecordingPrompter.h"
#include "common/TaskFixtures.h"
#include "core/TaskOperations.h"
#include "core/TimeTracker.h"
#include "settings/Settings.h"
#include "store/TaskStore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

using namespace cdk;

namespace {

constexpr int kTasks = 12000;  // some 4 MB: each step takes a few milliseconds
constexpr int kKillPoints = 24;

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// Every row of the task table, as a start of the program would read them,
// and whether the file still holds unused pages (none once compacted).
QString rowsOf(sql::Database &db)
{
    return db
        .scalar(QStringLiteral(
            "SELECT count(*) || ':' || total(length(Subject)) || ':' || "
            "group_concat(List || '/' || ID, ',') || ':' || "
            "(SELECT iif(freelist_count > 0, 'loose', 'compact') FROM pragma_freelist_count) "
            "FROM Chronodeck"))
        .toString();
}

// A database of kTasks tasks over two days, closed.
QByteArray makeDatabase(int keepEvery)
{
    QTemporaryDir dir;
    TaskStore store(dir.path());
    store.OpenTaskDatabase();
    {
        sql::Transaction transaction(store.database());
        for (qint32 id = 1; id <= kTasks; ++id) {
            if (id % keepEvery != 0)
                continue;
            const QString list = id % 2 ? test::kDay : test::kNextDay;
            store.SaveTask(test::makeTask(id, QStringLiteral("Task %1 ").arg(id)
                                                  + QString(300, QLatin1Char('x')),
                                          30, 0, 1, 2, list),
                           true, list, id);
        }
        transaction.commit();
    }
    // Freed pages for the compaction to drop.
    store.database().exec(QStringLiteral("DELETE FROM Chronodeck WHERE ID BETWEEN 2000 AND 6000"));
    store.Close();
    return readFile(QDir(dir.path()).filePath(TaskStore::databaseFileName()));
}

// The program's objects on one data folder, in the process that is killed.
struct Program
{
    explicit Program(const QString &folder) : store(folder)
    {
        settings.setPath(QDir(folder).filePath(QStringLiteral("settings.ini")));
        store.OpenTaskDatabase(TaskStore::OpenCheck::OnUse);
    }
    test::RecordingPrompter prompter;
    test::FakeClock clock;
    clsSettings settings {prompter};
    TaskStore store;
    TimeTracker tracker {store, clock};
    TaskOperations operations {store, settings, tracker};
};

using Step = std::function<void(TaskOperations &, const QString &folder)>;

// Runs the step in a child process on the folder and kills it afterMs
// milliseconds after the step began (never, when negative). Returns how long
// the step took when it was not killed.
qint64 runKilled(const QString &folder, const Step &step, qint64 afterUs)
{
    int ready[2];
    if (::pipe(ready) != 0)
        qFatal("pipe failed");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ready[0]);
        Program program(folder);
        const char go = 'g';
        if (::write(ready[1], &go, 1) != 1)
            ::_exit(3);
        try {
            step(program.operations, folder);
        } catch (const std::exception &) {
            ::_exit(2);
        }
        ::_exit(0);
    }
    ::close(ready[1]);
    char go = 0;
    const bool started = ::read(ready[0], &go, 1) == 1;
    ::close(ready[0]);
    QElapsedTimer timer;
    timer.start();
    if (started && afterUs >= 0) {
        ::usleep(useconds_t(afterUs));
        ::kill(child, SIGKILL);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    const qint64 took = timer.nsecsElapsed() / 1000;
    if (afterUs < 0 && (!WIFEXITED(status) || WEXITSTATUS(status) != 0))
        qFatal("the step failed without a kill (status %d)", status);
    return took;
}

} // namespace

class TestStoreKills : public QObject
{
    Q_OBJECT

private:
    QByteArray m_old;    // the live database before the step
    QByteArray m_chosen; // a backup with a third of the tasks

    // Kills the step at kKillPoints moments over its run; after each, the
    // database holds one of the two row sets, complete. Both are seen: the
    // early kills stop the step before it is done, and the last run finishes.
    void sweep(const Step &step, const QByteArray &chosen, const QString &before,
               const QString &after)
    {
        QTemporaryDir measure;
        writeFile(QDir(measure.path()).filePath(TaskStore::databaseFileName()), m_old);
        writeFile(QDir(measure.path()).filePath(QStringLiteral("chosen.cdkd")), chosen);
        const qint64 whole = runKilled(measure.path(), step, -1);

        int sawBefore = 0;
        int sawAfter = 0;
        for (int point = 0; point <= kKillPoints; ++point) {
            QTemporaryDir dir;
            const QString folder = dir.path();
            const QString live = QDir(folder).filePath(TaskStore::databaseFileName());
            writeFile(live, m_old);
            writeFile(QDir(folder).filePath(QStringLiteral("chosen.cdkd")), chosen);
            // The last run is left to finish.
            const qint64 at = point < kKillPoints ? whole * point / kKillPoints : -1;
            runKilled(folder, step, at);

            const QString where = QStringLiteral("killed %1 us into a step of %2 us")
                                      .arg(at)
                                      .arg(whole);
            QVERIFY2(QFile::exists(live), qPrintable(where + QStringLiteral(": no database")));
            TaskStore store(folder);
            try {
                store.OpenTaskDatabase(TaskStore::OpenCheck::WholeFile);
            } catch (const StoreError &e) {
                QFAIL(qPrintable(where + QStringLiteral(": ") + e.message()));
            }
            const QString rows = rowsOf(store.database());
            QVERIFY2(rows == before || rows == after,
                     qPrintable(where + QStringLiteral(": rows ") + rows.left(60)));
            sawBefore += rows == before ? 1 : 0;
            sawAfter += rows == after ? 1 : 0;
            QCOMPARE(store.database()
                         .scalar(QStringLiteral("PRAGMA integrity_check"))
                         .toString(),
                     QStringLiteral("ok"));
        }
        QVERIFY(sawBefore > 0);
        QVERIFY(sawAfter > 0);
    }

    QString rowsOfFile(const QByteArray &bytes)
    {
        QTemporaryDir dir;
        writeFile(QDir(dir.path()).filePath(TaskStore::databaseFileName()), bytes);
        TaskStore store(dir.path());
        store.OpenTaskDatabase();
        return rowsOf(store.database());
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_old = makeDatabase(1);
        m_chosen = makeDatabase(3);
        QVERIFY(rowsOfFile(m_old) != rowsOfFile(m_chosen));
    }

    void restoreLeavesTheOldOrTheRestoredDatabase()
    {
        sweep(
            [](TaskOperations &operations, const QString &folder) {
                operations.replaceDatabase(QDir(folder).filePath(QStringLiteral("chosen.cdkd")));
            },
            m_chosen, rowsOfFile(m_old), rowsOfFile(m_chosen));
    }

    void compactionLeavesTheDatabaseWhole()
    {
        const QString loose = rowsOfFile(m_old);
        QVERIFY2(loose.endsWith(QStringLiteral(":loose")), qPrintable(loose.right(40)));
        QString compact = loose;
        compact.replace(QStringLiteral(":loose"), QStringLiteral(":compact"));
        sweep([](TaskOperations &operations, const QString &) { operations.closeAndCompact(); },
              {}, loose, compact);
    }
};

QTEST_GUILESS_MAIN(TestStoreKills)
#include "test_store_kills.moc"
