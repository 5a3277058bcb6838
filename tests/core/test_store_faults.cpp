// Every operation on tasks, run against a disk that fails: the Nth write,
// sync or read of the database files answers "disk full" or an I/O error,
// for N = 1, 2, ... until the operation no longer reaches the Nth call. After
// each fault the operation has reported the store's error, the store still
// works, and once the fault is lifted the file is intact and holds exactly
// the rows of before the operation or exactly those of after it.

#include "common/FakeClock.h"
#include "common/FaultVfs.h"
#include "common/TaskFixtures.h"
#include "core/TaskOperations.h"
#include "core/TimeTracker.h"
#include "store/TaskStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <functional>
#include <memory>

using namespace cdk;
using namespace Qt::StringLiterals;
using test::FaultVfs;
using test::kDay;
using test::kNextDay;

namespace {

constexpr qint32 kTracked = 1; // 59 seconds into its eleventh minute
constexpr int kSeedTasks = 60;
constexpr int kMaxFaultPoints = 400; // far above what any operation needs

// The program's task objects over a copy of the seeded database, with the
// store going through the failing VFS.
struct World
{
    QTemporaryDir dir;
    test::RecordingPrompter prompter;
    test::FakeClock clock;
    clsSettings settings {prompter};
    TaskStore store {dir.path(), QByteArray(FaultVfs::name())};
    TimeTracker tracker {store, clock};
    TaskOperations ops {store, settings, tracker};

