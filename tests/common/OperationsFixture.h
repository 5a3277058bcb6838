#pragma once

#include "common/FakeClock.h"
#include "common/TaskFixtures.h"
#include "core/TaskOperations.h"
#include "core/TimeTracker.h"

namespace cdk::test {

// The operations layer over a StoreFixture, with a tracker on a fake clock
// and the history recording, as the window has it.
struct OperationsFixture : StoreFixture
{
    FakeClock clock;
    TimeTracker tracker {store, clock};
    TaskOperations ops {store, settings, tracker};

    OperationsFixture() { ops.setRecording(true); }
};

} // namespace cdk::test
