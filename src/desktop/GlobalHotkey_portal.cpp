#include "desktop/GlobalHotkeyBackends.h"

#include "desktop/DesktopLog.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QHash>
#include <QMetaType>
#include <QSignalBlocker>

#include <algorithm>

namespace cdk {

namespace {

const QString kPortal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kShortcuts = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
const QString kSession = QStringLiteral("org.freedesktop.portal.Session");
const QString kShortcutId = QStringLiteral("show-window");

// One shortcut as the portal passes it: its id and a dictionary of details.
struct PortalShortcut
{
    QString id;
    QVariantMap details;
};
using PortalShortcuts = QList<PortalShortcut>;

QDBusArgument &operator<<(QDBusArgument &argument, const PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.details;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.details;
    argument.endStructure();
    return argument;
}

} // namespace
} // namespace cdk

Q_DECLARE_METATYPE(cdk::PortalShortcut)

namespace cdk {

namespace {

// The key of a Windows virtual-key code by its XKB keysym name, which the
// portal's trigger strings use.
QString keyName(int vk)
{
    if (vk >= 'A' && vk <= 'Z')
        return QString(QChar(vk - 'A' + 'a'));
    if (vk >= '0' && vk <= '9')
        return QString(QChar(vk));
    if (vk >= 0x70 && vk <= 0x87)
        return QStringLiteral("F%1").arg(vk - 0x70 + 1);
    if (vk >= 0x60 && vk <= 0x69)
        return QStringLiteral("KP_%1").arg(vk - 0x60);
    static const QHash<int, QString> named {
        {0x08, QStringLiteral("BackSpace")},  {0x09, QStringLiteral("Tab")},
        {0x0D, QStringLiteral("Return")},     {0x13, QStringLiteral("Pause")},
        {0x1B, QStringLiteral("Escape")},     {0x20, QStringLiteral("space")},
        {0x21, QStringLiteral("Prior")},      {0x22, QStringLiteral("Next")},
        {0x23, QStringLiteral("End")},        {0x24, QStringLiteral("Home")},
        {0x25, QStringLiteral("Left")},       {0x26, QStringLiteral("Up")},
        {0x27, QStringLiteral("Right")},      {0x28, QStringLiteral("Down")},
        {0x2C, QStringLiteral("Print")},      {0x2D, QStringLiteral("Insert")},
        {0x2E, QStringLiteral("Delete")},     {0x6A, QStringLiteral("KP_Multiply")},
        {0x6B, QStringLiteral("KP_Add")},     {0x6D, QStringLiteral("KP_Subtract")},
        {0x6E, QStringLiteral("KP_Decimal")}, {0x6F, QStringLiteral("KP_Divide")},
        {0xBA, QStringLiteral("semicolon")},  {0xBB, QStringLiteral("equal")},
        {0xBC, QStringLiteral("comma")},      {0xBD, QStringLiteral("minus")},
        {0xBE, QStringLiteral("period")},     {0xBF, QStringLiteral("slash")},
        {0xC0, QStringLiteral("grave")},      {0xDB, QStringLiteral("bracketleft")},
        {0xDC, QStringLiteral("backslash")},  {0xDD, QStringLiteral("bracketright")},
        {0xDE, QStringLiteral("apostrophe")},
    };
    return named.value(vk);
}

// "CTRL+ALT+m": modifiers in capitals, then the key's XKB name, as the portal
// reads a preferred trigger.
QString portalTrigger(int modifiers, int vk)
{
    const QString key = keyName(vk);
    if (key.isEmpty())
        return {};
    QStringList parts;
    if (modifiers & GlobalHotkey::Control)
        parts << QStringLiteral("CTRL");
    if (modifiers & GlobalHotkey::Alt)
        parts << QStringLiteral("ALT");
    if (modifiers & GlobalHotkey::Shift)
        parts << QStringLiteral("SHIFT");
    if (modifiers & GlobalHotkey::Win)
        parts << QStringLiteral("LOGO");
    parts << key;
    return parts.join(QLatin1Char('+'));
}

PortalShortcuts shortcutsOf(const QVariant &value)
{
    PortalShortcuts shortcuts;
    if (value.canConvert<QDBusArgument>())
        value.value<QDBusArgument>() >> shortcuts;
    return shortcuts;
}

// Global shortcuts through the desktop portal: the program names the action
// and the keys it would like, the desktop (often after asking the user)
// decides which keys start it and reports them in its own words. A new
// combination needs a new session: a session binds its shortcuts once.
class PortalGlobalHotkey final : public GlobalHotkey
{
    Q_OBJECT
public:
    PortalGlobalHotkey(QDBusConnection bus, QObject *parent)
        : GlobalHotkey(parent)
        , m_bus(std::move(bus))
    {
        m_bus.connect(kPortal, kPortalPath, kShortcuts, QStringLiteral("Activated"), this,
                      SLOT(onActivated(QDBusMessage)));
        m_bus.connect(kPortal, kPortalPath, kShortcuts, QStringLiteral("ShortcutsChanged"), this,
                      SLOT(onShortcutsChanged(QDBusMessage)));
    }

