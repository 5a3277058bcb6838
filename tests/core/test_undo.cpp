// Undo and redo on the real store: every kind of change, done, undone and
// redone, leaves the tables exactly as before and after it; an undo whose
// rows were changed since by someone else is refused and writes nothing;
// tracked time is never taken back.

#include "common/OperationsFixture.h"
#include "common/TaskFixtures.h"
#include "store/TaskStore.h"

#include <QSignalSpy>
#include <QTest>

#include <functional>

using namespace cdk;
using namespace Qt::StringLiterals;
using test::kDay;
using test::kNextDay;
using test::makeTask;

namespace {

struct World : test::OperationsFixture
{
    World()
    {
        for (int i = 1; i <= 4; ++i)
            add(makeTask(i, u"Task %1"_s.arg(i), 30, i * 5, i == 4 ? Finished : NotStarted));
        add(makeTask(1, u"Tomorrow"_s, 15, 0, NotStarted, 2, kNextDay));
        add(makeTask(1, u"0]Daily review"_s, 10, 0, NotStarted, 2, recurrentListKey()));
    }

    // Every row of the tables, in table order, with its place in it.
    QStringList rows()
    {
        QStringList out;
        for (const char *sql : {"SELECT rowid, ID, List, Subject, Category, Duration, "
                                "FinishedDuration, FinishedSeconds, State, Priority, TaskData1, "
                                "TaskData2, TaskData3, TaskData4 FROM Chronodeck ORDER BY rowid",
                                "SELECT rowid, ID, Name, BackColor, ForeColor, CatData1, CatData2, "
                                "7, 7, 7, 7, 7, 7, 7 FROM CategoryList ORDER BY rowid"}) {
            sql::Statement q = store.database().prepare(QString::fromLatin1(sql));
            while (q.step()) {
                QStringList cells;
                for (int c = 0; c < 14; ++c)
                    cells << (q.isNull(c) ? u"NULL"_s : q.text(c));
                out << cells.join(u'|');
            }
        }
        return out;
    }
};

using Change = std::function<void(TaskOperations &)>;

struct Kind
{
    const char *name;
    QString what; // as the menus name it
    Change change;
};

QList<Kind> kinds()
{
    const QList<qint32> two {2, 3};
    return {
        {"add", u"Add Task"_s, [](TaskOperations &o) { o.addTask(makeTask(0, u"New"_s)); }},
        {"edit", u"Edit Task"_s,
         [](TaskOperations &o) { o.editTask(kDay, 2, makeTask(2, u"Renamed"_s, 5)); }},
        {"delete", u"Delete 2 Tasks"_s, [=](TaskOperations &o) { o.deleteTasks(kDay, two); }},
        {"check off", u"Mark 2 Tasks Finished"_s,
         [=](TaskOperations &o) {
             o.checkTasks(kDay, two, true, TaskOperations::TrackedCheckOff::StopTracking);
         }},
        {"uncheck", u"Mark Task Unfinished"_s,
         [](TaskOperations &o) {
             o.checkTasks(kDay, {3, 4}, false, TaskOperations::TrackedCheckOff::StopTracking);
         }},
        {"state", u"Set State of 2 Tasks"_s, [=](TaskOperations &o) { o.setState(kDay, two, 2); }},
        {"priority", u"Set Priority of 2 Tasks"_s,
         [=](TaskOperations &o) { o.setPriority(kDay, two, 5); }},
        {"reset", u"Reset Timer of 2 Tasks"_s,
         [=](TaskOperations &o) { o.resetTimeDone(kDay, two); }},
        {"move", u"Move 2 Tasks"_s, [=](TaskOperations &o) { o.moveTasks(kDay, two, kNextDay); }},
        {"move within the day", u"Move 2 Tasks"_s,
         [=](TaskOperations &o) { o.moveTasks(kDay, two, kDay); }},
        {"review", u"Review the Day"_s,
         [](TaskOperations &o) {
             o.reviewDay(kDay,
                         {{1, ReviewAction::Move}, {2, ReviewAction::Finish},
                          {3, ReviewAction::Keep}, {4, ReviewAction::Move}},
                         QDate(2024, 3, 6));
         }},
        {"time done", u"Set Time Finished of 2 Tasks"_s,
         [=](TaskOperations &o) { o.setTimeDone(kDay, two, 25); }},
        {"category", u"Set Category of 2 Tasks"_s,
         [=](TaskOperations &o) { o.setCategory(kDay, two, 3); }},
        {"template with today's copy", u"Add Recurrent Task"_s,
         [](TaskOperations &o) {
             o.addTemplate(makeTask(0, u"0]Stretch"_s), QDate(2024, 3, 5));
         }},
        {"template delete", u"Delete Recurrent Task"_s,
         [](TaskOperations &o) { o.deleteTasks(recurrentListKey(), {1}); }},
        {"category add", u"Add Category"_s,
         [](TaskOperations &o) { o.addCategory(u"Garden"_s, 0x00ff00, -1); }},
        {"category recolour", u"Edit Category"_s,
         [](TaskOperations &o) { o.editCategory(2, u"Calls"_s, 0x123456, 0xffffff); }},
        {"category delete", u"Delete Category"_s, [](TaskOperations &o) { o.deleteCategory(1); }},
    };
}

} // namespace

