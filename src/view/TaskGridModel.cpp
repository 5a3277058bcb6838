#include "view/TaskGridModel.h"

#include "base/Functions.h"
#include "controls/Contrast.h"
#include "controls/Icons.h"
#include "core/PercentDone.h"
#include "store/Vocabulary.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <numeric>

namespace cdk {

namespace {

const std::array<const char *, GridColumnCount> columnKeys = {
    "CHECKBOX", "SUBJECT", "TIMENEEDED", "TIMEDONE",
    "PERCENTDONE", "TASKSTATE", "CATEGORY", "PRIORITY"};

// The column titles, in the model's translation context.
const std::array<const char *, GridColumnCount> headerTexts = {
    "",
    QT_TRANSLATE_NOOP("cdk::TaskGridModel", "Task"),
    QT_TRANSLATE_NOOP("cdk::TaskGridModel", "Duration"),
    QT_TRANSLATE_NOOP("cdk::TaskGridModel", "Done"),
    QT_TRANSLATE_NOOP("cdk::TaskGridModel", "%"),
    QT_TRANSLATE_NOOP("cdk::TaskGridModel", "Status"),
    QT_TRANSLATE_NOOP("cdk::TaskGridModel", "Category"),
    QT_TRANSLATE_NOOP("cdk::TaskGridModel", "Priority")};

QString headerText(int section)
{
    if (section <= ColCheckbox - 1 || section >= GridColumnCount)
        return {};
    return QCoreApplication::translate("cdk::TaskGridModel", headerTexts[size_t(section)]);
}

Qt::Alignment columnAlignment(int section)
{
    switch (section + 1) {
    case ColCheckbox:
    case ColPercentDone:
    case ColPriority:
        return Qt::AlignCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

QString minutesKey(qint32 minutes)
{
    return QStringLiteral("%1").arg(minutes, 11, 10, QLatin1Char('0'));
}

} // namespace

QString gridColumnKey(int column)
{
    if (column < 1 || column > GridColumnCount)
        return {};
    return QString::fromLatin1(columnKeys[column - 1]);
}

QString taskCellText(const TaskRecord &task, const CategoryLook &category, int column)
{
    switch (column) {
    case ColSubject:
        return task.Subject;
    case ColTimeNeeded:
        return FormatMinutes(task.Duration, false);
    case ColTimeDone:
        return FormatMinutes(task.FinishedDuration, false);
    case ColPercentDone:
        return GetPercentDone(task.Duration, task.FinishedDuration);
    case ColTaskState:
        return TaskStateLabel(task.State);
    case ColCategory:
        return category.name;
    case ColPriority:
        return PriorityLabel(task.Priority);
    default:
        return {};
    }
}

QString taskCellKey(const TaskRecord &task, const CategoryLook &category, int column,
                    const DisplayFlags &flags, bool sortAscending)
{
    const bool finished = task.State == TaskState::Finished;
    QString key;
    switch (column) {
    case ColCheckbox:
        key = finished ? QStringLiteral("1") : QStringLiteral("0");
        break;
    case ColSubject:
        key = task.Subject.toLower();
        break;
    case ColTimeNeeded:
        key = minutesKey(task.Duration);
        break;
    case ColTimeDone:
        key = minutesKey(task.FinishedDuration);
        break;
    case ColPercentDone: {
        const QString percent = GetPercentDone(task.Duration, task.FinishedDuration);
        key = QStringLiteral("%1").arg(ValToInt(percent.chopped(1)), 3, 10, QLatin1Char('0'));
        break;
    }
    case ColTaskState:
        // In the order of the names the column shows, in the user's language.
        key = TaskStateLabel(task.State).toLower();
        break;
    case ColCategory:
        key = category.name.toLower();
        break;
    case ColPriority:
        key = QString::number(5 - task.Priority);
        break;
    default:
        return {};
    }
    if (flags.DisplayDoneTasksAtTheEnd)
        key.prepend(sortAscending != finished ? QLatin1Char('A') : QLatin1Char('Z'));
    return key;
}

QString taskCellIconKey(const TaskRecord &task, int column)
{
    const bool finished = task.State == TaskState::Finished;
    if (column == ColCheckbox)
        return finished ? QStringLiteral("CHECK") : QStringLiteral("UNCHECK");
    if (column == ColPriority)
        return PriorityIconKey(task.Priority, finished);
    return {};
}

TaskGridModel::TaskGridModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int TaskGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_tasks.size());
}

int TaskGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : GridColumnCount;
}

QColor TaskGridModel::colourFromValue(qint32 value)
{
    const auto v = quint32(value);
    return QColor(int(v & 0xff), int((v >> 8) & 0xff), int((v >> 16) & 0xff));
}

QColor TaskGridModel::doneItemForeColor() const
{
    return QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text);
}

