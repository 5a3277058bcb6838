#include "view/TaskGridView.h"

#include "settings/Settings.h"
#include "view/TaskGridModel.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace cdk {

TaskGridView::TaskGridView(QWidget *parent)
    : QTableView(parent)
{
    setObjectName(QStringLiteral("SGrid"));
    setAccessibleName(tr("Tasks of the day shown"));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Rows are chosen with the arrow keys; Tab leaves the grid for the next
    // control, as a keyboard user expects, instead of walking its cells.
    setTabKeyNavigation(false);
    setSortingEnabled(false); // the grid sorts on its own keys
    setWordWrap(false);
    setAlternatingRowColors(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    // Until the settings ask for a font size, rows are as high as that rule
    // makes them for the font the grid starts with.
    const int points = font().pointSize();
    verticalHeader()->setDefaultSectionSize(points >= 8 && points <= 16
                                                ? GridRowHeightForFontSize(points)
                                                : fontMetrics().height() + 8);

    QHeaderView *header = horizontalHeader();
    header->setSectionsMovable(true);
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    // No stretching: a stretched width would be saved as the column's own
    // and come back wrong once the columns are reordered.
    header->setStretchLastSection(false);
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    // The check-box column is 20 pixels wide, narrower than some styles allow.
    header->setMinimumSectionSize(16);

    connect(header, &QHeaderView::sectionClicked, this,
            [this](int logical) { Q_EMIT headerClicked(logical + 1); });
    connect(header, &QHeaderView::customContextMenuRequested, this,
            [this, header](const QPoint &pos) { Q_EMIT headerRightClicked(header->mapToGlobal(pos)); });
    connect(header, &QHeaderView::sectionResized, this, [this](int logical, int, int size) {
        if (m_fitting)
            return;
        if (logical == ColSubject - 1 && size > 0)
            m_subjectWidth = size;
        if (!m_columnsMuted)
            Q_EMIT columnsChanged();
        fitSubjectColumn();
    });
    connect(header, &QHeaderView::sectionMoved, this, [this](int, int, int) {
        if (!m_columnsMuted)
            Q_EMIT columnsChanged();
    });
}

void TaskGridView::fitSubjectColumn()
{
    QHeaderView *header = horizontalHeader();
    const int subject = ColSubject - 1;
    if (m_fitting || header->count() <= subject || header->isSectionHidden(subject))
        return;
    int others = 0;
    for (int logical = 0; logical < header->count(); ++logical) {
        if (logical != subject && !header->isSectionHidden(logical))
            others += header->sectionSize(logical);
    }
    const int own = m_subjectWidth > 0 ? m_subjectWidth : header->sectionSize(subject);
    // The subjects take the width the other columns leave, in a narrow
    // window (a small or strongly scaled screen) too: a scroll bar would hide
    // the columns on the right. Only below a few words' width do they keep
    // that much and let the grid scroll.
    const int readable = qMin(own, fontMetrics().averageCharWidth() * 12);
    const int wanted = qMax(readable, viewport()->width() - others);
    if (wanted == header->sectionSize(subject))
        return;
    m_fitting = true;
    header->resizeSection(subject, wanted);
    m_fitting = false;
}

void TaskGridView::withOwnColumnWidths(const std::function<void()> &save)
{
    QHeaderView *header = horizontalHeader();
    const int subject = ColSubject - 1;
    const int shown = header->sectionSize(subject);
    m_fitting = true;
    if (m_subjectWidth > 0)
        header->resizeSection(subject, m_subjectWidth);
    save();
    header->resizeSection(subject, shown);
    m_fitting = false;
}

bool TaskGridView::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::Resize)
        fitSubjectColumn();
    return QTableView::viewportEvent(event);
}

int TaskGridView::selectedRow() const
{
    const QItemSelectionModel *sel = selectionModel();
    if (!sel)
        return 0;
    const QModelIndex current = sel->currentIndex();
    if (current.isValid() && sel->isRowSelected(current.row(), {}))
        return current.row() + 1;
    const QList<int> rows = selectedRows();
    return rows.isEmpty() ? 0 : rows.first();
}

