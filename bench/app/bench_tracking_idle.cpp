// Runs the real main window over a fresh data folder, tracks a task of ten
// hours with the window hidden and reports how much processor time the
// process used while the event loop ran, as a share of one core, with the
// ticks that were delivered and the seconds the store counted. The tracker
// asks the desktop's idle time on every tick, as the program does: run it
// on X11 (xvfb-run -a env QT_QPA_PLATFORM=xcb ...) for the X server's
// screen saver extension, with the screen lock and sleep listened to on the
// session bus when there is one.
//
//   bench_tracking_idle [seconds]     (60 when not given)
#include "base/Clock.h"
#include "common/BenchDatabase.h"
#include "common/BenchWindow.h"
#include "common/IdleProbe.h"
#include "desktop/Autostart.h"
#include "desktop/DesktopIdleSource.h"
#include "desktop/Notifications.h"
#include "desktop/SessionPresence.h"
#include "base/IdleSource.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"
#include "tracking/Sound.h"
#include "tracking/TrackingController.h"
#include "desktop/TrayIcon.h"
#include "view/AppContext.h"
#include "view/TrackingCommands.h"
#include "view/WindowCommands.h"
#include "view/MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace cdk;

namespace {

qint64 secondsDone(TaskStore &store, const QString &list, qint32 id)
{
    const auto task = store.findTask(list, id);
    return task ? qint64(task->FinishedDuration) * 60 + task->FinishedSeconds : -1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    int seconds = 60;
    if (argc > 1) {
        seconds = std::atoi(argv[1]);
        if (seconds <= 0) {
            std::fprintf(stderr, "usage: %s [seconds]\n", argv[0]);
            return 2;
        }
    }

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder: %s\n", qPrintable(dir.errorString()));
        return 1;
    }
    const QString folder = dir.path() + QLatin1Char('/');
    SystemClock clock;
    bench::ConsolePrompter prompter;
    NullAutostart autostart;
    NullSound sound;
    bench::SilentTrayIcon tray;
    AppContext context(folder, clock, prompter, autostart, sound);
    context.tray = &tray;
    const std::unique_ptr<IdleSource> idle = createDesktopIdleSource();
    const std::unique_ptr<SessionPresence> presence = createSessionPresence();
    const std::unique_ptr<DesktopNotifications> notifications = createDesktopNotifications();
    context.idle = idle.get();
    context.presence = presence.get();
    context.notifications = notifications.get();
    context.settings.Init(folder);
    context.tracker.setAwayDetection(idle.get(), 10 * 60'000);
    std::printf("idle source answers: %s\n", idle->idleMilliseconds() ? "yes" : "no");
    context.store.OpenTaskDatabase();

    const QString today = DayListKey(clock.today());
    TaskRecord task;
    task.ID = 1;
    task.List = today;
    task.Subject = QStringLiteral("Ten hours of work");
    task.Category = 1;
    task.Duration = 600;
    task.Priority = 2;
    context.store.SaveTask(task, true, today, task.ID);

    MainWindow window(context);
    bench::showLikeAtStartUp(window, context, clock);

    window.trackingCommands().mnuStartTimer->trigger();
    if (!context.tracker.TrackingActive) {
        std::fprintf(stderr, "tracking did not start\n");
        return 1;
    }
    int ticks = 0;
    QObject::connect(context.tracker.tmrTracker(), &QTimer::timeout, &app, [&ticks] { ++ticks; });
    // What the user does: the window goes to the tray, tracking goes on.
    window.windowCommands().mnuHideToSystemTray->trigger();
    if (window.isVisible()) {
        std::printf("note: the hide-to-tray command left the window visible (minimised); "
                    "it is hidden directly\n");
        window.hide();
    }
    // Let the hide and the first layout settle before counting.
    bench::runEventLoopFor(500);

    ticks = 0;
    const qint64 doneBefore = secondsDone(context.store, today, 1);
    const bench::ProcessUsage before = bench::ProcessUsage::now();
    QElapsedTimer wall;
    wall.start();
    bench::runEventLoopFor(seconds * 1000);
    const double cpu = (bench::ProcessUsage::now() - before).cpuSeconds;
    const double elapsed = double(wall.nsecsElapsed()) / 1e9;
    const qint64 doneAfter = secondsDone(context.store, today, 1);

    const double share = elapsed > 0 ? 100.0 * cpu / elapsed : 0.0;
    std::printf("window hidden: %s, tracking: %s\n", window.isVisible() ? "no" : "yes",
                context.tracker.TrackingActive ? "on" : "off");
    std::printf("wall time            %10.3f s\n", elapsed);
    std::printf("cpu time (user+sys)  %10.3f ms\n", cpu * 1000.0);
    std::printf("cpu share of a core  %10.4f %%   (target < 0.5 %%)\n", share);
    std::printf("ticks delivered      %10d\n", ticks);
    std::printf("seconds counted      %10lld   (stored %lld -> %lld)\n",
                static_cast<long long>(doneAfter - doneBefore), static_cast<long long>(doneBefore),
                static_cast<long long>(doneAfter));
    if (ticks > 0)
        std::printf("cpu per tick         %10.1f us\n", cpu * 1e6 / ticks);
    std::printf("verdict              %s\n", share < 0.5 ? "within target" : "ABOVE TARGET");
    return 0;
}
