// The daily copy of the recurrent templates, as it runs at start-up and just
// after midnight: 200 templates (every one matching) into an empty day of a
// database of 100,000 tasks (ten a day over some 27 years).
#include "base/Prompter.h"
#include "editing/Recurrence.h"
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

// Nothing in a timing run asks the user anything; a failure to write the
// settings would still be seen on the console.
class ConsolePrompter final : public Prompter
{
public:
    Answer ask(const QString &, const QString &, MessageIcon) override { return Answer::No; }
    void tell(const QString &title, const QString &text, MessageIcon) override
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    }
    QString saveFileName(const QString &, const QString &, const QString &) override
    {
        return {};
    }
    QString openFileName(const QString &, const QString &, const QString &) override
    {
        return {};
    }
    std::optional<qint32> chooseColor(qint32) override { return std::nullopt; }
};

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
    ConsolePrompter prompter;
    clsSettings settings{prompter};

private:
    Fixture()
    {
        QElapsedTimer timer;
        timer.start();
        settings.setPath(dir.filePath(QStringLiteral("settings.ini")));
        store.OpenTaskDatabase();
        sql::Transaction transaction(store.database());
        TaskRecord task;
        task.Category = 1;
        task.Duration = 45;
        task.Priority = 2;
        for (int day = 0; day < kDays; ++day) {
            task.List = DayListKey(kFirstDay.addDays(day));
            for (int id = 1; id <= kTasksPerDay; ++id) {
                task.ID = id;
                task.Subject = QStringLiteral("Task %1 of the day").arg(id);
                task.State = id % 5;
                store.SaveTask(task, true, task.List, task.ID);
            }
        }
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
