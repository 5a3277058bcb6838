#include "view/TaskGridModel.h"

#include "base/Functions.h"
#include "controls/Icons.h"
#include "store/Vocabulary.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace cdk {

namespace {

const std::array<const char *, GridColumnCount> columnKeys = {
    "CHECKBOX", "SUBJECT", "TIMENEEDED", "TIMEDONE",
    "PERCENTDONE", "TASKSTATE", "CATEGORY", "PRIORITY"};

QString headerText(int section)
{
    switch (section + 1) {
    case ColSubject:
        return QStringLiteral("Task");
    case ColTimeNeeded:
        return QStringLiteral("Duration");
    case ColTimeDone:
        return QStringLiteral("Done");
    case ColPercentDone:
        return QStringLiteral("%");
    case ColTaskState:
        return QStringLiteral("Status");
    case ColCategory:
        return QStringLiteral("Category");
    case ColPriority:
        return QStringLiteral("Priority");
    default:
        return {};
    }
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

int gridColumnOfKey(const QString &key)
{
    for (int i = 0; i < GridColumnCount; ++i) {
        if (key == QLatin1String(columnKeys[i]))
            return i + 1;
    }
    return 0;
}

QString GridPercentDone(qint32 duration, qint32 done)
{
    if (duration == 0)
        return QStringLiteral("0%");
    // The same two floating-point steps as everywhere else the share is
    // shown, so that a half lands on the same side.
    const double share = double(done) / (double(duration) / 100.0);
    double rounded = std::round(share); // halves away from zero
    if (rounded > 100.0)
        rounded = 100.0;
    return QString::number(qint64(rounded)) + QLatin1Char('%');
}

TaskGridRow makeTaskGridRow(const TaskRecord &task, const QString &categoryName,
                            std::pair<qint32, qint32> categoryColours,
                            const DisplayFlags &flags, bool sortAscending)
{
    TaskGridRow r;
    r.id = task.ID;
    r.finished = task.State == TaskState::Finished;
    if (!flags.DisableTaskColoring) {
        r.foreColor = categoryColours.first;
        r.backColor = categoryColours.second;
    }

    auto set = [&r](int column, QString text, QString key) {
        r.text[column - 1] = std::move(text);
        r.key[column - 1] = std::move(key);
    };
    set(ColCheckbox, QString(), r.finished ? QStringLiteral("1") : QStringLiteral("0"));
    r.iconKey[ColCheckbox - 1] = r.finished ? QStringLiteral("CHECK") : QStringLiteral("UNCHECK");
    set(ColSubject, task.Subject, task.Subject.toLower());
    set(ColTimeNeeded, FormatMinutes(task.Duration, false), minutesKey(task.Duration));
    set(ColTimeDone, FormatMinutes(task.FinishedDuration, false), minutesKey(task.FinishedDuration));
    const QString percent = GridPercentDone(task.Duration, task.FinishedDuration);
    set(ColPercentDone, percent,
        QStringLiteral("%1").arg(ValToInt(percent.chopped(1)), 3, 10, QLatin1Char('0')));
    const QString state = TaskStateName(task.State);
    set(ColTaskState, state, state.toLower());
    set(ColCategory, categoryName, categoryName.toLower());
    set(ColPriority, PriorityName(task.Priority), QString::number(5 - task.Priority));
    r.iconKey[ColPriority - 1] = PriorityIconKey(task.Priority, r.finished);

    if (flags.DisplayDoneTasksAtTheEnd) {
        const bool firstGroup = sortAscending != r.finished;
        const QString prefix = firstGroup ? QStringLiteral("A") : QStringLiteral("Z");
        for (QString &key : r.key)
            key.prepend(prefix);
    }
    return r;
}

TaskGridModel::TaskGridModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int TaskGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
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
    return m_doneFore.isValid() ? m_doneFore
                                : QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text);
}

QColor TaskGridModel::doneItemBackColor() const
{
    return m_doneBack.isValid() ? m_doneBack : QGuiApplication::palette().color(QPalette::Button);
}

