// How long `chronodeck add` and `chronodeck list` take as whole processes,
// no window running, on a database of 100 days of 1,000 tasks each, the last
// of them today; beside them `chronodeck --version`, the cost of starting the
// program at all. Each figure is the median of 20 runs after one warm-up.
//
//   bench_cli [runs]     (20 when not given)

#include "common/BenchDatabase.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

using namespace cdk;

namespace {

struct Times
{
    double wall = -1; // milliseconds from spawn to exit; -1 when the run failed
    double cpu = 0; // user and system time of the program
};

// Runs the program with its output thrown away. The processor time is the
// steadier figure on a machine that other work keeps busy.
Times runOnce(const std::vector<QByteArray> &arguments)
{
    std::vector<char *> argv;
    for (const QByteArray &a : arguments)
        argv.push_back(const_cast<char *>(a.constData()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return {};
    int status = 0;
    rusage usage {};
    wait4(pid, &status, 0, &usage);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    auto millis = [](const timeval &t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    return {ms, millis(usage.ru_utime) + millis(usage.ru_stime)};
}

double medianOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void median(const char *label, const std::vector<QByteArray> &arguments, int runs)
{
    runOnce(arguments); // the program and its libraries into the page cache
    std::vector<double> wall, cpu;
    for (int i = 0; i < runs; ++i) {
        const Times t = runOnce(arguments);
        if (t.wall < 0) {
            std::fprintf(stderr, "%s failed\n", label);
            std::exit(1);
        }
        wall.push_back(t.wall);
        cpu.push_back(t.cpu);
    }
    std::printf("%-30s median %7.2f ms wall (min %6.2f)   %7.2f ms processor   %d runs\n", label,
                medianOf(wall), *std::min_element(wall.begin(), wall.end()), medianOf(cpu), runs);
}

} // namespace

int main(int argc, char *argv[])
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    {
        TaskStore store(folder);
        store.OpenTaskDatabase();
        bench::fillDays(store, QDate::currentDate().addDays(-99), 100, 1000);
        store.Close();
    }
    const QByteArray program = CHRONODECK_EXE;
    const QByteArray dataDir = QFile::encodeName(folder);
    std::printf("program: %s\ndatabase: 100 days x 1,000 tasks, today's list the last\n",
                program.constData());

    median("chronodeck --version", {program, "--version"}, runs);
    median("chronodeck list (1,000 tasks)", {program, "--data-dir", dataDir, "list"}, runs);
    median("chronodeck list --json", {program, "--data-dir", dataDir, "list", "--json"}, runs);
    median("chronodeck add",
           {program, "--data-dir", dataDir, "add", "A task from the bench", "--budget", "25m"},
           runs);
    return 0;
}
