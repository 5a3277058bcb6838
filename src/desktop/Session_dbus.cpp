#include "desktop/DesktopIdleSource.h"
#include "desktop/DesktopLog.h"
#include "desktop/Notifications.h"
#include "desktop/SessionPresence.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>

namespace cdk {

namespace {

struct BusSignal
{
    bool systemBus;
    const char *service;
    const char *path;
    const char *interface;
    const char *name;
    const char *slot;
};

// Empty service and path: KDE announces its lock on /ScreenSaver, others on
// /org/freedesktop/ScreenSaver.
const BusSignal kSignals[] = {
    {false, "", "", "org.freedesktop.ScreenSaver", "ActiveChanged", SLOT(onLocked(bool))},
    {false, "", "", "org.gnome.ScreenSaver", "ActiveChanged", SLOT(onLocked(bool))},
    {true, "org.freedesktop.login1", "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
     "PrepareForSleep", SLOT(onSleeping(bool))},
};

class DBusSessionPresence final : public SessionPresence
{
    Q_OBJECT

public:
    void watch(bool on) override
    {
        if (on == m_watching)
            return;
        m_watching = on;
        for (const BusSignal &s : kSignals) {
            QDBusConnection bus = s.systemBus ? QDBusConnection::systemBus()
                                              : QDBusConnection::sessionBus();
            if (!bus.isConnected())
                continue;
            const QString service = QString::fromLatin1(s.service);
            const QString path = QString::fromLatin1(s.path);
            const QString interface = QString::fromLatin1(s.interface);
            const QString name = QString::fromLatin1(s.name);
            if (on)
                bus.connect(service, path, interface, name, this, s.slot);
            else
                bus.disconnect(service, path, interface, name, this, s.slot);
        }
        m_locked = m_sleeping = false;
    }

private Q_SLOTS:
    void onLocked(bool locked)
    {
        qCInfo(lcDesktop) << "screen" << (locked ? "locked" : "unlocked");
        update(m_locked, locked);
    }
    void onSleeping(bool sleeping)
    {
        qCInfo(lcDesktop) << "machine" << (sleeping ? "going to sleep" : "awake");
        update(m_sleeping, sleeping);
    }

private:
    void update(bool &flag, bool value)
    {
        const bool was = m_locked || m_sleeping;
        flag = value;
        const bool now = m_locked || m_sleeping;
        if (now != was)
            Q_EMIT absentChanged(now);
    }

    bool m_watching = false;
    bool m_locked = false;
    bool m_sleeping = false;
};

// Where the X server cannot say (Wayland): GNOME's idle monitor, else the
// session's screen saver, asked on the tracker's tick. Both answer in
// milliseconds. A service that does not answer at once is left alone for
// a minute rather than stalling the tick.
class DBusIdleSource final : public IdleSource
{
public:
    std::optional<qint64> idleMilliseconds() override
    {
        if (m_pause.isValid() && m_pause.elapsed() < kPauseMs)
            return std::nullopt;
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected())
            return std::nullopt;
        for (int i = m_source; i < int(std::size(kSources)); ++i) {
            const Source &source = kSources[i];
            const QDBusMessage call = QDBusMessage::createMethodCall(
                QString::fromLatin1(source.service), QString::fromLatin1(source.path),
                QString::fromLatin1(source.interface), QString::fromLatin1(source.method));
            const QDBusMessage reply = bus.call(call, QDBus::Block, kTimeoutMs);
            if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
                m_source = i; // keep asking the one that answered
                return reply.arguments().first().toLongLong();
            }
            if (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply")) {
                qCWarning(lcDesktop) << source.service << "does not answer the idle time";
                m_pause.start();
                return std::nullopt;
            }
        }
        if (!m_missLogged) {
            qCInfo(lcDesktop) << "the session does not tell the idle time";
            m_missLogged = true;
        }
        m_pause.start();
        return std::nullopt;
    }

private:
    struct Source
    {
        const char *service;
        const char *path;
        const char *interface;
        const char *method;
    };
    static constexpr Source kSources[] = {
        {"org.gnome.Mutter.IdleMonitor", "/org/gnome/Mutter/IdleMonitor/Core",
         "org.gnome.Mutter.IdleMonitor", "GetIdletime"},
        {"org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
         "org.freedesktop.ScreenSaver", "GetSessionIdleTime"},
    };
    static constexpr int kTimeoutMs = 100;
    static constexpr qint64 kPauseMs = 60'000;
    int m_source = 0;
    bool m_missLogged = false;
    QElapsedTimer m_pause;
};

} // namespace

std::unique_ptr<SessionPresence> createSessionPresence()
{
    return std::make_unique<DBusSessionPresence>();
}

std::unique_ptr<IdleSource> createSessionIdleSource()
{
    return std::make_unique<DBusIdleSource>();
}

} // namespace cdk

#include "Session_dbus.moc"
