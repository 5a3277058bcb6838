#pragma once

#include "desktop/Autostart.h"

#include <QStringList>

namespace cdk::test {

// Records the registrations asked for: "set user", "set all users", "remove".
class RecordingAutostart final : public Autostart
{
public:
    void setRunOnStartup(bool allUsers) override
    {
        calls.append(allUsers ? QStringLiteral("set all users") : QStringLiteral("set user"));
    }
    void removeRunOnStartup() override { calls.append(QStringLiteral("remove")); }
    bool isEnabled() const override { return false; }
    bool isAvailable() const override { return true; }

    QStringList calls;
};

} // namespace cdk::test
