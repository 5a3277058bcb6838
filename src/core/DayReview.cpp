// Closing a day: the unfinished tasks of a list, each moved to the next day,
// kept or finished, in one transaction that one undo takes back whole.

#include "core/DayReview.h"

#include "base/Functions.h"
#include "base/Translate.h"
#include "core/ChangeRecorder.h"
#include "core/DaySummary.h"
#include "core/TaskOperations.h"
#include "core/TimeTracker.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"

#include <QCoreApplication>

#include <algorithm>
#include <limits>

namespace cdk {

namespace {

// A day's sums may pass what a 32-bit minute count holds only in a damaged
// file; the text then shows the largest it can rather than a wrapped one.
qint32 shownMinutes(qint64 minutes)
{
    return qint32(std::clamp<qint64>(minutes, 0, std::numeric_limits<qint32>::max()));
}

} // namespace

QList<TaskRecord> tasksToReview(const QList<TaskRecord> &dayTasks)
{
    QList<TaskRecord> open;
    for (const TaskRecord &task : dayTasks) {
        if (task.State != TaskState::Finished)
            open.append(task);
    }
    return open;
}

QString reviewTotalsText(const QList<TaskRecord> &tasks, const QList<ReviewChoice> &choices)
{
    qint64 planned = 0;
    qint64 done = 0;
    qint64 moving = 0;
    bool anyMoves = false;
    for (const TaskRecord &task : tasks) {
        planned += task.Duration;
        done += qMax<qint64>(0, cappedTimeDone(task));
        for (const ReviewChoice &choice : choices) {
            if (choice.taskId == task.ID && choice.action == ReviewAction::Move) {
                anyMoves = true;
                moving += qMax<qint64>(0, qint64(task.Duration) - task.FinishedDuration);
                break;
            }
        }
    }
    const QString count = countedText("DayReview", QT_TRANSLATE_N_NOOP("DayReview", "%n tasks"),
                                      "1 task", int(tasks.size()));
    const QString plannedText = FormatMinutes(shownMinutes(planned), false);
    const QString doneText = FormatMinutes(shownMinutes(done), false);
    if (!anyMoves)
        return QCoreApplication::translate("DayReview", "%1, %2 planned, %3 done")
            .arg(count, plannedText, doneText);
    return QCoreApplication::translate("DayReview", "%1, %2 planned, %3 done, move %4 to tomorrow")
        .arg(count, plannedText, doneText, FormatMinutes(shownMinutes(moving), false));
}

QList<qint32> TaskOperations::reviewDay(const QString &list, const QList<ReviewChoice> &choices,
                                        const QDate &tomorrow)
{
    const QString target = DayListKey(tomorrow);
    const bool full = markFull();
    MoveRun run;
    bool stopTracking = false;
    recordedStep(tr("Review the Day"), [&](ChangeRecorder &recorder) {
        run = startMoves(target);
        for (const ReviewChoice &choice : choices) {
            const qint32 id = choice.taskId;
            const std::optional<TaskRecord> task = m_store.findTask(list, id);
            // A task finished meanwhile (the command line, the tracker at the
            // end of its budget) has nothing left to decide.
            if (!task || task->State == TaskState::Finished)
                continue;
            switch (choice.action) {
            case ReviewAction::Keep:
                break;
            case ReviewAction::Finish:
                recorder.task(list, id);
                m_store.SetTaskState(id, list, TaskState::Finished, full);
                // The day is being closed: a finished task counts no further.
                stopTracking = stopTracking || m_tracker.isTracked(list, id);
                break;
            case ReviewAction::Move:
                if (target == list)
                    break;
                moveOne(recorder, run, list, id);
                break;
            }
        }
    });
    // The tracker follows only what was stored.
    if (stopTracking)
        m_tracker.stop();
    else if (run.trackedNewId != 0)
        m_tracker.retarget(target, run.trackedNewId);
    Q_EMIT listChanged(list);
    Q_EMIT listChanged(target);
    return run.newIds;
}

} // namespace cdk
