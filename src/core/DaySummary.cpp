#include "core/DaySummary.h"

#include "base/Functions.h"
#include "store/Vocabulary.h"

#include <QLocale>

namespace cdk {

DaySummary computeDaySummary(const QList<TaskRecord> &tasks, const QDate &shown,
                             const QDate &today, const QString &shortDate)
{
    DaySummary s;
    for (const TaskRecord &task : tasks) {
        if (task.State != TaskState::Finished)
            ++s.tasksLeft;
        const qint64 needed = task.Duration;
        const qint64 done = cappedTimeDone(task);
        s.totalNeeded += needed;
        s.totalDone += done;
    }

    const QString count = s.tasksLeft == 0
                              ? QStringLiteral(" [No tasks]")
                              : QString(QStringLiteral(" [") + QString::number(s.tasksLeft)
                                        + QStringLiteral(" tasks left]"));
    s.caption = shown == today ? QString(QStringLiteral("  Today ") + count)
                               : QString(QStringLiteral("  ") + shortDate + count);

    if (s.totalNeeded == 0) {
        s.progressVisible = false;
    } else {
        s.progressVisible = true;
        s.progressMaximum = int(qMin<qint64>(s.totalNeeded, qint64(INT_MAX)));
        const qint64 value = s.totalDone == 0 ? 1 : s.totalDone;
        s.progressValue = int(qMin<qint64>(value, qint64(s.progressMaximum)));
    }

    const auto clampMinutes = [](qint64 m) { return qint32(qBound<qint64>(qint64(INT_MIN), m, qint64(INT_MAX))); };
    const QString doneText = FormatMinutes(clampMinutes(s.totalDone), true) + QStringLiteral(" done");
    const QString leftText =
        FormatMinutes(clampMinutes(s.totalNeeded - s.totalDone), true) + QStringLiteral(" left");
    const QString nothingDone = QStringLiteral("0 minutes done");
    const QString nothingLeft = QStringLiteral("0 minutes left");
    if (doneText == nothingDone && leftText == nothingLeft) {
        s.labelsVisible = false;
    } else {
        s.labelsVisible = true;
        s.doneText = doneText;
        s.leftText = leftText == nothingLeft ? QStringLiteral("Everything done!") : leftText;
        s.shortDoneText = FormatMinutes(clampMinutes(s.totalDone), false) + QStringLiteral(" done");
        s.shortLeftText = leftText == nothingLeft
                              ? s.leftText
                              : FormatMinutes(clampMinutes(s.totalNeeded - s.totalDone), false)
                                    + QStringLiteral(" left");
    }
    return s;
}

DaySummary computeDaySummary(const QList<TaskRecord> &tasks, const QDate &shown,
                             const QDate &today)
{
    return computeDaySummary(tasks, shown, today,
                             QLocale::system().toString(shown, QLocale::ShortFormat));
}

} // namespace cdk
