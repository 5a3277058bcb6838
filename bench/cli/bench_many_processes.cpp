// Many processes on one data folder: 8 processes, each running 50
// `chronodeck add` one after another, all at the same time; first with no
// window (each add opens the database itself), then with the window running
// (each add is answered by the window). Printed for each: adds per second
// over the whole load, the 50th and 95th percentile of one add, and whether
// every add a process reported is stored exactly once. With the window
// running, a 9th process asks `chronodeck status` over and over during the
// load: the median and the longest answer.
//
//   bench_many_processes [adds per process]     (50 when not given)
//
// The window runs on the offscreen platform with a configuration folder of
// its own, so no screen is needed and no desktop settings are touched.

#include "ProcessRun.h"

#include "store/Sql.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include <csignal>

using namespace cdk;
using namespace cdk::bench;

namespace {

constexpr int kProcesses = 8;

struct Setup
{
    std::string program;
    std::string dataDir;
    std::string runsDir; // one output file per add
    char **env = nullptr;
};

std::string subject(int worker, int n)
{
    return "Load task " + std::to_string(worker) + '.' + std::to_string(n);
}

std::string outputFile(const Setup &setup, int worker, int n)
{
    return setup.runsDir + "/w" + std::to_string(worker) + '-' + std::to_string(n) + ".txt";
}

struct Load
{
    double seconds = 0;
    std::vector<double> adds; // milliseconds of each add
    std::vector<double> statuses; // milliseconds of each status meanwhile
    int failedStatuses = 0;
};

Load runLoad(const Setup &setup, int addsPerProcess, bool askStatus)
{
    Load load;
    std::mutex mutex;
    std::atomic<int> working {kProcesses};
    std::vector<std::thread> threads;
    const double start = monotonicMs();
    for (int w = 0; w < kProcesses; ++w) {
        threads.emplace_back([&, w] {
            std::vector<double> mine;
            for (int n = 1; n <= addsPerProcess; ++n) {
                const ProcessRun run = runProcess({setup.program, "--data-dir", setup.dataDir,
                                                   "add", subject(w, n), "--budget", "20"},
                                                  setup.env, outputFile(setup, w, n));
                mine.push_back(run.wall);
            }
            --working;
            const std::lock_guard lock(mutex);
            load.adds.insert(load.adds.end(), mine.begin(), mine.end());
        });
    }
    if (askStatus) {
        threads.emplace_back([&] {
            while (working > 0) {
                const ProcessRun run
                    = runProcess({setup.program, "--data-dir", setup.dataDir, "status"}, setup.env);
                if (run.exit != 0)
                    ++load.failedStatuses;
                load.statuses.push_back(run.wall);
            }
        });
    }
    for (std::thread &t : threads)
        t.join();
    load.seconds = (monotonicMs() - start) / 1e3;
    return load;
}

// What the processes printed against what the file holds: each reported
// "Added task N to DAY" is in that day's list once under N, and the lists
// hold nothing else. Returns the problems, and counts the adds the window
// answered (a command that finds no window logs that it works on the file).
QStringList checkAdds(const Setup &setup, int addsPerProcess, int &reported, int &byWindow)
{
    static const QRegularExpression added(
        QStringLiteral("^Added task (\\d+) to (\\d{4}-\\d{2}-\\d{2}): "),
        QRegularExpression::MultilineOption);
    QStringList problems;
    QHash<QString, QHash<QString, qint32>> byList; // list -> subject -> ID
    reported = 0;
    byWindow = 0;
    for (int w = 0; w < kProcesses; ++w) {
        for (int n = 1; n <= addsPerProcess; ++n) {
            QFile file(QString::fromStdString(outputFile(setup, w, n)));
            const QString text
                = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
            const QRegularExpressionMatch match = added.match(text);
            if (!match.hasMatch()) {
                problems << QStringLiteral("add %1.%2: %3").arg(w).arg(n).arg(text.trimmed());
                continue;
            }
            ++reported;
            if (!text.contains(QLatin1String("no window runs")))
                ++byWindow;
            byList[DayListKey(QDate::fromString(match.captured(2), Qt::ISODate))].insert(
                QString::fromStdString(subject(w, n)), match.captured(1).toInt());
        }
    }
    try {
        sql::Database db = sql::Database::openReadOnly(QString::fromStdString(setup.dataDir)
                                                       + TaskStore::databaseFileName());
        for (auto list = byList.cbegin(); list != byList.cend(); ++list) {
            sql::Statement rows
                = db.prepare(QStringLiteral("SELECT ID, Subject FROM Chronodeck WHERE List = ?1"));
            rows.bind(1, list.key());
            QHash<QString, QList<qint32>> stored;
            qsizetype count = 0;
            while (rows.step()) {
                stored[rows.text(1)].append(rows.int32(0));
                ++count;
            }
            for (auto task = list->cbegin(); task != list->cend(); ++task) {
                if (stored.value(task.key()) != QList<qint32> {task.value()})
                    problems << QStringLiteral("\"%1\" reported as task %2 is stored %3 times")
                                    .arg(task.key())
                                    .arg(task.value())
                                    .arg(stored.value(task.key()).size());
            }
            if (count != list->size())
                problems << QStringLiteral("list %1 holds %2 tasks, %3 were reported")
                                .arg(list.key())
                                .arg(count)
                                .arg(list->size());
        }
    } catch (const StoreError &e) {
        problems << QStringLiteral("the database cannot be read: %1").arg(e.message());
    }
    return problems;
}

bool report(const char *label, const Setup &setup, const Load &load, int addsPerProcess)
{
    int reported = 0;
    int byWindow = 0;
    const QStringList problems = checkAdds(setup, addsPerProcess, reported, byWindow);
    const int total = kProcesses * addsPerProcess;
    std::printf("%-15s %5.1f adds/s (%d in %.2f s)   one add: p50 %6.2f ms, p95 %6.2f ms\n", label,
                double(total) / load.seconds, total, load.seconds, percentile(load.adds, 0.5),
                percentile(load.adds, 0.95));
    std::printf("%-15s %d of %d adds reported, %s; answered by the window: %d\n", "", reported,
                total, problems.isEmpty() ? "each stored exactly once" : "PROBLEMS", byWindow);
    for (const QString &problem : problems.mid(0, 10))
        std::printf("%-15s   %s\n", "", qPrintable(problem));
    if (!load.statuses.empty())
        std::printf("%-15s `status` from a 9th process meanwhile: %zu runs, p50 %6.2f ms, max "
                    "%6.2f ms, %d failed\n",
                    "", load.statuses.size(), percentile(load.statuses, 0.5),
                    percentile(load.statuses, 1.0), load.failedStatuses);
    return problems.isEmpty() && reported == total && load.failedStatuses == 0;
}

bool exited(pid_t pid)
{
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == pid;
}

// Starts the window on the folder and waits until it answers commands: a
// command that reaches no window refuses to track for want of one.
pid_t startWindow(const Setup &setup, const std::string &window, const std::string &log)
{
    const pid_t pid = spawn({window, "--data-dir", setup.dataDir, "minimized"}, setup.env, log);
    if (pid < 0)
        return -1;
    const std::string probeOutput = setup.runsDir + "/probe.txt";
    for (const double deadline = monotonicMs() + 30'000; monotonicMs() < deadline;) {
        if (exited(pid))
            return -1;
        runProcess({setup.program, "--data-dir", setup.dataDir, "start", "32000"}, setup.env,
                   probeOutput);
        QFile file(QString::fromStdString(probeOutput));
        if (file.open(QIODevice::ReadOnly)
            && !file.readAll().contains("needs the Chronodeck window"))
            return pid;
        usleep(100'000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

void stopWindow(pid_t pid)
{
    kill(pid, SIGTERM);
    for (const double deadline = monotonicMs() + 10'000; monotonicMs() < deadline;) {
        if (exited(pid))
            return;
        usleep(20'000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

Setup prepare(const QTemporaryDir &dir, const char *name, char **env)
{
    const QString data = dir.path() + QLatin1Char('/') + QLatin1String(name) + QLatin1Char('/');
    const QString runs
        = dir.path() + QLatin1Char('/') + QLatin1String(name) + QStringLiteral("-runs");
    QDir().mkpath(data);
    QDir().mkpath(runs);
    return {CHRONODECK_EXE, QFile::encodeName(data).toStdString(),
            QFile::encodeName(runs).toStdString(), env};
}

} // namespace

int main(int argc, char *argv[])
{
    const int adds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    QTemporaryDir dir;
    const std::string config
        = QFile::encodeName(dir.path() + QStringLiteral("/config")).toStdString();
    QDir().mkpath(QString::fromStdString(config));
    Environment env({{"QT_QPA_PLATFORM", "offscreen"},
                     {"XDG_CONFIG_HOME", config},
                     {"CHRONODECK_DATA_DIR", ""},
                     {"QT_LOGGING_RULES", "chronodeck.cli.info=true"}});
    std::printf("program: %s\n%d processes x %d `chronodeck add` on one folder, all at once\n",
                CHRONODECK_EXE, kProcesses, adds);
    bool ok = true;

    const Setup alone = prepare(dir, "alone", env.get());
    ok = report("no window", alone, runLoad(alone, adds, false), adds) && ok;

    const Setup served = prepare(dir, "window", env.get());
    const pid_t window = startWindow(served, CHRONODECK_WINDOW_EXE, served.runsDir + "/window.log");
    if (window < 0) {
        QFile log(QString::fromStdString(served.runsDir + "/window.log"));
        std::fprintf(stderr, "the window did not start or did not answer within 30 s:\n%s\n",
                     log.open(QIODevice::ReadOnly) ? log.readAll().right(2000).constData() : "");
        return 1;
    }
    const Load load = runLoad(served, adds, true);
    ok = report("window running", served, load, adds) && ok;
    stopWindow(window);
    return ok ? 0 : 1;
}
