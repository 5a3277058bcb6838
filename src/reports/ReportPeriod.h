#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

namespace cdk {

// The days a report or an export covers, both ends included.
struct ReportPeriod
{
    enum class Kind { Day, Week, Month, Range };

    QDate first;
    QDate last;

    bool isValid() const { return first.isValid() && last.isValid() && first <= last; }
    qint64 dayCount() const { return isValid() ? first.daysTo(last) + 1 : 0; }
    bool contains(const QDate &day) const { return isValid() && day >= first && day <= last; }

    static ReportPeriod day(const QDate &day) { return {day, day}; }
    // The week that holds the day, starting on the locale's first day of the week.
    static ReportPeriod week(const QDate &day, const QLocale &locale);
    static ReportPeriod month(const QDate &day);
    // The two dates in either order.
    static ReportPeriod range(const QDate &from, const QDate &to);
    // The period of that kind around the day; a range is the day alone.
    static ReportPeriod around(Kind kind, const QDate &day, const QLocale &locale);

    // "2024-03-04 to 2024-03-10", or the one date of a single day.
    QString isoText() const;

    friend bool operator==(const ReportPeriod &, const ReportPeriod &) = default;
};

} // namespace cdk
