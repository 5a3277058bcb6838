// How long the running window takes to answer `status` while a client hogs
// its command socket, against the same window idle, in one run: the hog asks
// for `list --json` of a day of 3,000 tasks and never reads the answer, and
// 300 more clients connect and say nothing. Two figures each way: the
// request alone (the command line's own askWindow(), in this process) and a
// whole `chronodeck status` process. Medians after one warm-up.
//
//   bench_command_socket [runs]     (30 when not given)

#include "cli/WindowLink.h"
#include "common/BenchDatabase.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

using namespace cdk;

namespace {

const QStringList kStatus {QStringLiteral("status")};

pid_t spawn(const std::vector<QByteArray> &arguments)
{
    std::vector<char *> argv;
    for (const QByteArray &a : arguments)
        argv.push_back(const_cast<char *>(a.constData()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? pid : -1;
}

double medianOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Milliseconds of one status through askWindow(); -1 when it failed.
double askOnce(const QString &folder)
{
    QElapsedTimer timer;
    timer.start();
    const auto reply = cli::askWindow(folder, kStatus, 30'000);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    return reply && reply->exit == 0 ? ms : -1;
}

// Milliseconds of one whole `chronodeck status`; -1 when it failed.
double processOnce(const std::vector<QByteArray> &arguments)
{
    QElapsedTimer timer;
    timer.start();
    const pid_t pid = spawn(arguments);
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid)
        return -1;
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ms : -1;
}

struct Figures
{
    double request = 0;
    double process = 0;
};

Figures measure(const char *label, const QString &folder, const std::vector<QByteArray> &status,
                int runs)
{
    askOnce(folder);
    processOnce(status);
    std::vector<double> requests, processes;
    for (int i = 0; i < runs; ++i) {
        const double request = askOnce(folder);
        const double process = processOnce(status);
        if (request < 0 || process < 0) {
            std::fprintf(stderr, "%s: status failed\n", label);
            std::exit(1);
        }
        requests.push_back(request);
        processes.push_back(process);
    }
    const Figures f {medianOf(requests), medianOf(processes)};
    std::printf("%-34s request median %8.2f ms (max %8.2f)   chronodeck status median %8.2f ms"
                "   %d runs\n",
                label, f.request, *std::max_element(requests.begin(), requests.end()), f.process,
                runs);
    return f;
}

int connectNow(const QByteArray &path)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) == 0)
        return fd;
    ::close(fd);
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    QTemporaryDir dir;
    QTemporaryDir runtime; // the window's socket folder goes here, not in the user's
    QTemporaryDir config; // and its start-at-logon entry
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString folder = dir.path() + QLatin1Char('/');
    {
        TaskStore store(folder);
        store.OpenTaskDatabase();
        bench::fillDays(store, QDate::currentDate(), 1, 3000);
        store.Close();
    }
    const QByteArray program = CHRONODECK_EXE;
    const QByteArray dataDir = QFile::encodeName(folder);
    const pid_t window = spawn({program, "--data-dir", dataDir});
    if (window < 0) {
        std::fprintf(stderr, "the window cannot be started\n");
        return 1;
    }
    for (int i = 0; i < 200 && askOnce(folder) < 0; ++i)
        QThread::msleep(50);
    const auto listing
        = cli::askWindow(folder, {QStringLiteral("list"), QStringLiteral("--json")}, 30'000);
    std::printf("program: %s\nwindow idle, then hogged by a client that asks for list --json "
                "(%lld KB) and never reads, and 300 silent clients\n",
                program.constData(), listing ? qint64(listing->out.toUtf8().size()) / 1024 : -1LL);

    const std::vector<QByteArray> status {program, "--data-dir", dataDir, "status"};
    const Figures idle = measure("idle window", folder, status, runs);

    const QByteArray path = QFile::encodeName(cli::commandSocketName(folder));
    const int hog = connectNow(path);
    const QByteArray list = "{\"args\": [\"list\", \"--json\"]}\n";
    if (hog < 0
        || ::send(hog, list.constData(), size_t(list.size()), MSG_NOSIGNAL) != list.size()) {
        std::fprintf(stderr, "the hog cannot connect\n");
        return 1;
    }
    std::vector<int> silent;
    for (int i = 0; i < 300; ++i) {
        if (const int fd = connectNow(path); fd >= 0)
            silent.push_back(fd);
    }
    QThread::msleep(100); // the window has taken the hog's request and is stuck with its answer
    const Figures hogged = measure("hogged window", folder, status, runs);
    std::printf(
        "hogged - idle: request %+.2f ms, chronodeck status %+.2f ms (goal: within 100 ms)\n",
        hogged.request - idle.request, hogged.process - idle.process);

    ::close(hog);
    for (const int fd : silent)
        ::close(fd);
    ::kill(window, SIGKILL);
    waitpid(window, nullptr, 0);
    return 0;
}