QVariant TaskGridModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const TaskGridRow &r = m_rows.at(index.row());
    const int c = index.column();
    const bool looked = c + 1 != ColCheckbox; // the row look covers columns 2 to 8

    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return r.text[c].isEmpty() ? QVariant() : QVariant(r.text[c]);
    case Qt::DecorationRole:
        return r.iconKey[c].isEmpty() ? QVariant() : QVariant(iconForKey(r.iconKey[c]));
    case IconKeyRole:
        return r.iconKey[c];
    case SortKeyRole:
        return r.key[c];
    case TaskIdRole:
        return r.id;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(columnAlignment(c));
    case Qt::ForegroundRole:
        if (!looked)
            return {};
        if (r.finished)
            return QBrush(doneItemForeColor());
        if (r.foreColor >= 0)
            return QBrush(colourFromValue(r.foreColor));
        return {};
    case Qt::BackgroundRole:
        if (!looked)
            return {};
        if (r.finished)
            return QBrush(doneItemBackColor());
        if (r.backColor >= 0)
            return QBrush(colourFromValue(r.backColor));
        return {};
    case Qt::FontRole:
        if (looked && r.finished) {
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
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows.at(i).id == id)
            return i;
    }
    return -1;
}

void TaskGridModel::setRows(QList<TaskGridRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void TaskGridModel::appendRow(TaskGridRow row)
{
    const int at = int(m_rows.size());
    beginInsertRows({}, at, at);
    m_rows.append(std::move(row));
    endInsertRows();
}

void TaskGridModel::replaceRow(int row, TaskGridRow data)
{
    if (row < 0 || row >= m_rows.size())
        return;
    m_rows[row] = std::move(data);
    emitRowChanged(row);
}

void TaskGridModel::clear()
{
    if (m_rows.isEmpty())
        return;
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void TaskGridModel::setRowChecked(int row, bool finished)
{
    if (row < 0 || row >= m_rows.size())
        return;
    TaskGridRow &r = m_rows[row];
    r.finished = finished;
    r.iconKey[ColCheckbox - 1] = finished ? QStringLiteral("CHECK") : QStringLiteral("UNCHECK");
    emitRowChanged(row);
}

void TaskGridModel::emitRowChanged(int row)
{
    Q_EMIT dataChanged(index(row, 0), index(row, GridColumnCount - 1));
}

void TaskGridModel::sortRows(int column, bool ascending)
{
    if (column < 1 || column > GridColumnCount || m_rows.size() < 2)
        return;
    const int c1 = column - 1;
    const int c2 = ColSubject - 1;
    const int c3 = ColPriority - 1;

    std::vector<int> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const TaskGridRow &ra = m_rows.at(a);
        const TaskGridRow &rb = m_rows.at(b);
        int cmp = QString::compare(ra.key[c1], rb.key[c1], Qt::CaseSensitive);
        if (cmp != 0)
            return ascending ? cmp < 0 : cmp > 0;
        cmp = QString::compare(ra.key[c2], rb.key[c2], Qt::CaseSensitive);
        if (cmp != 0)
            return cmp < 0;
        return QString::compare(ra.key[c3], rb.key[c3], Qt::CaseSensitive) < 0;
    });
    bool moved = false;
    for (int i = 0; i < int(order.size()); ++i)
        moved = moved || order[i] != i;
    if (!moved)
        return;

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOf(order.size());
    QList<TaskGridRow> sorted;
    sorted.reserve(m_rows.size());
    for (int i = 0; i < int(order.size()); ++i) {
        newRowOf[order[i]] = i;
        sorted.append(std::move(m_rows[order[i]]));
    }
    m_rows = std::move(sorted);

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
    if (!m_rows.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(int(m_rows.size()) - 1, GridColumnCount - 1),
                           {Qt::FontRole});
}

void TaskGridModel::setDoneItemColours(const QColor &fore, const QColor &back)
{
    m_doneFore = fore;
    m_doneBack = back;
    if (!m_rows.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(int(m_rows.size()) - 1, GridColumnCount - 1),
                           {Qt::ForegroundRole, Qt::BackgroundRole});
}

} // namespace cdk
