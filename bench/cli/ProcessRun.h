#pragma once

// Whole runs of a program, timed from spawn to exit, for the benchmarks that
// measure the command line: one process start is the unit of work there,
// not a loop of small calls. POSIX only; safe to call from several threads.

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

namespace cdk::bench {

struct ProcessRun
{
    double wall = -1; // milliseconds from spawn to exit; -1 when it could not start
    double cpu = 0; // user and system time of the program, the steadier figure
    int exit = -1; // exit code; -1 when it did not exit normally
};

inline double monotonicMs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The environment of this process with some variables set or, with an empty
// value, removed; kept alive by the caller for as long as it is used.
class Environment
{
public:
    explicit Environment(const std::vector<std::pair<std::string, std::string>> &changes)
    {
        for (char **e = environ; *e; ++e) {
            const std::string entry = *e;
            const bool changed = std::any_of(changes.begin(), changes.end(), [&](const auto &c) {
                return entry.compare(0, c.first.size() + 1, c.first + '=') == 0;
            });
            if (!changed)
                m_entries.push_back(entry);
        }
        for (const auto &[name, value] : changes) {
            if (!value.empty())
                m_entries.push_back(name + '=' + value);
        }
        for (std::string &entry : m_entries)
            m_pointers.push_back(entry.data());
        m_pointers.push_back(nullptr);
    }
    char **get() { return m_pointers.data(); }

private:
    std::vector<std::string> m_entries;
    std::vector<char *> m_pointers;
};

// Starts the program at arguments[0]; its standard output and error go to
// the file output (both, in the order written), or are thrown away.
inline pid_t spawn(const std::vector<std::string> &arguments, char **env,
                   const std::string &output = "/dev/null")
{
    std::vector<char *> argv;
    for (const std::string &a : arguments)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), env);
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? pid : -1;
}

// Runs the program to its end.
inline ProcessRun runProcess(const std::vector<std::string> &arguments, char **env = environ,
                             const std::string &output = "/dev/null")
{
    const double start = monotonicMs();
    const pid_t pid = spawn(arguments, env, output);
    if (pid < 0)
        return {};
    int status = 0;
    rusage usage {};
    while (wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR)
            return {};
    }
    ProcessRun run;
    run.wall = monotonicMs() - start;
    auto millis = [](const timeval &t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    run.cpu = millis(usage.ru_utime) + millis(usage.ru_stime);
    run.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// The value below which a share p (0..1] of the values lies: nearest rank.
inline double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t rank = size_t(std::ceil(p * double(values.size())));
    return values[std::clamp<size_t>(rank, 1, values.size()) - 1];
}

inline double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace cdk::bench
