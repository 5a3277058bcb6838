#include "core/Recurrence.h"

#include "base/Functions.h"
#include "base/Log.h"
#include "settings/Settings.h"
#include "store/Sql.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"

#include <QCoreApplication>

#include <cmath>

namespace cdk {

namespace {

const QString &dayKey()
{
    static const QString key = QStringLiteral("LastRecurrentInjectDay");
    return key;
}
const QString &monthKey()
{
    static const QString key = QStringLiteral("LastRecurrentInjectMonth");
    return key;
}
const QString &yearKey()
{
    static const QString key = QStringLiteral("LastRecurrentInjectYear");
    return key;
}

// The character at a 1-based position, or an empty text past the end.
QString charAt(const QString &text, qsizetype position)
{
    return text.mid(position - 1, 1);
}

} // namespace

QString GetRecurrenceCode(const QString &subject)
{
    const qsizetype close = subject.indexOf(QLatin1Char(']'));
    return close < 0 ? QString() : subject.left(close + 1);
}

QString GetRecurrentSubject(const QString &subject)
{
    const qsizetype close = subject.indexOf(QLatin1Char(']'));
    return close < 0 ? subject : subject.mid(close + 1);
}

bool RecurrenceMatchesDate(const QString &code, const QDate &date)
{
    const int weekday = date.dayOfWeek(); // Monday = 1 .. Sunday = 7
    switch ((code.isEmpty() ? QChar() : code.at(0)).unicode()) {
    case u'1':
        return weekday >= 1 && weekday <= 5;
    case u'2':
        return weekday == 6 || weekday == 7;
    case u'3':
        // Positions 2..8 hold Monday..Sunday. A short code has no "0" in the
        // missing places, so those days match, as they always have.
        return charAt(code, weekday + 1) != QStringLiteral("0");
    case u'4': {
        const double day = BasicVal(code.mid(1, 2)) + 1;
        if (day == kLastDayOfMonthIndex + 1)
            return date.day() == DaysInMonth(date.month(), date.year());
        return date.day() == day;
    }
    default:
        return true;
    }
}

QString RecurrenceName(const QString &subject)
{
    // Only a leading digit names a rule; anything else is an everyday template.
    const QChar first = subject.isEmpty() ? QChar() : subject.at(0);
    const int rule = first.isDigit() && first.unicode() < 128 ? first.digitValue() : 0;
    switch (rule) {
    case 0:
        return QCoreApplication::translate("Recurrence", "Every day");
    case 1:
        return QCoreApplication::translate("Recurrence", "Every workday");
    case 2:
        return QCoreApplication::translate("Recurrence", "Every Sun and Sat");
    case 3:
        return QCoreApplication::translate("Recurrence", "Specified days");
    case 4:
        return QCoreApplication::translate("Recurrence", "Once a month");
    default:
        return QString();
    }
}

QStringList RecurrenceRuleItems()
{
    return {QCoreApplication::translate("Recurrence", "Every day"),
            QCoreApplication::translate("Recurrence", "Every workday"),
            QCoreApplication::translate("Recurrence", "Every Sunday and Saturday"),
            QCoreApplication::translate("Recurrence", "Specified days of the week..."),
            QCoreApplication::translate("Recurrence", "Once a month...")};
}

QStringList DayOfTheMonthItems()
{
    QStringList items;
    items.reserve(kLastDayOfMonthIndex + 1);
    for (int day = 1; day <= kLastDayOfMonthIndex; ++day)
        items.append(QString::number(day) + QLatin1Char('.'));
    items.append(QCoreApplication::translate("Recurrence", "Last Day"));
    return items;
}

TaskRecord BuildTemplateCopy(const TaskRecord &templ, const QString &listKey, qint32 id)
{
    TaskRecord copy;
    copy.ID = id;
    copy.List = listKey;
    copy.Subject = GetRecurrentSubject(templ.Subject);
    copy.Category = templ.Category;
    copy.Duration = templ.Duration;
    copy.FinishedDuration = templ.FinishedDuration;
    copy.FinishedSeconds = 0;
    copy.State = templ.State;
    copy.Priority = templ.Priority;
    return copy;
}

QDate LastInjectionDate(const QString &day, const QString &month, const QString &year)
{
    qint64 y = ValToInt(year);
    const qint64 m = ValToInt(month);
    const qint64 d = ValToInt(day);
    if (y >= 0 && y <= 29)
        y += 2000;
    else if (y >= 30 && y <= 99)
        y += 1900;
    // Month 0 is December of the year before, month 13 January of the next.
    const qint64 monthIndex = y * 12 + (m - 1);
    const qint64 normYear = monthIndex >= 0 ? monthIndex / 12 : -((-monthIndex + 11) / 12);
    const int normMonth = int(monthIndex - normYear * 12) + 1;
    if (normYear < 1 || normYear > 9999)
        return QDate();
    const QDate first(int(normYear), normMonth, 1);
    return first.addDays(d - 1);
}

int InjectRecurrentTasks(TaskStore &store, clsSettings &settings, const QDate &today)
{
    const auto general = SettingsSection::General;
    // Most starts of a day find the day recorded: they need no write lock.
    if (const QDate recorded = store.lastInjectionDate();
        recorded.isValid() && recorded.daysTo(today) == 0)
        return 0;
    int copies = 0;
    {
        // The check and the copies are one step under the database's write
        // lock: of several processes starting on a new day, the first copies
        // and records the day, and the others find it recorded.
        sql::Transaction transaction(store.database());
        QDate last = store.lastInjectionDate();
        if (!last.isValid()) {
            // A file that has never recorded a day goes by the settings, as
            // every version before did.
            const QString dayText = settings.Load(general, dayKey());
            if (!dayText.isEmpty())
                last = LastInjectionDate(dayText, settings.Load(general, monthKey()),
                                         settings.Load(general, yearKey()));
        }
        // Only the same calendar day stops the run: a clock set back is a new day.
        if (last.isValid() && last.daysTo(today) == 0)
            return 0;

        const QString todayKey = DayListKey(today);
        const QList<TaskRecord> templates = store.tasksOfList(recurrentListKey());
        for (const TaskRecord &templ : templates) {
            if (!RecurrenceMatchesDate(GetRecurrenceCode(templ.Subject), today))
                continue;
            // Asked anew for every copy: the copies get consecutive numbers after
            // whatever the day already holds.
            const qint32 id = store.NextTaskID(todayKey);
            store.SaveTask(BuildTemplateCopy(templ, todayKey, id), true, todayKey, id);
            ++copies;
        }
        store.setLastInjectionDate(today);
        transaction.commit();
        qCInfo(lcStore) << "recurrent templates copied into" << todayKey << ':' << copies;
    }
    // The settings keep the day too, for whoever reads the file. The database
    // has it already: a settings file that cannot be written costs no second
    // copy.
    settings.Save(general, {{dayKey(), QString::number(today.day())},
                            {monthKey(), QString::number(today.month())},
                            {yearKey(), QString::number(today.year())}});
    return copies;
}

} // namespace cdk
