#include "desktop/GlobalHotkey.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <windows.h>

namespace cdk {

namespace {

// The program's own hotkey id; ids below 0xC000 belong to the application.
constexpr int kHotkeyId = 0x4344;

// RegisterHotKey without a window: WM_HOTKEY then arrives in the thread's
// queue, where Qt's event dispatcher hands it to the native event filters.
class WinGlobalHotkey final : public GlobalHotkey, public QAbstractNativeEventFilter
{
public:
    explicit WinGlobalHotkey(QObject *parent)
        : GlobalHotkey(parent)
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    ~WinGlobalHotkey() override
    {
        unregisterKey();
        if (QCoreApplication *app = QCoreApplication::instance())
            app->removeNativeEventFilter(this);
    }

    RegisterResult registerKey(int modifiers, int virtualKey) override
    {
        unregisterKey();
        if (virtualKey <= 0 || virtualKey > 0xFE)
            return RegisterResult::Unsupported;
        // The settings store RegisterHotKey's own modifier bits.
        if (!RegisterHotKey(nullptr, kHotkeyId, UINT(modifiers & 0xF) | MOD_NOREPEAT,
                            UINT(virtualKey)))
            return RegisterResult::Taken;
        m_registered = true;
        return RegisterResult::Registered;
    }

    void unregisterKey() override
    {
        if (!m_registered)
            return;
        UnregisterHotKey(nullptr, kHotkeyId);
        m_registered = false;
    }

    bool isRegistered() const override { return m_registered; }
    bool isAvailable() const override { return true; }
    QString unavailableReason() const override { return {}; }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "windows_dispatcher_MSG" && eventType != "windows_generic_MSG")
            return false;
        const auto *msg = static_cast<const MSG *>(message);
        if (!m_registered || msg->message != WM_HOTKEY || msg->wParam != kHotkeyId)
            return false;
        Q_EMIT activated();
        return true;
    }

private:
    bool m_registered = false;
};

} // namespace

std::unique_ptr<GlobalHotkey> createGlobalHotkey(QObject *parent)
{
    return std::make_unique<WinGlobalHotkey>(parent);
}

} // namespace cdk
