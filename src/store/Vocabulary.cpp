#include "store/Vocabulary.h"

#include <QCoreApplication>

#include <array>

namespace cdk {

namespace {

struct PriorityEntry
{
    const char *name;
    const char16_t *iconBase;
};

// Indexed by the priority code, 0 ("Very Low") to 5 ("Urgent").
constexpr std::array<PriorityEntry, 6> kPriorities {{
    {QT_TRANSLATE_NOOP("Vocabulary", "Very Low"), u"LOWEST"},
    {QT_TRANSLATE_NOOP("Vocabulary", "Low"), u"LOW"},
    {QT_TRANSLATE_NOOP("Vocabulary", "Normal"), u"NORMAL"},
    {QT_TRANSLATE_NOOP("Vocabulary", "High"), u"HIGH"},
    {QT_TRANSLATE_NOOP("Vocabulary", "Very High"), u"HIGHEST"},
    {QT_TRANSLATE_NOOP("Vocabulary", "Urgent"), u"URGENT"},
}};

constexpr std::array<const char *, 5> kStates {
    QT_TRANSLATE_NOOP("Vocabulary", "Not Started"), QT_TRANSLATE_NOOP("Vocabulary", "In Progress"),
    QT_TRANSLATE_NOOP("Vocabulary", "Pending"),     QT_TRANSLATE_NOOP("Vocabulary", "Delayed"),
    QT_TRANSLATE_NOOP("Vocabulary", "Finished"),
};

// The name in the language of the window; the English one is the source text.
QString label(const char *name) { return QCoreApplication::translate("Vocabulary", name); }

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
    return QString::fromLatin1(kStates[std::size_t(state)]);
}

QString PriorityName(int priority)
{
    if (priority < 0 || priority >= int(kPriorities.size()))
        return {};
    return QString::fromLatin1(kPriorities[std::size_t(priority)].name);
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

QString TaskStateLabel(int state)
{
    if (state < 0 || state >= int(kStates.size()))
        return {};
    return label(kStates[std::size_t(state)]);
}

QString PriorityLabel(int priority)
{
    if (priority < 0 || priority >= int(kPriorities.size()))
        return {};
    return label(kPriorities[std::size_t(priority)].name);
}

QStringList PriorityLabelsHighestFirst()
{
    QStringList labels;
    for (int priority = int(kPriorities.size()) - 1; priority >= 0; --priority)
        labels << PriorityLabel(priority);
    return labels;
}

QStringList TaskStateLabels()
{
    QStringList labels;
    for (int state = 0; state < int(kStates.size()); ++state)
        labels << TaskStateLabel(state);
    return labels;
}

} // namespace cdk
