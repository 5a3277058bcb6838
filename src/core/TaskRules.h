#pragma once

#include "store/TaskRecord.h"

namespace cdk {

// Whether tracking may start on the task: not once its budget is used up,
// that is when its time done reads as its budget. Every front end that
// offers to start tracking asks this.
bool CanStartTracking(const TaskRecord &task);

} // namespace cdk
