#include "app/DayWatcher.h"

#include "base/Clock.h"
#include "base/Log.h"

#include <QSocketNotifier>
#include <QTimer>

#ifdef Q_OS_LINUX
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#endif

namespace cdk {

DayWatcher::DayWatcher(const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
{
#ifdef Q_OS_LINUX
    m_timerFd = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_timerFd >= 0) {
        m_notifier = new QSocketNotifier(m_timerFd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &DayWatcher::timerFired);
        return;
    }
    qCWarning(lcApp) << "no wall-clock timer, the day change is seen at midnight only:"
                     << qt_error_string(errno);
#endif
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    // A coarse timer may fire early; the day must have begun when it does.
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &DayWatcher::check);
}

DayWatcher::~DayWatcher()
{
#ifdef Q_OS_LINUX
    if (m_timerFd >= 0) {
        delete m_notifier;
        ::close(m_timerFd);
    }
#endif
}

QDateTime DayWatcher::nextLocalMidnight(const QDateTime &now)
{
    return now.toLocalTime().date().addDays(1).startOfDay(Qt::LocalTime);
}

void DayWatcher::start(const QDate &day)
{
    m_lastDay = day;
    arm();
}

void DayWatcher::check()
{
    const QDate today = m_clock.today();
    if (today != m_lastDay) {
        m_lastDay = today;
        Q_EMIT dayChanged(today);
    }
    arm();
}

void DayWatcher::arm()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime next = nextLocalMidnight(now);
#ifdef Q_OS_LINUX
    if (m_timerFd >= 0) {
        const qint64 ms = next.toMSecsSinceEpoch();
        itimerspec expiry {};
        expiry.it_value.tv_sec = static_cast<time_t>(ms / 1000);
        expiry.it_value.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
        if (timerfd_settime(m_timerFd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &expiry, nullptr)
            != 0)
            qCWarning(lcApp) << "cannot arm the midnight timer:" << qt_error_string(errno);
        return;
    }
#endif
    m_timer->start(static_cast<int>(qMax<qint64>(0, now.msecsTo(next))));
}

void DayWatcher::timerFired()
{
#ifdef Q_OS_LINUX
    std::uint64_t expirations = 0;
    // ECANCELED: the clock was set, which may have moved the day either way;
    // EAGAIN: nothing left to read. Either way the date is looked at again.
    if (::read(m_timerFd, &expirations, sizeof expirations) < 0 && errno == ECANCELED)
        qCInfo(lcApp) << "the system clock was set";
#endif
    check();
}

QDateTime DayWatcher::nextWakeUp() const
{
#ifdef Q_OS_LINUX
    if (m_timerFd >= 0) {
        itimerspec expiry {};
        if (timerfd_gettime(m_timerFd, &expiry) != 0
            || (expiry.it_value.tv_sec == 0 && expiry.it_value.tv_nsec == 0))
            return {};
        // The kernel answers with the time left, whatever the timer was armed with.
        return QDateTime::currentDateTime().addMSecs(qint64(expiry.it_value.tv_sec) * 1000
                                                     + expiry.it_value.tv_nsec / 1000000);
    }
#endif
    if (!m_timer->isActive())
        return {};
    return QDateTime::currentDateTime().addMSecs(m_timer->remainingTime());
}

} // namespace cdk
