#pragma once

#include "settings/Settings.h"
#include "store/TaskRecord.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace cdk {

// Column numbers of the task grid as the design counts them (1 to 8); the
// model's sections are these minus 1.
enum GridColumn : int {
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
// 1-based column of a key; 0 when unknown.
int gridColumnOfKey(const QString &key);

// Share of the budget done as the grid shows it: done / (duration / 100)
// rounded with halves away from zero, at most 100, then "%"; "0%" for a
// budget of 0.
QString GridPercentDone(qint32 duration, qint32 done);

// One task row as the grid shows it: the cells' texts, ordering keys and
// icon keys, and what the row's look depends on.
struct TaskGridRow
{
    qint32 id = 0;
    bool finished = false;
    qint32 foreColor = -1; // category colours, -1: the grid's own
    qint32 backColor = -1;
    std::array<QString, GridColumnCount> text;
    std::array<QString, GridColumnCount> key;
    std::array<QString, GridColumnCount> iconKey;
};

// Builds the row of a task. Category colours are dropped when colouring is
// disabled. The done-grouping prefix ("A"/"Z") is put in
// front of every key when the flag asks for it, chosen by the sort direction
// so that finished tasks come last either way.
TaskGridRow makeTaskGridRow(const TaskRecord &task, const QString &categoryName,
                            std::pair<qint32, qint32> categoryColours,
                            const DisplayFlags &flags, bool sortAscending);

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

    // Rows, 0-based.
    const TaskGridRow &row(int row) const { return m_rows.at(row); }
    const QList<TaskGridRow> &rows() const { return m_rows; }
    int rowOfId(qint32 id) const; // first row with the ID, -1 when none
    void setRows(QList<TaskGridRow> rows);
    void appendRow(TaskGridRow row);
    void replaceRow(int row, TaskGridRow data);
    void clear();
    // Check icon and look of a row; its keys stay.
    void setRowChecked(int row, bool finished);

    // Stable three-level sort on the ordering keys as text: the given column
    // (1..8) in the given direction, then subject ascending, then priority
    // ascending. Persistent indexes (the selection) follow their rows.
    void sortRows(int column, bool ascending);
    // The header arrow: on the sort column when it is above 1, "SORTDOWN"
    // ascending and "SORTUP" descending. 0 clears it.
    void setSortIndicator(int column, bool ascending);

    // The grid's font; finished rows show it struck through and not bold.
    void setBaseFont(const QFont &font);
    QFont baseFont() const { return m_baseFont; }
    // Done-item colours; invalid colours follow the palette (disabled text on
    // the button face).
    void setDoneItemColours(const QColor &fore, const QColor &back);
    QColor doneItemForeColor() const;
    QColor doneItemBackColor() const;

    // 32-bit R + 256 G + 65536 B as a colour.
    static QColor colourFromValue(qint32 value);

private:
    QVariant headerIconKey(int section) const;
    void emitRowChanged(int row);

    QList<TaskGridRow> m_rows;
    QFont m_baseFont;
    QColor m_doneFore;
    QColor m_doneBack;
    int m_arrowColumn = 0;
    bool m_arrowAscending = true;
};

} // namespace cdk
