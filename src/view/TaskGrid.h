#pragma once

#include "core/DaySummary.h"
#include "settings/Settings.h"
#include "view/TaskGridModel.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <array>

namespace cdk {

class ShownDay;
class TaskOperations;
class TaskGridView;

// The task grid of the main window: columns and their settings, the sort
// order, the rows of the day shown and the selection, which is a set of tasks
// (IDs), not of row numbers. It follows the task operations: whatever changes
// a task of the day shown, from whichever front end, refreshes its row or the
// list, and the rows move with their tasks through every re-sort. Rows and
// columns are numbered from 1; outside the grid, tasks are known by ID: the
// grid tells the shown day which tasks are selected, in the order it shows
// them.
class TaskGrid final : public QObject
{
    Q_OBJECT

public:
    static QString gridName() { return QStringLiteral("MainGrid"); }
    // Initial widths of the columns 1 to 8, in pixels.
    static constexpr std::array<int, GridColumnCount> defaultWidths = {20, 250, 80, 70, 50, 90, 90, 85};

    TaskGrid(TaskOperations &operations, clsSettings &settings, ShownDay &day,
             TaskGridView *view, QObject *parent = nullptr);

    TaskGridModel *model() { return &m_model; }
    const TaskGridModel *model() const { return &m_model; }
    TaskGridView *view() const { return m_view; }

    // ---- Columns and sorting
    // Widths, the fixed check-box column, then the saved widths and order and
    // the hidden columns.
    void SetUpGridColumns();
    // SortColumn from "Column" (outside 1..8 gives 2), SortAscending from
    // "Descending" (ascending unless it reads as a number other than 0).
    void LoadSortSettings();
    void SaveSortSettings();
    // A header click: flips the column's tag, saves the order, refills the
    // list keeping the selection and gives the grid the focus.
    void SortByHeader(int column);
    void SortTaskGrid(bool redraw = false);
    int SortColumn() const { return m_sortColumn; }
    bool SortAscending() const { return m_sortAscending; }
    QString columnTag(int column) const;

    // Columns 3 to 8 can be hidden; the choice is saved as "Col" + n + "Hidden".
    void setColumnHidden(int column, bool hidden);
    bool isColumnHidden(int column) const;
    // Whether the settings say column n is hidden (the column menu's marks).
    bool columnHiddenSetting(int column);
    static bool canHideColumn(int column) { return column >= ColTimeNeeded && column <= ColPriority; }
    void saveColumnLayout();

    void applyAppearance(const GridAppearance &appearance);

    // ---- Rows
    // Shows the tasks of a list, in stored order, sorted; row 1 is selected.
    void showList(const QString &listKey);
    // Reads the list shown again; the selected tasks stay selected (row 1
    // when none of them is left).
    void reload();

    void setRedraw(bool on);

    int rowCount() const { return m_model.rowCount(); }
    qint32 taskIdOfRow(int row) const;
    int rowOfTask(qint32 id) const; // 0 when not shown
    QString cellText(int row, int column) const;
    QString cellKey(int row, int column) const;
    QString cellIconKey(int row, int column) const;

    // ---- Selection, read when a command acts
    QList<int> selectedRows() const;
    // The selected tasks, top to bottom.
    QList<qint32> selectedTaskIds() const;
    QList<TaskRecord> selectedTasks() const;
    void selectRow(int row, bool addToSelection = false);
    // Selects the row of the task; false when the day shown has no such task.
    bool selectTask(qint32 id);
    // The task that takes the place of a removed one: the next below it, or
    // above it at the end of the list; 0 when it is the only one.
    qint32 taskInPlaceOf(qint32 id) const;
    void clearSelection();
    // The "SUBJECT" texts of the selected rows, top to bottom, joined by CR LF.
    QString selectedSubjectsText() const;

    DaySummary summary(const QDate &shown, const QDate &today) const;

Q_SIGNALS:
    // The rows were rebuilt or changed: the summary and panels follow.
    void contentChanged();
    // The day's tasks could not be read, so it shows no rows. Sent once
    // while the failure lasts; a read that works ends it.
    void listUnreadable(int code, const QString &description);

private:
    void fill(const QString &listKey, const QList<qint32> &keepIds, qint32 currentId);
    void onListChanged(const QString &listKey);
    void onTaskChanged(const QString &listKey, qint32 id);
    void publishSelection();

    TaskOperations &m_operations;
    clsSettings &m_settings;
    ShownDay &m_day;
    TaskGridView *m_view;
    TaskGridModel m_model;
    QString m_listKey;
    bool m_readFailing = false;
    bool m_filling = false;
    int m_sortColumn = ColSubject;
    bool m_sortAscending = true;
    QStringList m_columnTags;
};

} // namespace cdk
