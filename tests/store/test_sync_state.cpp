// The table that ties each task to its calendar resource: older files and
// restored files get it or keep it, and it follows a task through moves,
// deletes and their undo, whoever makes them.
#include "common/OperationsFixture.h"
#include "common/TaskFixtures.h"
#include "store/TaskStore.h"

#include <QDir>
#include <QTest>

using namespace cdk;
using namespace Qt::StringLiterals;
using test::kDay;
using test::kNextDay;
using test::makeTask;

namespace {

struct World : test::OperationsFixture
{
    // "uid list id href etag" of every row, in table order; "-" for a
    // tombstone's place.
    QStringList rows()
    {
        QStringList out;
        for (const TaskStore::SyncRow &r : store.syncRows())
            out << u"%1 %2 %3 %4"_s.arg(r.uid, r.isTombstone() ? u"-"_s : r.list,
                                        r.isTombstone() ? u"-"_s : QString::number(r.id), r.etag);
        return out;
    }
    void link(const QString &uid, const QString &list, qint32 id)
    {
        store.putSyncRow({uid, list, id, uid + u".ics"_s, u"\"e-"_s + uid + u'"', u"{}"_s});
    }
};

QString dbPathOf(const QTemporaryDir &dir)
{
    return QDir(dir.path()).filePath(TaskStore::databaseFileName());
}

} // namespace

class TestSyncState final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A move (and the day review's moves), a rewrite that takes a move back
    // and a delete change the row of that task only; an undone delete comes
    // back as a task the server has not seen.
    void rowsFollowTheirTasks()
    {
        World w;
        w.ops.setRecording(true);
        for (int i = 1; i <= 3; ++i)
            w.add(makeTask(i, u"Task %1"_s.arg(i)));
        w.add(makeTask(1, u"Tomorrow"_s, 30, 0, NotStarted, 2, kNextDay));
        w.link(u"a"_s, kDay, 1);
        w.link(u"b"_s, kDay, 2);
        w.link(u"c"_s, kNextDay, 1);

        QCOMPARE(w.ops.moveTasks(kDay, {2}, kNextDay), QList<qint32> {2});
        QCOMPARE(w.rows(),
                 (QStringList {u"a 05032024 1 \"e-a\""_s, u"b 06032024 2 \"e-b\""_s,
                               u"c 06032024 1 \"e-c\""_s}));
        const TaskStore::SyncedTask moved = w.store.syncedTasks().at(1);
        QCOMPARE(moved.task.Subject, u"Task 2"_s);
        QCOMPARE(moved.task.List, kNextDay);
        QCOMPARE(moved.sync->uid, u"b"_s);

        w.ops.undo(); // the task goes back to its place, as the same resource
        QCOMPARE(w.rows().at(1), u"b 05032024 2 \"e-b\""_s);

        QCOMPARE(w.ops.deleteTasks(kDay, {1, 2}), 2);
        QCOMPARE(w.rows(),
                 (QStringList {u"a - - \"e-a\""_s, u"b - - \"e-b\""_s, u"c 06032024 1 \"e-c\""_s}));
        // A new task under a freed number is not taken for the deleted one.
        w.add(makeTask(1, u"Another"_s));
        for (const TaskStore::SyncedTask &t : w.store.syncedTasks())
            QCOMPARE(t.sync.has_value(), t.task.List == kNextDay);
    }

    // A file of version 2 gets the table when opened; a restore takes files
    // with and without it, and refuses one whose table is not ours.
    void olderAndRestoredFiles_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("restored");
        QTest::newRow("without the table")
            << u"DROP TABLE SyncState; PRAGMA user_version = 2"_s << true;
        QTest::newRow("with rows") << u"INSERT INTO SyncState VALUES "
                                      "('x', '06032024', 1, 'x.ics', '\"1\"', '{}')"_s
                                   << true;
        QTest::newRow("extra column") << u"ALTER TABLE SyncState ADD COLUMN More TEXT"_s << false;
        QTest::newRow("missing column") << u"DROP TABLE SyncState; CREATE TABLE SyncState "
                                           "(Uid TEXT PRIMARY KEY, List TEXT, ID INTEGER)"_s
                                        << false;
    }

    void olderAndRestoredFiles()
    {
        QFETCH(QString, change);
        QFETCH(bool, restored);
        QTemporaryDir otherDir;
        {
            TaskStore other(otherDir.path());
            other.OpenTaskDatabase();
            other.SaveTask(makeTask(1, u"From the file"_s, 30, 0, NotStarted, 2, kNextDay), true,
                           {}, 0);
            other.database().exec(change);
            other.Close();
        }
        World w;
        w.add(makeTask(1, u"Here"_s, 30, 0, NotStarted, 2, kNextDay));
        w.link(u"here"_s, kNextDay, 1);
        try {
            w.store.restoreFrom(dbPathOf(otherDir));
            QVERIFY2(restored, "a file with a sync table of its own was restored");
        } catch (const StoreError &e) {
            QVERIFY2(!restored, qPrintable(e.userMessage()));
            QVERIFY2(e.userMessage().contains(u"cannot be restored"_s),
                     qPrintable(e.userMessage()));
        }
        QCOMPARE(w.store.tasksOfList(kNextDay).at(0).Subject,
                 restored ? u"From the file"_s : u"Here"_s);
        QCOMPARE(w.rows(),
                 restored ? (change.startsWith(u"INSERT"_s) ? QStringList {u"x 06032024 1 \"1\""_s}
                                                            : QStringList {})
                          : QStringList {u"here 06032024 1 \"e-here\""_s});
        if (!restored)
            return;
        // The older file itself, opened in place, gets the table and the
        // current version.
        TaskStore older(otherDir.path());
        older.OpenTaskDatabase();
        QCOMPARE(older.database().scalar(u"PRAGMA user_version"_s).toInt(), 3);
        older.MoveTask(kNextDay, 1, kDay, 1);
        QCOMPARE(older.tasksOfList(kDay).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSyncState)
#include "test_sync_state.moc"
