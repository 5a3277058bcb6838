#pragma once

#include <QObject>

#include <memory>

namespace cdk {

// Registration of the program to start, minimised, when the user logs on.
// Failures are ignored by design: the program works the same whether or not
// it could register itself, and a machine-wide entry often needs rights the
// user does not have.
class Autostart : public QObject
{
    Q_OBJECT
public:
    explicit Autostart(QObject *parent = nullptr);

    // Removes both registrations, then registers for the current user or,
    // with allUsers, for every user of the machine. Called at every start, so
    // the entry follows the program when it is moved.
    virtual void setRunOnStartup(bool allUsers) = 0;
    // Removes the current user's and the machine-wide registration.
    virtual void removeRunOnStartup() = 0;
    // Whether the program is registered now, for this user or for all.
    virtual bool isEnabled() const = 0;
    // False where this platform has no way to start programs at logon.
    virtual bool isAvailable() const = 0;
};

// For platforms without an autostart facility.
class NullAutostart final : public Autostart
{
    Q_OBJECT
public:
    using Autostart::Autostart;
    void setRunOnStartup(bool) override { }
    void removeRunOnStartup() override { }
    bool isEnabled() const override { return false; }
    bool isAvailable() const override { return false; }
};

// The values of the setting "RunOnStartup".
enum class RunOnStartupChoice : int {
    CurrentUser = 0,
    AllUsers = 1,
    DoNotStart = 2,
};

// Brings the registration in line with a stored "RunOnStartup" value; values
// other than the three choices leave the registration alone.
void applyRunOnStartup(Autostart &autostart, int choice);

// The backend of this platform for the running program (the XDG autostart
// folders on Linux, the Run keys of the registry on Windows). dataFolder is
// the folder the user chose with --data-dir or CHRONODECK_DATA_DIR, empty
// for the default one: the start at logon opens the same data.
std::unique_ptr<Autostart> createDesktopAutostart(const QString &dataFolder = {},
                                                  QObject *parent = nullptr);

} // namespace cdk