    ~PortalGlobalHotkey() override
    {
        const QSignalBlocker quiet(this);
        unregisterKey();
    }

    RegisterResult registerKey(int modifiers, int virtualKey) override
    {
        unregisterKey();
        const QString trigger = portalTrigger(modifiers, virtualKey);
        if (trigger.isEmpty())
            return RegisterResult::Unsupported;
        m_trigger = trigger;
        const QString sessionToken = nextToken();
        request(QStringLiteral("CreateSession"),
                {QVariantMap {{QStringLiteral("session_handle_token"), sessionToken}}},
                &PortalGlobalHotkey::sessionCreated);
        return RegisterResult::Pending;
    }

    void unregisterKey() override
    {
        const bool hadSomething = m_registered || !m_error.isEmpty() || !m_session.isEmpty()
            || !m_requestPath.isEmpty();
        dropRequest();
        if (!m_session.isEmpty()) {
            m_bus.send(QDBusMessage::createMethodCall(kPortal, m_session, kSession,
                                                      QStringLiteral("Close")));
            m_session.clear();
        }
        m_registered = false;
        m_bound.clear();
        m_error.clear();
        if (hadSomething)
            Q_EMIT registrationChanged();
    }

    bool isRegistered() const override { return m_registered; }
    bool isAvailable() const override { return true; }
    QString unavailableReason() const override { return {}; }
    QString boundTrigger() const override { return m_bound; }
    QString registrationError() const override { return m_error; }

private Q_SLOTS:
    void onResponse(const QDBusMessage &message)
    {
        if (message.path() != m_requestPath)
            return;
        const uint response = message.arguments().value(0).toUInt();
        const auto results = qdbus_cast<QVariantMap>(message.arguments().value(1));
        const Step step = m_step;
        dropRequest(Answered::Yes);
        if (response != 0) {
            // 1: the user said no in the desktop's dialog; 2: anything else.
            if (response == 1)
                fail(QCoreApplication::translate(
                    "GlobalHotkey", "The desktop's request to bind the hotkey was cancelled."));
            else
                fail(QCoreApplication::translate("GlobalHotkey",
                                                 "The desktop could not bind the hotkey."));
            return;
        }
        (this->*step)(results);
    }

    void onActivated(const QDBusMessage &message)
    {
        const QVariantList args = message.arguments();
        if (!m_registered || args.size() < 2
            || args.at(0).value<QDBusObjectPath>().path() != m_session
            || args.at(1).toString() != kShortcutId)
            return;
        const auto options = qdbus_cast<QVariantMap>(args.value(3));
        // A Wayland compositor raises a window only with a token from the
        // act that asked for it; Qt's Wayland plugin takes it from here on
        // the next activation request.
        const QString token = options.value(QStringLiteral("activation_token")).toString();
        if (!token.isEmpty())
            qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
        Q_EMIT activated();
    }

    void onShortcutsChanged(const QDBusMessage &message)
    {
        const QVariantList args = message.arguments();
        if (!m_registered || args.size() < 2
            || args.at(0).value<QDBusObjectPath>().path() != m_session)
            return;
        takeBound(shortcutsOf(args.at(1)));
        Q_EMIT registrationChanged();
    }

private:
    using Step = void (PortalGlobalHotkey::*)(const QVariantMap &);

    QString nextToken() { return QStringLiteral("chronodeck%1").arg(++m_tokens); }

    // Calls a portal method whose answer comes as the Response signal of the
    // request it returns. The signal is listened for before the call, on the
    // path the portal will give it, so that no answer comes too early.
    void request(const QString &method, QVariantList arguments, Step then)
    {
        const QString token = nextToken();
        QVariantMap options = arguments.takeLast().toMap();
        options.insert(QStringLiteral("handle_token"), token);
        arguments << options;
        QString sender = m_bus.baseService().mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        listen(QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token));
        m_step = then;

        QDBusMessage call
            = QDBusMessage::createMethodCall(kPortal, kPortalPath, kShortcuts, method);
        call.setArguments(arguments);
        auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
        const QString expected = m_requestPath;
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [this, watcher, method, expected] {
                    watcher->deleteLater();
                    if (m_requestPath != expected)
                        return; // given up on meanwhile
                    const QDBusPendingReply<QDBusObjectPath> reply = *watcher;
                    if (reply.isError()) {
                        qCWarning(lcDesktop)
                            << "portal" << method << "failed:" << reply.error().message();
                        dropRequest(Answered::Yes);
                        fail(QCoreApplication::translate(
                                 "GlobalHotkey", "The desktop portal refused the hotkey: %1")
                                 .arg(reply.error().message()));
                        return;
                    }
                    // Portals older than the path rule answer on a path of their own.
                    if (reply.value().path() != m_requestPath)
                        listen(reply.value().path());
                });
    }

