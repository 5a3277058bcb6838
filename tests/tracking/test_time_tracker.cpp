#include "common/FakeClock.h"
#include "store/TaskStore.h"
#include "tracking/PercentDone.h"
#include "tracking/TimeTracker.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace cdk;

namespace {

const QString kDay = QStringLiteral("05032024");
const QString kNextDay = QStringLiteral("06032024");

} // namespace

class TestTimeTracker : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TaskStore> m_store;
    test::FakeClock m_clock;

    void addTask(qint32 id, qint32 duration, qint32 done, int seconds = 0, int state = 0,
                 const QString &list = kDay)
    {
        TaskRecord r;
        r.ID = id;
        r.List = list;
        r.Subject = QStringLiteral("Task %1").arg(id);
        r.Duration = duration;
        r.FinishedDuration = done;
        r.FinishedSeconds = static_cast<quint8>(seconds);
        r.State = state;
        QVERIFY(m_store->SaveTask(r, true, list, id));
    }
    TaskRecord task(qint32 id, const QString &list = kDay)
    {
        const auto found = m_store->findTask(list, id);
        return found ? *found : TaskRecord{};
    }
    // Stored time done in seconds.
    qint64 storedSeconds(qint32 id, const QString &list = kDay)
    {
        const TaskRecord t = task(id, list);
        return qint64(t.FinishedDuration) * 60 + t.FinishedSeconds;
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_store = std::make_unique<TaskStore>(m_dir->path());
        m_store->OpenTaskDatabase();
        m_clock.setTick(5000);
    }
    void cleanup()
    {
        m_store.reset();
        m_dir.reset();
    }

    void percentDone_data()
    {
        QTest::addColumn<int>("duration");
        QTest::addColumn<int>("done");
        QTest::addColumn<QString>("expected");
        QTest::newRow("half") << 90 << 45 << QStringLiteral("50%");
        QTest::newRow("no budget") << 0 << 5 << QStringLiteral("0%");
        QTest::newRow("beyond budget") << 90 << 100 << QStringLiteral("100%");
        QTest::newRow("nothing done") << 60 << 0 << QStringLiteral("0%");
        QTest::newRow("third") << 3 << 1 << QStringLiteral("33%");
        QTest::newRow("two thirds") << 3 << 2 << QStringLiteral("67%");
        // Halves go away from zero, not to the even neighbour.
        QTest::newRow("half of one") << 1000 << 5 << QStringLiteral("1%");
        QTest::newRow("two and a half") << 1000 << 25 << QStringLiteral("3%");
        QTest::newRow("just below budget") << 1000 << 999 << QStringLiteral("100%");
    }
    void percentDone()
    {
        QFETCH(int, duration);
        QFETCH(int, done);
        QFETCH(QString, expected);
        QCOMPARE(GetPercentDone(duration, done), expected);
    }

    void jitteredTicksAddExactlyTheElapsedSeconds()
    {
        addTask(1, 120, 0);
        TimeTracker tracker(*m_store, m_clock);
        QVERIFY(tracker.start(kDay, 1, QStringLiteral("Task 1")).started);
        QRandomGenerator random(42);
        qint64 elapsedMs = 0;
        int boundaries = 0;
        while (elapsedMs < 3600 * 1000) {
            const quint32 step = 1000 + random.bounded(17); // 1000..1016 ms
            m_clock.advance(step);
            elapsedMs += step;
            const TickResult r = tracker.TrackTick();
            QVERIFY(r == TickResult::Seconds || r == TickResult::MinuteBoundary);
            if (r == TickResult::MinuteBoundary)
                ++boundaries;
            const TaskRecord t = task(1);
            QVERIFY(t.FinishedSeconds < 60);
        }
        QCOMPARE(storedSeconds(1), elapsedMs / 1000);
        QCOMPARE(tracker.TrackedFinishedDuration, task(1).FinishedDuration);
        // Some ticks carry two seconds, but every minute is crossed exactly once.
        QCOMPARE(boundaries, task(1).FinishedDuration);
    }

    void longGapMovesAllMinutesAtOnce()
    {
        addTask(1, 60, 3, 20);
        TimeTracker tracker(*m_store, m_clock);
        QVERIFY(tracker.start(kDay, 1, QString()).started);
        m_clock.advance(7 * 60 * 1000 + 500);
        QCOMPARE(tracker.TrackTick(), TickResult::MinuteBoundary);
        QCOMPARE(task(1).FinishedDuration, 10);
        QCOMPARE(int(task(1).FinishedSeconds), 20);
        QCOMPARE(tracker.TrackedFinishedDuration, 10);
        // The half second left over is counted with the next one.
        m_clock.advance(500);
        QCOMPARE(tracker.TrackTick(), TickResult::Seconds);
        QCOMPARE(int(task(1).FinishedSeconds), 21);
    }

    void fiftyNinePlusOneCrossesTheMinute()
    {
        addTask(1, 60, 4, 59);
        TimeTracker tracker(*m_store, m_clock);
        QVERIFY(tracker.start(kDay, 1, QString()).started);
        m_clock.advance(1000);
        QCOMPARE(tracker.TrackTick(), TickResult::MinuteBoundary);
        QCOMPARE(task(1).FinishedDuration, 5);
        QCOMPARE(int(task(1).FinishedSeconds), 0);
    }

    void gapPastTheBudgetStopsAtTheBudget()
    {
        addTask(1, 10, 8, 30);
        TimeTracker tracker(*m_store, m_clock);
        QVERIFY(tracker.start(kDay, 1, QString()).started);
        QVERIFY(!tracker.isFinished());
        m_clock.advance(5 * 60 * 1000);
        QCOMPARE(tracker.TrackTick(), TickResult::MinuteBoundary);
        QCOMPARE(task(1).FinishedDuration, 10);
        QVERIFY(tracker.isFinished());
        QCOMPARE(GetPercentDone(tracker.TrackedDuration, tracker.TrackedFinishedDuration),
                 QStringLiteral("100%"));
        // Once the budget is used up nothing more is written.
        const TaskRecord before = task(1);
        m_clock.advance(90 * 1000);
        QCOMPARE(tracker.TrackTick(), TickResult::Nothing);
        QCOMPARE(task(1), before);
        QVERIFY(tracker.TrackingActive);
    }

    void counterWrapLosesNothing()
    {
        addTask(1, 60, 0);
        m_clock.setTick(0xFFFFFFFFu - 1499u); // 1.5 s before the wrap
        TimeTracker tracker(*m_store, m_clock);
        QVERIFY(tracker.start(kDay, 1, QString()).started);
        m_clock.advance(2700); // wraps to 1200
        QVERIFY(m_clock.tickCount() < 2000);
        QCOMPARE(tracker.TrackTick(), TickResult::Seconds);
        QCOMPARE(storedSeconds(1), 2);
        m_clock.advance(300); // 700 ms left over plus 300
        tracker.TrackTick();
        QCOMPARE(storedSeconds(1), 3);
    }

    void startMovesOnlyNotStartedToInProgress_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("expected");
        for (int s = 0; s <= 4; ++s)
            QTest::addRow("state %d", s) << s << (s == 0 ? 1 : s);
    }
    void startMovesOnlyNotStartedToInProgress()
    {
        QFETCH(int, state);
        QFETCH(int, expected);
        addTask(1, 30, 5, 0, state);
        TimeTracker tracker(*m_store, m_clock);
        const StartResult r = tracker.start(kDay, 1, QStringLiteral("shown subject"));
        QVERIFY(r.started);
        QCOMPARE(r.stateChanged, state == 0);
        QCOMPARE(task(1).State, expected);
        QCOMPARE(tracker.TrackedDuration, 30);
        QCOMPARE(tracker.TrackedFinishedDuration, 5);
        QCOMPARE(tracker.TrackedSubject, QStringLiteral("shown subject"));
        QCOMPARE(tracker.LastTick, m_clock.tickCount());
    }

    void missingTaskIsNotTracked()
    {
        TimeTracker tracker(*m_store, m_clock);
        const StartResult r = tracker.start(kDay, 7, QString());
        QVERIFY(!r.started);
        QVERIFY(r.error.isEmpty());
        QVERIFY(!tracker.TrackingActive);
        QCOMPARE(tracker.TrackTick(), TickResult::Nothing);
    }

    void trackingFollowsAMovedTask()
    {
        addTask(3, 60, 0);
        addTask(1, 60, 0, 0, 0, kNextDay);
        TimeTracker tracker(*m_store, m_clock);
        QVERIFY(tracker.start(kDay, 3, QString()).started);
        m_clock.advance(2000);
        tracker.TrackTick();
        QVERIFY(m_store->MoveTask(kDay, 3, kNextDay, 2));

        // Until the tracker is told, the old key names no task: a no-op.
        m_clock.advance(3000);
        QCOMPARE(tracker.TrackTick(), TickResult::Nothing);
        QCOMPARE(storedSeconds(2, kNextDay), 2);

        tracker.retarget(kNextDay, 2);
        QVERIFY(tracker.isTracked(kNextDay, 2));
        m_clock.advance(4000);
        QCOMPARE(tracker.TrackTick(), TickResult::Seconds);
        QCOMPARE(storedSeconds(2, kNextDay), 6);
        QCOMPARE(storedSeconds(1, kNextDay), 0);
    }

    void resetKeepsSecondsAndState()
    {
        addTask(1, 60, 25, 40, 2);
        TimeTracker tracker(*m_store, m_clock);
        QVERIFY(tracker.ResetTimeDone(kDay, 1));
        QCOMPARE(task(1).FinishedDuration, 0);
        QCOMPARE(int(task(1).FinishedSeconds), 40);
        QCOMPARE(task(1).State, 2);
        QVERIFY(!tracker.ResetTimeDone(kDay, 99));
    }

    void failingWriteStopsAndKeepsTheStoredTime()
    {
        addTask(1, 60, 12, 0, 1);
        TimeTracker tracker(*m_store, m_clock);
        QVERIFY(tracker.start(kDay, 1, QString()).started);
        m_clock.advance(5000);
        QCOMPARE(tracker.TrackTick(), TickResult::Seconds);

        m_store->database().exec(QStringLiteral("PRAGMA query_only = ON"));
        m_clock.advance(3000);
        QCOMPARE(tracker.TrackTick(), TickResult::Failed);
        QVERIFY(!tracker.TrackingActive);
        QCOMPARE(tracker.TrackedTaskID, 0);
        QVERIFY(tracker.TrackedList.isEmpty());
        QVERIFY(!tracker.lastError().isEmpty());
        QCOMPARE(storedSeconds(1), 12 * 60 + 5);
        // Further ticks do nothing.
        QCOMPARE(tracker.TrackTick(), TickResult::Nothing);

        // And tracking can start again once the database takes writes.
        m_store->database().exec(QStringLiteral("PRAGMA query_only = OFF"));
        QVERIFY(tracker.start(kDay, 1, QString()).started);
        m_clock.advance(1000);
        QCOMPARE(tracker.TrackTick(), TickResult::Seconds);
        QCOMPARE(storedSeconds(1), 12 * 60 + 6);
    }

    void reopenedStoreIsFollowed()
    {
        addTask(1, 60, 0);
        TimeTracker tracker(*m_store, m_clock);
        QVERIFY(tracker.start(kDay, 1, QString()).started);
        m_clock.advance(1000);
        tracker.TrackTick();
        m_store->Close();
        m_store->OpenTaskDatabase();
        m_clock.advance(2000);
        QCOMPARE(tracker.TrackTick(), TickResult::Seconds);
        QCOMPARE(storedSeconds(1), 3);
    }
};

QTEST_GUILESS_MAIN(TestTimeTracker)
#include "test_time_tracker.moc"
