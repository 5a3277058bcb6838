#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QtGlobal>

#include <optional>

class QTimer;

namespace cdk {

class Clock;
class IdleSource;
class TaskStore;

// A stretch of time the person was away from the computer while a task was
// tracked, known once input came back.
struct AwayPeriod
{
    QString list;
    qint32 id = 0;
    QString subject;
    QDateTime from; // the last input before, on the wall clock
    QDateTime to; // the first input after
    qint64 seconds = 0;
    // Of these, the seconds counted into the task: fewer when its budget ran
    // out meanwhile, since the tracker counts no further.
    qint64 countedSeconds = 0;
};

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

    // Each tick while tracking asks source how long input has been idle; an
    // idle time of thresholdMs or more is a time away, reported by awayEnded()
    // when input comes back. A null source or a threshold of 0 notices none.
    // The source must outlive the tracker or be replaced first.
    void setAwayDetection(IdleSource *source, qint64 thresholdMs);
    // Input has been idle for the threshold and has not come back yet.
    bool isAway() const { return m_away; }
    // The screen was locked or the machine went to sleep (true), or the
    // person unlocked it or it woke (false). A lock or sleep is a time away
    // from the last input before it, whatever the idle source says meanwhile;
    // it ends at the first input after. Counted at its wall-clock length:
    // the tracker's clock stands still while the machine sleeps. Ignored
    // while nothing is tracked.
    void setAbsent(bool absent);

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
    // The tracked task moved to another list key and number, and the
    // tracker with it.
    void moved(const QString &fromList, qint32 fromId, const QString &toList, qint32 toId);
    // A minute boundary was stored: the row, the panel and the summary change.
    void minuteCounted(const QString &list, qint32 id);
    // A tick could not be stored; tracking has been stopped.
    void tickFailed(int code, const QString &description);
    // Input came back after a time away while tracking; sent once per period.
    // Counting went on all the while: what was counted stays unless a
    // caller takes it back.
    void awayEnded(const cdk::AwayPeriod &period);

private:
    void onTimer();
    void scheduleNextTick();
    void clear();
    TickResult count(qint64 seconds, quint32 now);
    void noticeAway(quint32 now);
    void beginAway(quint32 now, qint64 idleMs);

    TaskStore &m_store;
    Clock &m_clock;
    QTimer *m_tmrTracker = nullptr;
    qint64 m_rowId = 0; // where the tracked row was last seen; 0: look it up
    QString m_lastError;
    int m_lastErrorCode = 0;

    IdleSource *m_idle = nullptr;
    qint64 m_awayThresholdMs = 0;
    quint32 m_startTick = 0; // tracking of this task began
    bool m_away = false;
    bool m_absent = false; // locked or asleep: the time away cannot end yet
    bool m_awayByAbsence = false; // began at a lock or sleep, not by idle input
    quint32 m_awayStartTick = 0; // the last input before the time away
    QDateTime m_awayStartTime; // the same moment on the wall clock
    // When the tracked task's budget ran out; nothing while it has time left.
    std::optional<quint32> m_budgetUsedTick;
};

} // namespace cdk
