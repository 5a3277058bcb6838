#include "desktop/TrayHost.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <memory>

namespace cdk {

bool xembedTrayPresent()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return false;
    xcb_connection_t *connection = x11->connection();
    // Desktops today drive one X screen per display, and its tray is the
    // owner of screen 0's selection.
    static constexpr char kSelection[] = "_NET_SYSTEM_TRAY_S0";
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> atom(
        xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, sizeof kSelection - 1, kSelection), nullptr),
        &free);
    if (!atom)
        return false;
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&free)> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom),
                                      nullptr),
        &free);
    return owner && owner->owner != XCB_NONE;
}

} // namespace cdk
