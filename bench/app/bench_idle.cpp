// Runs the real program's start-up and main window over a fresh data folder
// with nothing tracked, and reports the processor time and wake-ups it costs
// while nobody uses it: ten seconds with the window shown, ten with it
// hidden in the tray. An idle program should sleep until something happens.
// The first figure is the floor: the same ten seconds before the program
// starts, an event loop alone, whose one wake-up ends the measurement.
//
//   bench_idle [seconds]     (10 when not given; figures are scaled to 10 s)
#include "app/Application.h"
#include "app/SingleInstance.h"
#include "base/Clock.h"
#include "common/BenchDatabase.h"
#include "common/IdleProbe.h"
#include "desktop/Autostart.h"
#include "tracking/Sound.h"
#include "view/AppContext.h"
#include "view/MainWindow.h"
#include "view/WindowCommands.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMap>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

using namespace cdk;

namespace {

// Names what woke the process: every timer event of the main thread, by the
// class and name of the object it was for.
class TimerLog final : public QObject
{
public:
    QMap<QString, int> fired;

protected:
    bool eventFilter(QObject *receiver, QEvent *event) override
    {
        if (event->type() == QEvent::Timer || event->type() == QEvent::ZeroTimerEvent) {
            QString name = QString::fromLatin1(receiver->metaObject()->className());
            if (!receiver->objectName().isEmpty())
                name += QLatin1Char(' ') + receiver->objectName();
            if (receiver->parent())
                name += QStringLiteral(" in ")
                    + QString::fromLatin1(receiver->parent()->metaObject()->className());
            ++fired[name];
        }
        return false;
    }
};

// Processor milliseconds per 10 s of the phase.
double measure(const char *phase, int seconds, double floorMs = -1)
{
    // Let the last show or hide settle before counting.
    bench::runEventLoopFor(1000);
    TimerLog timers;
    qApp->installEventFilter(&timers);
    const bench::ProcessUsage before = bench::ProcessUsage::now();
    QElapsedTimer wall;
    wall.start();
    bench::runEventLoopFor(seconds * 1000);
    const bench::ProcessUsage used = bench::ProcessUsage::now() - before;
    qApp->removeEventFilter(&timers);
    const double per10 = 10.0 / (double(wall.nsecsElapsed()) / 1e9);
    const double ms = used.cpuSeconds * 1000.0 * per10;
    std::printf("%-26s cpu %7.2f ms per 10 s   wake-ups %5.1f per 10 s", phase, ms,
                double(used.sleeps) * per10);
    if (floorMs >= 0)
        std::printf("   above the floor %6.2f ms (target <= 1 ms: %s)", ms - floorMs,
                    ms - floorMs <= 1.0 ? "met" : "MISSED");
    std::printf("\n");
    for (auto it = timers.fired.cbegin(); it != timers.fired.cend(); ++it)
        std::printf("    timer events: %3d for %s\n", it.value(), qPrintable(it.key()));
    std::fflush(stdout);
    return ms;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    int seconds = 10;
    if (argc > 1) {
        seconds = std::atoi(argv[1]);
        if (seconds <= 0) {
            std::fprintf(stderr, "usage: %s [seconds]\n", argv[0]);
            return 2;
        }
    }
    std::printf("platform %s, nothing tracked, %d s per phase\n",
                qPrintable(QGuiApplication::platformName()), seconds);
    const double floorMs = measure("floor: event loop alone", seconds);

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder: %s\n", qPrintable(dir.errorString()));
        return 1;
    }
    const QString folder = dir.path() + QLatin1Char('/');
    SingleInstance instance(folder);
    SystemClock clock;
    bench::ConsolePrompter prompter;
    NullAutostart autostart;
    NullSound sound;
    bench::SilentTrayIcon tray;
    AppContext context(folder, clock, prompter, autostart, sound);
    context.tray = &tray;

    Application lifetime(context, instance, false);
    if (lifetime.Main() != Application::StartResult::Running) {
        std::fprintf(stderr, "the program did not start\n");
        return 1;
    }
    MainWindow *window = lifetime.mainWindow();
    measure("window shown", seconds, floorMs);
    window->windowCommands().mnuHideToSystemTray->trigger();
    if (window->isVisible())
        window->hide();
    measure("window hidden in the tray", seconds, floorMs);
    window->mnuShow_Click();
    measure("shown again", seconds, floorMs);
    return 0;
}
