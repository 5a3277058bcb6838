// Task grid timings on a database of 100,000 tasks: a whole-day refill of a
// day of 1,000 tasks, and re-sorting that day by each column.
#include "common/BenchDatabase.h"
#include "base/Prompter.h"
#include "settings/Settings.h"
#include "store/Sql.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"
#include "base/Clock.h"
#include "core/TaskOperations.h"
#include "core/TimeTracker.h"
#include "core/ShownDay.h"
#include "view/TaskGrid.h"
#include "view/TaskGridView.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

using namespace cdk;

namespace {

constexpr int kDays = 100;
constexpr int kTasksPerDay = 1000;
const QDate kFirstDay(2024, 1, 1);

// The database, settings and grid, built once per run.
class Fixture
{
public:
    static Fixture &instance()
    {
        if (!s_instance)
            s_instance.reset(new Fixture);
        return *s_instance;
    }
    // Widgets must go before the application object.
    static void release() { s_instance.reset(); }

    TaskStore &store() { return *m_store; }

    TaskGrid &grid() { return *m_grid; }
    const QString &day() const { return m_day; }

private:
    Fixture()
        : m_settings(m_prompter)
    {
        m_settings.setPath(m_dir.filePath(QStringLiteral("settings.ini")));
        m_settings.flags().DisplayDoneTasksAtTheEnd = true;
        m_store = std::make_unique<TaskStore>(m_dir.path());
        m_store->OpenTaskDatabase();
        bench::fillDays(*m_store, kFirstDay, kDays, kTasksPerDay);
        m_day = DayListKey(kFirstDay.addDays(kDays / 2));
        m_view = std::make_unique<TaskGridView>();
        m_view->resize(900, 600);
        m_tracker = std::make_unique<TimeTracker>(*m_store, m_clock);
        m_operations = std::make_unique<TaskOperations>(*m_store, m_settings, *m_tracker);
        m_grid = std::make_unique<TaskGrid>(*m_operations, m_settings, m_shown, m_view.get());
        m_grid->SetUpGridColumns();
        m_grid->LoadSortSettings();
        m_grid->showList(m_day);
        m_view->show();
    }

    static inline std::unique_ptr<Fixture> s_instance;

    QTemporaryDir m_dir;
    bench::ConsolePrompter m_prompter;
    clsSettings m_settings;
    std::unique_ptr<TaskStore> m_store;
    SystemClock m_clock;
    std::unique_ptr<TimeTracker> m_tracker;
    std::unique_ptr<TaskOperations> m_operations;
    ShownDay m_shown;
    std::unique_ptr<TaskGridView> m_view;
    std::unique_ptr<TaskGrid> m_grid;
    QString m_day;
};

// The store's share of a refill: reading the day's rows.
void BM_TasksOfList(benchmark::State &state)
{
    Fixture &f = Fixture::instance();
    for (auto _ : state)
        benchmark::DoNotOptimize(f.store().tasksOfList(f.day()));
}
BENCHMARK(BM_TasksOfList)->Unit(benchmark::kMillisecond);

// The refill as a command runs it: read, build the rows, sort, select.
void BM_RefreshTaskList(benchmark::State &state)
{
    Fixture &f = Fixture::instance();
    for (auto _ : state)
        f.grid().reload();
    state.counters["rows"] = f.grid().rowCount();
}
BENCHMARK(BM_RefreshTaskList)->Unit(benchmark::kMillisecond);

// The same followed by the repaint it asks for.
void BM_RefreshTaskListAndPaint(benchmark::State &state)
{
    Fixture &f = Fixture::instance();
    for (auto _ : state) {
        f.grid().reload();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_RefreshTaskListAndPaint)->Unit(benchmark::kMillisecond);

// Painting the visible rows alone.
void BM_PaintGrid(benchmark::State &state)
{
    Fixture &f = Fixture::instance();
    f.grid().showList(f.day());
    for (auto _ : state)
        f.grid().view()->viewport()->repaint();
}
BENCHMARK(BM_PaintGrid)->Unit(benchmark::kMillisecond);

// Painting a day whose first task has a subject of 100 KB with emoji, to set
// beside the ordinary paint above: the grid shows the start of a long
// subject, so the two should be alike.
void BM_PaintHugeSubject(benchmark::State &state)
{
    Fixture &f = Fixture::instance();
    const QString day = DayListKey(kFirstDay.addDays(-1));
    if (f.store().tasksOfList(day).isEmpty()) {
        TaskRecord task;
        task.List = day;
        task.Duration = 30;
        while (task.Subject.size() < 100 * 1024)
            task.Subject += QStringLiteral("Plan \U0001F5D3\uFE0F review \u00FCber caf\u00E9 ");
        for (qint32 id = 1; id <= 2; ++id) {
            task.ID = id;
            f.store().SaveTask(task, true, day, id);
            task.Subject = QStringLiteral("short");
        }
    }
    f.grid().showList(day);
    for (auto _ : state)
        f.grid().view()->viewport()->repaint();
    f.grid().showList(f.day());
}
BENCHMARK(BM_PaintHugeSubject)->Unit(benchmark::kMillisecond);

// One header column per run, both directions alternating; the rows are
// already filled, so this times the sort alone.
void BM_SortTaskGrid(benchmark::State &state)
{
    Fixture &f = Fixture::instance();
    const int column = int(state.range(0));
    f.grid().showList(f.day());
    TaskGridModel &model = *f.grid().model();
    bool ascending = true;
    for (auto _ : state) {
        model.sortRows(column, ascending);
        ascending = !ascending;
    }
    state.SetLabel(gridColumnKey(column).toStdString());
}
BENCHMARK(BM_SortTaskGrid)->DenseRange(1, GridColumnCount)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QLoggingCategory::setFilterRules(QStringLiteral("chronodeck.*.debug=false"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Fixture::release();
    return 0;
}
