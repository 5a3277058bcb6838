#include "reports/ReportPeriod.h"

namespace cdk {

ReportPeriod ReportPeriod::week(const QDate &day, const QLocale &locale)
{
    if (!day.isValid())
        return {};
    const int back = (day.dayOfWeek() - int(locale.firstDayOfWeek()) + 7) % 7;
    const QDate first = day.addDays(-back);
    return {first, first.addDays(6)};
}

ReportPeriod ReportPeriod::month(const QDate &day)
{
    if (!day.isValid())
        return {};
    const QDate first(day.year(), day.month(), 1);
    return {first, first.addDays(day.daysInMonth() - 1)};
}

ReportPeriod ReportPeriod::range(const QDate &from, const QDate &to)
{
    return from <= to ? ReportPeriod {from, to} : ReportPeriod {to, from};
}

ReportPeriod ReportPeriod::around(Kind kind, const QDate &day, const QLocale &locale)
{
    switch (kind) {
    case Kind::Week:
        return week(day, locale);
    case Kind::Month:
        return month(day);
    case Kind::Day:
    case Kind::Range:
        break;
    }
    return ReportPeriod::day(day);
}

QString ReportPeriod::isoText() const
{
    const QString from = first.toString(Qt::ISODate);
    if (first == last)
        return from;
    return from + QStringLiteral(" to ") + last.toString(Qt::ISODate);
}

} // namespace cdk
