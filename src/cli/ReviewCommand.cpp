#include "cli/ReviewCommand.h"

#include "base/Functions.h"
#include "core/DayReview.h"
#include "core/TaskOperations.h"
#include "store/Vocabulary.h"

#include <algorithm>

namespace cdk::cli {

namespace {

QString shown(const QString &text) { return TerminalText(ShownText(text)); }

QString tasksText(qsizetype n)
{
    return n == 1 ? QStringLiteral("1 task") : QStringLiteral("%1 tasks").arg(n);
}

// The tasks as `list` prints them, without the columns a review does not
// decide on.
QString table(const QList<TaskRecord> &tasks)
{
    QList<std::pair<QString, QString>> rows {{QStringLiteral("ID"), QStringLiteral("Done/Budget")}};
    for (const TaskRecord &t : tasks)
        rows.append({QString::number(t.ID),
                     FormatMinutes(t.FinishedDuration, false) + QLatin1Char('/')
                         + FormatMinutes(t.Duration, false)});
    qsizetype idWidth = 0;
    qsizetype timeWidth = 0;
    for (const auto &[id, time] : rows) {
        idWidth = std::max(idWidth, id.size());
        timeWidth = std::max(timeWidth, time.size());
    }
    QString out;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        out += rows[i].first.rightJustified(idWidth) + QStringLiteral("  ")
            + rows[i].second.rightJustified(timeWidth) + QStringLiteral("  ")
            + (i == 0 ? QStringLiteral("Subject") : shown(tasks[i - 1].Subject))
            + QLatin1Char('\n');
    }
    return out;
}

} // namespace

Reply runReview(const ParsedCommand &command, CommandTarget &target)
{
    const QString moveTo = QStringLiteral("move-to");
    const bool moving = command.has(moveTo);
    if (moving && command.value(moveTo).toString().trimmed().toLower() != QLatin1String("tomorrow"))
        return Reply::failed(QStringLiteral("bad value \"%1\" for --move-to: the tasks move to "
                                            "tomorrow, the day after the one reviewed")
                                 .arg(command.value(moveTo).toString()));
    const QDate day = resolveDay(command.value(QStringLiteral("day")).toString(), target.today);
    const QString list = DayListKey(day);
    const QList<TaskRecord> tasks = tasksToReview(target.operations.tasksOfList(list));
    const QString dayText = day.toString(Qt::ISODate);
    if (tasks.isEmpty())
        return Reply {ExitOk, QStringLiteral("Nothing left to review on %1\n").arg(dayText), {}};

    QList<ReviewChoice> choices;
    for (const TaskRecord &t : tasks)
        choices.append({t.ID, ReviewAction::Move});
    const QString totals = reviewTotalsText(tasks, choices) + QLatin1Char('\n');
    if (!moving)
        return Reply {ExitOk, table(tasks) + totals, {}};

    const QDate next = day.addDays(1);
    const QList<qint32> moved = target.operations.reviewDay(list, choices, next);
    // Another process may have moved or finished some of them between the
    // list above and the move: the totals then no longer describe it.
    if (moved.isEmpty())
        return Reply {ExitOk, QStringLiteral("Nothing left to review on %1\n").arg(dayText), {}};
    const QString done
        = QStringLiteral("Moved %1 to %2\n").arg(tasksText(moved.size()), next.toString(Qt::ISODate));
    if (moved.size() < tasks.size())
        return Reply {ExitOk,
                      done
                          + QStringLiteral("%1 changed meanwhile and stayed\n")
                                .arg(tasksText(tasks.size() - moved.size())),
                      {}};
    return Reply {ExitOk, done + totals, {}};
}

} // namespace cdk::cli
