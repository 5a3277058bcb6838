#include "reports/FigureTable.h"

#include "reports/ReportTableModel.h"

#include <QEvent>
#include <QHeaderView>
#include <QScopedValueRollback>
#include <QScrollBar>

namespace cdk {

namespace {

// Rows the table asks room for under a chart; more scroll.
constexpr int kRowsShown = 6;

} // namespace

FigureTable::FigureTable(Columns columns, QWidget *parent)
    : QTableView(parent)
    , m_columns(columns)
{
    verticalHeader()->hide();
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    if (m_columns == Columns::Natural) {
        horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        connect(horizontalHeader(), &QHeaderView::sectionResized, this,
                [this] { updateGeometry(); });
    } else {
        // The widths are set here; a header drawn elided would defeat them.
        horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
        horizontalHeader()->setTextElideMode(Qt::ElideNone);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
}

void FigureTable::setModel(QAbstractItemModel *model)
{
    QTableView::setModel(model);
    if (m_columns == Columns::Fill && model) {
        connect(model, &QAbstractItemModel::modelReset, this, [this] {
            fitColumns();
            updateGeometry();
        });
    }
}

QSize FigureTable::sizeHint() const
{
    const QSize base = QTableView::sizeHint();
    const int frames = 2 * frameWidth();
    if (m_columns == Columns::Natural) {
        const int columns
            = horizontalHeader()->length() + verticalScrollBar()->sizeHint().width() + frames;
        return base.expandedTo(QSize(columns, 0));
    }
    // Under a chart: the header and a few rows, the chart takes the rest.
    const int rows = qMin(model() ? model()->rowCount() : 0, kRowsShown);
    const int rowHeight = verticalHeader()->defaultSectionSize();
    return QSize(base.width(), horizontalHeader()->sizeHint().height() + rows * rowHeight + frames);
}

bool FigureTable::viewportEvent(QEvent *event)
{
    const bool handled = QTableView::viewportEvent(event);
    // The viewport narrows when the vertical scroll bar appears, not only
    // when the table is resized.
    if (event->type() == QEvent::Resize && m_columns == Columns::Fill)
        fitColumns();
    return handled;
}

void FigureTable::fitColumns()
{
    auto *figures = qobject_cast<ReportTableModel *>(model());
    if (m_fitting || !figures || figures->columnCount() == 0)
        return;
    const QScopedValueRollback guard(m_fitting, true);
    QHeaderView *header = horizontalHeader();
    const int room = viewport()->width();
    QList<int> widths;
    int total = 0;
    auto measure = [&] {
        widths.clear();
        total = 0;
        for (int c = 0; c < figures->columnCount(); ++c) {
            widths << qMax(header->sectionSizeHint(c), sizeHintForColumn(c));
            total += widths.last();
        }
    };
    figures->setHeadersWrapped(false);
    measure();
    if (total > room) {
        figures->setHeadersWrapped(true);
        measure();
    }
    if (total > room) {
        // The names give way: their cells are elided, their header is not.
        const int spare = widths[0] - header->sectionSizeHint(0);
        widths[0] -= qMin(spare, total - room);
    } else {
        widths[0] += room - total; // the names take what is left over
    }
    for (int c = 0; c < widths.size(); ++c)
        header->resizeSection(c, widths[c]);
}

} // namespace cdk
