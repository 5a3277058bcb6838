// Undo and redo beside the change they take back: a batch change of the
// category of 1,000 tasks and the deletion of 1,000 tasks, on a database of
// 100,000 tasks. Then what a long history costs in memory: 10,000 changes
// of one task each, as a day of heavy use would never reach.
#include "base/Clock.h"
#include "common/BenchDatabase.h"
#include "core/TaskOperations.h"
#include "core/TimeTracker.h"
#include "settings/Settings.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <malloc.h>

using namespace cdk;

namespace {

const QDate kFirstDay(2000, 1, 1);
constexpr int kDays = 10000;
constexpr int kTasksPerDay = 10;
constexpr int kBigDay = 1000;

class BenchClock final : public Clock
{
public:
    quint32 tickCount() const override { return 1000; }
    QDate today() const override { return kFirstDay.addDays(kDays); }
};

struct Program
{
    QTemporaryDir dir;
    bench::ConsolePrompter prompter;
    clsSettings settings {prompter};
    BenchClock clock;
    TaskStore store {dir.path()};
    TimeTracker tracker {store, clock};
    TaskOperations operations {store, settings, tracker};
    QString bigDay = DayListKey(clock.today());
    QList<qint32> ids;

    Program()
    {
        settings.setPath(dir.filePath(QStringLiteral("settings.ini")));
        store.OpenTaskDatabase();
        bench::fillDays(store, kFirstDay, kDays, kTasksPerDay);
        bench::fillDays(store, clock.today(), 1, kBigDay);
        for (qint32 id = 1; id <= kBigDay; ++id)
            ids << id;
        operations.setRecording(true);
    }
};

Program &program()
{
    static Program p;
    return p;
}

enum class Step { Change, Undo, Redo };

// Times one part of change, undo, redo; the others run untimed, so the
// database is the same before every iteration.
void run(benchmark::State &state, Step measured, const std::function<void(Program &)> &change)
{
    Program &p = program();
    auto timed = [&](Step which, const std::function<void()> &work) {
        if (measured == which)
            state.ResumeTiming();
        work();
        if (measured == which)
            state.PauseTiming();
    };
    for (auto _ : state) {
        state.PauseTiming();
        timed(Step::Change, [&] { change(p); });
        timed(Step::Undo, [&] { p.operations.undo(); });
        timed(Step::Redo, [&] { p.operations.redo(); });
        p.operations.undo();
        state.ResumeTiming();
    }
}

void batchCategory(Program &p)
{
    p.operations.setCategory(p.bigDay, p.ids, 8);
}
void deleteAll(Program &p)
{
    p.operations.deleteTasks(p.bigDay, p.ids);
}

void BM_BatchCategory1000(benchmark::State &s) { run(s, Step::Change, batchCategory); }
void BM_BatchCategory1000Undo(benchmark::State &s) { run(s, Step::Undo, batchCategory); }
void BM_BatchCategory1000Redo(benchmark::State &s) { run(s, Step::Redo, batchCategory); }
void BM_Delete1000(benchmark::State &s) { run(s, Step::Change, deleteAll); }
void BM_Delete1000Undo(benchmark::State &s) { run(s, Step::Undo, deleteAll); }
void BM_Delete1000Redo(benchmark::State &s) { run(s, Step::Redo, deleteAll); }
BENCHMARK(BM_BatchCategory1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BatchCategory1000Undo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BatchCategory1000Redo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Delete1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Delete1000Undo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Delete1000Redo)->Unit(benchmark::kMillisecond);

// Bytes on the heap the history holds after 10,000 edits of single tasks
// (subjects of usual length), counted by the allocator.
void BM_HistoryOf10000(benchmark::State &state)
{
    Program &p = program();
    const QString day = DayListKey(kFirstDay);
    double bytes = 0;
    for (auto _ : state) {
        p.operations.history().clear();
        for (int i = 0; i < 10000; ++i) {
            TaskRecord task = *p.operations.task(day, 1 + i % kTasksPerDay);
            task.Subject = QStringLiteral("Edited %1 times: call the supplier about the order")
                               .arg(i);
            p.operations.editTask(day, task.ID, task);
        }
        // What the history alone holds: what clearing it gives back.
        const size_t full = mallinfo2().uordblks;
        p.operations.history().clear();
        bytes = double(full) - double(mallinfo2().uordblks);
    }
    state.counters["history_MB"] = bytes / (1 << 20);
    state.counters["bytes_per_step"] = bytes / 10000;
}
BENCHMARK(BM_HistoryOf10000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    QLoggingCategory::setFilterRules(QStringLiteral("chronodeck.*.info=false"));
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
