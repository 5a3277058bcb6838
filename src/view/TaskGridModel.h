#pragma once

#include "controls/Contrast.h"
#include "settings/Settings.h"
#include "store/TaskRecord.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace cdk {

// Column numbers of the task grid as the design counts them (1 to 8); the
// model's sections are these minus 1. No fixed underlying type is spelled
// out: Qt's lupdate reads "enum Name : int {" followed by a struct as a class
// and would then file the texts of TaskGridModel outside namespace cdk.
enum GridColumn {
    ColCheckbox = 1,
    ColSubject = 2,
    ColTimeNeeded = 3,
    ColTimeDone = 4,
    ColPercentDone = 5,
    ColTaskState = 6,
    ColCategory = 7,
    ColPriority = 8,
};
constexpr int GridColumnCount = 8;

// "CHECKBOX", "SUBJECT", ... for the columns 1 to 8.
QString gridColumnKey(int column);

// A category as the rows show it: its name and colours (-1: the grid's own).
struct CategoryLook
{
    QString name;
    qint32 foreColor = -1;
    qint32 backColor = -1;
};

// The text a cell of the task shows, its ordering key (compared as text) and
// its icon key, for the columns 1 to 8. The done-grouping prefix ("A"/"Z") is
// put in front of every key when the flags ask for it, chosen by the sort
// direction so that finished tasks come last either way.
QString taskCellText(const TaskRecord &task, const CategoryLook &category, int column);
QString taskCellKey(const TaskRecord &task, const CategoryLook &category, int column,
                    const DisplayFlags &flags, bool sortAscending);
QString taskCellIconKey(const TaskRecord &task, int column);

// The tasks of the day shown, one row per task, eight columns.
class TaskGridModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Role {
        IconKeyRole = Qt::UserRole + 1, // "CHECK", "URGENTP", ... or empty
        SortKeyRole,                    // the hidden ordering key, compared as text
        TaskIdRole,                     // the task's ID (same for every cell of a row)
    };

    explicit TaskGridModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // The records of the rows, 0-based; cells are formatted when asked for.
    const TaskRecord &record(int row) const { return m_tasks.at(row); }
    const QList<TaskRecord> &records() const { return m_tasks; }
    int rowOfId(qint32 id) const; // first row with the ID, -1 when none
    void setTasks(QList<TaskRecord> tasks, QHash<qint32, CategoryLook> categories);
    // Replaces the row of the task with the same ID; false when none shows it.
    bool updateTask(const TaskRecord &task);
    void clear();
    CategoryLook categoryOf(const TaskRecord &task) const;
    // The colours the task's row is shown in where its look fixes them (a
    // category colour, a finished task), fitted to the palette of the moment
    // so they read on it; invalid where the grid's own colours are used.
    QColor rowTextColor(const TaskRecord &task) const;
    ShownColours categoryColours(const TaskRecord &task) const;
    QColor rowBackColor(const TaskRecord &task) const;

    // What the cells depend on besides the records: colouring, done grouping
    // and the sort direction that chooses the grouping prefix.
    void setDisplay(const DisplayFlags &flags, bool sortAscending);
    // The flags the rows were last drawn and grouped with.
    const DisplayFlags &displayFlags() const { return m_flags; }
    QString cellText(int row, int column) const;
    QString cellKey(int row, int column) const;
    QString cellIconKey(int row, int column) const;

    // Stable three-level sort on the ordering keys as text: the given column
    // (1..8) in the given direction, then subject ascending, then priority
    // ascending. Persistent indexes (the selection) follow their rows.
    void sortRows(int column, bool ascending);
    // The header arrow: on the sort column when it is above 1, "SORTDOWN"
    // ascending and "SORTUP" descending. 0 clears it.
    void setSortIndicator(int column, bool ascending);

    // The grid's font; finished rows show it struck through and not bold.
    void setBaseFont(const QFont &font);
    // Finished rows: the palette's disabled text on its button face.
    QColor doneItemForeColor() const;
    QColor doneItemBackColor() const;

    // 32-bit R + 256 G + 65536 B as a colour.
    static QColor colourFromValue(qint32 value);

private:
    QVariant headerIconKey(int section) const;
    void emitRowChanged(int row);

    QList<TaskRecord> m_tasks;
    // The ordering keys of each row, made when first asked for: a re-sort
    // after a minute of tracking then costs comparisons only.
    mutable std::vector<std::array<std::optional<QString>, GridColumnCount>> m_keys;
    QHash<qint32, CategoryLook> m_categories;
    DisplayFlags m_flags;
    bool m_sortAscending = true;
    QFont m_baseFont;
    int m_arrowColumn = 0;
    bool m_arrowAscending = true;
};

} // namespace cdk
