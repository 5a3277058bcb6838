// Linked into every test of the sanitizer build.
//
// Qt paints large areas and scales large images on threads of its own pool
// ("Thread (pooled)"). The pool is stopped and its threads deleted with the
// application object, but each thread releases its per-thread data only on
// its own way out, a moment later. The leak check runs at exit and skips a
// thread that is ending as it looks, so on a loaded machine it now and then
// counted that data as lost. This object, destroyed after main returns and
// before the check, waits until those threads have left the process.
//
// Plain POSIX: by the time it runs, Qt's own statics may be gone.
#include <dirent.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

namespace {

bool pooledThreadLeft()
{
    DIR *tasks = opendir("/proc/self/task");
    if (!tasks)
        return false;
    bool found = false;
    while (const dirent *entry = readdir(tasks)) {
        if (entry->d_name[0] == '.')
            continue;
        const std::string path = std::string("/proc/self/task/") + entry->d_name + "/comm";
        if (FILE *comm = std::fopen(path.c_str(), "r")) {
            char name[32] = {};
            if (std::fgets(name, sizeof name, comm))
                found = std::strncmp(name, "Thread (pooled)", 15) == 0;
            std::fclose(comm);
        }
        if (found)
            break;
    }
    closedir(tasks);
    return found;
}

struct PooledThreadsAtExit
{
    ~PooledThreadsAtExit()
    {
        using namespace std::chrono;
        const auto deadline = steady_clock::now() + seconds(10);
        while (pooledThreadLeft() && steady_clock::now() < deadline)
            std::this_thread::sleep_for(milliseconds(1));
    }
} waitForPooledThreads;

} // namespace
