#include "desktop/Notifications.h"

#include "desktop/DesktopLog.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QElapsedTimer>
#include <QHash>
#include <QStringList>

namespace cdk {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
// A server that is present answers its capabilities at once; one that hangs
// must not hang the window.
constexpr int kCapabilitiesTimeoutMs = 500;
// After the server was found missing, look again no sooner than this.
constexpr qint64 kRecheckMs = 60'000;
constexpr qsizetype kMostEarlyActions = 16;

// The freedesktop notification protocol: Notify with a replaces_id makes
// "one per key"; ActionInvoked and NotificationClosed come back as signals
// to every client, so ids not ours are ignored.
class FreedesktopNotifications final : public DesktopNotifications
{
    Q_OBJECT

public:
    FreedesktopNotifications() = default;

    bool show(const QString &key, const QString &summary, const QString &body,
              const QList<Action> &actions) override
    {
        if (!serverPresent())
            return false;
        Request request {summary, body, actions};
        // A key whose first notification is still on its way waits for its
        // id, so the second replaces the first instead of stacking.
        if (m_inFlight.contains(key)) {
            m_queued.insert(key, request);
            return true;
        }
        send(key, request);
        return true;
    }

    void withdraw(const QString &key) override
    {
        m_queued.remove(key);
        // One on its way replaces the one shown: it goes once its id is known.
        if (m_inFlight.contains(key)) {
            m_withdrawOnReply.insert(key);
            return;
        }
        const quint32 id = m_ids.take(key);
        if (!id)
            return;
        m_keys.remove(id);
        QDBusMessage close = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                            QStringLiteral("CloseNotification"));
        close << id;
        m_bus.asyncCall(close);
    }

private Q_SLOTS:
    void onActionInvoked(uint id, const QString &action)
    {
        const QString key = m_keys.value(id);
        if (!key.isEmpty()) {
            Q_EMIT actionInvoked(key, action);
            return;
        }
        // QtDBus may hand over a signal before the reply that came ahead of
        // it: while a notification is on its way, an unknown id may be its.
        if (!m_inFlight.isEmpty() && m_early.size() < kMostEarlyActions)
            m_early.append({id, action});
    }

    void onClosed(uint id, uint /*reason*/)
    {
        const QString key = m_keys.take(id);
        if (!key.isEmpty() && m_ids.value(key) == id)
            m_ids.remove(key);
    }

private:
    struct Request
    {
        QString summary;
        QString body;
        QList<Action> actions;
    };

    bool serverPresent()
    {
        if (m_connected)
            return true;
        if (m_lastMiss.isValid() && m_lastMiss.elapsed() < kRecheckMs)
            return false;
        m_bus = QDBusConnection::sessionBus();
        QDBusConnectionInterface *bus = m_bus.isConnected() ? m_bus.interface() : nullptr;
        // A server the bus starts on demand counts as present.
        const bool present = bus
            && (bus->isServiceRegistered(kService).value()
                || bus->activatableServiceNames().value().contains(kService));
        if (!present) {
            qCInfo(lcDesktop) << "no notification server on the session bus";
            m_lastMiss.start();
            return false;
        }
        // By path and interface, not by the server's name: a match on the name
        // holds only once QtDBus has looked up its owner, and a click that
        // came before would be lost. Ids not ours are ignored.
        m_bus.connect(QString(), kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                      SLOT(onActionInvoked(uint, QString)));
        m_bus.connect(QString(), kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                      SLOT(onClosed(uint, uint)));
        QDBusMessage ask = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                          QStringLiteral("GetCapabilities"));
        const QDBusMessage reply = m_bus.call(ask, QDBus::Block, kCapabilitiesTimeoutMs);
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
            m_actions = reply.arguments().first().toStringList().contains(
                QStringLiteral("actions"));
        qCInfo(lcDesktop) << "notification server found; actions:" << m_actions;
        m_connected = true;
        return true;
    }

    void send(const QString &key, const Request &request)
    {
        QStringList actions;
        if (m_actions) {
            for (const Action &action : request.actions)
                actions << action.key << action.label;
        }
        QVariantMap hints;
        hints.insert(QStringLiteral("desktop-entry"), QStringLiteral(CHRONODECK_DESKTOP_ID));
        QDBusMessage notify = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                             QStringLiteral("Notify"));
        notify << QStringLiteral("Chronodeck") << m_ids.value(key, 0u)
               << QStringLiteral(CHRONODECK_DESKTOP_ID) << request.summary << request.body
               << actions << hints << qint32(-1);
        m_inFlight.insert(key);
        auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(notify), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [this, key](QDBusPendingCallWatcher *call) {
                    call->deleteLater();
                    m_inFlight.remove(key);
                    const QDBusPendingReply<uint> reply = *call;
                    if (reply.isError()) {
                        qCWarning(lcDesktop) << "the notification server refused:"
                                             << reply.error().message();
                        m_queued.remove(key);
                        m_withdrawOnReply.remove(key);
                        Q_EMIT failed(key);
                        return;
                    }
                    const quint32 id = reply.value();
                    m_ids.insert(key, id);
                    m_keys.insert(id, key);
                    const QList<std::pair<quint32, QString>> early = std::exchange(m_early, {});
                    for (const auto &[earlyId, action] : early) {
                        if (earlyId == id)
                            Q_EMIT actionInvoked(key, action);
                        else if (!m_inFlight.isEmpty())
                            m_early.append({earlyId, action});
                    }
                    if (m_withdrawOnReply.remove(key)) {
                        withdraw(key);
                        return;
                    }
                    if (m_queued.contains(key))
                        send(key, m_queued.take(key));
                });
    }

    QDBusConnection m_bus {QString()};
    bool m_connected = false;
    bool m_actions = false;
    QElapsedTimer m_lastMiss;
    QHash<QString, quint32> m_ids;
    QHash<quint32, QString> m_keys;
    QSet<QString> m_inFlight;
    QSet<QString> m_withdrawOnReply;
    QHash<QString, Request> m_queued;
    QList<std::pair<quint32, QString>> m_early; // actions of ids not known yet
};

} // namespace

std::unique_ptr<DesktopNotifications> createDesktopNotifications()
{
    return std::make_unique<FreedesktopNotifications>();
}

} // namespace cdk

#include "Notifications_dbus.moc"
