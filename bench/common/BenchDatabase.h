#pragma once

// What the benchmarks share: a database of many days of tasks, and a
// prompter that never waits for anyone.

#include "base/Prompter.h"
#include "store/Sql.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"

#include <QDate>

#include <cstdio>

namespace cdk::bench {

// Appends `days` days of `perDay` tasks each, from `first` on, in one
// transaction. The columns vary from task to task, so that every sort column
// and every category colour has work to do.
inline void fillDays(TaskStore &store, const QDate &first, int days, int perDay)
{
    sql::Transaction transaction(store.database());
    TaskRecord task;
    for (int day = 0; day < days; ++day) {
        task.List = DayListKey(first.addDays(day));
        for (int id = 1; id <= perDay; ++id) {
            task.ID = id;
            task.Subject = QStringLiteral("Task %1 of the day, with a subject of usual length")
                               .arg((id * 7919) % perDay);
            task.Category = id % 9;
            task.Duration = 15 * (id % 12);
            task.FinishedDuration = (id * 13) % 90;
            task.State = id % 5;
            task.Priority = id % 6;
            store.SaveTask(task, true, task.List, task.ID);
        }
    }
    transaction.commit();
}

// Answers No, cancels every dialog and prints what it would have shown.
class ConsolePrompter final : public Prompter
{
public:
    Answer ask(const QString &, const QString &, MessageIcon) override { return Answer::No; }
    void tell(const QString &title, const QString &text, MessageIcon) override
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    std::optional<qint32> chooseColor(qint32) override { return std::nullopt; }
};

} // namespace cdk::bench
