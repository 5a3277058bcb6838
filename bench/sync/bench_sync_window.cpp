// The window's event loop while it syncs: the real main window over 1,000
// tasks (200 of them on the day shown) signs in to a real CalDAV server
// (Radicale) and syncs everything, then syncs a change made on the server;
// a timer that wants to run every millisecond records the longest time the
// loop stood still from the start of each sync to its end.
//
//   bench_sync_window
#include "base/Clock.h"
#include "common/BenchDatabase.h"
#include "common/BenchWindow.h"
#include "desktop/Autostart.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"
#include "sync/RadicaleServer.h"
#include "tracking/Sound.h"
#include "view/AppContext.h"
#include "view/MainWindow.h"
#include "view/SyncRunner.h"
#include "view/WindowCommands.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

using namespace cdk;

namespace {

struct Stall
{
    qint64 longestMs = 0;
    bool ok = false;
    QString message;
    double seconds = 0;
};

// Runs start() and the event loop until the runner's sync ends.
template<typename Start> Stall measure(SyncRunner &runner, Start start)
{
    Stall stall;
    QElapsedTimer clock;
    QElapsedTimer sinceLast;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        stall.longestMs = std::max(stall.longestMs, sinceLast.restart());
    });
    QEventLoop loop;
    const auto connection = QObject::connect(&runner, &SyncRunner::finished,
                                             [&](bool ok, const QString &message) {
                                                 stall.ok = ok;
                                                 stall.message = message;
                                                 loop.quit();
                                             });
    clock.start();
    sinceLast.start();
    probe.start();
    start();
    loop.exec();
    // The refresh the sync's result brings runs right after it ends.
    QTimer::singleShot(200, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(connection);
    stall.seconds = double(clock.nsecsElapsed()) / 1e9;
    return stall;
}

void print(const char *what, const Stall &stall)
{
    std::printf("%-34s %7.2f s   longest stand-still of the event loop %4lld ms   goal <= 50 ms: "
                "%s%s%s\n",
                what, stall.seconds, stall.longestMs, stall.longestMs <= 50 ? "met" : "MISSED",
                stall.ok ? "" : "   sync failed: ", stall.ok ? "" : qPrintable(stall.message));
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RadicaleServer server;
    if (!server.ready()) {
        std::fprintf(stderr, "%s\n", qPrintable(server.failure()));
        return 1;
    }
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    SystemClock clock;
    bench::ConsolePrompter prompter;
    NullAutostart autostart;
    NullSound sound;
    AppContext context(folder, clock, prompter, autostart, sound);
    context.settings.Init(folder);
    context.store.OpenTaskDatabase();
    bench::fillDays(context.store, clock.today().addDays(-31), 32, 25);
    {
        // The day shown holds 200 tasks.
        sql::Transaction transaction(context.store.database());
        TaskRecord task;
        task.List = DayListKey(clock.today());
        for (int id = 26; id <= 200; ++id) {
            task.ID = id;
            task.Subject = QStringLiteral("More work %1").arg(id);
            task.Duration = 30;
            context.store.SaveTask(task, true, task.List, id);
        }
        transaction.commit();
    }

    MainWindow window(context);
    bench::showLikeAtStartUp(window, context, clock);

    SyncRunner &runner = window.windowCommands().syncRunner();
    print("sign-in and first sync, 975 tasks", measure(runner, [&] {
              runner.setUp(server.url().toString(), server.user(), server.password(),
                           QStringLiteral("Chronodeck"), true);
          }));
    server.phone(QStringLiteral(
        "import datetime\n"
        "cal = [c for c in principal.calendars() if c.name == 'Chronodeck'][0]\n"
        "cal.save_todo(summary='From the phone', due=datetime.date.today())\n"));
    print("sync of one change from the server", measure(runner, [&] { runner.syncNow(); }));
    return 0;
}
