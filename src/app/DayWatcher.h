#pragma once

#include <QDate>
#include <QDateTime>
#include <QObject>

class QSocketNotifier;
class QTimer;

namespace cdk {

class Clock;

// Tells when the calendar day changes while the program runs, without waking
// in between: one wake-up at the next local midnight and, on Linux, one more
// whenever the system clock is set or the machine resumes, so a day skipped
// by a clock change or a suspend is noticed at once rather than a day late.
class DayWatcher final : public QObject
{
    Q_OBJECT
public:
    explicit DayWatcher(const Clock &clock, QObject *parent = nullptr);
    ~DayWatcher() override;

    // Takes `day` as the last day seen and arms the wake-up.
    void start(const QDate &day);
    QDate lastDay() const { return m_lastDay; }

    // Asks the clock for today's date, signals a day other than the last one
    // seen (also a day back, after the clock was set back) and re-arms.
    void check();

    // The moment the wake-up is armed for, as the system keeps it; invalid
    // while not armed.
    QDateTime nextWakeUp() const;

    // The first moment of the local day after the one `now` falls on. Days
    // of a daylight-saving change last 23 or 25 hours, and where a change
    // skips midnight the day begins at the first hour that exists.
    static QDateTime nextLocalMidnight(const QDateTime &now);

Q_SIGNALS:
    void dayChanged(const QDate &today);

private:
    void arm();
    void timerFired();

    const Clock &m_clock;
    QDate m_lastDay;
    int m_timerFd = -1; // Linux: a wall-clock timer that a clock change cancels
    QSocketNotifier *m_notifier = nullptr;
    QTimer *m_timer = nullptr; // elsewhere, or where the kernel offers no such timer
};

} // namespace cdk
