// Closing a day on the real store: each choice read back from the tables,
// the tracker following its task, one step of the history for the whole
// review, and the totals line the window and the command line print.

#include "common/OperationsFixture.h"
#include "common/TaskFixtures.h"
#include "core/DayReview.h"
#include "store/TaskStore.h"

#include <QSignalSpy>
#include <QTest>

using namespace cdk;
using namespace Qt::StringLiterals;
using test::kDay;
using test::kNextDay;
using test::makeTask;

namespace {

const QDate kTomorrow(2024, 3, 6);

struct World : test::OperationsFixture
{
    World()
    {
        add(makeTask(1, u"Write"_s, 60, 20, InProgress));
        add(makeTask(2, u"Call"_s, 30, 10, InProgress));
        add(makeTask(3, u"Read"_s, 45, 0));
        add(makeTask(4, u"Filed"_s, 30, 12, Finished));
        add(makeTask(5, u"Tracked"_s, 50, 5, InProgress));
        add(makeTask(1, u"Planned before"_s, 15, 0, NotStarted, 2, kNextDay));
    }

    QStringList list(const QString &key) { return test::listedTasks(store, key); }
};

} // namespace

class TestDayReview : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Move, finish and keep in one review, with the settings' full marking
    // on and the moved task tracked; a task finished meanwhile stays.
    void eachChoiceIsStoredAndTakenBackAsOne()
    {
        World w;
        w.settings.setBoolean(Setting::MarkTasks100PercentWhenCheckedOff, true);
        QVERIFY(w.ops.startTracking(kDay, 5));
        const QStringList dayBefore = w.list(kDay);
        const QStringList nextBefore = w.list(kNextDay);
        QSignalSpy changed(&w.ops, &TaskOperations::listChanged);

        const QList<qint32> moved = w.ops.reviewDay(kDay,
                                                    {{1, ReviewAction::Move},
                                                     {2, ReviewAction::Finish},
                                                     {3, ReviewAction::Keep},
                                                     {4, ReviewAction::Move},
                                                     {5, ReviewAction::Move}},
                                                    kTomorrow);

        QCOMPARE(moved, (QList<qint32> {2, 3}));
        QCOMPARE(w.list(kDay),
                 (QStringList {u"2 Call 30/30 4"_s, u"3 Read 0/45 0"_s, u"4 Filed 12/30 4"_s}));
        QCOMPARE(w.list(kNextDay),
                 (QStringList {u"1 Planned before 0/15 0"_s, u"2 Write 20/60 1"_s,
                               u"3 Tracked 5/50 1"_s}));
        QVERIFY(w.tracker.isTracked(kNextDay, 3));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(0).at(0).toString(), kDay);
        QCOMPARE(changed.at(1).at(0).toString(), kNextDay);
        QCOMPARE(w.ops.history().count(), 1);
        QCOMPARE(w.ops.history().undoText(), u"Review the Day"_s);

        w.ops.undo();
        QCOMPARE(w.list(kDay), dayBefore);
        QCOMPARE(w.list(kNextDay), nextBefore);
        QVERIFY(w.tracker.isTracked(kDay, 5));
    }

    // Finishing the tracked task ends its tracking: the day is closed.
    void finishingTheTrackedTaskStopsTracking()
    {
        World w;
        QVERIFY(w.ops.startTracking(kDay, 1));
        w.ops.reviewDay(kDay, {{1, ReviewAction::Finish}}, kTomorrow);
        QVERIFY(!w.tracker.TrackingActive);
        // Without full marking the time done stays as it was.
        QCOMPARE(w.list(kDay).first(), u"1 Write 20/60 4"_s);
    }

    void totalsLine()
    {
        const QList<TaskRecord> tasks = tasksToReview(
            {makeTask(1, u"a"_s, 60, 20), makeTask(2, u"b"_s, 40, 25), makeTask(3, u"c"_s, 30, 0),
             makeTask(4, u"finished"_s, 90, 90, Finished)});
        QCOMPARE(tasks.size(), 3);
        QCOMPARE(reviewTotalsText(
                     tasks,
                     {{1, ReviewAction::Move}, {2, ReviewAction::Keep}, {3, ReviewAction::Finish}}),
                 u"3 tasks, 2:10 planned, 0:45 done, move 0:40 to tomorrow"_s);
        QCOMPARE(
            reviewTotalsText(
                tasks, {{1, ReviewAction::Move}, {2, ReviewAction::Move}, {3, ReviewAction::Move}}),
            u"3 tasks, 2:10 planned, 0:45 done, move 1:25 to tomorrow"_s);
        // Nothing moves: no move part. A task over its budget counts its
        // budget as done and needs nothing more.
        QCOMPARE(reviewTotalsText({makeTask(1, u"over"_s, 30, 50)}, {{1, ReviewAction::Keep}}),
                 u"1 task, 0:30 planned, 0:30 done"_s);
        QCOMPARE(reviewTotalsText({makeTask(1, u"over"_s, 30, 50)}, {{1, ReviewAction::Move}}),
                 u"1 task, 0:30 planned, 0:30 done, move 0:00 to tomorrow"_s);
    }
};

QTEST_GUILESS_MAIN(TestDayReview)
#include "test_day_review.moc"