    void listen(const QString &path)
    {
        if (!m_requestPath.isEmpty())
            m_bus.disconnect(kPortal, m_requestPath, kRequest, QStringLiteral("Response"), this,
                             SLOT(onResponse(QDBusMessage)));
        m_requestPath = path;
        m_bus.connect(kPortal, m_requestPath, kRequest, QStringLiteral("Response"), this,
                      SLOT(onResponse(QDBusMessage)));
    }

    // Forgets the request; one still under way is closed, so that no session
    // is left open for an answer nobody waits for.
    enum class Answered { No, Yes };
    void dropRequest(Answered answered = Answered::No)
    {
        if (m_requestPath.isEmpty())
            return;
        m_bus.disconnect(kPortal, m_requestPath, kRequest, QStringLiteral("Response"), this,
                         SLOT(onResponse(QDBusMessage)));
        if (answered == Answered::No)
            m_bus.send(QDBusMessage::createMethodCall(kPortal, m_requestPath, kRequest,
                                                      QStringLiteral("Close")));
        m_requestPath.clear();
        m_step = nullptr;
    }

    void sessionCreated(const QVariantMap &results)
    {
        // A string in the first versions of the portal, an object path later.
        const QVariant handle = results.value(QStringLiteral("session_handle"));
        m_session = handle.canConvert<QDBusObjectPath>() ? handle.value<QDBusObjectPath>().path()
                                                         : handle.toString();
        const PortalShortcuts shortcuts {
            {kShortcutId,
             {{QStringLiteral("description"),
               QCoreApplication::translate("GlobalHotkey", "Bring Chronodeck to the front")},
              {QStringLiteral("preferred_trigger"), m_trigger}}}};
        request(QStringLiteral("BindShortcuts"),
                {QVariant::fromValue(QDBusObjectPath(m_session)), QVariant::fromValue(shortcuts),
                 QString(), QVariantMap()},
                &PortalGlobalHotkey::shortcutsBound);
    }

    void shortcutsBound(const QVariantMap &results)
    {
        const PortalShortcuts shortcuts = shortcutsOf(results.value(QStringLiteral("shortcuts")));
        const bool ours = std::any_of(shortcuts.cbegin(), shortcuts.cend(),
                                      [](const PortalShortcut &s) { return s.id == kShortcutId; });
        if (!ours) {
            fail(QCoreApplication::translate("GlobalHotkey",
                                             "The desktop left the hotkey without keys."));
            return;
        }
        m_registered = true;
        takeBound(shortcuts);
        qCInfo(lcDesktop) << "portal bound the hotkey to" << m_bound;
        Q_EMIT registrationChanged();
    }

    void takeBound(const PortalShortcuts &shortcuts)
    {
        for (const PortalShortcut &shortcut : shortcuts) {
            if (shortcut.id == kShortcutId)
                m_bound = shortcut.details.value(QStringLiteral("trigger_description")).toString();
        }
    }

    void fail(const QString &why)
    {
        qCWarning(lcDesktop) << "hotkey through the portal:" << why;
        m_registered = false;
        m_bound.clear();
        m_error = why;
        Q_EMIT registrationChanged();
    }

    QDBusConnection m_bus;
    QString m_trigger;
    QString m_session;
    QString m_requestPath;
    Step m_step = nullptr;
    QString m_bound;
    QString m_error;
    bool m_registered = false;
    quint32 m_tokens = 0;
};

} // namespace

std::unique_ptr<GlobalHotkey> createPortalGlobalHotkey(QObject *parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return nullptr;
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<PortalShortcuts>();
    QDBusMessage get = QDBusMessage::createMethodCall(
        kPortal, kPortalPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get.setArguments({kShortcuts, QStringLiteral("version")});
    // The portal is started on demand by the bus; a desktop without one
    // answers at once with an error.
    const QDBusMessage reply = bus.call(get, QDBus::Block, 3000);
    const uint version = reply.arguments().value(0).value<QDBusVariant>().variant().toUInt();
    if (reply.type() != QDBusMessage::ReplyMessage || version < 1) {
        qCInfo(lcDesktop) << "no global shortcuts portal:" << reply.errorMessage();
        return nullptr;
    }
    return std::make_unique<PortalGlobalHotkey>(bus, parent);
}

} // namespace cdk

#include "GlobalHotkey_portal.moc"
