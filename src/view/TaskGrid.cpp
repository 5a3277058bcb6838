#include "view/TaskGrid.h"

#include "store/Vocabulary.h"

#include "base/Log.h"
#include "settings/GridColumns.h"
#include "store/TaskStore.h"
#include "view/TaskGridView.h"

#include <QHash>
#include <QHeaderView>
#include <QStyle>
#include <QItemSelectionModel>
#include <QSet>

namespace cdk {

namespace {

QString hiddenKey(int column)
{
    return QStringLiteral("Col") + QString::number(column) + QStringLiteral("Hidden");
}

qint32 colourOrNone(qint32 value)
{
    return value > -1 ? value : -1;
}

} // namespace

TaskGrid::TaskGrid(TaskStore &store, clsSettings &settings, TaskGridView *view, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_settings(settings)
    , m_view(view)
    , m_columnTags(GridColumnCount)
{
    Q_ASSERT(view);
    m_view->setModel(&m_model);
    m_model.setBaseFont(m_view->font());
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
    // The priority column starts wide enough for its longest name beside its
    // icon in the font the grid has, which may be wider than the one the
    // default width was measured in. A width the user chose still wins.
    const QStyle *style = m_view->style();
    const int priorityNeeded = m_view->fontMetrics().horizontalAdvance(PriorityName(4))
        + style->pixelMetric(QStyle::PM_SmallIconSize, nullptr, m_view)
        + 4 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_view) + 1) + 6;
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
    // The grouping prefixes depend on the direction, so the rows are rebuilt.
    RefreshTaskList(m_listKey, true, true, true);
    m_view->setFocus(Qt::OtherFocusReason);
}

void TaskGrid::SortTaskGrid(bool redraw)
{
    m_model.setSortIndicator(m_sortColumn, m_sortAscending);
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
    SaveSGridColumns(m_settings, m_view->horizontalHeader(), gridName());
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

TaskGridRow TaskGrid::buildRow(const TaskRecord &task)
{
    const auto colours = m_store.GetCategoryColours(task.Category);
    return makeTaskGridRow(task, m_store.GetCategoryName(task.Category),
                           {colourOrNone(colours.first), colourOrNone(colours.second)},
                           m_settings.flags(), m_sortAscending);
}

void TaskGrid::setRedraw(bool on)
{
    m_view->setUpdatesEnabled(on);
}

void TaskGrid::RefreshTaskList(const QString &listKey, bool keepSelection, bool collectSelection,
                               bool redrawAtEnd)
{
    setRedraw(false);
    m_view->setSelectionSignalsMuted(true);

    const bool keep = keepSelection && m_model.rowCount() > 0;
    qint32 currentId = 0;
    if (keep) {
        if (collectSelection)
            m_keptIds = selectedTaskIds();
        const QModelIndex current = m_view->selectionModel()->currentIndex();
        if (current.isValid())
            currentId = m_model.row(current.row()).id;
    }
    m_listKey = listKey;

    // One look at the category table for the whole day instead of one per row.
    struct Category
    {
        QString name;
        std::pair<qint32, qint32> colours;
    };
    QHash<qint32, Category> categories;
    for (const CategoryRecord &c : m_store.categories())
        categories.insert(c.ID, {c.Name, {colourOrNone(c.ForeColor), colourOrNone(c.BackColor)}});
    const Category noCategory{QStringLiteral("(none)"), {-1, -1}};

    const QList<TaskRecord> tasks = m_store.tasksOfList(listKey);
    QList<TaskGridRow> rows;
    rows.reserve(tasks.size());
    const DisplayFlags &flags = m_settings.flags();
    for (const TaskRecord &task : tasks) {
        const Category &cat = categories.contains(task.Category)
                                  ? *categories.constFind(task.Category)
                                  : noCategory;
        rows.append(makeTaskGridRow(task, cat.name, cat.colours, flags, m_sortAscending));
    }
    m_model.setRows(std::move(rows));
    SortTaskGrid(false);

    if (keep) {
        const QSet<qint32> wanted(m_keptIds.cbegin(), m_keptIds.cend());
        QItemSelection selection;
        int currentRow = -1;
        for (int r = 0; r < m_model.rowCount(); ++r) {
            const qint32 id = m_model.row(r).id;
            if (!wanted.contains(id))
                continue;
            selection.select(m_model.index(r, 0), m_model.index(r, GridColumnCount - 1));
            // The row that had the focus keeps it; else the topmost kept row.
            if (currentRow < 0 || id == currentId)
                currentRow = r;
        }
        QItemSelectionModel *sel = m_view->selectionModel();
        if (currentRow >= 0)
            sel->setCurrentIndex(m_model.index(currentRow, 0), QItemSelectionModel::NoUpdate);
        sel->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    } else if (m_model.rowCount() > 0) {
        m_view->selectRow1Based(1, false);
    }

    if (redrawAtEnd)
        setRedraw(true);
    m_view->setSelectionSignalsMuted(false);
    qCDebug(lcView) << "list" << listKey << "shown with" << m_model.rowCount() << "rows";
    Q_EMIT refreshed();
}

bool TaskGrid::AddTaskRow(qint32 id)
{
    const auto task = m_store.findTask(m_listKey, id);
    if (!task)
        return false;
    m_model.appendRow(buildRow(*task));
    return true;
}

void TaskGrid::FillTaskRow(int row, const QString &listKey, bool redraw)
{
    if (listKey != m_listKey || row < 1 || row > m_model.rowCount())
        return;
    const auto task = m_store.findTask(m_listKey, m_model.row(row - 1).id);
    if (!task)
        return;
    m_model.replaceRow(row - 1, buildRow(*task));
    if (redraw)
        setRedraw(true);
}

void TaskGrid::RefreshTaskRow(qint32 id, const QString &listKey)
{
    if (listKey != m_listKey)
        return;
    const int row = rowOfTask(id);
    if (row == 0)
        return;
    FillTaskRow(row, listKey, true);
}

void TaskGrid::SetRowChecked(int row, bool finished)
{
    m_model.setRowChecked(row - 1, finished);
}

qint32 TaskGrid::taskIdOfRow(int row) const
{
    if (row < 1 || row > m_model.rowCount())
        return 0;
    return m_model.row(row - 1).id;
}

int TaskGrid::rowOfTask(qint32 id) const
{
    return m_model.rowOfId(id) + 1;
}

QString TaskGrid::cellText(int row, int column) const
{
    if (row < 1 || row > m_model.rowCount() || column < 1 || column > GridColumnCount)
        return {};
    return m_model.row(row - 1).text[column - 1];
}

QString TaskGrid::cellKey(int row, int column) const
{
    if (row < 1 || row > m_model.rowCount() || column < 1 || column > GridColumnCount)
        return {};
    return m_model.row(row - 1).key[column - 1];
}

QString TaskGrid::cellIconKey(int row, int column) const
{
    if (row < 1 || row > m_model.rowCount() || column < 1 || column > GridColumnCount)
        return {};
    return m_model.row(row - 1).iconKey[column - 1];
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

void TaskGrid::selectRow(int row, bool addToSelection)
{
    m_view->selectRow1Based(row, addToSelection);
}

void TaskGrid::selectAllRows()
{
    m_view->selectAll();
}

void TaskGrid::clearSelection()
{
    m_view->clearSelection();
}

void TaskGrid::recordSelectedRow()
{
    m_selectedRowTag = m_view->selectedRow();
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
    return computeDaySummary(daySummaryRows(m_model), shown, today);
}

} // namespace cdk