    explicit World(const QByteArray &seed)
    {
        settings.setPath(dir.filePath(QStringLiteral("settings.ini")));
        QFile file(store.DatabasePath());
        if (!file.open(QIODevice::WriteOnly) || file.write(seed) != seed.size())
            qFatal("cannot copy the seed database");
        file.close();
        store.OpenTaskDatabase();
    }
    QString path() const { return store.DatabasePath(); }
};

// One operation of the layer, as a front end calls it. prepare runs without
// faults; run returns false when the operation reported a failure in some
// other way than by throwing (a tick stops tracking and says so).
struct Operation
{
    const char *name;
    std::function<bool(World &)> run;
    std::function<void(World &)> prepare = [](World &) {};
    // What else the operation leaves on disk, checked after every fault
    // (failed: the operation said it failed).
    std::function<void(World &, bool failed, const QString &where)> check = {};
};

QString rowsOf(sql::Database &db);
QString integrity(sql::Database &db);

constexpr auto kBackup = "backup.cdkd";
constexpr auto kEarlierBackup = "An earlier backup of that name";

QString filePath(World &w, const char *name)
{
    return w.dir.filePath(QLatin1String(name));
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<qint32> ids(int from, int to)
{
    QList<qint32> result;
    for (qint32 id = from; id <= to; ++id)
        result.append(id);
    return result;
}

// Adding an operation to the sweep is one line here.
const QList<Operation> &operations()
{
    static const QList<Operation> all = {
        {"add", [](World &w) { return w.ops.addTask(test::makeTask(0, u"New"_s)) > 0; }},
        {"add template",
         [](World &w) {
             w.ops.addTemplate(test::makeTask(0, u"0]Daily"_s), w.clock.today());
             return true;
         }},
        {"edit",
         [](World &w) {
             return w.ops.editTask(kDay, 5, test::makeTask(5, QString(2000, u'e'), 3));
         }},
        {"delete", [](World &w) { return w.ops.deleteTasks(kDay, ids(10, 40)) > 0; }},
        {"check",
         [](World &w) {
             w.ops.checkTasks(kDay, ids(2, 50), true,
                              TaskOperations::TrackedCheckOff::KeepTracking);
             return true;
         }},
        {"move", [](World &w) { return !w.ops.moveTasks(kDay, ids(20, 55), kNextDay).isEmpty(); }},
        {"review the day",
         [](World &w) {
             QList<ReviewChoice> choices;
             for (qint32 id : ids(1, 60))
                 choices.append({id, ReviewAction(id % 3)});
             return !w.ops.reviewDay(kDay, choices, QDate(2024, 3, 6)).isEmpty();
         }},
        {"batch priority",
         [](World &w) {
             w.ops.setPriority(kDay, ids(1, kSeedTasks), 5);
             return true;
         }},
        {"reset time done",
         [](World &w) {
             w.ops.resetTimeDone(kDay, ids(1, kSeedTasks));
             return true;
         }},
        {"tick",
         [](World &w) {
             w.clock.advance(1000);
             return w.tracker.TrackTick() != TickResult::Failed;
         },
         [](World &w) { QVERIFY(w.ops.startTracking(kDay, kTracked)); }},
        {"injection", [](World &w) { return w.ops.injectRecurrentTasks(w.clock.today()) > 0; }},
        {"compaction",
         [](World &w) {
             w.ops.closeAndCompact();
             return true;
         }},
        // The backup file either holds every row or is the file of that
        // name from before, untouched; no partial copy is left beside it.
        {"backup",
         [](World &w) {
             w.ops.backupDatabase(filePath(w, kBackup));
             return true;
         },
         [](World &w) {
             QFile earlier(filePath(w, kBackup));
             QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write(kEarlierBackup) > 0);
         },
         [](World &w, bool failed, const QString &where) {
             const QString backup = filePath(w, kBackup);
             const QStringList left = QDir(w.dir.path()).entryList({u"backup.cdkd*"_s});
             QVERIFY2(left == QStringList {u"backup.cdkd"_s}, qPrintable(where + left.join(u' ')));
             if (failed) {
                 QVERIFY2(contents(backup) == kEarlierBackup, qPrintable(where));
                 return;
             }
             sql::Database copy = sql::Database::openReadOnly(backup);
             QCOMPARE(integrity(copy), u"ok"_s);
             QVERIFY2(rowsOf(copy) == rowsOf(w.store.database()), qPrintable(where));
         }},
        // The chosen file replaces the live one, or the live rows come back
        // from their safety copy; the program has a database either way.
        {"restore",
         [](World &w) {
             w.ops.replaceDatabase(filePath(w, "chosen.cdkd"));
             return true;
         },
         [](World &w) {
             w.ops.backupDatabase(filePath(w, "safety.cdkd"));
             w.ops.backupDatabase(filePath(w, "chosen.cdkd"));
             sql::Database chosen = sql::Database::open(filePath(w, "chosen.cdkd"), false);
             chosen.exec(u"DELETE FROM Chronodeck WHERE ID > 30"_s);
         }},
    };
    return all;
}

QByteArray seedDatabase()
{
    QTemporaryDir dir;
    {
        TaskStore store(dir.path());
        store.OpenTaskDatabase();
        for (qint32 id = 1; id <= kSeedTasks; ++id) {
            TaskRecord t = test::makeTask(
                id, QStringLiteral("Task %1 ").arg(id) + QString(300, QLatin1Char('s')), 30 + id,
                id % 7, id % 5 == 0 ? 4 : 1);
            if (id == kTracked) {
                t.FinishedDuration = 10;
                t.FinishedSeconds = 59;
            }
            store.SaveTask(t, true, kDay, id);
        }
        for (qint32 id = 1; id <= 12; ++id)
            store.SaveTask(test::makeTask(id, QStringLiteral("0]Template %1").arg(id), 20, 0, 0, 2,
                                          recurrentListKey()),
                           true, recurrentListKey(), id);
        store.Close();
    }
    QFile file(QDir(dir.path()).filePath(TaskStore::databaseFileName()));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read the seed database");
    return file.readAll();
}

// Every row of every table, in stored order.
QString rowsOf(sql::Database &db)
{
    return db
        .scalar(QStringLiteral(
            "SELECT group_concat(r, char(10)) FROM ("
            "SELECT quote(rowid) || ',' || quote(ID) || ',' || quote(List) || ',' || "
            "quote(Subject) || ',' || quote(Category) || ',' || quote(Duration) "
            "|| ',' || quote(FinishedDuration) || ',' || quote(FinishedSeconds) "
            "|| ',' || quote(State) || ',' || quote(Priority) AS r "
            "FROM Chronodeck ORDER BY rowid) "
            "UNION ALL SELECT group_concat(quote(ID) || quote(Name), ';') "
            "FROM CategoryList"))
        .toString();
}

QString integrity(sql::Database &db)
{
    return db.scalar(QStringLiteral("PRAGMA integrity_check")).toString();
}

// What the file holds as the next start of the program opens it.
QString rowsOnDisk(const QString &folder, QString *check)
{
    TaskStore store(folder);
    store.OpenTaskDatabase();
    *check = integrity(store.database());
    const QString rows = rowsOf(store.database());
    // The program carries on writing where the fault left it.
    store.SaveTask(test::makeTask(900, u"After the fault"_s), true, kDay, 900);
    if (!store.findTask(kDay, 900))
        *check = QStringLiteral("a write after the fault was lost");
    return rows;
}

struct Fault
{
    const char *name;
    FaultVfs::Kind kind;
    int code;
    bool persistent;
};

} // namespace

