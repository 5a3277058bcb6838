// How long a sync takes against a real CalDAV server (Radicale on this
// machine): the first sync of a database of tasks, then a sync with one
// change on each side. Radicale's own processor time is measured too, since
// on one machine it is part of the wall time. Radicale's cost per request
// grows with the collection: 10,000 tasks take about half an hour there.
//
//   bench_sync [TASKS]     (2,000 when not given)
#include "base/Clock.h"
#include "common/BenchDatabase.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"
#include "sync/CalDavClient.h"
#include "sync/RadicaleServer.h"
#include "sync/SyncEngine.h"
#include "sync/VTodo.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

using namespace cdk;
using namespace cdk::sync;

namespace {

// User and system time of a process so far, in seconds.
double cpuSecondsOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    // utime and stime are fields 14 and 15 of the whole line.
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / double(sysconf(_SC_CLK_TCK));
}

struct Phase
{
    double wall = 0;
    double server = 0;
    double own = 0; // this process: the engine, the store, the client
    SyncReport report;
};

Phase timed(SyncEngine &engine, qint64 radicale)
{
    Phase phase;
    const double before = cpuSecondsOf(radicale);
    const double ownBefore = cpuSecondsOf(getpid());
    QElapsedTimer wall;
    wall.start();
    phase.report = engine.run();
    phase.wall = double(wall.nsecsElapsed()) / 1e9;
    phase.server = cpuSecondsOf(radicale) - before;
    phase.own = cpuSecondsOf(getpid()) - ownBefore;
    return phase;
}

void print(const char *name, const Phase &phase, double goal)
{
    std::printf("%-24s %9.3f s   radicale's cpu %8.3f s (%3.0f%%)   ours %7.3f s   "
                "sent %d received %d   goal < %g s: %s\n",
                name, phase.wall, phase.server, phase.wall > 0 ? 100 * phase.server / phase.wall : 0,
                phase.own, phase.report.sent, phase.report.received, goal,
                phase.report.ok() && phase.wall < goal ? "met" : "missed");
    if (!phase.report.ok())
        std::printf("    failed: %s\n", qPrintable(phase.report.failure));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int tasks = argc > 1 ? std::atoi(argv[1]) : 2'000;
    if (tasks < 25) {
        std::fprintf(stderr, "usage: %s [TASKS, at least 25]\n", argv[0]);
        return 2;
    }
    RadicaleServer server;
    if (!server.ready()) {
        std::fprintf(stderr, "%s\n", qPrintable(server.failure()));
        return 1;
    }
    QTemporaryDir dir;
    TaskStore store(dir.path() + QLatin1Char('/'));
    store.OpenTaskDatabase();
    constexpr int kPerDay = 25;
    const QDate first = QDate::currentDate().addDays(-(tasks / kPerDay) + 1);
    bench::fillDays(store, first, tasks / kPerDay, kPerDay);

    CalDavClient client(server.url(), server.user(), server.password());
    const std::optional<QUrl> list = client.createTaskList(QStringLiteral("Chronodeck"));
    if (!list) {
        std::fprintf(stderr, "%s\n", qPrintable(client.lastError().message));
        return 1;
    }
    SyncEngine engine(store, client, *list);
    std::printf("%d tasks, Radicale on 127.0.0.1\n", tasks);
    std::fflush(stdout);
    print("first sync", timed(engine, server.processId()), 60);

    // One change here, one made on the server by another client.
    const QString today = DayListKey(QDate::currentDate());
    store.SetTaskPriority(1, today, 5);
    const std::optional<Changes> all = client.changes(*list, {});
    const std::optional<QList<Resource>> one
        = all ? client.fetch(*list, {all->changed.first().href}) : std::nullopt;
    if (!one || one->isEmpty()) {
        std::fprintf(stderr, "the server's tasks cannot be read: %s\n",
                     qPrintable(client.lastError().message));
        return 1;
    }
    std::optional<SyncTask> remote = fromICalendar(one->first().ical);
    remote->subject += QStringLiteral(" (changed on the phone)");
    client.put(*list, one->first().href, toICalendar(*remote, one->first().ical),
               one->first().etag);
    print("one change on each side", timed(engine, server.processId()), 0.5);
    print("nothing changed", timed(engine, server.processId()), 0.5);
    return 0;
}