class TestUndo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyKindGoesBackAndForth_data()
    {
        QTest::addColumn<int>("kind");
        const QList<Kind> all = kinds();
        for (int i = 0; i < all.size(); ++i)
            QTest::newRow(all.at(i).name) << i;
    }

    void everyKindGoesBackAndForth()
    {
        QFETCH(int, kind);
        const Kind k = kinds().at(kind);
        World w;
        const QStringList before = w.rows();
        k.change(w.ops);
        const QStringList after = w.rows();
        QVERIFY(after != before);
        QCOMPARE(w.ops.history().undoText(), k.what);

        QSignalSpy changes(&w.ops, &TaskOperations::listChanged);
        QSignalSpy categories(&w.ops, &TaskOperations::categoriesChanged);
        w.ops.undo();
        QCOMPARE(w.rows(), before);
        QVERIFY(!changes.isEmpty() || !categories.isEmpty());
        QCOMPARE(w.ops.history().redoText(), k.what);
        QVERIFY(!w.ops.history().canUndo());

        w.ops.redo();
        QCOMPARE(w.rows(), after);
        w.ops.undo();
        QCOMPARE(w.rows(), before);
    }

    // Steps go back in the reverse order they were made, and a new change
    // drops what was undone.
    void stepsAreTakenInOrder()
    {
        World w;
        const QStringList start = w.rows();
        w.ops.editTask(kDay, 1, makeTask(1, u"First"_s));
        const QStringList oneEdit = w.rows();
        w.ops.moveTasks(kDay, {1}, kNextDay);
        w.ops.deleteTasks(kNextDay, {1, 2});
        w.ops.undo();
        w.ops.undo();
        QCOMPARE(w.rows(), oneEdit);
        w.ops.undo();
        QCOMPARE(w.rows(), start);
        QVERIFY(!w.ops.history().canUndo());

        w.ops.redo();
        w.ops.setPriority(kDay, {1}, 0);
        QVERIFY(!w.ops.history().canRedo());
        QCOMPARE(w.ops.history().undoText(), u"Set Priority of Task"_s);
    }

    // Another process (the command line) changes a task after the window
    // did: the window's undo must not overwrite it.
    void undoNeverOverwritesANewerChange()
    {
        World w;
        w.ops.editTask(kDay, 1, makeTask(1, u"Mine"_s));
        w.ops.deleteTasks(kDay, {4});
        {
            TaskStore other(w.dir.path());
            other.OpenTaskDatabase(TaskStore::OpenCheck::OnUse);
            QVERIFY(other.SetTaskState(1, kDay, Finished, false));
            // The deleted task's number is free again and taken.
            TaskRecord newcomer = makeTask(4, u"Newcomer"_s);
            QVERIFY(other.SaveTask(newcomer, true, kDay, 4));
        }
        const QStringList now = w.rows();

        try {
            w.ops.undo();
            QFAIL("an undo over a newer task went through");
        } catch (const StoreError &e) {
            QCOMPARE(e.userMessage(), u"Cannot undo \"Delete Task\": task 4 of 2024-03-05 is "
                                      "taken by another task since."_s);
        }
        QCOMPARE(w.rows(), now);
        QCOMPARE(w.ops.history().undoText(), u"Delete Task"_s);

        // Once the number is free again the delete goes back; the edit
        // below it stays refused, since the task's state changed since.
        {
            TaskStore other(w.dir.path());
            other.OpenTaskDatabase(TaskStore::OpenCheck::OnUse);
            QVERIFY(other.DeleteTask(4, kDay));
        }
        w.ops.undo();
        QCOMPARE(w.task(4).Subject, u"Task 4"_s);
        const QStringList restored = w.rows();
        try {
            w.ops.undo();
            QFAIL("the edit was undone over a newer state");
        } catch (const StoreError &e) {
            QCOMPARE(e.userMessage(), u"Cannot undo \"Edit Task\": task 1 of 2024-03-05 has "
                                      "changed since."_s);
        }
        QCOMPARE(w.rows(), restored);
        QCOMPARE(w.task(1).State, int(Finished));
    }

    // The tracker counts into a task while its edit is undone: the minutes
    // stay and the tracker goes on with the old subject. A task that
    // counted time cannot vanish by an undo, and a moved tracked task takes
    // the tracker back along.
    void trackedTimeIsNeverUndone()
    {
        World w;
        w.ops.editTask(kDay, 2, makeTask(2, u"Renamed"_s, 40));
        QVERIFY(w.ops.startTracking(kDay, 2));
        QCOMPARE(w.ops.history().undoText(), u"Edit Task"_s);
        const qint64 start = w.seconds(2);
        w.clock.advance(90'000);
        w.tracker.TrackTick();
        QCOMPARE(w.seconds(2), start + 90);

        // The edit found the task "Not Started"; the tracker made it "In
        // Progress" since: that is a change the undo must not override.
        QVERIFY_THROWS_EXCEPTION(StoreError, w.ops.undo());

        World v;
        v.ops.moveTasks(kDay, {3}, kNextDay); // task 3 becomes task 2 of the next day
        v.ops.editTask(kNextDay, 2, makeTask(2, u"Moved"_s, 40, 0, InProgress));
        QVERIFY(v.ops.startTracking(kNextDay, 2));
        v.clock.advance(61'000);
        v.tracker.TrackTick();
        const qint64 tracked = v.seconds(2, kNextDay) - 15 * 60;
        QVERIFY(tracked >= 61);
        v.ops.undo(); // the edit: budget and subject back, time kept
        QCOMPARE(v.task(2, kNextDay).Subject, u"Task 3"_s);
        QCOMPARE(v.seconds(2, kNextDay), 15 * 60 + tracked);
        QCOMPARE(v.tracker.TrackedSubject, u"Task 3"_s);
        v.ops.undo(); // the move: the tracker follows the task home
        QCOMPARE(v.seconds(3), 15 * 60 + tracked);
        QVERIFY(v.tracker.isTracked(kDay, 3));

        v.ops.redo();
        v.clock.advance(60'000);
        v.tracker.TrackTick();
        v.ops.undo();
        QVERIFY(v.tracker.isTracked(kDay, 3));
        // Adding a task that has tracked time since cannot be undone.
        const qint32 id = v.ops.addTask(makeTask(0, u"Fresh"_s));
        QVERIFY(v.ops.startTracking(kDay, id));
        v.clock.advance(5'000);
        v.tracker.TrackTick();
        QVERIFY_THROWS_EXCEPTION(StoreError, v.ops.undo());
        QVERIFY(v.store.findTask(kDay, id).has_value());
    }

    // The edit dialog sends what it showed: fields the user left alone keep
    // what another process wrote meanwhile.
    void editWritesOnlyWhatTheUserChanged()
    {
        World w;
        const TaskRecord shown = w.task(1);
        {
            TaskStore other(w.dir.path());
            other.OpenTaskDatabase(TaskStore::OpenCheck::OnUse);
            QVERIFY(other.SetTaskState(1, kDay, Finished, true));
        }
        TaskRecord edited = shown;
        edited.Subject = u"Call the bank"_s;
        QVERIFY(w.ops.editTask(kDay, 1, edited, shown));
        const TaskRecord stored = w.task(1);
        QCOMPARE(stored.Subject, u"Call the bank"_s);
        QCOMPARE(stored.State, int(Finished));
        QCOMPARE(stored.FinishedDuration, 30);
    }

    // Changes the window did not make are not the window's to take back;
    // a restored database leaves nothing to undo.
    void onlyRecordedChangesAreKept()
    {
        World w;
        w.ops.setRecording(false);
        w.ops.deleteTasks(kDay, {1});
        QVERIFY(!w.ops.history().canUndo());
        w.ops.setRecording(true);
        w.ops.deleteTasks(kDay, {2});
        QVERIFY(w.ops.history().canUndo());

        const QString copy = w.dir.filePath(u"copy.cdkd"_s);
        w.ops.backupDatabase(copy);
        QSignalSpy changed(&w.ops.history(), &UndoHistory::changed);
        w.ops.replaceDatabase(copy);
        QVERIFY(!w.ops.history().canUndo());
        QVERIFY(!w.ops.history().canRedo());
        QCOMPARE(changed.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestUndo)
#include "test_undo.moc"
