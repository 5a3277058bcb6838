#include "desktop/DesktopIdleSource.h"

#include "desktop/DesktopLog.h"

#include <QGuiApplication>

#include <xcb/screensaver.h>
#include <xcb/xcb.h>

#include <cstdlib>

namespace cdk {

namespace {

// The X server counts the time since the last input of any client's user,
// real devices and synthetic XTest input alike, whether or not a screen
// saver is configured. One round trip per question; the tracker asks once a
// second while it counts, never otherwise.
class X11IdleSource final : public IdleSource
{
public:
    X11IdleSource(xcb_connection_t *connection, xcb_window_t root)
        : m_connection(connection)
        , m_root(root)
    {
    }

    std::optional<qint64> idleMilliseconds() override
    {
        xcb_generic_error_t *error = nullptr;
        xcb_screensaver_query_info_reply_t *reply = xcb_screensaver_query_info_reply(
            m_connection, xcb_screensaver_query_info(m_connection, m_root), &error);
        if (!reply) {
            // Once is enough in the log: the question repeats every second.
            if (!m_failureLogged) {
                qCWarning(lcDesktop) << "the X server did not say how long input has been idle:"
                                     << (error ? int(error->error_code) : -1);
                m_failureLogged = true;
            }
            std::free(error);
            return std::nullopt;
        }
        const qint64 idle = reply->ms_since_user_input;
        std::free(reply);
        return idle;
    }

private:
    xcb_connection_t *m_connection;
    xcb_window_t m_root;
    bool m_failureLogged = false;
};

} // namespace

std::unique_ptr<IdleSource> createDesktopIdleSource()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection) {
        qCInfo(lcDesktop) << "no X11 display: the session is asked for the idle time";
        return createSessionIdleSource();
    }
    const xcb_query_extension_reply_t *extension
        = xcb_get_extension_data(connection, &xcb_screensaver_id);
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!extension || !extension->present || !screen) {
        qCInfo(lcDesktop) << "the X server has no MIT-SCREEN-SAVER extension: time away from "
                             "the computer is not noticed";
        return std::make_unique<NullIdleSource>();
    }
    return std::make_unique<X11IdleSource>(connection, screen->root);
}

} // namespace cdk
