#include "view/TaskGrid.h"

#include "store/Vocabulary.h"

#include "base/Log.h"
#include "core/ShownDay.h"
#include "core/TaskOperations.h"
#include "settings/GridColumns.h"
#include "store/StoreError.h"
#include "view/TaskGridView.h"

#include <QHash>
#include <QHeaderView>
#include <QStyle>
#include <QItemSelectionModel>
#include <QSet>

#include <utility>

namespace cdk {

namespace {

QString hiddenKey(int column)
{
    return QStringLiteral("Col") + QString::number(column) + QStringLiteral("Hidden");
}

} // namespace

TaskGrid::TaskGrid(TaskOperations &operations, clsSettings &settings, ShownDay &day,
                   TaskGridView *view, QObject *parent)
    : QObject(parent)
    , m_operations(operations)
    , m_settings(settings)
    , m_day(day)
    , m_view(view)
    , m_columnTags(GridColumnCount)
{
    Q_ASSERT(view);
    m_view->setModel(&m_model);
    m_model.setBaseFont(m_view->font());
    // Every change of the selection, muted for the window or not, reaches
    // the shown day; a re-sort changes its order.
    QItemSelectionModel *selection = m_view->selectionModel();
    connect(selection, &QItemSelectionModel::selectionChanged, this, &TaskGrid::publishSelection);
    connect(selection, &QItemSelectionModel::currentChanged, this, &TaskGrid::publishSelection);
    connect(&m_model, &QAbstractItemModel::layoutChanged, this, &TaskGrid::publishSelection);
    connect(&m_model, &QAbstractItemModel::modelReset, this, &TaskGrid::publishSelection);
    connect(&m_operations, &TaskOperations::listChanged, this, &TaskGrid::onListChanged);
    connect(&m_operations, &TaskOperations::taskChanged, this, &TaskGrid::onTaskChanged);
    // Nothing read from the database that was replaced stays on screen, not
    // even the selection.
    connect(&m_operations, &TaskOperations::databaseReplaced, this,
            [this] { showList(m_listKey); });
}

// ---- Columns and sorting

void TaskGrid::SetUpGridColumns()
{
    m_view->setColumnSignalsMuted(true);
    QHeaderView *header = m_view->horizontalHeader();
    for (int c = 1; c <= GridColumnCount; ++c) {
        m_view->setColumnHidden(c - 1, false);
        header->setSectionResizeMode(c - 1, c == ColCheckbox ? QHeaderView::Fixed
                                                             : QHeaderView::Interactive);
        header->resizeSection(c - 1, defaultWidths[c - 1]);
    }
    // The state and priority columns start wide enough for their longest name
    // (the priority's beside its icon) in the font the grid has, which may be
    // wider than the one the default widths were measured in, and in the
    // user's language. A width the user chose still wins.
    const QStyle *style = m_view->style();
    const int margins = 4 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_view) + 1);
    const auto longest = [this](const QStringList &names) {
        int widest = 0;
        for (const QString &name : names)
            widest = qMax(widest, m_view->fontMetrics().horizontalAdvance(name));
        return widest;
    };
    const int stateNeeded = longest(TaskStateLabels()) + margins;
    if (stateNeeded > defaultWidths[ColTaskState - 1])
        header->resizeSection(ColTaskState - 1, stateNeeded);
    const int priorityNeeded = longest(PriorityLabelsHighestFirst())
        + style->pixelMetric(QStyle::PM_SmallIconSize, nullptr, m_view) + margins + 6;
    if (priorityNeeded > defaultWidths[ColPriority - 1])
        header->resizeSection(ColPriority - 1, priorityNeeded);
    LoadSGridColumns(m_settings, header, gridName());
    // The check-box column keeps its width whatever was stored.
    header->resizeSection(ColCheckbox - 1, defaultWidths[ColCheckbox - 1]);
    for (int c = ColTimeNeeded; c <= ColPriority; ++c)
        m_view->setColumnHidden(c - 1, columnHiddenSetting(c));
    m_view->setColumnSignalsMuted(false);
}

void TaskGrid::LoadSortSettings()
{
    const qint32 column = m_settings.LoadLong(SettingsSection::Sort, QStringLiteral("Column"));
    m_sortColumn = (column < 1 || column > GridColumnCount) ? int(ColSubject) : int(column);
    m_sortAscending = m_settings.LoadLong(SettingsSection::Sort, QStringLiteral("Descending")) == 0;
    m_columnTags[m_sortColumn - 1] = m_sortAscending ? QString() : QStringLiteral("DESC");
    m_model.setSortIndicator(m_sortColumn, m_sortAscending);
}

