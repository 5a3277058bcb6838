// A planner of many years with one enormous day: 200,000 tasks in all, one
// day of 20,000 among days of 1,000. Opening the file, switching to the big
// day, sorting it and checking off one of its tasks (which reloads the grid
// through the change signal) are each timed as the user meets them: one
// step at a time, to be read against the 300 ms a user notices as a freeze.
#include "common/BenchDatabase.h"

#include "base/Clock.h"
#include "core/TaskOperations.h"
#include "core/TimeTracker.h"
#include "settings/Settings.h"
#include "store/TaskStore.h"
#include "core/ShownDay.h"
#include "view/TaskGrid.h"
#include "view/TaskGridModel.h"
#include "view/TaskGridView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

using namespace cdk;

namespace {

constexpr int kSmallDays = 180;
constexpr int kSmallDay = 1000;
constexpr int kBigDay = 20000;
const QDate kFirstDay(2020, 1, 1);

class Fixture
{
public:
    static Fixture &instance()
    {
        if (!s_instance)
            s_instance.reset(new Fixture);
        return *s_instance;
    }
    static void release() { s_instance.reset(); }

    QTemporaryDir dir;
    bench::ConsolePrompter prompter;
    clsSettings settings {prompter};
    SystemClock clock;
    std::unique_ptr<TaskStore> store;
    std::unique_ptr<TimeTracker> tracker;
    std::unique_ptr<TaskOperations> operations;
    ShownDay day;
    std::unique_ptr<TaskGridView> view;
    std::unique_ptr<TaskGrid> grid;
    QString bigDay;
    QString smallDay;

private:
    Fixture()
    {
        settings.setPath(dir.filePath(QStringLiteral("settings.ini")));
        settings.flags().DisplayDoneTasksAtTheEnd = true;
        store = std::make_unique<TaskStore>(dir.path());
        store->OpenTaskDatabase();
        bench::fillDays(*store, kFirstDay, kSmallDays, kSmallDay);
        const QDate big = kFirstDay.addDays(kSmallDays);
        bench::fillDays(*store, big, 1, kBigDay);
        bigDay = DayListKey(big);
        smallDay = DayListKey(kFirstDay.addDays(kSmallDays / 2));
        store->Close();
        store->OpenTaskDatabase();
        tracker = std::make_unique<TimeTracker>(*store, clock);
        operations = std::make_unique<TaskOperations>(*store, settings, *tracker);
        view = std::make_unique<TaskGridView>();
        view->resize(900, 600);
        grid = std::make_unique<TaskGrid>(*operations, settings, day, view.get());
        grid->SetUpGridColumns();
        grid->LoadSortSettings();
        view->show();
        QCoreApplication::processEvents();
    }

    static inline std::unique_ptr<Fixture> s_instance;
};

void reportMax(benchmark::State &state, double worstMs)
{
    state.counters["worst_ms"] = worstMs;
}

// Open as at start-up: the full page check of a file not closed by this
// program, and the statements prepared.
void BM_OpenDatabase(benchmark::State &state)
{
    Fixture &f = Fixture::instance();
    f.store->Close();
    for (auto _ : state) {
        TaskStore store(f.dir.path());
        store.OpenTaskDatabase();
    }
    f.store->OpenTaskDatabase();
}
BENCHMARK(BM_OpenDatabase)->Unit(benchmark::kMillisecond)->Iterations(5);

// From a day of 1,000 to the day of 20,000 and back, painted each time.
void BM_SwitchToTheBigDay(benchmark::State &state)
{
    Fixture &f = Fixture::instance();
    double worst = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        f.grid->showList(f.bigDay);
        QCoreApplication::processEvents();
        worst = std::max(worst, timer.nsecsElapsed() / 1e6);
        state.PauseTiming();
        f.grid->showList(f.smallDay);
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    reportMax(state, worst);
    state.counters["rows"] = kBigDay;
}
BENCHMARK(BM_SwitchToTheBigDay)->Unit(benchmark::kMillisecond)->Iterations(10);

// A click on a column header of the big day.
void BM_SortTheBigDay(benchmark::State &state)
{
    Fixture &f = Fixture::instance();
    f.grid->showList(f.bigDay);
    TaskGridModel &model = *f.grid->model();
    const int column = int(state.range(0));
    bool ascending = true;
    for (auto _ : state) {
        model.sortRows(column, ascending);
        ascending = !ascending;
    }
    state.SetLabel(gridColumnKey(column).toStdString());
}
BENCHMARK(BM_SortTheBigDay)->DenseRange(1, GridColumnCount)->Unit(benchmark::kMillisecond);

// Checking off one task of the big day and unchecking it again: the store's
// transaction and the grid's reload that its change signal brings, painted.
void BM_CheckOffInTheBigDay(benchmark::State &state)
{
    Fixture &f = Fixture::instance();
    f.grid->showList(f.bigDay);
    QCoreApplication::processEvents();
    bool check = true;
    double worst = 0;
    qint32 id = 1;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        f.operations->checkTasks(f.bigDay, {id}, check,
                                 TaskOperations::TrackedCheckOff::KeepTracking);
        QCoreApplication::processEvents();
        worst = std::max(worst, timer.nsecsElapsed() / 1e6);
        if (!check)
            id = id % kBigDay + 1;
        check = !check;
    }
    reportMax(state, worst);
}
BENCHMARK(BM_CheckOffInTheBigDay)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QLoggingCategory::setFilterRules(QStringLiteral("chronodeck.*=false"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Fixture::release();
    return 0;
}
