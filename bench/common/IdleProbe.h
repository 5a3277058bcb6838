#pragma once

// What the idle benchmarks share: the process's own processor time and
// wake-ups, an event loop that runs for a while, and a notification area for
// platforms without one.

#include "desktop/TrayIcon.h"

#include <QEventLoop>
#include <QTimer>

#include <sys/resource.h>
#include <time.h>

namespace cdk::bench {

// The process's processor time and the times it went to sleep of its own
// accord: each voluntary switch is one wake-up that followed.
struct ProcessUsage
{
    double cpuSeconds = 0;
    long sleeps = 0;

    static ProcessUsage now()
    {
        // The process clock counts every thread to the nanosecond; the user
        // and system times of getrusage are estimates split from it.
        timespec cpu {};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
        rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        return {double(cpu.tv_sec) + double(cpu.tv_nsec) / 1e9, usage.ru_nvcsw};
    }
    ProcessUsage operator-(const ProcessUsage &earlier) const
    {
        return {cpuSeconds - earlier.cpuSeconds, sleeps - earlier.sleeps};
    }
};

// A loop of its own: quitting the application would ask the windows to close,
// and the main window refuses that (it goes to the tray instead).
inline void runEventLoopFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// The notification area as far as the program drives it; the offscreen
// platform has none, and the program hides to the tray only when one exists.
class SilentTrayIcon final : public TrayIcon
{
public:
    void setToolTip(const QString &) override { }
    void setPicture(Picture) override { }
    void setContextMenu(QMenu *) override { }
    void show() override { }
    void hide() override { }
    bool isShown() const override { return true; }
    bool isAvailable() const override { return true; }
};

} // namespace cdk::bench
