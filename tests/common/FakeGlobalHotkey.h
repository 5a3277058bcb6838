#pragma once

#include "desktop/GlobalHotkey.h"

#include <QList>
#include <QPair>

namespace cdk::test {

// A hotkey backend whose answer the test chooses; keeps the combination it holds.
class FakeGlobalHotkey final : public GlobalHotkey
{
public:
    RegisterResult registerKey(int modifiers, int virtualKey) override
    {
        held = false;
        attempts.append({modifiers, virtualKey});
        held = answer == RegisterResult::Registered;
        return answer;
    }
    void unregisterKey() override { held = false; }
    bool isRegistered() const override { return held; }
    bool isAvailable() const override { return reason.isEmpty(); }
    QString unavailableReason() const override { return reason; }

    RegisterResult answer = RegisterResult::Registered;
    QString reason; // not empty: this desktop cannot grab keys
    QList<QPair<int, int>> attempts; // modifiers and key of every registration
    bool held = false;
};

} // namespace cdk::test
