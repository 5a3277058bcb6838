#include "desktop/GlobalHotkeyBackends.h"

#include "desktop/DesktopLog.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <X11/keysym.h>

#include <array>
#include <memory>

namespace cdk {

namespace {

// Windows virtual-key codes of the keys a hotkey may use, as X keysyms.
xcb_keysym_t keysymOfVirtualKey(int vk)
{
    if (vk >= 'A' && vk <= 'Z')
        return XK_a + xcb_keysym_t(vk - 'A');
    if (vk >= '0' && vk <= '9')
        return XK_0 + xcb_keysym_t(vk - '0');
    if (vk >= 0x70 && vk <= 0x87) // F1 to F24
        return XK_F1 + xcb_keysym_t(vk - 0x70);
    if (vk >= 0x60 && vk <= 0x69) // the number pad's digits
        return XK_KP_0 + xcb_keysym_t(vk - 0x60);
    switch (vk) {
    case 0x08:
        return XK_BackSpace;
    case 0x09:
        return XK_Tab;
    case 0x0D:
        return XK_Return;
    case 0x13:
        return XK_Pause;
    case 0x1B:
        return XK_Escape;
    case 0x20:
        return XK_space;
    case 0x21:
        return XK_Prior;
    case 0x22:
        return XK_Next;
    case 0x23:
        return XK_End;
    case 0x24:
        return XK_Home;
    case 0x25:
        return XK_Left;
    case 0x26:
        return XK_Up;
    case 0x27:
        return XK_Right;
    case 0x28:
        return XK_Down;
    case 0x2C:
        return XK_Print;
    case 0x2D:
        return XK_Insert;
    case 0x2E:
        return XK_Delete;
    case 0x6A:
        return XK_KP_Multiply;
    case 0x6B:
        return XK_KP_Add;
    case 0x6D:
        return XK_KP_Subtract;
    case 0x6E:
        return XK_KP_Decimal;
    case 0x6F:
        return XK_KP_Divide;
    case 0xBA:
        return XK_semicolon;
    case 0xBB:
        return XK_equal;
    case 0xBC:
        return XK_comma;
    case 0xBD:
        return XK_minus;
    case 0xBE:
        return XK_period;
    case 0xBF:
        return XK_slash;
    case 0xC0:
        return XK_grave;
    case 0xDB:
        return XK_bracketleft;
    case 0xDC:
        return XK_backslash;
    case 0xDD:
        return XK_bracketright;
    case 0xDE:
        return XK_apostrophe;
    default:
        return XCB_NO_SYMBOL;
    }
}

uint16_t xModifiers(int modifiers)
{
    uint16_t mask = 0;
    if (modifiers & GlobalHotkey::Alt)
        mask |= XCB_MOD_MASK_1;
    if (modifiers & GlobalHotkey::Control)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & GlobalHotkey::Shift)
        mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & GlobalHotkey::Win)
        mask |= XCB_MOD_MASK_4;
    return mask;
}

struct KeySymbolsDeleter
{
    void operator()(xcb_key_symbols_t *symbols) const { xcb_key_symbols_free(symbols); }
};
using KeySymbols = std::unique_ptr<xcb_key_symbols_t, KeySymbolsDeleter>;

xcb_keycode_t firstKeycode(xcb_key_symbols_t *symbols, xcb_keysym_t keysym)
{
    std::unique_ptr<xcb_keycode_t, decltype(&free)> codes(
        xcb_key_symbols_get_keycode(symbols, keysym), &free);
    return codes ? codes.get()[0] : XCB_NO_SYMBOL;
}

// The modifier bit NumLock sets in a key event's state: where the keyboard
// map puts the Num_Lock key, usually Mod2.
uint16_t numLockMask(xcb_connection_t *connection, xcb_key_symbols_t *symbols)
{
    const xcb_keycode_t numLock = firstKeycode(symbols, XK_Num_Lock);
    std::unique_ptr<xcb_get_modifier_mapping_reply_t, decltype(&free)> map(
        xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr),
        &free);
    if (numLock == XCB_NO_SYMBOL || !map)
        return XCB_MOD_MASK_2;
    const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(map.get());
    const int perModifier = map->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            if (codes[modifier * perModifier + i] == numLock)
                return uint16_t(1u << modifier);
        }
    }
    return XCB_MOD_MASK_2;
}

