// Report and export timings on databases of 100,000 tasks: ten a day over
// some 27 years (as the store's benchmarks), and the same number crowded
// into a single year, where a year's report reads every one of them.
#include "common/BenchDatabase.h"
#include "reports/Report.h"
#include "reports/TaskExport.h"
#include "store/TaskStore.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

using namespace cdk;

namespace {

const QDate kFirstDay(2000, 1, 1);

struct Layout
{
    int days;
    int perDay;
};
constexpr Layout kSpread {10000, 10};
constexpr Layout kOneYear {366, 274}; // 2000 is a leap year: 100,284 tasks

// Built once per layout; every benchmark of that layout reads the same file.
class TaskFile
{
public:
    static TaskStore &store(const Layout &layout)
    {
        static TaskFile spread(kSpread);
        static TaskFile oneYear(kOneYear);
        return layout.days == kSpread.days ? *spread.m_store : *oneYear.m_store;
    }

private:
    explicit TaskFile(const Layout &layout)
        : m_store(std::make_unique<TaskStore>(m_dir.path()))
    {
        m_store->OpenTaskDatabase();
        bench::fillDays(*m_store, kFirstDay, layout.days, layout.perDay);
        m_store->checkpoint();
    }

    QTemporaryDir m_dir;
    std::unique_ptr<TaskStore> m_store;
};

const ReportPeriod kYear = ReportPeriod::range(kFirstDay, QDate(2000, 12, 31));

void reportOfAYear(benchmark::State &state, const Layout &layout)
{
    TaskStore &store = TaskFile::store(layout);
    qint64 tasks = 0;
    for (auto _ : state) {
        const Report report = computeReport(store, kYear);
        tasks = report.total.tasks();
        benchmark::DoNotOptimize(report.total.done);
    }
    state.counters["tasks"] = double(tasks);
}

void BM_ReportOfAYear_TenADay(benchmark::State &state) { reportOfAYear(state, kSpread); }
void BM_ReportOfAYear_AllInOneYear(benchmark::State &state) { reportOfAYear(state, kOneYear); }

void exportAll(benchmark::State &state, ExportFormat format)
{
    TaskStore &store = TaskFile::store(kSpread);
    const ReportPeriod all = ReportPeriod::range(kFirstDay, kFirstDay.addDays(kSpread.days - 1));
    const QDateTime stamp = QDateTime::currentDateTimeUtc();
    qint64 tasks = 0;
    qint64 bytes = 0;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        tasks = writeTaskExport(store, all, format, buffer, stamp);
        bytes = buffer.size();
    }
    state.counters["tasks"] = double(tasks);
    state.counters["MB"] = double(bytes) / 1e6;
}

void BM_ExportAllAsCsv(benchmark::State &state) { exportAll(state, ExportFormat::Csv); }
void BM_ExportAllAsICalendar(benchmark::State &state) { exportAll(state, ExportFormat::ICalendar); }

} // namespace

BENCHMARK(BM_ReportOfAYear_TenADay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportOfAYear_AllInOneYear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportAllAsCsv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportAllAsICalendar)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
