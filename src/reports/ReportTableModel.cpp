#include "reports/ReportTableModel.h"

#include <QFont>

namespace cdk {

namespace {

// Broken at the space that leaves the longer line shortest.
QString onTwoLines(const QString &text)
{
    qsizetype best = -1;
    qsizetype bestLonger = text.size();
    for (qsizetype at = text.indexOf(QLatin1Char(' ')); at >= 0;
         at = text.indexOf(QLatin1Char(' '), at + 1)) {
        const qsizetype longer = qMax(at, text.size() - at - 1);
        if (longer < bestLonger) {
            best = at;
            bestLonger = longer;
        }
    }
    if (best < 0)
        return text;
    QString wrapped = text;
    wrapped[best] = QLatin1Char('\n');
    return wrapped;
}

} // namespace

void ReportTableModel::setTable(const QStringList &columns, const QList<QStringList> &rows,
                                const QList<QColor> &swatches, bool lastRowIsTotal)
{
    beginResetModel();
    m_columns = columns;
    m_rows = rows;
    m_swatches = swatches;
    m_lastRowIsTotal = lastRowIsTotal;
    endResetModel();
}

void ReportTableModel::setHeadersWrapped(bool wrapped)
{
    if (wrapped == m_headersWrapped)
        return;
    m_headersWrapped = wrapped;
    if (!m_columns.isEmpty())
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, int(m_columns.size()) - 1);
}

int ReportTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ReportTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant ReportTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const QStringList &row = m_rows[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return index.column() < row.size() ? row[index.column()] : QString();
    case Qt::TextAlignmentRole:
        return int(Qt::AlignVCenter | (index.column() == 0 ? Qt::AlignLeft : Qt::AlignRight));
    case Qt::DecorationRole:
        if (index.column() == 0 && index.row() < m_swatches.size()
            && m_swatches[index.row()].isValid())
            return m_swatches[index.row()];
        return {};
    case Qt::FontRole:
        if (m_lastRowIsTotal && index.row() == m_rows.size() - 1) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    default:
        return {};
    }
}

QVariant ReportTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_headersWrapped ? onTwoLines(m_columns[section]) : m_columns[section];
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignVCenter | (section == 0 ? Qt::AlignLeft : Qt::AlignRight));
    return {};
}

} // namespace cdk
