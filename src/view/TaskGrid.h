#pragma once

#include "settings/Settings.h"
#include "view/DaySummary.h"
#include "view/TaskGridModel.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <array>

namespace cdk {

class TaskStore;
class TaskGridView;

// The task grid of the main window as the rest of the program drives it:
// columns and their settings, the sort order, filling rows from the store and
// the selection. Rows and columns are numbered from 1 as the design numbers
// them. It runs no commands: after a whole-list refresh it emits refreshed(),
// on which the main window runs its RefreshAfterSelection.
class TaskGrid final : public QObject
{
    Q_OBJECT

public:
    static QString gridName() { return QStringLiteral("MainGrid"); }
    // Initial widths of the columns 1 to 8, in pixels.
    static constexpr std::array<int, GridColumnCount> defaultWidths = {20, 250, 80, 70, 50, 90, 90, 85};

    TaskGrid(TaskStore &store, clsSettings &settings, TaskGridView *view, QObject *parent = nullptr);

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
    // Rebuilds the rows of a list from the store in stored order, sorts them
    // and selects: the rows whose IDs were selected when keepSelection is set
    // (collected now when collectSelection is set, else the IDs collected
    // last time), otherwise row 1. Emits refreshed().
    void RefreshTaskList(const QString &listKey, bool keepSelection, bool collectSelection,
                         bool redrawAtEnd);
    bool AddTaskRow(qint32 id);
    // Refills row n of the list shown; nothing when listKey is another day.
    void FillTaskRow(int row, const QString &listKey, bool redraw = true);
    // Refills the row of a task; nothing for another day or an unknown ID.
    void RefreshTaskRow(qint32 id, const QString &listKey);
    void SetRowChecked(int row, bool finished);
    QString currentListKey() const { return m_listKey; }

    void setRedraw(bool on);

    int rowCount() const { return m_model.rowCount(); }
    qint32 taskIdOfRow(int row) const;
    int rowOfTask(qint32 id) const; // 0 when not shown
    QString cellText(int row, int column) const;
    QString cellKey(int row, int column) const;
    QString cellIconKey(int row, int column) const;

    // ---- Selection
    QList<int> selectedRows() const;
    QList<qint32> selectedTaskIds() const;
    int selectedRowCount() const { return int(selectedRows().size()); }
    void selectRow(int row, bool addToSelection = false);
    void selectAllRows();
    void clearSelection();
    // The grid's tag: the selected row recorded at the last
    // RefreshAfterSelection (0 for none).
    void recordSelectedRow();
    int recordedSelectedRow() const { return m_selectedRowTag; }
    // The "SUBJECT" texts of the selected rows, top to bottom, joined by CR LF.
    QString selectedSubjectsText() const;

    DaySummary summary(const QDate &shown, const QDate &today) const;

Q_SIGNALS:
    void refreshed();

private:
    TaskGridRow buildRow(const TaskRecord &task);
    void setSortIndicatorColumn();

    TaskStore &m_store;
    clsSettings &m_settings;
    TaskGridView *m_view;
    TaskGridModel m_model;
    QString m_listKey;
    int m_sortColumn = ColSubject;
    bool m_sortAscending = true;
    QStringList m_columnTags;
    QList<qint32> m_keptIds;
    int m_selectedRowTag = 0;
};

} // namespace cdk
