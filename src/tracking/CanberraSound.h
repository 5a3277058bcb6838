#pragma once

#include "tracking/Sound.h"

struct ca_context;

namespace cdk {

// The freedesktop sound service (libcanberra): the theme's "complete" event,
// or a chosen file. The context is made on first use, so a program that never
// finishes a task never connects to the sound server.
class CanberraSound final : public Sound
{
public:
    CanberraSound() = default;
    ~CanberraSound() override;
    CanberraSound(const CanberraSound &) = delete;
    CanberraSound &operator=(const CanberraSound &) = delete;

    void playTaskDone(const QString &customFileOrEmpty) override;

private:
    bool ensureContext();

    ca_context *m_context = nullptr;
    bool m_unavailable = false;
};

} // namespace cdk
