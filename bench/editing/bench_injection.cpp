// The daily copy of the recurrent templates, as it runs at start-up and just
// after midnight: 200 templates (every one matching) into an empty day of a
// database of 100,000 tasks (ten a day over some 27 years).
#include "common/BenchDatabase.h"
#include "base/Prompter.h"
#include "core/Recurrence.h"
#include "settings/Settings.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

using namespace cdk;

namespace {

constexpr int kDays = 10000;
constexpr int kTasksPerDay = 10;
constexpr int kTemplates = 200;
const QDate kFirstDay(2000, 1, 1);

class Fixture
{
public:
    static Fixture &instance()
    {
        static Fixture fixture;
        return fixture;
    }

    // First, so it exists before the store and the settings point into it.
    QTemporaryDir dir;
    TaskStore store{dir.path()};
    bench::ConsolePrompter prompter;
    clsSettings settings{prompter};

private:
    Fixture()
    {
        QElapsedTimer timer;
        timer.start();
        settings.setPath(dir.filePath(QStringLiteral("settings.ini")));
        store.OpenTaskDatabase();
        bench::fillDays(store, kFirstDay, kDays, kTasksPerDay);
        sql::Transaction transaction(store.database());
        TaskRecord task;
        task.Category = 1;
        task.Duration = 45;
        task.Priority = 2;
        task.List = recurrentListKey();
        for (int id = 1; id <= kTemplates; ++id) {
            task.ID = id;
            task.Subject = QStringLiteral("0]Template %1").arg(id);
            store.SaveTask(task, true, task.List, task.ID);
        }
        transaction.commit();
        std::fprintf(stderr, "database of %d tasks and %d templates built in %lld ms\n",
                     kDays * kTasksPerDay, kTemplates, static_cast<long long>(timer.elapsed()));
    }
};

void BM_InjectRecurrentTasks(benchmark::State &state)
{
    Fixture &fixture = Fixture::instance();
    // Each run is a new calendar day after the last one in the database.
    QDate day = kFirstDay.addDays(kDays + 1);
    int copies = 0;
    for (auto _ : state) {
        copies = InjectRecurrentTasks(fixture.store, fixture.settings, day);
        day = day.addDays(1);
    }
    if (copies != kTemplates)
        state.SkipWithError("not every template was copied");
    state.counters["copies"] = copies;
}
BENCHMARK(BM_InjectRecurrentTasks)->Unit(benchmark::kMillisecond)->Iterations(50);

} // namespace

int main(int argc, char **argv)
{
    QLoggingCategory::setFilterRules(QStringLiteral("chronodeck.*.info=false"));
    benchmark::Initialize(&argc, argv);
    Fixture::instance();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
