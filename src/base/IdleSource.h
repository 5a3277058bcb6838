#pragma once

#include <QtGlobal>

#include <optional>

namespace cdk {

// How long the person at the computer has left keyboard and mouse alone.
// The tracker asks on its tick, so a time spent away can be offered back.
class IdleSource
{
public:
    virtual ~IdleSource() = default;
    // Milliseconds since the last input anywhere on the desktop; nothing when
    // the desktop cannot tell.
    virtual std::optional<qint64> idleMilliseconds() = 0;
};

// Where the desktop has no way to tell: nobody is ever seen away.
class NullIdleSource final : public IdleSource
{
public:
    std::optional<qint64> idleMilliseconds() override { return std::nullopt; }
};

} // namespace cdk
