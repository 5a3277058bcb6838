#pragma once

#include <QDate>
#include <QElapsedTimer>
#include <QtGlobal>

namespace cdk {

// Time as the program sees it. The tracker counts with a 32-bit millisecond
// tick that may wrap; the day roll-over asks for the calendar date. Tests
// drive both through a fake.
class Clock
{
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start, modulo 2^32.
    virtual quint32 tickCount() const = 0;
    virtual QDate today() const = 0;
};

class SystemClock final : public Clock
{
public:
    SystemClock() { m_timer.start(); }
    quint32 tickCount() const override { return static_cast<quint32>(m_timer.elapsed()); }
    QDate today() const override { return QDate::currentDate(); }

private:
    QElapsedTimer m_timer;
};

} // namespace cdk