class TestStoreFaults : public QObject
{
    Q_OBJECT

private:
    QByteArray m_seed;

private Q_SLOTS:
    void initTestCase()
    {
        FaultVfs::instance();
        m_seed = seedDatabase();
    }

    void everyFaultPointLeavesBeforeOrAfter_data()
    {
        QTest::addColumn<int>("operation");
        for (int i = 0; i < operations().size(); ++i)
            QTest::newRow(operations().at(i).name) << i;
    }

    void everyFaultPointLeavesBeforeOrAfter()
    {
        QFETCH(int, operation);
        const Operation &op = operations().at(operation);
        static const Fault faults[] = {
            {"full disk on write, lasting", FaultVfs::Kind::Write, SQLITE_FULL, true},
            {"full disk on write, once", FaultVfs::Kind::Write, SQLITE_FULL, false},
            {"I/O error on write, lasting", FaultVfs::Kind::Write, SQLITE_IOERR_WRITE, true},
            {"I/O error on sync, lasting", FaultVfs::Kind::Sync, SQLITE_IOERR_FSYNC, true},
            {"I/O error on sync, once", FaultVfs::Kind::Sync, SQLITE_IOERR_FSYNC, false},
            {"I/O error on read, lasting", FaultVfs::Kind::Read, SQLITE_IOERR_READ, true},
            {"I/O error on read, once", FaultVfs::Kind::Read, SQLITE_IOERR_READ, false},
        };

        // The rows after the operation, as it does on a sound disk.
        QString after;
        {
            World w(m_seed);
            op.prepare(w);
            QVERIFY(op.run(w));
            if (w.store.isOpen())
                w.store.Close();
            QString check;
            after = rowsOnDisk(w.dir.path(), &check);
            QCOMPARE(check, u"ok"_s);
        }

        QStringList tried;
        for (const Fault &fault : faults) {
            int points = 0;
            for (int nth = 1;; ++nth) {
                QVERIFY2(nth <= kMaxFaultPoints, fault.name);
                const QString where = QStringLiteral("%1, fault at call %2")
                                          .arg(QLatin1String(fault.name))
                                          .arg(nth);
                World w(m_seed);
                op.prepare(w);
                const QString before = rowsOf(w.store.database());
                // Pages come from the disk, as in a database larger than the
                // cache, so that reads can fail as well.
                sqlite3_db_release_memory(w.store.database().handle());

                FaultVfs::instance().arm(fault.kind, nth, fault.code, fault.persistent);
                bool reported = false;
                int code = 0;
                bool ok = false;
                try {
                    ok = op.run(w);
                    if (!ok)
                        code = w.tracker.lastErrorCode();
                } catch (const StoreError &e) {
                    reported = true;
                    code = e.code();
                    QVERIFY2(!e.message().isEmpty(), qPrintable(where));
                }
                const bool fired = FaultVfs::instance().fired();
                FaultVfs::instance().lift();
                if (!fired) {
                    QVERIFY2(ok && !reported, qPrintable(where));
                    break;
                }
                ++points;
                // A failure names the engine's error; what the caller was
                // told failed is not stored, in memory or on disk.
                const bool failed = reported || !ok;
                if (failed)
                    QVERIFY2(code != 0, qPrintable(where));
                auto expected = [&](const QString &rows) {
                    return failed ? rows == before || before == after
                                  : rows == before || rows == after;
                };
                if (w.store.isOpen()) {
                    QCOMPARE(integrity(w.store.database()), u"ok"_s);
                    QVERIFY2(expected(rowsOf(w.store.database())), qPrintable(where));
                    if (op.check) {
                        op.check(w, failed, where);
                        if (QTest::currentTestFailed())
                            return;
                    }
                    w.store.Close();
                }
                QString check;
                const QString onDisk = rowsOnDisk(w.dir.path(), &check);
                QVERIFY2(check == u"ok"_s, qPrintable(where + u": "_s + check));
                QVERIFY2(expected(onDisk), qPrintable(where));
                QVERIFY2(!QFileInfo::exists(w.path() + u".temp"_s), qPrintable(where));
            }
            tried.append(QStringLiteral("%1: %2").arg(QLatin1String(fault.name)).arg(points));
        }
        qInfo("%s: fault points tried: %s", op.name, qPrintable(tried.join(u"; "_s)));
    }
};

QTEST_GUILESS_MAIN(TestStoreFaults)
#include "test_store_faults.moc"
