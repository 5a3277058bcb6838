// Backup and restore of a database of realistic size (100,000 tasks, ten a
// day over some 27 years) while a task is tracked. Besides the time of each
// command, the longest time the event loop did not turn while it ran: how
// long the window does not paint or count.
#include "base/Clock.h"
#include "common/BenchDatabase.h"
#include "core/TaskOperations.h"
#include "core/TimeTracker.h"
#include "settings/Settings.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>

using namespace cdk;

namespace {

constexpr int kDays = 10000;
constexpr int kTasksPerDay = 10;
const QDate kFirstDay(2000, 1, 1);

class BenchClock final : public Clock
{
public:
    quint32 tickCount() const override { return tick; }
    QDate today() const override { return kFirstDay.addDays(kDays - 1); }
    quint32 tick = 1000;
};

// The program as it runs: the database open, one task tracked, a minute of
// it still in the journal.
struct Running
{
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    bench::ConsolePrompter prompter;
    clsSettings settings {prompter};
    BenchClock clock;
    TaskStore store {dir.path()};
    TimeTracker tracker {store, clock};
    TaskOperations operations {store, settings, tracker};

    Running()
    {
        QElapsedTimer timer;
        timer.start();
        settings.setPath(dir.filePath(QStringLiteral("settings.ini")));
        store.OpenTaskDatabase();
        bench::fillDays(store, kFirstDay, kDays, kTasksPerDay);
        store.checkpoint();
        const QString today = DayListKey(clock.today());
        tracker.start(today, 3);
        clock.tick += 61'000;
        tracker.TrackTick();
        std::fprintf(stderr, "built %d tasks (%lld MB) in %lld ms\n", kDays * kTasksPerDay,
                     static_cast<long long>(QFileInfo(store.DatabasePath()).size() >> 20),
                     static_cast<long long>(timer.elapsed()));
    }
};

Running &running()
{
    static Running r;
    return r;
}

void reportLongest(benchmark::State &state, double longestMs)
{
    state.counters["longest_ms"] = longestMs;
}

// Watches the event loop the way a window's repaint would wait on it.
class StallProbe
{
public:
    StallProbe()
    {
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
            if (m_since.isValid())
                m_longest = std::max(m_longest, m_since.nsecsElapsed() / 1e6);
            m_since.start();
        });
    }
    void start()
    {
        m_since.start();
        m_timer.start();
    }
    // The wait since the last turn counts too: a call that never let the
    // loop turn stalls it for its whole length.
    double stop()
    {
        m_timer.stop();
        m_longest = std::max(m_longest, m_since.nsecsElapsed() / 1e6);
        return m_longest;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_since;
    double m_longest = 0;
};

// File > Create Backup: the complete copy through the engine's online backup.
void BM_BackupWhileTracking(benchmark::State &state)
{
    Running &r = running();
    const QString destination = r.elsewhere.filePath(QStringLiteral("backup.cdkd"));
    double longest = 0;
    StallProbe probe;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        probe.start();
        r.operations.backupDatabase(destination);
        state.counters["stall_ms"] = probe.stop();
        longest = std::max(longest, timer.nsecsElapsed() / 1e6);
    }
    if (!r.tracker.TrackingActive)
        state.SkipWithError("tracking stopped");
    state.counters["MB"] = double(QFileInfo(destination).size()) / (1 << 20);
    reportLongest(state, longest);
}
BENCHMARK(BM_BackupWhileTracking)->Unit(benchmark::kMillisecond)->Iterations(20);

// The same probe over an idle event loop for as long as a backup takes: how
// long the loop stands still on this machine without any work of ours.
void BM_IdleLoopBaseline(benchmark::State &state)
{
    StallProbe probe;
    for (auto _ : state) {
        probe.start();
        QEventLoop loop;
        QTimer::singleShot(250, &loop, &QEventLoop::quit);
        loop.exec();
        state.counters["stall_ms"] = probe.stop();
    }
}
BENCHMARK(BM_IdleLoopBaseline)->Unit(benchmark::kMillisecond)->Iterations(20);

// The check of a chosen file before a restore touches anything.
void BM_RestoreCheck(benchmark::State &state)
{
    Running &r = running();
    const QString chosen = r.elsewhere.filePath(QStringLiteral("chosen.cdkd"));
    r.operations.backupDatabase(chosen);
    double longest = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        r.operations.checkRestorable(chosen);
        longest = std::max(longest, timer.nsecsElapsed() / 1e6);
    }
    reportLongest(state, longest);
}
BENCHMARK(BM_RestoreCheck)->Unit(benchmark::kMillisecond)->Iterations(10);

// File > Restore Backup after the check: safety copy, swap, open with its
// full check of the new file.
void BM_RestoreSwap(benchmark::State &state)
{
    Running &r = running();
    const QString chosen = r.elsewhere.filePath(QStringLiteral("chosen.cdkd"));
    const QString safety = r.elsewhere.filePath(QStringLiteral("safety.cdkd"));
    r.operations.backupDatabase(chosen);
    double longest = 0;
    StallProbe probe;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        probe.start();
        r.operations.backupDatabase(safety);
        r.operations.replaceDatabase(chosen);
        state.counters["stall_ms"] = probe.stop();
        longest = std::max(longest, timer.nsecsElapsed() / 1e6);
    }
    reportLongest(state, longest);
}
BENCHMARK(BM_RestoreSwap)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    QLoggingCategory::setFilterRules(QStringLiteral("chronodeck.*.info=false"));
    // The operations' checkpoint timer wants an event loop's thread.
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
