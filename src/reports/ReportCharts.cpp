#include "reports/ReportCharts.h"

#include "reports/ReportText.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QCoreApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QStackedBarSeries>
#include <QValueAxis>

#include <cmath>

namespace cdk {

namespace {

// Bars drawn in a colour close to the background would vanish: every bar is
// outlined in the text colour, faintly.
QPen outline(const QPalette &palette)
{
    QColor c = palette.color(QPalette::Text);
    c.setAlpha(110);
    return QPen(c, 0.8);
}

// Short enough to stand side by side under a month of days or half a year
// of weeks, where the axis would otherwise cut them to nothing; in the
// order, names and separators of the user's locale.
QString groupLabel(const DayFigures &group, DayGrouping grouping, qsizetype count)
{
    using namespace reporttext;
    const QLocale locale;
    const bool crowded = count > 12;
    switch (grouping) {
    case DayGrouping::Day:
        return crowded
            ? locale.toString(group.first, QStringLiteral("d"))
            : locale.toString(group.first, dateFormat(locale, QLocale::LongFormat, Weekday | Day));
    case DayGrouping::Week:
        return locale.toString(
            group.first,
            dateFormat(locale, crowded ? QLocale::ShortFormat : QLocale::LongFormat, Day | Month));
    case DayGrouping::Month:
        return locale.toString(group.first,
                               dateFormat(locale, QLocale::LongFormat, Month | ShortYear));
    }
    return {};
}

// A value axis from 0 to a little above max with round steps.
QValueAxis *valueAxis(double max, const QString &title)
{
    auto *axis = new QValueAxis;
    axis->setRange(0, max > 0 ? max * 1.05 : 1);
    axis->applyNiceNumbers();
    // Whole numbers as they are, and the halves and quarters of a short
    // day's steps with their fraction: "%.0f" showed 0.5 and 1 both as "1".
    // The precision is written out: a chart that writes its figures the
    // locale's way reads only formats that give one, and leaves the labels
    // empty for a bare "%g".
    axis->setLabelFormat(QStringLiteral("%.6g"));
    axis->setTitleText(title);
    return axis;
}

QChart *newChart()
{
    auto *chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    // The axes write their figures as the user's locale does ("0,5" in German).
    chart->setLocale(QLocale());
    chart->setLocalizeNumbers(true);
    return chart;
}

// A bar set the legend leaves out.
constexpr const char *kUnnamed = "cdkUnnamed";

// Names under the bars are drawn whole: upright while they fit side by side,
// turned to run upwards when the plot is too narrow for them, where Qt Charts
// would cut them to "H...".
void keepLabelsWhole(QChart *chart, QBarCategoryAxis *axis)
{
    axis->setTruncateLabels(false);
    QObject::connect(chart, &QChart::plotAreaChanged, axis, [axis](const QRectF &plot) {
        const QStringList names = axis->categories();
        if (names.isEmpty())
            return;
        const QFontMetricsF metrics(axis->labelsFont());
        qreal widest = 0;
        for (const QString &name : names)
            widest = qMax(widest, metrics.horizontalAdvance(name));
        const qreal room = plot.width() / qreal(names.size());
        // A letter's width apart, so that neighbours do not run together.
        const int angle = widest + metrics.averageCharWidth() <= room ? 0 : -90;
        if (axis->labelsAngle() != angle)
            axis->setLabelsAngle(angle);
    });
}

} // namespace

QColor categoryColour(const ReportCategory &category, qsizetype index)
{
    if (!category.exists)
        return QColor(0x9e, 0x9e, 0x9e);
    if (category.backColor >= 0) {
        const qint32 v = category.backColor;
        return QColor(v & 0xff, (v >> 8) & 0xff, (v >> 16) & 0xff);
    }
    // Steps of the golden angle keep neighbouring categories apart.
    return QColor::fromHsv(int(std::fmod(double(index) * 137.508, 360.0)), 150, 210);
}

QString legendText(const QChart &chart)
{
    QStringList entries;
    for (const QAbstractSeries *series : chart.series()) {
        const auto *bars = qobject_cast<const QAbstractBarSeries *>(series);
        if (!bars)
            continue;
        for (QBarSet *set : bars->barSets()) {
            if (set->property(kUnnamed).toBool())
                continue;
            // The swatch keeps to its name; lines break between entries.
            entries << QStringLiteral("<span style=\"color:%1\">&#9632;</span>&nbsp;%2")
                           .arg(set->color().name(),
                                set->label().toHtmlEscaped().replace(QLatin1Char(' '),
                                                                     QStringLiteral("&nbsp;")));
        }
    }
    return entries.join(QStringLiteral("&nbsp;&nbsp;&nbsp; "));
}

void applyPalette(QChart &chart, const QPalette &palette)
{
    const QColor text = palette.color(QPalette::Text);
    QColor grid = text;
    grid.setAlpha(45);
    chart.setBackgroundBrush(palette.color(QPalette::Base));
    chart.setBackgroundPen(Qt::NoPen);
    // Edge to edge, so that the legend under it reads as part of the chart.
    chart.setBackgroundRoundness(0);
    chart.layout()->setContentsMargins(0, 0, 0, 0);
    chart.setPlotAreaBackgroundVisible(false);
    chart.setTitleBrush(text);
    chart.legend()->setLabelColor(text);
    for (QAbstractAxis *axis : chart.axes()) {
        axis->setLabelsColor(text);
        axis->setTitleBrush(text);
        axis->setLinePenColor(grid);
        axis->setGridLineColor(grid);
        axis->setShadesVisible(false);
    }
}

QChart *makeDaysChart(const Report &report, const QList<DayFigures> &groups, DayGrouping grouping,
                      const QPalette &palette)
{
    QChart *chart = newChart();
    // Two series on one axis stand side by side within each day: the plan
    // pale on the left, what was done solid on the right.
    auto *plannedSeries = new QStackedBarSeries;
    auto *doneSeries = new QStackedBarSeries;
    plannedSeries->setBarWidth(0.85);
    doneSeries->setBarWidth(0.85);
    double highest = 0;
    for (const DayFigures &g : groups)
        highest = qMax(highest, double(qMax(g.planned, g.done)) / 60.0);
    for (qsizetype c = 0; c < report.categories.size(); ++c) {
        const QColor colour = categoryColour(report.categories[c], c);
        QColor pale = colour;
        pale.setAlpha(80);
        const QString name = reporttext::categoryName(report.categories[c]);
        auto *planned = new QBarSet(
            QCoreApplication::translate("ReportCharts", "%1 planned", "a category's planned time")
                .arg(name));
        auto *done = new QBarSet(name);
        for (const DayFigures &g : groups) {
            *planned << double(g.plannedByCategory[c]) / 60.0;
            *done << double(g.doneByCategory[c]) / 60.0;
        }
        planned->setColor(pale);
        planned->setBorderColor(colour);
        done->setColor(colour);
        done->setPen(outline(palette));
        plannedSeries->append(planned);
        doneSeries->append(done);
    }
    chart->addSeries(plannedSeries);
    chart->addSeries(doneSeries);

    QStringList labels;
    for (const DayFigures &g : groups)
        labels << groupLabel(g, grouping, groups.size());
    auto *days = new QBarCategoryAxis;
    days->append(labels);
    keepLabelsWhole(chart, days);
    if (groups.size() > 16) {
        QFont small = days->labelsFont();
        small.setPointSizeF(small.pointSizeF() * 0.8);
        days->setLabelsFont(small);
    }
    chart->addAxis(days, Qt::AlignBottom);
    QValueAxis *hours = valueAxis(highest, QCoreApplication::translate("ReportCharts", "hours"));
    chart->addAxis(hours, Qt::AlignLeft);
    for (QAbstractSeries *series : {static_cast<QAbstractSeries *>(plannedSeries),
                                    static_cast<QAbstractSeries *>(doneSeries)}) {
        series->attachAxis(days);
        series->attachAxis(hours);
    }

    // One legend entry per category, in its solid colour.
    for (QBarSet *set : plannedSeries->barSets())
        set->setProperty(kUnnamed, true);
    chart->legend()->setVisible(false); // drawn beside the chart, see legendText()
    switch (grouping) {
    case DayGrouping::Day:
        chart->setTitle(QCoreApplication::translate(
            "ReportCharts", "Planned (pale, left) and done (solid, right) per day"));
        break;
    case DayGrouping::Week:
        chart->setTitle(QCoreApplication::translate(
            "ReportCharts", "Planned (pale, left) and done (solid, right) per week"));
        break;
    case DayGrouping::Month:
        chart->setTitle(QCoreApplication::translate(
            "ReportCharts", "Planned (pale, left) and done (solid, right) per month"));
        break;
    }
    applyPalette(*chart, palette);
    return chart;
}

QChart *makeBudgetUseChart(const Report &report, const QPalette &palette)
{
    QChart *chart = newChart();
    auto *series = new QBarSeries;
    auto *doneOfPlan = new QBarSet(QCoreApplication::translate("ReportCharts", "Done of plan"));
    auto *median
        = new QBarSet(QCoreApplication::translate("ReportCharts", "Median budget use (finished)"));
    auto *whole = new QBarSet(
        QCoreApplication::translate("ReportCharts", "Finished with whole budget used"));
    QStringList names;
    for (qsizetype c = 0; c < report.categories.size(); ++c) {
        const CategoryFigures &f = report.byCategory[c];
        names << reporttext::categoryName(report.categories[c]);
        *doneOfPlan << f.doneShare().value_or(0.0) * 100.0;
        *median << f.medianShare.value_or(0.0) * 100.0;
        const int compared = f.usedWholeBudget + f.underBudget;
        *whole << (compared > 0 ? 100.0 * f.usedWholeBudget / compared : 0.0);
    }
    const QColor accent = palette.color(QPalette::Highlight);
    doneOfPlan->setColor(accent);
    median->setColor(QColor::fromHsv(accent.hsvHue(), accent.hsvSaturation() / 3,
                                     palette.color(QPalette::Base).lightness() > 128 ? 190 : 130));
    whole->setColor(QColor(0xe0, 0x8a, 0x1e));
    for (QBarSet *set : {doneOfPlan, median, whole}) {
        set->setPen(outline(palette));
        series->append(set);
    }
    chart->addSeries(series);
    auto *axis = new QBarCategoryAxis;
    axis->append(names);
    chart->addAxis(axis, Qt::AlignBottom);
    series->attachAxis(axis);
    keepLabelsWhole(chart, axis);
    QValueAxis *percent = valueAxis(100, QStringLiteral("%"));
    percent->setRange(0, 100);
    percent->setTickCount(5);
    chart->addAxis(percent, Qt::AlignLeft);
    series->attachAxis(percent);
    chart->legend()->setVisible(false); // drawn beside the chart, see legendText()
    chart->setTitle(QCoreApplication::translate("ReportCharts", "Budget use per category"));
    applyPalette(*chart, palette);
    return chart;
}

} // namespace cdk
