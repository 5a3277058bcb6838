#include "tracking/TimeTracker.h"

#include "base/Clock.h"
#include "base/Log.h"
#include "store/Sql.h"
#include "store/TaskStore.h"

#include <algorithm>
#include <exception>

namespace cdk {

namespace {

constexpr qint64 kSecondsPerMinute = 60;
constexpr quint32 kMsPerSecond = 1000;

} // namespace

// The statements of one tracking run. The lookup goes by the row's position
// first (the table has no index, so a search by list and number reads the
// whole table) and checks list and number, falling back to the search when
// the row has moved or was rewritten.
struct TimeTracker::Statements
{
    sql::Statement byRowId;
    sql::Statement byKey;
    sql::Statement writeSeconds;
    sql::Statement writeMinutes;
};

TimeTracker::TimeTracker(TaskStore &store, Clock &clock) : m_store(store), m_clock(clock) {}

TimeTracker::~TimeTracker() = default;

void TimeTracker::prepare()
{
    auto st = std::make_unique<Statements>();
    sql::Database &db = m_store.database();
    st->byRowId = db.prepare(QStringLiteral(
        "SELECT rowid, Duration, FinishedDuration, FinishedSeconds, State FROM Chronodeck "
        "WHERE rowid = ?1 AND List = ?2 AND ID = ?3"));
    st->byKey = db.prepare(QStringLiteral(
        "SELECT rowid, Duration, FinishedDuration, FinishedSeconds, State FROM Chronodeck "
        "WHERE List = ?1 AND ID = ?2 ORDER BY rowid LIMIT 1"));
    st->writeSeconds = db.prepare(
        QStringLiteral("UPDATE Chronodeck SET FinishedSeconds = ?1 WHERE rowid = ?2"));
    st->writeMinutes = db.prepare(QStringLiteral(
        "UPDATE Chronodeck SET FinishedDuration = ?1, FinishedSeconds = ?2 WHERE rowid = ?3"));
    m_st = std::move(st);
    m_preparedOn = db.handle();
    m_rowId = 0;
}

void TimeTracker::release()
{
    m_st.reset();
    m_preparedOn = nullptr;
    m_rowId = 0;
}

void TimeTracker::ensurePrepared()
{
    if (!m_store.isOpen())
        throw sql::Error(0, QStringLiteral("The task database is not open."));
    // A restore or a reopen gives the store a new connection; statements of
    // the old one must not be used with it.
    if (!m_st || m_preparedOn != m_store.database().handle())
        prepare();
}

bool TimeTracker::findRow(Row &row)
{
    auto read = [&row](sql::Statement &st) {
        row.rowId = st.int64(0);
        row.duration = st.isNull(1) ? 0 : st.int64(1);
        row.finishedDuration = st.isNull(2) ? 0 : st.int64(2);
        row.finishedSeconds = st.isNull(3) ? 0 : st.int64(3);
        row.state = st.isNull(4) ? 0 : st.int64(4);
    };
    if (m_rowId > 0) {
        sql::Statement &st = m_st->byRowId;
        st.reset();
        st.bind(1, m_rowId).bind(2, TrackedList).bind(3, TrackedTaskID);
        const bool found = st.step();
        if (found)
            read(st);
        st.reset();
        if (found)
            return true;
    }
    sql::Statement &st = m_st->byKey;
    st.reset();
    st.bind(1, TrackedList).bind(2, TrackedTaskID);
    const bool found = st.step();
    if (found)
        read(st);
    st.reset();
    m_rowId = found ? row.rowId : 0;
    return found;
}

StartResult TimeTracker::start(const QString &list, qint32 id, const QString &subjectShown)
{
    StartResult result;
    stop();
    LastTick = m_clock.tickCount();
    TrackedTaskID = id;
    TrackedList = list;
    m_lastError.clear();
    m_lastErrorCode = 0;
    try {
        ensurePrepared();
        Row row;
        if (!findRow(row)) {
            qCInfo(lcTracking) << "task" << id << "of list" << list << "not found; not tracking";
            release();
            TrackedTaskID = 0;
            TrackedList.clear();
            return result;
        }
        TrackedDuration = static_cast<qint32>(row.duration);
        TrackedFinishedDuration = static_cast<qint32>(row.finishedDuration);
        if (row.state == 0) {
            m_store.SetTaskState(id, list, 1, false);
            result.stateChanged = true;
        }
    } catch (const sql::Error &e) {
        result.error = e.message();
        m_lastErrorCode = e.code();
    } catch (const StoreError &e) {
        result.error = e.userMessage();
    }
    if (!result.error.isEmpty()) {
        qCWarning(lcTracking) << "tracking could not start:" << result.error;
        m_lastError = result.error;
        release();
        TrackedTaskID = 0;
        TrackedList.clear();
        return result;
    }
    TrackedSubject = subjectShown;
    TrackingActive = true;
    result.started = true;
    return result;
}

void TimeTracker::stop()
{
    TrackedList.clear();
    TrackedTaskID = 0;
    TrackingActive = false;
    release();
}

void TimeTracker::failed(int code, const QString &description)
{
    qCWarning(lcTracking) << "tracking stopped, write failed:" << code << description;
    m_lastErrorCode = code;
    m_lastError = description;
    stop();
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

    try {
        ensurePrepared();
        Row row;
        if (!findRow(row) || row.finishedDuration >= row.duration)
            return TickResult::Nothing;

        const qint64 total = row.finishedSeconds + seconds;
        if (total < kSecondsPerMinute) {
            sql::Statement &st = m_st->writeSeconds;
            st.reset();
            st.bind(1, total).bind(2, row.rowId);
            st.run();
            st.reset();
            return TickResult::Seconds;
        }

        // All whole minutes of a long gap move at once; the budget caps them.
        const qint64 minutes = std::min(row.finishedDuration + total / kSecondsPerMinute,
                                        row.duration);
        sql::Statement &st = m_st->writeMinutes;
        st.reset();
        st.bind(1, minutes).bind(2, total % kSecondsPerMinute).bind(3, row.rowId);
        st.run();
        st.reset();
        TrackedFinishedDuration = static_cast<qint32>(minutes);
        return TickResult::MinuteBoundary;
    } catch (const sql::Error &e) {
        // The failed statement changed nothing, so everything up to the
        // previous tick stays stored; only this step's seconds are lost.
        failed(e.code(), e.message());
    } catch (const StoreError &e) {
        failed(0, e.userMessage());
    }
    return TickResult::Failed;
}

void TimeTracker::retarget(const QString &list, qint32 id)
{
    if (!TrackingActive)
        return;
    TrackedList = list;
    TrackedTaskID = id;
    // The cached row position is checked against list and number on the next
    // tick, so a moved row is found again either way.
}

bool TimeTracker::ResetTimeDone(const QString &list, qint32 id)
{
    return m_store.ResetTimeDone(list, id);
}

} // namespace cdk
