#pragma once

#include <QTableView>

namespace cdk {

// A table of figures beside or under a chart, in one of two shapes.
// Natural: every column as wide as its contents, and the table asks for all
// of that width, so a splitter gives it room before the chart.
// Fill: the columns share the width the table is given, without a
// horizontal scroll bar: headers of several words break onto two lines, and
// when that is not enough the names in the first column are cut, never a
// header or a figure.
class FigureTable final : public QTableView
{
    Q_OBJECT

public:
    enum class Columns { Natural, Fill };

    explicit FigureTable(Columns columns, QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model) override;
    QSize sizeHint() const override;

protected:
    bool viewportEvent(QEvent *event) override;

private:
    void fitColumns();

    Columns m_columns;
    bool m_fitting = false;
};

} // namespace cdk
