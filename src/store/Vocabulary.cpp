#include "store/Vocabulary.h"

#include <array>

namespace cdk {

namespace {

struct PriorityEntry
{
    const char16_t *name;
    const char16_t *iconBase;
};

// Indexed by the priority code, 0 ("Very Low") to 5 ("Urgent").
constexpr std::array<PriorityEntry, 6> kPriorities {{
    {u"Very Low", u"LOWEST"},
    {u"Low", u"LOW"},
    {u"Normal", u"NORMAL"},
    {u"High", u"HIGH"},
    {u"Very High", u"HIGHEST"},
    {u"Urgent", u"URGENT"},
}};

constexpr std::array<const char16_t *, 5> kStates {
    u"Not Started", u"In Progress", u"Pending", u"Delayed", u"Finished",
};

// A number written with the format "00": at least two digits.
QString twoDigits(int value) { return QString::number(value).rightJustified(2, QLatin1Char('0')); }

} // namespace

QString DayListKey(const QDate &date)
{
    // Years before the common era have no key: the picker never offers them
    // and a minus sign would make the key ambiguous.
    if (!date.isValid() || date.year() < 1)
        return {};
    return twoDigits(date.day()) % twoDigits(date.month()) % twoDigits(date.year());
}

QDate DateFromListKey(const QString &key)
{
    if (key.size() < 6)
        return {};
    for (const QChar c : key) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return {};
    }
    const QDate date(key.mid(4).toInt(), key.mid(2, 2).toInt(), key.left(2).toInt());
    // Only the spelling DayListKey itself produces names a day ("01010099" is not
    // the key of 1 January 99, "010199" is).
    if (!date.isValid() || DayListKey(date) != key)
        return {};
    return date;
}

QString TaskStateName(int state)
{
    if (state < 0 || state >= int(kStates.size()))
        return {};
    return QString::fromUtf16(kStates[std::size_t(state)]);
}

QString PriorityName(int priority)
{
    if (priority < 0 || priority >= int(kPriorities.size()))
        return {};
    return QString::fromUtf16(kPriorities[std::size_t(priority)].name);
}

QString PriorityIconKey(int priority, bool greyed)
{
    QString base;
    if (priority >= 0 && priority < int(kPriorities.size()))
        base = QString::fromUtf16(kPriorities[std::size_t(priority)].iconBase);
    return base + (greyed ? QStringLiteral("GP") : QStringLiteral("P"));
}

QStringList PriorityNamesHighestFirst()
{
    QStringList names;
    for (int priority = int(kPriorities.size()) - 1; priority >= 0; --priority)
        names << PriorityName(priority);
    return names;
}

QStringList TaskStateNames()
{
    QStringList names;
    for (int state = 0; state < int(kStates.size()); ++state)
        names << TaskStateName(state);
    return names;
}

} // namespace cdk
