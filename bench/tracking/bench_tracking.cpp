// The cost of one tracker tick on a database of realistic size: 100,000
// tasks, ten a day over about 27 years.

#include "common/BenchDatabase.h"
#include "base/Clock.h"
#include "store/Sql.h"
#include "store/TaskStore.h"
#include "core/TimeTracker.h"

#include <QDate>
#include <QTemporaryDir>

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <memory>

using namespace cdk;

namespace {

class BenchClock final : public Clock
{
public:
    quint32 tickCount() const override { return tick; }
    QDate today() const override { return QDate(2024, 3, 5); }
    quint32 tick = 1000;
};

constexpr int kDays = 10000;
constexpr int kTasksPerDay = 10;

struct Fixture
{
    QTemporaryDir dir;
    std::unique_ptr<TaskStore> store;
    QString trackedList;
    qint32 trackedId = 5;

    Fixture()
    {
        store = std::make_unique<TaskStore>(dir.path());
        store->OpenTaskDatabase();
        const QDate first(1997, 6, 1);
        bench::fillDays(*store, first, kDays, kTasksPerDay);
        trackedList = DayListKey(first.addDays(kDays / 2));
        // A budget that the benchmark never uses up.
        store->database().exec(QStringLiteral("UPDATE Chronodeck SET Duration = 2000000000, "
                                              "FinishedDuration = 0, FinishedSeconds = 0 "
                                              "WHERE List = '%1' AND ID = %2")
                                   .arg(trackedList)
                                   .arg(trackedId));
        store->checkpoint();
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void BM_OrdinaryTick(benchmark::State &state)
{
    Fixture &f = fixture();
    BenchClock clock;
    TimeTracker tracker(*f.store, clock);
    const QString rewind = QStringLiteral("UPDATE Chronodeck SET FinishedSeconds = 0 "
                                          "WHERE List = '%1' AND ID = %2")
                               .arg(f.trackedList)
                               .arg(f.trackedId);
    f.store->database().exec(rewind);
    tracker.start(f.trackedList, f.trackedId);
    int inMinute = 0;
    for (auto _ : state) {
        if (++inMinute == 59) {
            // Keep every measured tick below the minute boundary.
            state.PauseTiming();
            f.store->database().exec(rewind);
            inMinute = 1;
            state.ResumeTiming();
        }
        clock.tick += 1000;
        if (tracker.TrackTick() != TickResult::Seconds) {
            state.SkipWithError("tick did not write seconds only");
            break;
        }
    }
    tracker.stop();
}
BENCHMARK(BM_OrdinaryTick)->Unit(benchmark::kMicrosecond);

void BM_MinuteBoundaryTick(benchmark::State &state)
{
    Fixture &f = fixture();
    BenchClock clock;
    TimeTracker tracker(*f.store, clock);
    tracker.start(f.trackedList, f.trackedId);
    for (auto _ : state) {
        clock.tick += 60 * 1000;
        if (tracker.TrackTick() != TickResult::MinuteBoundary) {
            state.SkipWithError("tick did not cross a minute");
            break;
        }
    }
    tracker.stop();
}
BENCHMARK(BM_MinuteBoundaryTick)->Unit(benchmark::kMicrosecond);

void BM_StartTracking(benchmark::State &state)
{
    Fixture &f = fixture();
    BenchClock clock;
    TimeTracker tracker(*f.store, clock);
    for (auto _ : state) {
        benchmark::DoNotOptimize(tracker.start(f.trackedList, f.trackedId));
        tracker.stop();
    }
}
BENCHMARK(BM_StartTracking)->Unit(benchmark::kMicrosecond);

} // namespace

// The tracker's tick timer needs an application object, as in the program.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
