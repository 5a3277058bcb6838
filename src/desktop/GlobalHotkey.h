#pragma once

#include <QObject>
#include <QString>

#include <memory>

namespace cdk {

// One system-wide key combination that reaches the program whatever
// application has the focus. Keys and modifiers are given as the settings
// store them: Windows virtual-key codes (77 is M) and the modifier bits below.
class GlobalHotkey : public QObject
{
    Q_OBJECT
public:
    enum Modifier : int {
        Alt = 1,
        Control = 2,
        Shift = 4,
        Win = 8,
    };

    enum class RegisterResult {
        Registered,
        Taken, // another program holds the combination
        Unavailable, // this session gives programs no way to grab keys
        Unsupported, // the key code has no key on this platform or keyboard
        Pending, // the desktop answers later, with registrationChanged()
    };
    Q_ENUM(RegisterResult)

    explicit GlobalHotkey(QObject *parent = nullptr);

    // Replaces the combination held before; after a failure none is held.
    virtual RegisterResult registerKey(int modifiers, int virtualKey) = 0;
    // Releases the combination; without one it does nothing.
    virtual void unregisterKey() = 0;
    virtual bool isRegistered() const = 0;
    virtual bool isAvailable() const = 0;
    // Why isAvailable() is false, in words for the user; empty when it is true.
    virtual QString unavailableReason() const = 0;
    // Where the desktop rather than the program decides which keys start the
    // hotkey: the keys it bound, in its own words. Empty while nothing is
    // bound, and where the combination asked for is the one held.
    virtual QString boundTrigger() const { return {}; }
    // Why the desktop refused the last registration it answered later, in
    // words for the user; empty when it did not.
    virtual QString registrationError() const { return {}; }

Q_SIGNALS:
    // The combination was pressed.
    void activated();
    // A Pending registration was answered, or the desktop's user changed the
    // keys it bound: boundTrigger(), isRegistered() and registrationError()
    // may say something new.
    void registrationChanged();
};

// Where the desktop has no global keys: every registration is refused.
class NullGlobalHotkey final : public GlobalHotkey
{
    Q_OBJECT
public:
    explicit NullGlobalHotkey(QString reason, QObject *parent = nullptr);

    RegisterResult registerKey(int, int) override { return RegisterResult::Unavailable; }
    void unregisterKey() override { }
    bool isRegistered() const override { return false; }
    bool isAvailable() const override { return false; }
    QString unavailableReason() const override { return m_reason; }

private:
    QString m_reason;
};

// The backend of the running session (X11 key grabs, RegisterHotKey on
// Windows, elsewhere the desktop portal's global shortcuts where the session
// bus has them); a refusing one where there is none. Needs a QGuiApplication.
std::unique_ptr<GlobalHotkey> createGlobalHotkey(QObject *parent = nullptr);

} // namespace cdk
