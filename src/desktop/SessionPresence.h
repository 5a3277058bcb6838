#pragma once

#include <QObject>

#include <memory>

namespace cdk {

// Whether the person can be at the computer at all: the session's screen
// lock and the machine's sleep, as the desktop announces them.
class SessionPresence : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    // Listens while on; the tracker turns it on only while a task is tracked.
    virtual void watch(bool on) = 0;

Q_SIGNALS:
    // The screen was locked or the machine is going to sleep (true); it was
    // unlocked and is awake again (false).
    void absentChanged(bool absent);
};

// The session bus's screen savers (org.freedesktop.ScreenSaver, GNOME's
// org.gnome.ScreenSaver) and logind's PrepareForSleep on the system bus
// where the program was built with D-Bus; elsewhere one that never tells.
// Connects to nothing before the first watch(true).
std::unique_ptr<SessionPresence> createSessionPresence();

} // namespace cdk
