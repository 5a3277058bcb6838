#include "desktop/TrayHost.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstring>
#include <memory>

namespace cdk {

namespace {

xcb_atom_t atomNamed(xcb_connection_t *connection, const char *name)
{
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> atom(
        xcb_intern_atom_reply(connection,
                              xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name),
                              nullptr),
        &free);
    return atom ? atom->atom : xcb_atom_t(XCB_NONE);
}

xcb_connection_t *displayConnection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// Desktops today drive one X screen per display, and its tray is the owner
// of screen 0's selection.
xcb_window_t trayOwner(xcb_connection_t *connection)
{
    const xcb_atom_t selection = atomNamed(connection, "_NET_SYSTEM_TRAY_S0");
    if (selection == XCB_NONE)
        return XCB_NONE;
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&free)> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection),
                                      nullptr),
        &free);
    return owner ? owner->owner : xcb_window_t(XCB_NONE);
}

} // namespace

bool xembedTrayPresent()
{
    xcb_connection_t *connection = displayConnection();
    return connection && trayOwner(connection) != XCB_NONE;
}

QColor xembedTrayForeground()
{
    xcb_connection_t *connection = displayConnection();
    const xcb_window_t owner = connection ? trayOwner(connection) : xcb_window_t(XCB_NONE);
    if (owner == XCB_NONE)
        return {};
    // Twelve 16-bit channels: foreground, error, warning and success colours.
    const xcb_atom_t colours = atomNamed(connection, "_NET_SYSTEM_TRAY_COLORS");
    std::unique_ptr<xcb_get_property_reply_t, decltype(&free)> reply(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 0, owner, colours, XCB_ATOM_CARDINAL,
                                                0, 12),
                               nullptr),
        &free);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 12)
        return {};
    const auto *value = static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
    return QColor(QRgba64::fromRgba64(quint16(value[0]), quint16(value[1]), quint16(value[2]), 0xffff));
}

} // namespace cdk
