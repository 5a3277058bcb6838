#include "view/DaySummary.h"

#include "base/Functions.h"
#include "view/TaskGridModel.h"

#include <QAbstractItemModel>
#include <QLocale>

namespace cdk {

qint64 minutesOfKey(const QString &key)
{
    return qint64(BasicVal(key.right(10)));
}

DaySummary computeDaySummary(const QList<DaySummaryRow> &rows, const QDate &shown,
                             const QDate &today, const QString &shortDate)
{
    DaySummary s;
    for (const DaySummaryRow &row : rows) {
        if (row.checkIconKey == QLatin1String("UNCHECK"))
            ++s.tasksLeft;
        const qint64 needed = minutesOfKey(row.neededKey);
        const qint64 done = qMin(minutesOfKey(row.doneKey), needed);
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
    }
    return s;
}

DaySummary computeDaySummary(const QList<DaySummaryRow> &rows, const QDate &shown,
                             const QDate &today)
{
    return computeDaySummary(rows, shown, today,
                             QLocale::system().toString(shown, QLocale::ShortFormat));
}

QList<DaySummaryRow> daySummaryRows(const QAbstractItemModel &model)
{
    QList<DaySummaryRow> rows;
    const int n = model.rowCount();
    rows.reserve(n);
    for (int r = 0; r < n; ++r) {
        rows.append({model.index(r, ColCheckbox - 1).data(TaskGridModel::IconKeyRole).toString(),
                     model.index(r, ColTimeNeeded - 1).data(TaskGridModel::SortKeyRole).toString(),
                     model.index(r, ColTimeDone - 1).data(TaskGridModel::SortKeyRole).toString()});
    }
    return rows;
}

} // namespace cdk