void TaskGrid::SaveSortSettings()
{
    m_settings.SaveNum(SettingsSection::Sort, QStringLiteral("Column"), m_sortColumn);
    m_settings.Save(SettingsSection::Sort, QStringLiteral("Descending"),
                    m_sortAscending ? QStringLiteral("0") : QStringLiteral("1"));
}

QString TaskGrid::columnTag(int column) const
{
    if (column < 1 || column > GridColumnCount)
        return {};
    return m_columnTags.at(column - 1);
}

void TaskGrid::SortByHeader(int column)
{
    if (column < 1 || column > GridColumnCount)
        return;
    const QString tag = m_columnTags.at(column - 1).isEmpty() ? QStringLiteral("DESC") : QString();
    m_columnTags[column - 1] = tag;
    m_sortColumn = column;
    m_sortAscending = tag.isEmpty();
    SaveSortSettings();
    SortTaskGrid(false);
    m_view->setFocus(Qt::OtherFocusReason);
}

void TaskGrid::SortTaskGrid(bool redraw)
{
    m_model.setSortIndicator(m_sortColumn, m_sortAscending);
    // The grouping prefixes depend on the direction and on the settings.
    m_model.setDisplay(m_settings.flags(), m_sortAscending);
    m_columnTags[m_sortColumn - 1] = m_sortAscending ? QString() : QStringLiteral("DESC");
    m_model.sortRows(m_sortColumn, m_sortAscending);
    if (redraw)
        setRedraw(true);
}

void TaskGrid::setColumnHidden(int column, bool hidden)
{
    if (!canHideColumn(column))
        return;
    m_view->setColumnHidden(column - 1, hidden);
    m_settings.Save(SettingsSection::Columns, hiddenKey(column),
                    hidden ? QStringLiteral("1") : QStringLiteral("0"));
}

bool TaskGrid::isColumnHidden(int column) const
{
    return column >= 1 && column <= GridColumnCount && m_view->isColumnHidden(column - 1);
}

bool TaskGrid::columnHiddenSetting(int column)
{
    return canHideColumn(column)
           && m_settings.LoadLong(SettingsSection::Columns, hiddenKey(column)) == 1;
}

void TaskGrid::saveColumnLayout()
{
    m_view->withOwnColumnWidths(
        [this] { SaveSGridColumns(m_settings, m_view->horizontalHeader(), gridName()); });
}

void TaskGrid::applyAppearance(const GridAppearance &appearance)
{
    if (appearance.fontSize >= 8 && appearance.fontSize <= 16) {
        QFont font = m_view->font();
        font.setPointSize(appearance.fontSize);
        m_view->setFont(font);
        m_model.setBaseFont(font);
        if (appearance.rowHeight > 0)
            m_view->verticalHeader()->setDefaultSectionSize(appearance.rowHeight);
    }
    m_view->setShowGrid(appearance.showGridLines);
}

// ---- Rows

void TaskGrid::setRedraw(bool on)
{
    m_view->setUpdatesEnabled(on);
}

void TaskGrid::showList(const QString &listKey)
{
    fill(listKey, {}, 0);
}

void TaskGrid::reload()
{
    const QModelIndex current = m_view->selectionModel()->currentIndex();
    fill(m_listKey, selectedTaskIds(), current.isValid() ? taskIdOfRow(current.row() + 1) : 0);
}

