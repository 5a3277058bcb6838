#include "reports/Report.h"

#include "base/Log.h"
#include "core/DaySummary.h"
#include "reports/UndatedLists.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"

#include <QHash>

#include <algorithm>
#include <cmath>

namespace cdk {

namespace {

void resizeByCategory(DayFigures &figures, qsizetype categories)
{
    figures.plannedByCategory.fill(0, categories);
    figures.doneByCategory.fill(0, categories);
}

void add(DayFigures &into, const DayFigures &from)
{
    into.planned += from.planned;
    into.done += from.done;
    into.finished += from.finished;
    into.left += from.left;
    for (qsizetype c = 0; c < from.plannedByCategory.size(); ++c) {
        into.plannedByCategory[c] += from.plannedByCategory[c];
        into.doneByCategory[c] += from.doneByCategory[c];
    }
}

// Keeps the category slots that hold any task, in their order.
void dropUnusedCategories(Report &report, const QList<QList<double>> &shares)
{
    QList<qsizetype> kept;
    for (qsizetype c = 0; c < report.categories.size(); ++c) {
        const CategoryFigures &f = report.byCategory[c];
        if (f.finished + f.left > 0)
            kept.append(c);
    }
    auto pick = [&kept](const auto &all) {
        std::remove_cvref_t<decltype(all)> picked;
        picked.reserve(kept.size());
        for (qsizetype c : kept)
            picked.append(all[c]);
        return picked;
    };
    for (qsizetype i = 0; i < kept.size(); ++i) {
        const QList<double> &sorted = shares[kept[i]];
        CategoryFigures &f = report.byCategory[kept[i]];
        f.medianShare = quantile(sorted, 0.5);
        f.lowerQuartileShare = quantile(sorted, 0.25);
        f.upperQuartileShare = quantile(sorted, 0.75);
    }
    report.categories = pick(report.categories);
    report.byCategory = pick(report.byCategory);
    for (DayFigures &day : report.days) {
        day.plannedByCategory = pick(day.plannedByCategory);
        day.doneByCategory = pick(day.doneByCategory);
    }
    report.total.plannedByCategory = pick(report.total.plannedByCategory);
    report.total.doneByCategory = pick(report.total.doneByCategory);
}

} // namespace

std::optional<double> quantile(const QList<double> &sorted, double q)
{
    if (sorted.isEmpty())
        return std::nullopt;
    const double position = q * double(sorted.size() - 1);
    const auto below = qsizetype(std::floor(position));
    const auto above = qMin(below + 1, sorted.size() - 1);
    const double weight = position - double(below);
    return sorted[below] + (sorted[above] - sorted[below]) * weight;
}

Report computeReport(TaskStore &store, const ReportPeriod &period)
{
    Report report;
    report.period = period;
    if (!period.isValid())
        return report;

    QHash<qint32, qsizetype> slotOf;
    for (const CategoryRecord &c : store.categories()) {
        // A category number listed twice keeps its first name, as lookups do.
        if (slotOf.contains(c.ID))
            continue;
        slotOf.insert(c.ID, report.categories.size());
        report.categories.append({c.ID, c.Name, c.BackColor, true});
    }
    const qsizetype noneSlot = report.categories.size();
    report.categories.append({-1, QStringLiteral("(none)"), -1, false});
    const qsizetype slots = report.categories.size();
    report.byCategory.resize(slots);
    QList<QList<double>> shares(slots);

    report.days.resize(period.dayCount());
    for (qsizetype d = 0; d < report.days.size(); ++d) {
        DayFigures &day = report.days[d];
        day.first = day.last = period.first.addDays(d);
        resizeByCategory(day, slots);
    }

    warnOfListsWithoutDay(store, lcReports);
    store.forEachTaskOfDays(
        period.first, period.last, false, [&](const QDate &date, const TaskRecord &task) {
            DayFigures &day = report.days[period.first.daysTo(date)];
            const qsizetype slot = slotOf.value(task.Category, noneSlot);
            CategoryFigures &category = report.byCategory[slot];
            const qint64 planned = task.Duration;
            const qint64 done = cappedTimeDone(task);
            day.planned += planned;
            day.done += done;
            day.plannedByCategory[slot] += planned;
            day.doneByCategory[slot] += done;
            category.planned += planned;
            category.done += done;
            if (task.State != TaskState::Finished) {
                ++day.left;
                ++category.left;
                return;
            }
            ++day.finished;
            ++category.finished;
            if (task.Duration <= 0) {
                ++category.withoutBudget;
            } else if (task.FinishedDuration >= task.Duration) {
                ++category.usedWholeBudget;
            } else {
                ++category.underBudget;
                shares[slot].append(
                    qMax(0.0, double(task.FinishedDuration) / double(task.Duration)));
            }
        });

    for (QList<double> &values : shares)
        std::sort(values.begin(), values.end());
    report.total.first = period.first;
    report.total.last = period.last;
    resizeByCategory(report.total, slots);
    for (const DayFigures &day : std::as_const(report.days))
        add(report.total, day);
    dropUnusedCategories(report, shares);
    return report;
}

DayGrouping groupingForChart(const ReportPeriod &period)
{
    if (period.dayCount() <= 31)
        return DayGrouping::Day;
    if (period.dayCount() <= 26 * 7)
        return DayGrouping::Week;
    return DayGrouping::Month;
}

QList<DayFigures> groupDays(const Report &report, DayGrouping grouping, const QLocale &locale)
{
    if (grouping == DayGrouping::Day)
        return report.days;
    QList<DayFigures> groups;
    for (const DayFigures &day : report.days) {
        const ReportPeriod bucket = grouping == DayGrouping::Week
            ? ReportPeriod::week(day.first, locale)
            : ReportPeriod::month(day.first);
        if (groups.isEmpty() || groups.last().last < day.first) {
            DayFigures group;
            group.first = day.first;
            group.last = qMin(bucket.last, report.period.last);
            resizeByCategory(group, report.categories.size());
            groups.append(group);
        }
        add(groups.last(), day);
    }
    return groups;
}

} // namespace cdk
