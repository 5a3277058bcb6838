#pragma once

// Whether the words of the Reports window are drawn whole: its tables'
// headers and everything its charts say. Each returns what is cut, empty
// when nothing is.

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGraphicsTextItem>
#include <QHeaderView>
#include <QLabel>
#include <QStyle>
#include <QTableView>
#include <QTextDocument>

namespace cdk::test {

// Every header reads whole in its section: on one line or two, never cut.
inline QStringList cutHeaders(const QTableView *table)
{
    QStringList cut;
    const QHeaderView *header = table->horizontalHeader();
    const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int c = 0; c < header->count(); ++c) {
        const QString text = table->model()->headerData(c, Qt::Horizontal).toString();
        const QSize needed = header->fontMetrics().size(0, text);
        if (needed.width() + margins > header->sectionSize(c) || needed.height() > header->height())
            cut << text;
    }
    return cut;
}

// What a chart shows in words, and the names it must show whole: each bar
// set the legend names, each category under the bars, the title. A text
// is "drawn" when a visible item of the chart or a label beside it holds it.
inline QStringList unreadableChartText(const QChartView *view)
{
    QStringList problems;
    const QChart *chart = view->chart();
    const QRectF shown = view->mapToScene(view->viewport()->rect()).boundingRect();
    QStringList drawn;
    QList<QRectF> axisLabels;
    QList<QGraphicsItem *> items = chart->childItems();
    while (!items.isEmpty()) {
        QGraphicsItem *item = items.takeFirst();
        items << item->childItems();
        auto *text = qobject_cast<QGraphicsTextItem *>(item->toGraphicsObject());
        if (!text || !text->isVisible() || text->toPlainText().isEmpty())
            continue;
        const QString plain = text->toPlainText();
        const QRectF where = text->sceneBoundingRect();
        drawn << plain;
        if (plain.contains(QStringLiteral("...")) || plain.contains(QChar(0x2026)))
            problems << QStringLiteral("elided: ") + plain;
        if (!shown.contains(where))
            problems << QStringLiteral("outside the view: ") + plain;
        if (where.top() >= chart->plotArea().bottom()) {
            for (const QRectF &other : std::as_const(axisLabels)) {
                if (other.intersects(where.adjusted(1, 1, -1, -1)))
                    problems << QStringLiteral("on top of another label: ") + plain;
            }
            axisLabels << where;
        }
    }
    for (const QLabel *label : view->parentWidget()->findChildren<QLabel *>()) {
        if (!label->isVisible())
            continue;
        QTextDocument document;
        document.setHtml(label->text());
        drawn << document.toPlainText().simplified();
        if (label->hasHeightForWidth() && label->height() < label->heightForWidth(label->width()))
            problems << QStringLiteral("cut label: ") + label->text();
    }
    const QString everything = drawn.join(u'\n');
    QStringList names {chart->title()};
    // Each name under the bars is a text of its own.
    for (QAbstractAxis *axis : chart->axes(Qt::Horizontal)) {
        if (auto *bars = qobject_cast<QBarCategoryAxis *>(axis)) {
            for (const QString &name : bars->categories()) {
                if (!drawn.contains(name))
                    problems << QStringLiteral("not under its bar: ") + name;
            }
        }
    }
    for (const QAbstractSeries *series : chart->series()) {
        for (const QBarSet *set : static_cast<const QAbstractBarSeries *>(series)->barSets()) {
            if (!set->label().endsWith(QStringLiteral(" planned")))
                names << set->label();
        }
    }
    for (const QString &name : std::as_const(names)) {
        if (!everything.contains(name))
            problems << QStringLiteral("not shown whole: ") + name;
    }
    return problems;
}

} // namespace cdk::test
