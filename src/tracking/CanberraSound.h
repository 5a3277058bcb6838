#pragma once

#include "base/Sound.h"

#include <cstdint>

#include <QLibrary>

struct ca_context;

namespace cdk {

// The freedesktop sound service (libcanberra): the theme's "complete" event,
// or a chosen file. The library is loaded and the context made on first use,
// so a program that never finishes a task neither loads the sound stack (and
// its decoders) at start-up nor connects to the sound server.
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
    bool resolve();

    using CreateFn = int (*)(ca_context **);
    using DestroyFn = int (*)(ca_context *);
    using ChangePropsFn = int (*)(ca_context *, ...);
    using PlayFn = int (*)(ca_context *, uint32_t, ...);
    using StrErrorFn = const char *(*)(int);

    QLibrary m_library;
    CreateFn m_create = nullptr;
    DestroyFn m_destroy = nullptr;
    ChangePropsFn m_changeProps = nullptr;
    PlayFn m_play = nullptr;
    StrErrorFn m_strerror = nullptr;
    ca_context *m_context = nullptr;
    bool m_unavailable = false;
};

} // namespace cdk
