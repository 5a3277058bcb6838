#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QStringList>

namespace cdk {

// The figures beside a chart, as the report's text has them: names to the
// left, figures to the right, an optional colour swatch before a name and a
// bold last row for a total.
class ReportTableModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    void setTable(const QStringList &columns, const QList<QStringList> &rows,
                  const QList<QColor> &swatches, bool lastRowIsTotal);

    // Headers of several words on two lines, for a table short of width.
    void setHeadersWrapped(bool wrapped);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList m_columns;
    QList<QStringList> m_rows;
    QList<QColor> m_swatches;
    bool m_lastRowIsTotal = false;
    bool m_headersWrapped = false;
};

} // namespace cdk
