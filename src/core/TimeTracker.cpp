#include "core/TimeTracker.h"

#include "base/Clock.h"
#include "base/IdleSource.h"
#include "base/Log.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"

#include <QTimer>

#include <algorithm>
#include <utility>

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
    m_away = false;
    m_absent = false;
    m_budgetUsedTick.reset();
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
        if (isFinished())
            m_budgetUsedTick = LastTick;
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
    m_startTick = LastTick;
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

    const TickResult result = count(seconds, now);
    if (result != TickResult::Failed)
        noticeAway(now);
    return result;
}

TickResult TimeTracker::count(qint64 seconds, quint32 now)
{
    try {
        const auto row = m_store.findTrackedRow(TrackedList, TrackedTaskID, m_rowId);
        m_rowId = row ? row->rowId : 0;
        if (!row)
            return TickResult::Nothing;
        if (row->finishedDuration >= row->duration) {
            if (!m_budgetUsedTick)
                m_budgetUsedTick = now;
            return TickResult::Nothing;
        }

        const qint64 total = row->finishedSeconds + seconds;
        if (total < kSecondsPerMinute) {
            m_store.writeTrackedSeconds(row->rowId, total);
            return TickResult::Seconds;
        }
        // All whole minutes of a long gap move at once; the budget caps them.
        const qint64 uncapped = row->finishedDuration + total / kSecondsPerMinute;
        const qint64 minutes = std::min<qint64>(uncapped, row->duration);
        m_store.writeTrackedTime(row->rowId, minutes, total % kSecondsPerMinute);
        if (minutes >= row->duration) {
            // The seconds beyond the budget were never counted.
            const qint64 over
                = (uncapped - row->duration) * kSecondsPerMinute + total % kSecondsPerMinute;
            m_budgetUsedTick = now - quint32(std::min<qint64>(over, seconds) * kMsPerSecond);
        }
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

void TimeTracker::setAwayDetection(IdleSource *source, qint64 thresholdMs)
{
    m_idle = source;
    m_awayThresholdMs = std::max<qint64>(thresholdMs, 0);
    m_away = false;
}

void TimeTracker::setAbsent(bool absent)
{
    if (!TrackingActive || m_awayThresholdMs == 0 || absent == m_absent)
        return;
    m_absent = absent;
    if (!absent)
        return; // the next tick that sees input ends the time away
    qCInfo(lcTracking) << "screen locked or machine asleep";
    if (!m_away) {
        const std::optional<qint64> idle = m_idle ? m_idle->idleMilliseconds() : std::nullopt;
        beginAway(m_clock.tickCount(), std::max<qint64>(idle.value_or(0), 0));
        m_awayByAbsence = true;
    }
}

void TimeTracker::beginAway(quint32 now, qint64 idleMs)
{
    // Time before tracking began was never counted, so it is no part of the
    // time away either.
    const qint64 sinceStart = quint32(now - m_startTick);
    const qint64 back = std::min(idleMs, sinceStart);
    m_awayStartTick = now - quint32(back);
    m_awayStartTime = QDateTime::currentDateTime().addMSecs(-back);
    m_away = true;
    m_awayByAbsence = false;
    qCInfo(lcTracking) << "away from the computer for" << idleMs / kMsPerSecond << "s";
}

void TimeTracker::noticeAway(quint32 now)
{
    if (m_awayThresholdMs == 0 || !TrackingActive)
        return;
    // Without an idle source (a desktop that does not tell), a lock or a
    // sleep still ends at its unlock or wake-up.
    const std::optional<qint64> idle
        = m_idle ? m_idle->idleMilliseconds() : std::optional<qint64>(m_absent ? -1 : 0);
    if (!idle || *idle < 0)
        return;
    // Ticks are 32-bit and wrap; every span below is a difference of two.
    if (*idle >= m_awayThresholdMs || m_absent) {
        if (!m_away && !m_absent)
            beginAway(now, *idle);
        return;
    }
    if (!m_away)
        return;
    m_away = false;

    const qint64 sinceAway = quint32(now - m_awayStartTick);
    const qint64 awayMs = sinceAway - std::min(*idle, sinceAway);
    AwayPeriod period;
    period.list = TrackedList;
    period.id = TrackedTaskID;
    period.subject = TrackedSubject;
    period.to = QDateTime::currentDateTime().addMSecs(-*idle);
    // The wall clock runs on while the machine sleeps, the tick does not:
    // the time away is the longer of the two, the time counted the tick's.
    const qint64 wallMs = std::max<qint64>(m_awayStartTime.msecsTo(period.to), 0);
    period.seconds = std::max(awayMs, wallMs) / kMsPerSecond;
    period.countedSeconds = awayMs / kMsPerSecond;
    if (m_budgetUsedTick) {
        // Signed: the budget may have run out before the time away began.
        const qint64 countedMs = qint32(*m_budgetUsedTick - m_awayStartTick);
        period.countedSeconds
            = std::clamp<qint64>(countedMs / kMsPerSecond, 0, period.countedSeconds);
    }
    period.from = period.to.addSecs(-period.seconds);
    // A short lock or nap is no time away worth a question.
    if (m_awayByAbsence && period.seconds * kMsPerSecond < m_awayThresholdMs) {
        qCInfo(lcTracking) << "back after" << period.seconds << "s, below the threshold";
        return;
    }
    qCInfo(lcTracking) << "back after" << period.seconds << "s away," << period.countedSeconds
                       << "s of them counted";
    Q_EMIT awayEnded(period);
}

void TimeTracker::retarget(const QString &list, qint32 id)
{
    if (!TrackingActive)
        return;
    const QString fromList = std::exchange(TrackedList, list);
    const qint32 fromId = std::exchange(TrackedTaskID, id);
    Q_EMIT moved(fromList, fromId, list, id);
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
    // Time given back to the task (a reset, an edit, time away discarded)
    // starts the budget's count again.
    if (!isFinished())
        m_budgetUsedTick.reset();
    else if (!m_budgetUsedTick)
        m_budgetUsedTick = m_clock.tickCount();
    Q_EMIT trackingChanged();
}

} // namespace cdk
