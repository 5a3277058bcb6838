#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>

struct sqlite3;

namespace cdk {

class Clock;
class TaskStore;

// What one count step did, so the caller knows how much to redraw.
enum class TickResult {
    Nothing,        // not tracking, task gone, or its budget already used up
    Seconds,        // only the seconds of the minute in progress were written
    MinuteBoundary, // whole minutes moved into the time done
    Failed,         // the write failed; tracking has been stopped
};

// Outcome of starting to track a task.
struct StartResult
{
    bool started = false;      // tracking is on
    bool stateChanged = false; // the task moved from "Not Started" to "In Progress"
    QString error;             // why it could not start, ready to show
};

// Counts the time spent on one task of a day list and writes it into that
// task's row while the user works. Time is kept as whole minutes
// (FinishedDuration) plus the seconds of the minute in progress
// (FinishedSeconds); the budget is Duration. The tick reads and writes through
// statements of its own, prepared once per tracking run, so a tick costs one
// row lookup and, in the common case, one single-column update.
class TimeTracker final
{
public:
    TimeTracker(TaskStore &store, Clock &clock);
    ~TimeTracker();
    TimeTracker(const TimeTracker &) = delete;
    TimeTracker &operator=(const TimeTracker &) = delete;

    // The data side of starting: LastTick, the cached budget and time done,
    // the "Not Started" to "In Progress" step. A task that cannot be found
    // is not tracked.
    StartResult start(const QString &list, qint32 id, const QString &subjectShown);
    // Releases the statements; writes nothing, the ticks already stored
    // everything counted.
    void stop();

    // One count step. On Failed, lastError() tells why and tracking is off.
    TickResult TrackTick();
    QString lastError() const { return m_lastError; }
    int lastErrorCode() const { return m_lastErrorCode; }

    // The tracked task was moved to another list under a new number.
    void retarget(const QString &list, qint32 id);
    // FinishedDuration := 0 of any task; false when the task does not exist.
    bool ResetTimeDone(const QString &list, qint32 id);

    TaskStore &store() { return m_store; }

    bool isTracked(const QString &list, qint32 id) const
    {
        return TrackingActive && id == TrackedTaskID && list == TrackedList;
    }
    bool isFinished() const { return TrackedFinishedDuration >= TrackedDuration; }

    bool TrackingActive = false;
    qint32 TrackedTaskID = 0;
    QString TrackedList;
    qint32 TrackedDuration = 0;
    qint32 TrackedFinishedDuration = 0;
    QString TrackedSubject;
    quint32 LastTick = 0;

private:
    struct Statements;
    struct Row
    {
        qint64 rowId = 0;
        qint64 duration = 0;
        qint64 finishedDuration = 0;
        qint64 finishedSeconds = 0;
        qint64 state = 0;
    };

    void prepare();
    void release();
    void ensurePrepared();
    bool findRow(Row &row);
    void failed(int code, const QString &description);

    TaskStore &m_store;
    Clock &m_clock;
    std::unique_ptr<Statements> m_st;
    sqlite3 *m_preparedOn = nullptr;
    qint64 m_rowId = 0; // where the tracked row was last seen; 0: look it up
    QString m_lastError;
    int m_lastErrorCode = 0;
};

} // namespace cdk
