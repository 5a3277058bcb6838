#include "core/TaskRules.h"

namespace cdk {

bool CanStartTracking(const TaskRecord &task)
{
    // The grid shows both as whole minutes; equal texts mean equal minutes.
    return task.FinishedDuration != task.Duration;
}

} // namespace cdk
