#include "core/DaySummary.h"

#include "base/Functions.h"
#include "base/Translate.h"
#include "store/Vocabulary.h"

#include <QCoreApplication>
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
        ? QCoreApplication::translate("DaySummary", "[No tasks]")
        : countedText("DaySummary", QT_TRANSLATE_N_NOOP("DaySummary", "[%n tasks left]"),
                      "[%n tasks left]", s.tasksLeft);
    // Today's name is followed by two blanks, a date by one.
    const QString day = shown == today
        ? QCoreApplication::translate("DaySummary", "Today") + QLatin1Char(' ')
        : shortDate;
    s.caption = QStringLiteral("  ") + day + QLatin1Char(' ') + count;

    if (s.totalNeeded == 0) {
        s.progressVisible = false;
    } else {
        s.progressVisible = true;
        s.progressMaximum = int(qMin<qint64>(s.totalNeeded, qint64(INT_MAX)));
        const qint64 value = s.totalDone == 0 ? 1 : s.totalDone;
        s.progressValue = int(qMin<qint64>(value, qint64(s.progressMaximum)));
    }

    const auto clampMinutes = [](qint64 m) { return qint32(qBound<qint64>(qint64(INT_MIN), m, qint64(INT_MAX))); };
    const qint32 done = clampMinutes(s.totalDone);
    const qint32 left = clampMinutes(s.totalNeeded - s.totalDone);
    const auto doneText = [](const QString &time) {
        return QCoreApplication::translate("DaySummary", "%1 done").arg(time);
    };
    const auto leftText = [](const QString &time) {
        return QCoreApplication::translate("DaySummary", "%1 left").arg(time);
    };
    // The long form says "0 minutes" for zero minutes only.
    if (done == 0 && left == 0) {
        s.labelsVisible = false;
    } else {
        s.labelsVisible = true;
        s.doneText = doneText(FormatMinutes(done, true));
        s.leftText = left == 0 ? QCoreApplication::translate("DaySummary", "Everything done!")
                               : leftText(FormatMinutes(left, true));
        s.shortDoneText = doneText(FormatMinutes(done, false));
        s.shortLeftText = left == 0 ? s.leftText : leftText(FormatMinutes(left, false));
    }
    return s;
}

DaySummary computeDaySummary(const QList<TaskRecord> &tasks, const QDate &shown,
                             const QDate &today)
{
    return computeDaySummary(tasks, shown, today, QLocale().toString(shown, QLocale::ShortFormat));
}

} // namespace cdk