void TaskGrid::fill(const QString &listKey, const QList<qint32> &keepIds, qint32 currentId)
{
    QList<TaskRecord> tasks;
    QHash<qint32, CategoryLook> categories;
    try {
        tasks = m_operations.tasksOfList(listKey);
        // One look at the category table for the whole day instead of one per row.
        for (const CategoryRecord &c : m_operations.categories())
            categories.insert(c.ID, {c.Name, std::max(-1, c.ForeColor), std::max(-1, c.BackColor)});
        m_readFailing = false;
    } catch (const StoreError &e) {
        // An unreadable list shows empty rather than stale, and says why.
        qCWarning(lcView) << "list" << listKey << "cannot be read:" << e.message();
        tasks.clear();
        categories.clear();
        if (!std::exchange(m_readFailing, true))
            Q_EMIT listUnreadable(e.code(), e.message());
    }

    setRedraw(false);
    m_filling = true;
    m_listKey = listKey;
    m_model.setDisplay(m_settings.flags(), m_sortAscending);
    m_model.setTasks(std::move(tasks), std::move(categories));
    SortTaskGrid(false);

    const QSet<qint32> wanted(keepIds.cbegin(), keepIds.cend());
    QItemSelection selection;
    int currentRow = -1;
    for (int r = 0; r < m_model.rowCount() && !wanted.isEmpty(); ++r) {
        const qint32 id = m_model.record(r).ID;
        if (!wanted.contains(id))
            continue;
        selection.select(m_model.index(r, 0), m_model.index(r, GridColumnCount - 1));
        // The row that had the focus keeps it; else the topmost kept row.
        if (currentRow < 0 || id == currentId)
            currentRow = r;
    }
    QItemSelectionModel *sel = m_view->selectionModel();
    if (currentRow >= 0) {
        sel->setCurrentIndex(m_model.index(currentRow, 0), QItemSelectionModel::NoUpdate);
        sel->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    } else if (m_model.rowCount() > 0) {
        m_view->selectRow1Based(1, false);
    }
    setRedraw(true);
    m_filling = false;
    publishSelection();
    qCDebug(lcView) << "list" << listKey << "shown with" << m_model.rowCount() << "rows";
    Q_EMIT contentChanged();
}

void TaskGrid::onListChanged(const QString &listKey)
{
    if (listKey == m_listKey)
        reload();
}

void TaskGrid::onTaskChanged(const QString &listKey, qint32 id)
{
    if (listKey != m_listKey || m_model.rowOfId(id) < 0)
        return;
    std::optional<TaskRecord> task;
    try {
        task = m_operations.task(listKey, id);
    } catch (const StoreError &e) {
        qCWarning(lcView) << "task" << id << "cannot be read:" << e.message();
    }
    if (!task) {
        reload();
        return;
    }
    m_model.updateTask(*task);
    // The selection is held by persistent indexes, so it moves with its rows.
    SortTaskGrid(false);
    Q_EMIT contentChanged();
}

qint32 TaskGrid::taskIdOfRow(int row) const
{
    if (row < 1 || row > m_model.rowCount())
        return 0;
    return m_model.record(row - 1).ID;
}

int TaskGrid::rowOfTask(qint32 id) const
{
    return m_model.rowOfId(id) + 1;
}

QString TaskGrid::cellText(int row, int column) const
{
    return m_model.cellText(row - 1, column);
}

QString TaskGrid::cellKey(int row, int column) const
{
    return m_model.cellKey(row - 1, column);
}

QString TaskGrid::cellIconKey(int row, int column) const
{
    return m_model.cellIconKey(row - 1, column);
}

// ---- Selection

QList<int> TaskGrid::selectedRows() const
{
    return m_view->selectedRows();
}

QList<qint32> TaskGrid::selectedTaskIds() const
{
    QList<qint32> ids;
    for (int row : selectedRows())
        ids.append(taskIdOfRow(row));
    return ids;
}

QList<TaskRecord> TaskGrid::selectedTasks() const
{
    QList<TaskRecord> tasks;
    for (int row : selectedRows())
        tasks.append(m_model.record(row - 1));
    return tasks;
}

void TaskGrid::selectRow(int row, bool addToSelection)
{
    m_view->selectRow1Based(row, addToSelection);
}

bool TaskGrid::selectTask(qint32 id)
{
    const int row = rowOfTask(id);
    if (row <= 0)
        return false;
    m_view->selectRow1Based(row, false);
    return true;
}

qint32 TaskGrid::taskInPlaceOf(qint32 id) const
{
    const int row = rowOfTask(id);
    if (row <= 0)
        return 0;
    return row < rowCount() ? taskIdOfRow(row + 1) : taskIdOfRow(row - 1);
}

void TaskGrid::publishSelection()
{
    // A list being filled tells the outcome once, not every step.
    if (m_filling)
        return;
    const QModelIndex current = m_view->selectionModel()->currentIndex();
    m_day.setSelection(selectedTaskIds(), current.isValid() ? taskIdOfRow(current.row() + 1) : 0);
}

void TaskGrid::clearSelection()
{
    m_view->clearSelection();
}

QString TaskGrid::selectedSubjectsText() const
{
    QStringList subjects;
    for (int row : selectedRows())
        subjects.append(cellText(row, ColSubject));
    return subjects.join(QStringLiteral("\r\n"));
}

DaySummary TaskGrid::summary(const QDate &shown, const QDate &today) const
{
    return computeDaySummary(m_model.records(), shown, today);
}

} // namespace cdk
