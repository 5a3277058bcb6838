#pragma once

#include "store/TaskRecord.h"

#include <QDate>
#include <QList>
#include <QString>

namespace cdk {

// The day line, progress bar and time labels under the grid.
struct DaySummary
{
    QString caption;          // of the panel gpInfos
    int tasksLeft = 0;
    qint64 totalNeeded = 0;   // minutes
    qint64 totalDone = 0;     // minutes, each task's done capped at its budget
    bool progressVisible = false;
    int progressMaximum = 0;
    int progressValue = 0;
    bool labelsVisible = false;
    QString doneText;         // for lblDone
    QString leftText;         // for lblLeft ("Everything done!" when nothing is left)
    // The same as hours:minutes, for a window too narrow for the words.
    QString shortDoneText;
    QString shortLeftText;
};

// The time a task counts as done towards its day and every figure built on
// days: what was done, never more than its budget.
inline qint64 cappedTimeDone(const TaskRecord &task)
{
    return qMin<qint64>(task.FinishedDuration, task.Duration);
}

// Builds the summary of the tasks of the day shown; shortDate is the shown
// date in the user's short form (used when the day is not today).
DaySummary computeDaySummary(const QList<TaskRecord> &tasks, const QDate &shown,
                             const QDate &today, const QString &shortDate);
// As above with the short date form of the user's locale.
DaySummary computeDaySummary(const QList<TaskRecord> &tasks, const QDate &shown,
                             const QDate &today);

} // namespace cdk
