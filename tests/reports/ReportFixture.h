#pragma once

#include "store/TaskStore.h"
#include "store/Vocabulary.h"

#include <QDate>
#include <QTest>

namespace cdk::test {

// A week with known answers, Monday 4 to Sunday 10 March 2024: days without
// tasks, a task whose category was deleted, budgets of 0, a time done above
// its budget, subjects that need quoting and folding. Tasks just outside
// the week and a template must never be counted.
//
//              planned  done  finished  left
//   Mon 4        130     100      2       1
//   Wed 6        140     100      3       1
//   Fri 8         30       0      0       1
//   the rest       0       0      0       0
//
// Work: finished 60/60 (whole budget), 10/40 and 90/120 (shares 25%, 75%).
// "Home, garden": 10/20 finished (50%), 45/30 in progress (counts 30).
// (none): the deleted category's finished task with a budget of 0.
namespace reportweek {

inline QDate monday() { return {2024, 3, 4}; }
inline QString key(int day) { return DayListKey(monday().addDays(day)); }
inline const QString kLongSubject
    = QStringLiteral("Ünïcödé ✓ — a subject long enough that its iCalendar line must be folded, "
                     "with accents é è ê and a last word");
inline const QString kQuotedSubject = QStringLiteral("Review \"draft\", then; send\\back");
inline const QString kTwoLineSubject = QStringLiteral("Plan trip\nline two");

inline TaskRecord task(int day, qint32 id, const QString &subject, qint32 category, qint32 budget,
                       qint32 done, int state, int priority = 2, quint8 seconds = 0)
{
    TaskRecord t;
    t.ID = id;
    t.List = day < 0 ? recurrentListKey() : key(day);
    t.Subject = subject;
    t.Category = category;
    t.Duration = budget;
    t.FinishedDuration = done;
    t.FinishedSeconds = seconds;
    t.State = state;
    t.Priority = priority;
    return t;
}

inline QList<TaskRecord> tasksOfTheWeek()
{
    return {
        task(0, 1, QStringLiteral("Write report"), 1, 60, 60, Finished, 5),
        task(0, 2, kQuotedSubject, 1, 40, 10, Finished, 3, 30),
        task(0, 3, QStringLiteral("Mow lawn"), 2, 30, 45, InProgress, 1),
        task(2, 1, QStringLiteral("Call"), 3, 0, 0, Finished, 0),
        task(2, 2, kTwoLineSubject, 2, 20, 10, Finished),
        task(2, 3, kLongSubject, 1, 120, 90, Finished, 4, 59),
        task(2, 4, QStringLiteral("Zero"), 1, 0, 0, NotStarted),
        task(4, 1, QStringLiteral("Later"), 1, 30, 0, Delayed),
    };
}

inline void fill(TaskStore &store)
{
    CategoryRecord home {2, QStringLiteral("Home, garden"), 65280, -1, {}, {}};
    QVERIFY(store.UpdateCategory(home));
    QVERIFY(store.DeleteCategory(3));
    QList<TaskRecord> all = tasksOfTheWeek();
    all << task(-1, 1, QStringLiteral("Template"), 1, 500, 0, NotStarted)
        << task(-1, 2, QStringLiteral("Day before"), 1, 500, 0, NotStarted)
        << task(7, 1, QStringLiteral("Day after"), 1, 500, 0, NotStarted);
    all[all.size() - 2].List = key(-1);
    for (const TaskRecord &t : std::as_const(all))
        QVERIFY(store.SaveTask(t, true, t.List, t.ID));
}

} // namespace reportweek
} // namespace cdk::test
