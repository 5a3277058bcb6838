#include "core/TimeTracker.h"

#include "base/Clock.h"
#include "base/Log.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"

#include <QTimer>

#include <algorithm>

namespace cdk {

namespace {

constexpr qint64 kSecondsPerMinute = 60;
constexpr quint32 kMsPerSecond = 1000;

} // namespace

TimeTracker::TimeTracker(TaskStore &store, Clock &clock, QObject *parent)
    : QObject(parent), m_store(store), m_clock(clock)
{
    m_tmrTracker = new QTimer(this);
    m_tmrTracker->setObjectName(QStringLiteral("tmrTracker"));
    // Each tick is aimed at the moment the next whole second is due, read
    // from the clock, not at a fixed period: a timer that fires early (Qt
    // allows a coarse one 5%) or late is corrected on the next tick, so no
    // more than a second of tracked time ever exists only in memory.
    m_tmrTracker->setSingleShot(true);
    m_tmrTracker->setInterval(int(kMsPerSecond));
    m_tmrTracker->setTimerType(Qt::PreciseTimer);
    connect(m_tmrTracker, &QTimer::timeout, this, &TimeTracker::onTimer);
}

TimeTracker::~TimeTracker() = default;

void TimeTracker::clear()
{
    m_tmrTracker->stop();
    TrackingActive = false;
    TrackedTaskID = 0;
    TrackedList.clear();
    m_rowId = 0;
}

bool TimeTracker::start(const QString &list, qint32 id)
{
    const bool wasActive = TrackingActive;
    clear();
    LastTick = m_clock.tickCount();
    m_lastError.clear();
    m_lastErrorCode = 0;
    try {
        const auto row = m_store.findTrackedRow(list, id, 0);
        if (!row) {
            qCInfo(lcTracking) << "task" << id << "of list" << list << "not found; not tracking";
            if (wasActive)
                Q_EMIT trackingChanged();
            return false;
        }
        if (row->state == TaskState::NotStarted)
            m_store.SetTaskState(id, list, TaskState::InProgress, false);
        m_rowId = row->rowId;
        TrackedDuration = row->duration;
        TrackedFinishedDuration = row->finishedDuration;
        TrackedSubject = row->subject;
    } catch (const StoreError &e) {
        qCWarning(lcTracking) << "tracking could not start:" << e.message();
        m_lastError = e.message();
        m_lastErrorCode = e.code();
        if (wasActive)
            Q_EMIT trackingChanged();
        throw;
    }
    TrackedTaskID = id;
    TrackedList = list;
    TrackingActive = true;
    scheduleNextTick();
    Q_EMIT started();
    Q_EMIT trackingChanged();
    return true;
}

void TimeTracker::stop()
{
    if (!TrackingActive)
        return;
    clear();
    Q_EMIT trackingChanged();
}

void TimeTracker::onTimer()
{
    TrackTick();
}

void TimeTracker::scheduleNextTick()
{
    const quint32 counted = m_clock.tickCount() - LastTick;
    const quint32 due = counted >= kMsPerSecond ? 1 : kMsPerSecond - counted;
    m_tmrTracker->start(int(due));
}

TickResult TimeTracker::TrackTick()
{
    if (!TrackingActive)
        return TickResult::Nothing;

    // Unsigned arithmetic: the difference is right across a wrap of the
    // 32-bit counter. The remainder below a second stays for the next tick,
    // so ticks that arrive a little late or early lose nothing.
    const quint32 now = m_clock.tickCount();
    const quint32 elapsed = now - LastTick;
    const qint64 seconds = elapsed / kMsPerSecond;
    const quint32 rest = elapsed % kMsPerSecond;
    LastTick = now - rest;
    scheduleNextTick();

    try {
        const auto row = m_store.findTrackedRow(TrackedList, TrackedTaskID, m_rowId);
        m_rowId = row ? row->rowId : 0;
        if (!row || row->finishedDuration >= row->duration)
            return TickResult::Nothing;

        const qint64 total = row->finishedSeconds + seconds;
        if (total < kSecondsPerMinute) {
            m_store.writeTrackedSeconds(row->rowId, total);
            return TickResult::Seconds;
        }
        // All whole minutes of a long gap move at once; the budget caps them.
        const qint64 minutes =
            std::min<qint64>(row->finishedDuration + total / kSecondsPerMinute, row->duration);
        m_store.writeTrackedTime(row->rowId, minutes, total % kSecondsPerMinute);
        TrackedFinishedDuration = qint32(minutes);
        Q_EMIT minuteCounted(TrackedList, TrackedTaskID);
        return TickResult::MinuteBoundary;
    } catch (const StoreError &e) {
        // The failed statement changed nothing, so everything up to the
        // previous tick stays stored; only this step's seconds are lost.
        qCWarning(lcTracking) << "tracking stopped, write failed:" << e.code() << e.message();
        m_lastErrorCode = e.code();
        m_lastError = e.message();
        clear();
        Q_EMIT trackingChanged();
        Q_EMIT tickFailed(m_lastErrorCode, m_lastError);
    }
    return TickResult::Failed;
}

void TimeTracker::retarget(const QString &list, qint32 id)
{
    if (!TrackingActive)
        return;
    TrackedList = list;
    TrackedTaskID = id;
    Q_EMIT trackingChanged();
}

void TimeTracker::reload()
{
    if (!TrackingActive)
        return;
    const auto row = m_store.findTrackedRow(TrackedList, TrackedTaskID, m_rowId);
    if (!row) {
        stop();
        return;
    }
    m_rowId = row->rowId;
    TrackedDuration = row->duration;
    TrackedFinishedDuration = row->finishedDuration;
    TrackedSubject = row->subject;
    Q_EMIT trackingChanged();
}

} // namespace cdk