QColor TaskGridModel::doneItemBackColor() const
{
    return QGuiApplication::palette().color(QPalette::Button);
}

QVariant TaskGridModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const TaskRecord &task = m_tasks.at(index.row());
    const int c = index.column();
    const int column = c + 1;
    const bool looked = column != ColCheckbox; // the row look covers columns 2 to 8
    const bool finished = task.State == TaskState::Finished;

    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
        // The start of a long subject: laying out megabytes for a cell or a
        // tooltip stalls the window (cellText still gives it whole).
        const QString text = ShownText(taskCellText(task, categoryOf(task), column));
        if (text.isEmpty())
            return {};
        if (role == Qt::DisplayRole)
            return text;
        // As rich text a tooltip wraps at a readable width instead of
        // running across the screen on one line.
        return QVariant(QStringLiteral("<qt>") + text.toHtmlEscaped() + QStringLiteral("</qt>"));
    }
    case Qt::AccessibleTextRole:
        // The check box is a picture; a screen reader reads its state.
        if (column == ColCheckbox)
            return finished ? tr("checked") : tr("not checked");
        return {};
    case Qt::DecorationRole: {
        const QString key = taskCellIconKey(task, column);
        if (key.isEmpty())
            return {};
        // A picture on a coloured row is drawn to read beside the row's text.
        return QVariant(iconForKey(key, looked ? rowTextColor(task) : QColor()));
    }
    case IconKeyRole:
        return taskCellIconKey(task, column);
    case SortKeyRole:
        return cellKey(index.row(), column);
    case TaskIdRole:
        return task.ID;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(columnAlignment(c));
    case Qt::ForegroundRole: {
        if (!looked)
            return {};
        const QColor text = rowTextColor(task);
        return text.isValid() ? QVariant(QBrush(text)) : QVariant();
    }
    case Qt::BackgroundRole: {
        if (!looked)
            return {};
        const QColor back = rowBackColor(task);
        return back.isValid() ? QVariant(QBrush(back)) : QVariant();
    }
    case Qt::FontRole:
        if (looked && finished) {
            QFont font = m_baseFont;
            font.setStrikeOut(true);
            font.setBold(false);
            return font;
        }
        return {};
    default:
        return {};
    }
}

QColor TaskGridModel::rowBackColor(const TaskRecord &task) const
{
    if (task.State == TaskState::Finished)
        return doneItemBackColor();
    return categoryColours(task).back;
}

QColor TaskGridModel::rowTextColor(const TaskRecord &task) const
{
    // The grey says "finished"; it is only moved as far from the button face
    // as reading needs, the strike-through says the rest.
    if (task.State == TaskState::Finished)
        return readableTintOn(doneItemBackColor(), doneItemForeColor());
    return categoryColours(task).fore;
}

ShownColours TaskGridModel::categoryColours(const TaskRecord &task) const
{
    if (m_flags.DisableTaskColoring)
        return {};
    // The palette is read at every paint, so a desktop switching schemes
    // while the program runs gets rows in its new colours.
    const CategoryLook category = categoryOf(task);
    auto stored = [](qint32 value) { return value >= 0 ? colourFromValue(value) : QColor(); };
    return categoryColoursIn(QGuiApplication::palette(), stored(category.backColor),
                             stored(category.foreColor));
}

QVariant TaskGridModel::headerIconKey(int section) const
{
    if (section == ColCheckbox - 1)
        return QStringLiteral("CHECKBOX");
    if (m_arrowColumn > ColCheckbox && section == m_arrowColumn - 1)
        return m_arrowAscending ? QStringLiteral("SORTDOWN") : QStringLiteral("SORTUP");
    return QString();
}

QVariant TaskGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= GridColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole:
        return headerText(section);
    case Qt::AccessibleTextRole:
        return section == ColCheckbox - 1 ? QVariant(tr("Check box")) : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(columnAlignment(section));
    case IconKeyRole:
        return headerIconKey(section);
    case Qt::DecorationRole: {
        const QString key = headerIconKey(section).toString();
        return key.isEmpty() ? QVariant() : QVariant(iconForKey(key));
    }
    case SortKeyRole:
        return gridColumnKey(section + 1);
    default:
        return {};
    }
}

Qt::ItemFlags TaskGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

int TaskGridModel::rowOfId(qint32 id) const
{
    for (int i = 0; i < m_tasks.size(); ++i) {
        if (m_tasks.at(i).ID == id)
            return i;
    }
    return -1;
}

CategoryLook TaskGridModel::categoryOf(const TaskRecord &task) const
{
    const auto found = m_categories.constFind(task.Category);
    if (found != m_categories.cend())
        return *found;
    return {tr("(none)"), -1, -1};
}

void TaskGridModel::setTasks(QList<TaskRecord> tasks, QHash<qint32, CategoryLook> categories)
{
    beginResetModel();
    m_tasks = std::move(tasks);
    m_keys.assign(size_t(m_tasks.size()), {});
    m_categories = std::move(categories);
    endResetModel();
}

