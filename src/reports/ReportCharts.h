#pragma once

#include "reports/Report.h"

#include <QColor>
#include <QList>
#include <QPalette>

class QChart;

namespace cdk {

// The colour a category's bars are drawn in: its own background colour when
// it has one, else a hue of its own; "(none)" is grey.
QColor categoryColour(const ReportCategory &category, qsizetype index);

// Planned against done per day (or week, or month), each stacked by
// category: the plan pale on the left, what was done solid on the right.
QChart *makeDaysChart(const Report &report, const QList<DayFigures> &groups, DayGrouping grouping,
                      const QPalette &palette);
// Per category, in percent: done of what was planned, the median share of
// the budget used by finished tasks, and how many finished tasks used their
// whole budget.
QChart *makeBudgetUseChart(const Report &report, const QPalette &palette);

// The legend of a chart as rich text: a swatch in its colour and the name
// of each series part the chart names. Shown in a word-wrapped label under
// the chart, it wraps between entries where the chart's own legend, one
// row wide, would cut every name to a few letters.
QString legendText(const QChart &chart);

// Colours every part of the chart from the palette, so that it reads in a
// light and a dark theme alike.
void applyPalette(QChart &chart, const QPalette &palette);

} // namespace cdk
