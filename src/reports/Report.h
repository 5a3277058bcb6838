#pragma once

#include "reports/ReportPeriod.h"

#include <QDate>
#include <QList>
#include <QLocale>
#include <QString>

#include <optional>

namespace cdk {

class TaskStore;

// A category as reports group by it. Tasks whose category was deleted are
// gathered under one entry named "(none)"; the window shows that name in the
// user's language (reporttext::categoryName).
struct ReportCategory
{
    qint32 id = -1;
    QString name;
    qint32 backColor = -1; // R + 256 G + 65536 B; -1: no colour of its own
    bool exists = false; // false for "(none)"
};

// The figures of one day, or of a week or month when days are grouped.
// Times in minutes; done is each task's time done capped at its budget.
struct DayFigures
{
    QDate first;
    QDate last;
    qint64 planned = 0;
    qint64 done = 0;
    int finished = 0;
    int left = 0;
    // Parallel to Report::categories.
    QList<qint64> plannedByCategory;
    QList<qint64> doneByCategory;

    int tasks() const { return finished + left; }
};

// How the budgets of a category held up. The tracker stops counting when a
// budget is used up, so a finished task with its whole budget done may have
// run over; for the others the share of the budget they used tells how
// generous the estimate was.
struct CategoryFigures
{
    qint64 planned = 0;
    qint64 done = 0;
    int finished = 0;
    int left = 0;
    int usedWholeBudget = 0; // finished, whole budget done (budget above 0)
    int withoutBudget = 0; // finished with a budget of 0: nothing to compare against
    int underBudget = 0; // finished with part of the budget left
    // Share (0..1) of the budget used by the tasks counted in underBudget;
    // nothing when there are none.
    std::optional<double> medianShare;
    std::optional<double> lowerQuartileShare;
    std::optional<double> upperQuartileShare;

    // Done against planned (0..1), nothing for a plan of 0 minutes.
    std::optional<double> doneShare() const
    {
        return planned > 0 ? std::optional<double>(double(done) / double(planned)) : std::nullopt;
    }
};

struct Report
{
    ReportPeriod period;
    // The categories with tasks in the period, in the category table's order,
    // "(none)" last.
    QList<ReportCategory> categories;
    QList<CategoryFigures> byCategory; // parallel to categories
    QList<DayFigures> days; // every day of the period, empty ones too
    DayFigures total;

    bool isEmpty() const { return total.tasks() == 0; }
};

// Reads the tasks of the period's day lists (templates are no day's tasks).
// Throws StoreError when the database cannot be read.
Report computeReport(TaskStore &store, const ReportPeriod &period);

// Days gathered into weeks (starting on the locale's first day) or calendar
// months, cut at the period's ends.
enum class DayGrouping { Day, Week, Month };
QList<DayFigures> groupDays(const Report &report, DayGrouping grouping, const QLocale &locale);
// Days up to a month, weeks up to half a year, months beyond: as many bars
// as a chart can show side by side.
DayGrouping groupingForChart(const ReportPeriod &period);

// Quantile q (0..1) of sorted values, linear between neighbours; nothing for
// no values.
std::optional<double> quantile(const QList<double> &sorted, double q);

} // namespace cdk
