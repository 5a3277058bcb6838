#pragma once

namespace cdk {

// Registration of the program to start, minimised, when the user logs on.
// The desktop backends live behind this; failures are ignored by design: the
// program works the same whether or not it could register itself.
class Autostart
{
public:
    virtual ~Autostart() = default;

    // Removes both registrations, then registers for the current user or,
    // with allUsers, for every user of the machine.
    virtual void setRunOnStartup(bool allUsers) = 0;
    // Removes the current user's and the machine-wide registration.
    virtual void removeRunOnStartup() = 0;
};

// For platforms without an autostart facility.
class NullAutostart final : public Autostart
{
public:
    void setRunOnStartup(bool) override {}
    void removeRunOnStartup() override {}
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

} // namespace cdk
