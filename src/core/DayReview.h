#pragma once

#include "store/TaskRecord.h"

#include <QList>
#include <QString>

namespace cdk {

// What closing a day does with one of its unfinished tasks.
enum class ReviewAction { Move, Keep, Finish };

struct ReviewChoice
{
    qint32 taskId = 0;
    ReviewAction action = ReviewAction::Move;

    friend bool operator==(const ReviewChoice &, const ReviewChoice &) = default;
};

// The tasks of a day that a review asks about: every one not finished, in
// the list's order.
QList<TaskRecord> tasksToReview(const QList<TaskRecord> &dayTasks);

// "3 tasks, 2:10 planned, 0:45 done, move 1:25 to tomorrow" for the tasks
// under review. Done counts no more than each task's budget, as the day
// summary counts it; what moves is the time the moved tasks still need. A
// task without a choice counts as kept; ", move ..." is left out when
// nothing moves.
QString reviewTotalsText(const QList<TaskRecord> &tasks, const QList<ReviewChoice> &choices);

} // namespace cdk
