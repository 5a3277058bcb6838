#pragma once

#include "base/IdleSource.h"

namespace cdk::test {

// The desktop's idle time as the test sets it; counts how often it is asked.
class FakeIdleSource final : public IdleSource
{
public:
    std::optional<qint64> idleMilliseconds() override
    {
        ++queries;
        return idle;
    }

    std::optional<qint64> idle = 0;
    int queries = 0;
};

} // namespace cdk::test
