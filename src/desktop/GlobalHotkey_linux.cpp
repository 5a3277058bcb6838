#include "desktop/GlobalHotkeyBackends.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace cdk {

namespace {

QString whyNoGlobalKeys()
{
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || qEnvironmentVariable("XDG_SESSION_TYPE") == QStringLiteral("wayland")) {
        return QCoreApplication::translate(
            "GlobalHotkey",
            "A Wayland session lets no program grab keys for itself. Bind a shortcut in the "
            "desktop's keyboard settings to the command chronodeck instead: a second start "
            "brings the window forward.");
    }
    return QCoreApplication::translate(
        "GlobalHotkey", "Chronodeck has no connection to an X11 display, so it cannot grab keys.");
}

} // namespace

std::unique_ptr<GlobalHotkey> createGlobalHotkey(QObject *parent)
{
    // On X11 the key grab answers at once and needs no session bus; the
    // portal is asked only where there is no X display to grab keys on.
    if (QGuiApplication::platformName() == QStringLiteral("xcb")) {
#ifdef CHRONODECK_HAVE_XCB
        if (auto x11 = createX11GlobalHotkey(parent))
            return x11;
#endif
    } else {
#ifdef CHRONODECK_HAVE_DBUS
        if (auto portal = createPortalGlobalHotkey(parent))
            return portal;
#endif
    }
    return std::make_unique<NullGlobalHotkey>(whyNoGlobalKeys(), parent);
}

} // namespace cdk
