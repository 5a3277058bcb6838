#pragma once

#include "store/TaskRecord.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace cdk {

class TaskStore;
class clsSettings;

// A recurrent template keeps its rule in front of its subject, closed by the
// first "]":
//   "0]"                 every day
//   "1]"                 Monday to Friday
//   "2]"                 Saturday and Sunday
//   "3" + 7 digits + "]" the days whose digit is not "0", Monday first
//   "4" + 2 digits + "]" day 1..28 of the month ("00".."27"), "28" = last day
enum class RecurrenceRule : int {
    EveryDay = 0,
    EveryWorkday = 1,
    EveryWeekend = 2,
    SpecifiedDays = 3,
    OnceAMonth = 4,
};

// The index of cmbDayOfTheMonth that stands for the last day of the month.
inline constexpr int kLastDayOfMonthIndex = 28;

// Text up to and including the first "]", empty when there is none.
QString GetRecurrenceCode(const QString &subject);
// Text after the first "]", the whole text when there is none.
QString GetRecurrentSubject(const QString &subject);

// Whether a template with this code belongs in the list of that date.
// Weekdays count Monday = 1 .. Sunday = 7. Unknown codes match every day.
bool RecurrenceMatchesDate(const QString &code, const QDate &date);

// The short rule name the template manager shows, by the leading digit of the
// stored subject ("Every day" .. "Once a month", "" for 5..9).
QString RecurrenceName(const QString &subject);

// The items of the rule chooser, in code order.
QStringList RecurrenceRuleItems();
// "1." .. "28." and "Last Day".
QStringList DayOfTheMonthItems();

// The day task a template turns into: its subject without the rule, its
// category, budget, time done, priority and state, and no seconds done.
TaskRecord BuildTemplateCopy(const TaskRecord &templ, const QString &listKey, qint32 id);

// Copies every template whose rule matches today into today's list, once per
// calendar day: nothing happens when the last run was today. The day of the
// last run is kept in the database, in the transaction of the copies, and in
// the settings (which alone decide for a file that has no day recorded).
// Going back to an earlier day counts as a new day. Days on which the program
// did not run get no copies. Returns the number of copies written. Store
// failures (sql::Error, StoreError) reach the caller; a failed run copies
// nothing and records nothing.
int InjectRecurrentTasks(TaskStore &store, clsSettings &settings, const QDate &today);

// The date of the last run as the settings hold it: numbers out of range roll
// over into the next month or year, missing ones count as 0 (so the three
// keys empty give 30 November 1999). Two-digit years mean 1930..2029.
QDate LastInjectionDate(const QString &day, const QString &month, const QString &year);

} // namespace cdk
