#pragma once

#include <QDate>
#include <QList>
#include <QString>

class QAbstractItemModel;

namespace cdk {

// What the summary under the grid reads from one row.
struct DaySummaryRow
{
    QString checkIconKey; // "CHECK" or "UNCHECK"
    QString neededKey;    // ordering key of "TIMENEEDED"
    QString doneKey;      // ordering key of "TIMEDONE"
};

// The day line, progress bar and time labels under the grid.
struct DaySummary
{
    QString caption;          // of the panel gpInfos
    int tasksLeft = 0;
    qint64 totalNeeded = 0;   // minutes
    qint64 totalDone = 0;     // minutes, each task's done capped at its budget
    bool progressVisible = false;
    int progressMaximum = 0;
    int progressValue = 0;
    bool labelsVisible = false;
    QString doneText;         // for lblDone
    QString leftText;         // for lblLeft ("Everything done!" when nothing is left)
};

// The minutes in an ordering key: its last 10 characters read as a number,
// so a grouping prefix is ignored.
qint64 minutesOfKey(const QString &key);

// Builds the summary of the rows for the day shown; shortDate is the shown
// date in the system's short form (used when the day is not today).
DaySummary computeDaySummary(const QList<DaySummaryRow> &rows, const QDate &shown,
                             const QDate &today, const QString &shortDate);
// As above with the system locale's short date form.
DaySummary computeDaySummary(const QList<DaySummaryRow> &rows, const QDate &shown,
                             const QDate &today);

// The rows of a task grid model (check icon key and time keys by column).
QList<DaySummaryRow> daySummaryRows(const QAbstractItemModel &model);

} // namespace cdk
