// Time away from the computer while a task is tracked: the tracker notices
// it from the desktop's idle time on its tick and reports it once input comes
// back; taking it off the task is one step of the history.

#include "common/FakeClock.h"
#include "common/FakeIdleSource.h"
#include "common/TaskFixtures.h"
#include "core/TaskOperations.h"
#include "core/TimeTracker.h"

#include <QTest>

using namespace cdk;
using namespace Qt::StringLiterals;
using test::kDay;
using test::makeTask;

namespace {

constexpr qint64 kThresholdMs = 10 * 60'000;

struct World : test::StoreFixture
{
    test::FakeClock clock;
    test::FakeIdleSource desktop;
    TimeTracker tracker {store, clock};
    TaskOperations ops {store, settings, tracker};
    QList<AwayPeriod> reported;
    quint32 lastInput = 0;

    World()
    {
        ops.setRecording(true);
        clock.setTick(5000);
        tracker.setAwayDetection(&desktop, kThresholdMs);
        QObject::connect(&tracker, &TimeTracker::awayEnded, &tracker,
                         [this](const AwayPeriod &p) { reported.append(p); });
    }

    // Seconds of one-second ticks; with input during each one, or none.
    void work(int seconds, bool input)
    {
        for (int i = 0; i < seconds; ++i) {
            clock.advance(1000);
            if (input)
                lastInput = clock.tickCount() - 300;
            desktop.idle = qint64(clock.tickCount() - lastInput);
            tracker.TrackTick();
        }
    }
};

} // namespace