bool TaskGridModel::updateTask(const TaskRecord &task)
{
    const int row = rowOfId(task.ID);
    if (row < 0)
        return false;
    m_tasks[row] = task;
    m_keys[size_t(row)] = {};
    emitRowChanged(row);
    return true;
}

void TaskGridModel::clear()
{
    if (m_tasks.isEmpty())
        return;
    beginResetModel();
    m_tasks.clear();
    m_keys.clear();
    endResetModel();
}

void TaskGridModel::setDisplay(const DisplayFlags &flags, bool sortAscending)
{
    // Called at every re-sort (each tracked minute among them): unchanged,
    // nothing is repainted or made anew.
    const bool keysChange = flags.DisplayDoneTasksAtTheEnd != m_flags.DisplayDoneTasksAtTheEnd
        || sortAscending != m_sortAscending;
    if (!keysChange && flags.DisableTaskColoring == m_flags.DisableTaskColoring
        && flags.MarkTasks100PercentWhenCheckedOff == m_flags.MarkTasks100PercentWhenCheckedOff)
        return;
    if (keysChange)
        m_keys.assign(size_t(m_tasks.size()), {});
    m_flags = flags;
    m_sortAscending = sortAscending;
    if (!m_tasks.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(int(m_tasks.size()) - 1, GridColumnCount - 1));
}

QString TaskGridModel::cellText(int row, int column) const
{
    if (row < 0 || row >= m_tasks.size())
        return {};
    return taskCellText(m_tasks.at(row), categoryOf(m_tasks.at(row)), column);
}

QString TaskGridModel::cellKey(int row, int column) const
{
    if (row < 0 || row >= m_tasks.size() || column < 1 || column > GridColumnCount)
        return {};
    std::optional<QString> &key = m_keys[size_t(row)][size_t(column - 1)];
    if (!key)
        key = taskCellKey(m_tasks.at(row), categoryOf(m_tasks.at(row)), column, m_flags,
                          m_sortAscending);
    return *key;
}

QString TaskGridModel::cellIconKey(int row, int column) const
{
    if (row < 0 || row >= m_tasks.size())
        return {};
    return taskCellIconKey(m_tasks.at(row), column);
}

void TaskGridModel::emitRowChanged(int row)
{
    Q_EMIT dataChanged(index(row, 0), index(row, GridColumnCount - 1));
}

void TaskGridModel::sortRows(int column, bool ascending)
{
    if (column < 1 || column > GridColumnCount || m_tasks.size() < 2)
        return;
    // The keys of the three levels, made once per row rather than once per
    // comparison.
    struct Keys
    {
        QString first, subject, priority;
    };
    std::vector<Keys> keys;
    keys.reserve(m_tasks.size());
    for (int r = 0; r < m_tasks.size(); ++r)
        keys.push_back({cellKey(r, column), cellKey(r, ColSubject), cellKey(r, ColPriority)});

    std::vector<int> order(m_tasks.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const Keys &ka = keys[size_t(a)];
        const Keys &kb = keys[size_t(b)];
        int cmp = QString::compare(ka.first, kb.first, Qt::CaseSensitive);
        if (cmp != 0)
            return ascending ? cmp < 0 : cmp > 0;
        cmp = QString::compare(ka.subject, kb.subject, Qt::CaseSensitive);
        if (cmp != 0)
            return cmp < 0;
        return QString::compare(ka.priority, kb.priority, Qt::CaseSensitive) < 0;
    });
    bool moved = false;
    for (int i = 0; i < int(order.size()); ++i)
        moved = moved || order[i] != i;
    if (!moved)
        return;

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOf(order.size());
    QList<TaskRecord> sorted;
    sorted.reserve(m_tasks.size());
    std::vector<std::array<std::optional<QString>, GridColumnCount>> sortedKeys(order.size());
    for (int i = 0; i < int(order.size()); ++i) {
        newRowOf[order[i]] = i;
        sorted.append(std::move(m_tasks[order[i]]));
        sortedKeys[size_t(i)] = std::move(m_keys[size_t(order[i])]);
    }
    m_tasks = std::move(sorted);
    m_keys = std::move(sortedKeys);

    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &idx : before)
        after.append(index(newRowOf[idx.row()], idx.column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void TaskGridModel::setSortIndicator(int column, bool ascending)
{
    if (column == m_arrowColumn && ascending == m_arrowAscending)
        return;
    m_arrowColumn = column;
    m_arrowAscending = ascending;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, GridColumnCount - 1);
}

void TaskGridModel::setBaseFont(const QFont &font)
{
    m_baseFont = font;
    if (!m_tasks.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(int(m_tasks.size()) - 1, GridColumnCount - 1),
                           {Qt::FontRole});
}


} // namespace cdk
