#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>

class QTimer;

namespace cdk {

class Clock;
class TaskStore;

// What one count step did.
enum class TickResult {
    Nothing,        // not tracking, task gone, or its budget already used up
    Seconds,        // only the seconds of the minute in progress were written
    MinuteBoundary, // whole minutes moved into the time done
    Failed,         // the write failed; tracking has been stopped
};

// Counts the time spent on one task of a day list into that task's row while
// the user works. Time is kept as whole minutes (FinishedDuration) plus the
// seconds of the minute in progress (FinishedSeconds); the budget is
// Duration. The tick timer `tmrTracker` runs only while a task is tracked;
// a tick costs one row lookup and, in the common case, one single-column
// update through statements the store keeps prepared.
//
// Whoever changes the tracked task (a move, a reset, an edit, a delete) tells
// the tracker through retarget(), reload() or stop(), so the next tick counts
// into the right row.
class TimeTracker final : public QObject
{
    Q_OBJECT

public:
    TimeTracker(TaskStore &store, Clock &clock, QObject *parent = nullptr);
    ~TimeTracker() override;

    // Starts counting into the task (list, id), stopping any other first; a
    // task in "Not Started" moves to "In Progress". False when the task does
    // not exist. Throws StoreError when the task cannot be read or changed;
    // tracking is then off.
    bool start(const QString &list, qint32 id);
    // Stops counting. Writes nothing: the ticks stored everything counted.
    void stop();

    // One count step; the timer calls it every second while tracking.
    TickResult TrackTick();
    int lastErrorCode() const { return m_lastErrorCode; }

    // The tracked task now lives under another list key and number.
    void retarget(const QString &list, qint32 id);
    // Reads the tracked task's budget, time done and subject again after a
    // change; stops tracking when the task is gone.
    void reload();

    bool isTracked(const QString &list, qint32 id) const
    {
        return TrackingActive && id == TrackedTaskID && list == TrackedList;
    }
    bool isFinished() const { return TrackedFinishedDuration >= TrackedDuration; }
    QTimer *tmrTracker() const { return m_tmrTracker; }

    bool TrackingActive = false;
    qint32 TrackedTaskID = 0;
    QString TrackedList;
    qint32 TrackedDuration = 0;
    qint32 TrackedFinishedDuration = 0;
    QString TrackedSubject;
    quint32 LastTick = 0;

Q_SIGNALS:
    // A start of tracking, of another task or the same one again; sent just
    // before trackingChanged(). A move of the tracked task is no start.
    void started();
    // Started, stopped, moved along with its task, or reloaded.
    void trackingChanged();
    // A minute boundary was stored: the row, the panel and the summary change.
    void minuteCounted(const QString &list, qint32 id);
    // A tick could not be stored; tracking has been stopped.
    void tickFailed(int code, const QString &description);

private:
    void onTimer();
    void scheduleNextTick();
    void clear();

    TaskStore &m_store;
    Clock &m_clock;
    QTimer *m_tmrTracker = nullptr;
    qint64 m_rowId = 0; // where the tracked row was last seen; 0: look it up
    QString m_lastError;
    int m_lastErrorCode = 0;
};

} // namespace cdk
