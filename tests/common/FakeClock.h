#pragma once

#include "base/Clock.h"

namespace cdk::test {

// A clock the test moves by hand.
class FakeClock final : public Clock
{
public:
    quint32 tickCount() const override { return m_tick; }
    QDate today() const override { return m_today; }

    void setTick(quint32 tick) { m_tick = tick; }
    void advance(quint32 ms) { m_tick += ms; } // wraps like the real counter
    void setToday(const QDate &date) { m_today = date; }

private:
    quint32 m_tick = 0;
    QDate m_today = QDate(2024, 3, 5);
};

} // namespace cdk::test