class TestAwayTime : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Seconds come off the time done, never below none, in one step that an
    // undo takes back; a missing task changes nothing.
    void discardTakesOffTheSecondsAsOneStep_data()
    {
        QTest::addColumn<int>("doneSeconds");
        QTest::addColumn<int>("discard");
        QTest::addColumn<int>("leftSeconds");
        QTest::newRow("part of it") << 25 * 60 + 30 << 47 * 6 << 25 * 60 + 30 - 282;
        QTest::newRow("across minutes") << 10 * 60 + 5 << 65 << 9 * 60;
        QTest::newRow("more than done") << 3 * 60 + 10 << 600 << 0;
    }
    void discardTakesOffTheSecondsAsOneStep()
    {
        QFETCH(int, doneSeconds);
        QFETCH(int, discard);
        QFETCH(int, leftSeconds);
        World w;
        TaskRecord t = makeTask(1, u"Write the report"_s, 90, doneSeconds / 60, InProgress);
        t.FinishedSeconds = quint8(doneSeconds % 60);
        w.add(t);
        const TaskRecord before = w.task(1);

        QVERIFY(w.ops.discardTrackedTime(kDay, 1, discard));
        QCOMPARE(w.seconds(1), leftSeconds);
        QCOMPARE(w.task(1).State, int(InProgress));
        QCOMPARE(w.ops.history().undoText(), u"Discard Away Time"_s);
        w.ops.undo();
        QCOMPARE(w.task(1), before);

        QVERIFY(!w.ops.discardTrackedTime(kDay, 7, discard));
        QVERIFY(!w.ops.history().canUndo());
    }

    // Away is noticed on the tick that sees the threshold, and reported once,
    // on the tick that sees input again, from the last input before to the
    // first after; the time counted on meanwhile. Nothing is asked of the
    // desktop while nothing is tracked.
    void awayIsReportedOnceOnReturn()
    {
        World w;
        w.add(makeTask(1, u"Write the report"_s, 120, 10, InProgress));
        w.work(5, true);
        QCOMPARE(w.desktop.queries, 0);

        QVERIFY(w.ops.startTracking(kDay, 1));
        w.work(60, true);
        w.work(599, false);
        QVERIFY(!w.tracker.isAway());
        w.work(1, false);
        QVERIFY(w.tracker.isAway());
        w.work(299, false);
        QVERIFY(w.reported.isEmpty());

        w.clock.advance(1000);
        w.desktop.idle = 300; // a key pressed 0.3 s before the tick
        w.tracker.TrackTick();
        QVERIFY(!w.tracker.isAway());
        QCOMPARE(w.reported.size(), 1);
        const AwayPeriod away = w.reported.first();
        QCOMPARE(away.list, kDay);
        QCOMPARE(away.id, 1);
        QCOMPARE(away.subject, u"Write the report"_s);
        QCOMPARE(away.seconds, 900);
        QCOMPARE(away.countedSeconds, 900);
        QCOMPARE(away.from.secsTo(away.to), 900);
        // 10 minutes before, then 1 working and 15 away: all of it counted.
        QCOMPARE(w.seconds(1), 10 * 60 + 960);

        w.work(120, true);
        QCOMPARE(w.reported.size(), 1);
        const int asked = w.desktop.queries;
        QCOMPARE(asked, 60 + 600 + 299 + 1 + 120);
        w.ops.stopTracking();
        w.work(30, false);
        QCOMPARE(w.desktop.queries, asked);
    }

    // The budget ran out 4 minutes into 12 away: only those 4 were counted,
    // and only they may be taken back. Taken back, the task counts on.
    void budgetRunningOutWhileAwayLimitsWhatWasCounted()
    {
        World w;
        w.add(makeTask(1, u"Call the bank"_s, 20, 15, InProgress));
        QVERIFY(w.ops.startTracking(kDay, 1));
        w.work(60, true);
        w.work(12 * 60, false);
        w.clock.advance(1000);
        w.desktop.idle = 0;
        w.tracker.TrackTick();
        QCOMPARE(w.reported.size(), 1);
        QCOMPARE(w.reported.first().seconds, 12 * 60 + 1);
        QCOMPARE(w.reported.first().countedSeconds, 4 * 60);
        QVERIFY(w.tracker.isFinished());

        QVERIFY(w.ops.discardTrackedTime(kDay, 1, w.reported.first().countedSeconds));
        QCOMPARE(w.seconds(1), 16 * 60);
        QVERIFY(!w.tracker.isFinished());
        w.work(1, true);
        QCOMPARE(w.seconds(1), 16 * 60 + 1);
    }

    // A locked screen is a time away from the last input before the lock,
    // whatever input the lock screen sees, until the first input after the
    // unlock; a short lock asks nothing.
    void lockedScreenIsTimeAway()
    {
        World w;
        w.add(makeTask(1, u"Write the report"_s, 120, 0, InProgress));
        QVERIFY(w.ops.startTracking(kDay, 1));
        w.work(60, true);
        w.work(120, false);
        w.tracker.setAbsent(true);
        QVERIFY(w.tracker.isAway());
        w.work(5, true); // typing at the lock screen
        w.work(20 * 60, false);
        w.tracker.setAbsent(false);
        QCOMPARE(w.reported.size(), 0);
        w.work(1, true);
        QCOMPARE(w.reported.size(), 1);
        QCOMPARE(w.reported.first().countedSeconds, 120 + 5 + 20 * 60 + 1);
        QCOMPARE(w.seconds(1), 60 + 120 + 5 + 20 * 60 + 1);

        w.work(10, true);
        w.tracker.setAbsent(true);
        w.work(60, false);
        w.tracker.setAbsent(false);
        w.work(1, true);
        QCOMPARE(w.reported.size(), 1);
        QVERIFY(!w.tracker.isAway());
    }

    // Tracking started while nobody was at the keyboard (from a script):
    // the time away reported is the time tracked, not the idle time.
    void awayBeforeTrackingIsNotReported()
    {
        World w;
        w.add(makeTask(1, u"Backup"_s, 120, 0, InProgress));
        w.work(30 * 60, false);
        QVERIFY(w.ops.startTracking(kDay, 1));
        w.work(60, false);
        QVERIFY(w.tracker.isAway());
        w.work(1, true);
        QCOMPARE(w.reported.size(), 1);
        QCOMPARE(w.reported.first().seconds, 60);
        QCOMPARE(w.seconds(1), 61);
    }
};

QTEST_GUILESS_MAIN(TestAwayTime)
#include "test_away_time.moc"
