#include "desktop/SystemTrayIcon.h"

#include "controls/Icons.h"
#include "desktop/DesktopLog.h"
#include "desktop/TrayHost.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QPalette>
#include <QSystemTrayIcon>
#include <QTimer>

#ifdef CHRONODECK_HAVE_DBUS
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#endif

namespace cdk {

namespace {

constexpr qsizetype kMostToolTipCharacters = 127;

#ifdef CHRONODECK_HAVE_DBUS
const QString kTrayWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");

bool trayWatcherRegistered()
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface()
        && bus.interface()->isServiceRegistered(kTrayWatcher).value();
}
#endif

// The colour the idle picture is drawn in: what an XEmbed panel asks for,
// else the desktop palette's window text, which is light on a dark desktop,
// whose panel is dark too. Without it the outline vanishes on a dark panel.
QColor trayForeground()
{
    const QColor asked = xembedTrayForeground();
    return asked.isValid() ? asked : QGuiApplication::palette().color(QPalette::WindowText);
}

QIcon iconOf(TrayIcon::Picture picture)
{
    switch (picture) {
    case TrayIcon::Picture::Play:
        return iconForKey(QStringLiteral("TRAYPLAY"), trayForeground());
    case TrayIcon::Picture::Done:
        return iconForKey(QStringLiteral("TRAYDONE"), trayForeground());
    case TrayIcon::Picture::Normal:
        break;
    }
    // Idle, the tray shows the icon the desktop knows the program by (the
    // installed one, as in the menu and the autostart entry).
    return QIcon::fromTheme(QStringLiteral(CHRONODECK_DESKTOP_ID),
                            iconForKey(QStringLiteral("TRAYNORMAL"), trayForeground()));
}

} // namespace

SystemTrayIcon::SystemTrayIcon(QObject *parent)
    : TrayIcon(parent)
{
    // Looking for the tray takes a connection to the session bus and a round
    // trip to it and to the X server: a twentieth of the time to the first
    // window. It waits for the event loop, when the window is up, unless
    // somebody needs the answer sooner (see isAvailable()).
    QTimer::singleShot(0, this, &SystemTrayIcon::lookForTray);
    // A desktop switched between light and dark gets the matching picture.
    if (qApp)
        qApp->installEventFilter(this);
}

bool SystemTrayIcon::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange && m_icon)
        m_icon->setIcon(iconOf(m_picture));
    return TrayIcon::eventFilter(watched, event);
}

SystemTrayIcon::~SystemTrayIcon() = default;

bool SystemTrayIcon::isAvailable() const
{
    // Asked before the event loop ran (a start minimised decides between the
    // tray and the taskbar), the tray is looked for at once.
    if (!m_lookedForTray)
        const_cast<SystemTrayIcon *>(this)->lookForTray();
    return m_available;
}

void SystemTrayIcon::lookForTray()
{
    if (m_lookedForTray)
        return;
    m_lookedForTray = true;
#ifdef CHRONODECK_HAVE_DBUS
    watchForTrayHost();
    // Qt chooses between StatusNotifierItem and the older XEmbed tray once
    // per process, when first asked; asked before the desktop's tray is up
    // (a start at logon) it would settle on XEmbed for good. So it is asked
    // only once a tray of either kind is there.
    if (!trayWatcherRegistered() && !xembedTrayPresent()) {
        qCInfo(lcDesktop) << "no notification area yet; waiting for" << kTrayWatcher;
        return;
    }
#endif
    m_available = QSystemTrayIcon::isSystemTrayAvailable();
    if (!m_available)
        return;
    createIcon();
    if (m_wanted)
        m_icon->show();
    Q_EMIT availableChanged(true);
}

void SystemTrayIcon::watchForTrayHost()
{
#ifdef CHRONODECK_HAVE_DBUS
    auto *watcher = new QDBusServiceWatcher(kTrayWatcher, QDBusConnection::sessionBus(),
                                            QDBusServiceWatcher::WatchForRegistration, this);
    connect(watcher, &QDBusServiceWatcher::serviceRegistered, this,
            &SystemTrayIcon::trayHostAppeared);
#endif
}

void SystemTrayIcon::trayHostAppeared()
{
    const bool wasAvailable = m_available;
    m_available = QSystemTrayIcon::isSystemTrayAvailable();
    qCInfo(lcDesktop) << "notification area appeared; available:" << m_available;
    if (m_available) {
        // Made afresh, the icon registers with the new tray; an icon made for
        // one that has gone is not always taken up by its successor.
        createIcon();
        if (m_wanted)
            m_icon->show();
    }
    if (wasAvailable != m_available)
        Q_EMIT availableChanged(m_available);
}

void SystemTrayIcon::createIcon()
{
    delete m_icon;
    m_icon = new QSystemTrayIcon(iconOf(m_picture), this);
    m_icon->setObjectName(QStringLiteral("Systray"));
    m_icon->setToolTip(m_toolTip);
    if (m_menu)
        m_icon->setContextMenu(m_menu);
    connect(m_icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason why) {
                // The right button opens the menu; every other click
                // brings the window back.
                if (why != QSystemTrayIcon::Context && why != QSystemTrayIcon::Unknown)
                    Q_EMIT activated();
            });
}

void SystemTrayIcon::setToolTip(const QString &text)
{
    // A notification area takes 127 characters of a tip, counted with the
    // line break as two.
    m_toolTip = text.left(kMostToolTipCharacters);
    m_toolTip.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (m_icon)
        m_icon->setToolTip(m_toolTip);
}

void SystemTrayIcon::setPicture(Picture picture)
{
    if (picture == m_picture)
        return;
    m_picture = picture;
    if (m_icon)
        m_icon->setIcon(iconOf(picture));
}

void SystemTrayIcon::setContextMenu(QMenu *menu)
{
    m_menu = menu;
    if (m_icon)
        m_icon->setContextMenu(menu);
}

void SystemTrayIcon::show()
{
    m_wanted = true;
    if (m_icon)
        m_icon->show();
}

void SystemTrayIcon::hide()
{
    m_wanted = false;
    if (m_icon)
        m_icon->hide();
}

bool SystemTrayIcon::isShown() const { return m_icon && m_icon->isVisible(); }

} // namespace cdk
