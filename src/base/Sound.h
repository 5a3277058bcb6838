#pragma once

#include <QString>

namespace cdk {

// Plays the sound of a finished task. Playing never blocks and never reports:
// a sound that cannot be played is simply not heard.
class Sound
{
public:
    virtual ~Sound() = default;
    // customFileOrEmpty: a sound file the user chose (already known to
    // exist), or empty for the desktop's own notification sound.
    virtual void playTaskDone(const QString &customFileOrEmpty) = 0;
};

// For platforms and builds without a sound service.
class NullSound final : public Sound
{
public:
    void playTaskDone(const QString &) override {}
};

} // namespace cdk