// Waits until the server has handled every request sent so far, so that a
// released key is free for other programs when the call returns.
void roundTrip(xcb_connection_t *connection)
{
    free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

// Grabs the key on the root window of the application's own X connection, so
// its presses arrive among the events Qt reads and a native event filter sees
// them before Qt looks for a window of its own.
class X11GlobalHotkey final : public GlobalHotkey, public QAbstractNativeEventFilter
{
public:
    X11GlobalHotkey(xcb_connection_t *connection, QObject *parent)
        : GlobalHotkey(parent)
        , m_connection(connection)
        , m_root(xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root)
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    ~X11GlobalHotkey() override
    {
        unregisterKey();
        if (QCoreApplication *app = QCoreApplication::instance())
            app->removeNativeEventFilter(this);
    }

    RegisterResult registerKey(int modifiers, int virtualKey) override
    {
        unregisterKey();
        const xcb_keysym_t keysym = keysymOfVirtualKey(virtualKey);
        if (keysym == XCB_NO_SYMBOL)
            return RegisterResult::Unsupported;
        KeySymbols symbols(xcb_key_symbols_alloc(m_connection));
        const xcb_keycode_t keycode = firstKeycode(symbols.get(), keysym);
        if (keycode == XCB_NO_SYMBOL)
            return RegisterResult::Unsupported;
        const uint16_t mods = xModifiers(modifiers);
        const uint16_t numLock = numLockMask(m_connection, symbols.get());
        m_variants = {mods, uint16_t(mods | XCB_MOD_MASK_LOCK), uint16_t(mods | numLock),
                      uint16_t(mods | XCB_MOD_MASK_LOCK | numLock)};

        // All four requests go out before the first answer is awaited: one
        // round trip, not four.
        std::array<xcb_void_cookie_t, 4> cookies {};
        for (size_t i = 0; i < m_variants.size(); ++i) {
            cookies[i] = xcb_grab_key_checked(m_connection, 1, m_root, m_variants[i], keycode,
                                              XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        }
        std::array<bool, 4> grabbed {};
        bool taken = false;
        for (size_t i = 0; i < cookies.size(); ++i) {
            xcb_generic_error_t *error = xcb_request_check(m_connection, cookies[i]);
            grabbed[i] = error == nullptr;
            if (error) {
                // BadAccess: another client holds this combination.
                taken = true;
                qCInfo(lcDesktop) << "key grab refused, X error" << error->error_code;
                free(error);
            }
        }
        if (taken) {
            for (size_t i = 0; i < m_variants.size(); ++i) {
                if (grabbed[i])
                    xcb_ungrab_key(m_connection, keycode, m_root, m_variants[i]);
            }
            roundTrip(m_connection);
            return RegisterResult::Taken;
        }
        m_keycode = keycode;
        m_modifiers = mods;
        return RegisterResult::Registered;
    }

    void unregisterKey() override
    {
        if (m_keycode == XCB_NO_SYMBOL)
            return;
        for (const uint16_t variant : m_variants)
            xcb_ungrab_key(m_connection, m_keycode, m_root, variant);
        roundTrip(m_connection);
        m_keycode = XCB_NO_SYMBOL;
    }

    bool isRegistered() const override { return m_keycode != XCB_NO_SYMBOL; }
    bool isAvailable() const override { return true; }
    QString unavailableReason() const override { return {}; }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (m_keycode == XCB_NO_SYMBOL || eventType != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) != XCB_KEY_PRESS)
            return false;
        const auto *press = static_cast<const xcb_key_press_event_t *>(message);
        constexpr uint16_t relevant
            = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;
        if (press->detail != m_keycode || press->event != m_root
            || (press->state & relevant) != m_modifiers)
            return false;
        // The press grabbed the whole keyboard until the key is let go; a
        // window activated under that grab never hears that it got the focus.
        xcb_ungrab_keyboard(m_connection, press->time);
        xcb_flush(m_connection);
        // Queued, so that Qt first takes the press's time as the last user
        // action, which a window manager asks of a window that wants the focus.
        QMetaObject::invokeMethod(this, &GlobalHotkey::activated, Qt::QueuedConnection);
        return false;
    }

private:
    xcb_connection_t *m_connection;
    xcb_window_t m_root;
    xcb_keycode_t m_keycode = XCB_NO_SYMBOL;
    uint16_t m_modifiers = 0;
    std::array<uint16_t, 4> m_variants {};
};

} // namespace

std::unique_ptr<GlobalHotkey> createX11GlobalHotkey(QObject *parent)
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return nullptr;
    return std::make_unique<X11GlobalHotkey>(x11->connection(), parent);
}

} // namespace cdk
