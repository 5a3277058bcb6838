// Store timings on a database of realistic size: 100,000 tasks, ten a day
// over some 27 years.
#include "common/BenchDatabase.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

using namespace cdk;

namespace {

constexpr int kDays = 10000;
constexpr int kTasksPerDay = 10;
const QDate kFirstDay(2000, 1, 1);

QString dayKey(int day) { return DayListKey(kFirstDay.addDays(day)); }

// Built once per run; every benchmark opens the same file.
class TaskFile
{
public:
    static TaskFile &instance()
    {
        static TaskFile file;
        return file;
    }

    QString folder() const { return m_dir.path(); }
    // Keys made up front, so that the lookups time the store alone.
    const QString &key(int day) const { return m_keys.at(day); }

private:
    TaskFile()
    {
        QElapsedTimer timer;
        timer.start();
        TaskStore store(m_dir.path());
        store.OpenTaskDatabase();
        for (int day = 0; day < kDays; ++day)
            m_keys << dayKey(day);
        bench::fillDays(store, kFirstDay, kDays, kTasksPerDay);
        store.Close();
        std::fprintf(stderr, "built %d tasks in %lld ms\n", kDays * kTasksPerDay,
                     static_cast<long long>(timer.elapsed()));
    }

    QTemporaryDir m_dir;
    QStringList m_keys;
};

// Opening after a crash or a copy from elsewhere: every page is checked.
void BM_OpenWithFullCheck(benchmark::State &state)
{
    TaskStore store(TaskFile::instance().folder());
    for (auto _ : state) {
        store.OpenTaskDatabase();
        store.Close();
    }
}
BENCHMARK(BM_OpenWithFullCheck)->Unit(benchmark::kMillisecond);

// What an ordinary start-up does after a clean exit (whose compaction vouched
// for the file): open, then read the day to show.
void BM_OpenAndWalkDay(benchmark::State &state)
{
    TaskStore store(TaskFile::instance().folder());
    const QString day = dayKey(kDays - 1);
    for (auto _ : state) {
        state.PauseTiming();
        TaskStore::markVerified(store.DatabasePath());
        state.ResumeTiming();
        store.OpenTaskDatabase();
        qint64 minutes = 0;
        for (const TaskRecord &task : store.tasksOfList(day))
            minutes += task.Duration;
        benchmark::DoNotOptimize(minutes);
        store.Close();
    }
}
BENCHMARK(BM_OpenAndWalkDay)->Unit(benchmark::kMillisecond);

class OpenStore : public benchmark::Fixture
{
public:
    void SetUp(const benchmark::State &) override
    {
        m_store = std::make_unique<TaskStore>(TaskFile::instance().folder());
        m_store->OpenTaskDatabase();
    }
    void TearDown(const benchmark::State &) override { m_store.reset(); }

protected:
    std::unique_ptr<TaskStore> m_store;
};

BENCHMARK_DEFINE_F(OpenStore, TasksOfList)(benchmark::State &state)
{
    int day = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(m_store->tasksOfList(TaskFile::instance().key(day)));
        day = (day + 7919) % kDays;
    }
}
BENCHMARK_REGISTER_F(OpenStore, TasksOfList)->Unit(benchmark::kMicrosecond);

BENCHMARK_DEFINE_F(OpenStore, FindTask)(benchmark::State &state)
{
    int day = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            m_store->findTask(TaskFile::instance().key(day), 1 + day % kTasksPerDay));
        day = (day + 7919) % kDays;
    }
}
BENCHMARK_REGISTER_F(OpenStore, FindTask)->Unit(benchmark::kMicrosecond);

BENCHMARK_DEFINE_F(OpenStore, NextTaskID)(benchmark::State &state)
{
    int day = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(m_store->NextTaskID(TaskFile::instance().key(day)));
        day = (day + 7919) % kDays;
    }
}
BENCHMARK_REGISTER_F(OpenStore, NextTaskID)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    // Open and close are logged; a benchmark opens thousands of times.
    QLoggingCategory::setFilterRules(QStringLiteral("chronodeck.*=false"));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TaskFile::instance();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
