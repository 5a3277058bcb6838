#include "reports/ReportText.h"

#include "base/Functions.h"
#include "reports/Report.h"

#include <cmath>

namespace cdk::reporttext {

QString minutes(qint64 minutes)
{
    return FormatMinutes(qint32(qBound(qint64(INT_MIN), minutes, qint64(INT_MAX))), false);
}

QString share(std::optional<double> share)
{
    if (!share || !std::isfinite(*share))
        return QStringLiteral("\u2013");
    return QString::number(qint64(std::round(*share * 100.0))) + QLatin1Char('%');
}

QString spread(std::optional<double> low, std::optional<double> high)
{
    if (!low || !high)
        return QStringLiteral("\u2013");
    return share(low) + QStringLiteral("\u2013") + share(high);
}

QString dayLabel(const QDate &first, const QDate &last, const QLocale &locale)
{
    if (first == last)
        return locale.dayName(first.dayOfWeek(), QLocale::ShortFormat) + QLatin1Char(' ')
            + first.toString(Qt::ISODate);
    return first.toString(Qt::ISODate) + QStringLiteral(" \u2013 ") + last.toString(Qt::ISODate);
}

QStringList dayColumns()
{
    return {QStringLiteral("Day"), QStringLiteral("Planned"), QStringLiteral("Done"),
            QStringLiteral("Finished"), QStringLiteral("Left")};
}

QList<QStringList> dayRows(const Report &report, const QLocale &locale)
{
    QList<QStringList> rows;
    auto row = [](const QString &label, const DayFigures &d) {
        return QStringList {label, minutes(d.planned), minutes(d.done), QString::number(d.finished),
                            QString::number(d.left)};
    };
    for (const DayFigures &day : report.days)
        rows.append(row(dayLabel(day.first, day.last, locale), day));
    rows.append(row(QStringLiteral("Total"), report.total));
    return rows;
}

QStringList categoryColumns()
{
    return {QStringLiteral("Category"),     QStringLiteral("Planned"),
            QStringLiteral("Done"),         QStringLiteral("Done of plan"),
            QStringLiteral("Finished"),     QStringLiteral("Left"),
            QStringLiteral("Whole budget"), QStringLiteral("Median use"),
            QStringLiteral("Middle half"),  QStringLiteral("No budget")};
}

QList<QStringList> categoryRows(const Report &report)
{
    QList<QStringList> rows;
    for (qsizetype c = 0; c < report.categories.size(); ++c) {
        const CategoryFigures &f = report.byCategory[c];
        rows.append({report.categories[c].name, minutes(f.planned), minutes(f.done),
                     share(f.doneShare()), QString::number(f.finished), QString::number(f.left),
                     QString::number(f.usedWholeBudget), share(f.medianShare),
                     spread(f.lowerQuartileShare, f.upperQuartileShare),
                     QString::number(f.withoutBudget)});
    }
    return rows;
}

} // namespace cdk::reporttext

namespace cdk {

namespace {

// Text columns to the left, figures to the right, two spaces between.
QString alignedTable(const QStringList &columns, const QList<QStringList> &rows)
{
    QList<qsizetype> widths;
    for (const QString &c : columns)
        widths.append(c.size());
    for (const QStringList &row : rows) {
        for (qsizetype i = 0; i < row.size() && i < widths.size(); ++i)
            widths[i] = qMax(widths[i], row[i].size());
    }
    auto line = [&widths](const QStringList &cells) -> QString {
        QString text;
        for (qsizetype i = 0; i < cells.size(); ++i) {
            if (i > 0)
                text += QStringLiteral("  ");
            text += i == 0 ? cells[i].leftJustified(widths[i]) : cells[i].rightJustified(widths[i]);
        }
        while (text.endsWith(QLatin1Char(' ')))
            text.chop(1);
        return text + QLatin1Char('\n');
    };
    QString text = line(columns);
    for (const QStringList &row : rows)
        text += line(row);
    return text;
}

} // namespace

QString formatReportText(const Report &report, const QLocale &locale)
{
    QString text = QStringLiteral("Report ") + report.period.isoText() + QStringLiteral("\n\n");
    text += alignedTable(reporttext::dayColumns(), reporttext::dayRows(report, locale));
    text += QLatin1Char('\n');
    if (report.categories.isEmpty())
        return text + QStringLiteral("No tasks in this period.\n");
    QList<QStringList> categories = reporttext::categoryRows(report);
    // A category's name is anybody's text, and this goes to a terminal.
    for (QStringList &row : categories)
        row[0] = TerminalText(ShownText(row[0]));
    text += alignedTable(reporttext::categoryColumns(), categories);
    text += QStringLiteral("\nWhole budget: finished with all of the budget done (may have run "
                           "over). Median use and middle half: the share of the budget used by "
                           "the other finished tasks.\n");
    return text;
}

} // namespace cdk