QList<int> TaskGridView::selectedRows() const
{
    QList<int> rows;
    const QItemSelectionModel *sel = selectionModel();
    if (!sel || !model())
        return rows;
    // A row counts when its first cell is selected.
    for (const QModelIndex &idx : sel->selectedIndexes()) {
        if (idx.column() == 0)
            rows.append(idx.row() + 1);
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TaskGridView::selectRow1Based(int row, bool addToSelection)
{
    if (!model() || row < 1 || row > model()->rowCount())
        return;
    const QModelIndex idx = model()->index(row - 1, 0);
    auto flags = QItemSelectionModel::Rows
                 | (addToSelection ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect);
    selectionModel()->setCurrentIndex(idx, flags);
}

void TaskGridView::extendSelectionTo(int lastRow)
{
    const int from = selectedRow();
    if (from == 0)
        return;
    const int top = qMin(from, lastRow) - 1;
    const int bottom = qMax(from, lastRow) - 1;
    const int lastColumn = model()->columnCount() - 1;
    selectionModel()->select(QItemSelection(model()->index(top, 0), model()->index(bottom, lastColumn)),
                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void TaskGridView::keyPressEvent(QKeyEvent *event)
{
    const int rows = model() ? model()->rowCount() : 0;
    const auto mods = event->modifiers();
    const bool ctrl = mods.testFlag(Qt::ControlModifier);
    const bool shiftOrCtrl = ctrl || mods.testFlag(Qt::ShiftModifier);

    switch (event->key()) {
    case Qt::Key_Space:
        Q_EMIT spacePressed();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Q_EMIT enterPressed();
        break;
    case Qt::Key_Delete:
        Q_EMIT deletePressed();
        break;
    case Qt::Key_C:
        if (ctrl)
            Q_EMIT copyPressed();
        else
            QTableView::keyPressEvent(event);
        break;
    case Qt::Key_A:
        if (ctrl)
            selectAll();
        else
            QTableView::keyPressEvent(event);
        break;
    case Qt::Key_Home:
        if (!shiftOrCtrl) {
            QTableView::keyPressEvent(event);
        } else if (rows >= 2 && selectedRow() > 1) {
            extendSelectionTo(1);
        }
        break;
    case Qt::Key_End:
        if (!shiftOrCtrl) {
            QTableView::keyPressEvent(event);
        } else if (rows >= 2 && selectedRow() >= 1 && selectedRow() < rows) {
            extendSelectionTo(rows);
        }
        break;
    default:
        QTableView::keyPressEvent(event);
        break;
    }
    event->accept();
    Q_EMIT keyHandled();
}

void TaskGridView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && event->modifiers().testFlag(Qt::AltModifier)) {
        event->accept();
        Q_EMIT altLeftPressed();
        return;
    }
    QTableView::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QModelIndex idx = indexAt(event->position().toPoint());
    if (idx.isValid() && idx.column() == 0)
        Q_EMIT checkboxClicked(idx.row() + 1);
}

void TaskGridView::mouseReleaseEvent(QMouseEvent *event)
{
    QTableView::mouseReleaseEvent(event);
    if (event->button() == Qt::RightButton) {
        Q_EMIT rightReleased(event->globalPosition().toPoint());
        return;
    }
    if (model() && model()->rowCount() > 0)
        return;
    if (m_lastRelease.isValid() && m_lastRelease.elapsed() < doubleReleaseMs) {
        m_lastRelease.invalidate();
        Q_EMIT emptyGridDoubleRelease();
    } else {
        m_lastRelease.start();
    }
}

void TaskGridView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QModelIndex idx = indexAt(event->position().toPoint());
    if (idx.isValid())
        Q_EMIT rowDoubleClicked(idx.row() + 1);
}

} // namespace cdk
