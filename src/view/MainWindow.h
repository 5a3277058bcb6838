#pragma once

#include "editing/TaskDialogHost.h"
#include "tracking/TrackingHost.h"
#include "view/MainActions.h"

#include <QDate>
#include <QElapsedTimer>
#include <QMainWindow>

#include <array>
#include <memory>

class QLabel;
class QMenu;
class QProgressBar;
class QTimer;

namespace cdk {

struct AppContext;
class AddTaskDialog;
class ClickableLabel;
class DatePicker;
class GradientPanel;
class isButton;
class RecurrentTasksDialog;
class TaskGrid;
class TaskGridView;
class TrackingController;

// The one main window "frmMain": toolbar, date picker, the day's task grid,
// the current-task panel above it and the day summary under it. Every command
// of a menu, button, key or mouse action is one slot here, which calls a task
// operation, the tracker or a dialog and then refreshes the grid.
class MainWindow final : public QMainWindow, public TrackingHost, public TaskDialogHost
{
    Q_OBJECT

public:
    explicit MainWindow(AppContext &context, QWidget *parent = nullptr);
    ~MainWindow() override;

    // ---- Start-up steps
    void applyGridAppearance();
    void SetUpGridColumns();
    void LoadSortSettings();
    // dtpView := date, then dtpView_Change.
    void showDay(const QDate &date);
    QRect availableScreenGeometry() const;

    // ---- Refresh routines
    void RefreshShownList(); // the day shown, selection kept
    void RefreshAfterSelection();
    void UpdateCommandStates();
    void RefreshSummary() { refreshSummary(); }
    void RefreshTLabel();

    QDate shownDate() const;
    MainActions &actions() { return m_actions; }
    TaskGrid &grid() { return *m_grid; }
    TrackingController &tracking() { return *m_tracking; }
    isButton *toolbarButton(int index) const { return m_toolbar.at(index); }

    // Shows and activates the window; maximised when it was at exit.
    void mnuShow_Click();
    // Brings the window to the front; with toggle, a window already in front
    // goes to the tray instead.
    void RestoreAndActivate(bool toggle);

    // ---- Commands
    void mnuAddTask_Click();
    void mnuEditTask_Click();
    void mnuDeleteTask_Click();
    void mnuManageCategories_Click();
    void mnuRecurrentTasks_Click();
    void mnuMarkDone_Click();
    void mnuMarkUndone_Click();
    void mnuTaskState_Click(int index);
    void mnuPriority_Click(int index);
    void mnuSetTaskCategory_Click();
    void mnuSetTimeDone_Click();
    void mnuResetTimer_Click();
    void mnuMoveTasksToNextDay_Click();
    void mnuMoveTasksToPreviousDay_Click();
    void mnuMoveTasksToAnyDay_Click();
    void mnuStartTimer_Click();
    void mnuStopTimer_Click();
    void mnuSettings_Click();
    void mnuHideToSystemTray_Click();
    void mnuExit_Click();
    void mnuViewTheTutorial_Click();
    void mnuAbout_Click();
    void mnuCreateBackup_Click();
    void mnuRestoreBackup_Click();
    void isbToolbar_Click(int index);
    void dtpView_Change();
    void CheckboxClicked(int row, bool redraw);
    void gpCurTaskLbl_Click();
    void copySelectionToClipboard();

    // ---- Task operations that walk the selected rows
    void MoveSelectedTasks(const QString &targetKey);
    void CheckSelectedTasks(bool check);

    // ---- TrackingHost and TaskDialogHost
    int selectedRowCount() const override;
    qint32 selectedTaskID() const override;
    QString selectedSubjectText() const override;
    QString selectedTimeNeededText() const override;
    QString selectedTimeDoneText() const override;
    QString CurrentListKey() const override;
    int SortColumn() const override;
    void refreshTaskRow(qint32 id, const QString &list) override;
    void refreshTaskList(bool keepSelection) override;
    void refreshSummary() override;
    void updateCommandStates() override { UpdateCommandStates(); }
    void setStartEnabled(bool enabled) override;
    void setStopFinishEnabled(bool enabled) override;
    void setFinishHighlighted(bool highlighted) override;
    void setTrackingCaption(const QString &text) override;
    QString trackingCaption() const override;
    void setCurrentTaskText(const QString &text, bool asLink) override;
    void setStatusText(const QString &text) override;
    void setPanelColours(const QColor &colour, const QColor &stateColour) override;
    void flashTaskbar() override;
    void showTrackedTask() override;
    void showMainWindow() override;

    bool showsToday() const override;
    void addTaskRow(qint32 id) override;
    void refillSelectedRow() override;
    void selectTaskRowById(qint32 id) override;
    bool trackingActive() const override;
    QString trackedList() const override;
    qint32 trackedTaskId() const override;
    void setTracking(bool on) override;
    void openCategoryManager(QWidget *parent) override;
    int &modalDialogDepth() override;

Q_SIGNALS:
    // An exit command: the application runs the deferred shutdown.
    void exitRequested();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildToolbar(QWidget *parent);
    void buildPanels();
    void connectCommands();
    void connectGrid();
    void showColumnMenu(const QPoint &globalPos);
    bool handleWindowKey(QKeyEvent *event);
    void saveWindowPosition();
    bool isTrackedRow(int row) const;
    // Runs a store operation; a failure is shown and false returned.
    template<typename Fn>
    bool guarded(const QString &what, Fn &&operation);
    AddTaskDialog &taskDialog();
    void notAvailableYet(const QString &command);

    AppContext &m_context;
    MainActions m_actions;
    std::array<isButton *, 14> m_toolbar{};
    GradientPanel *m_gpToolbar = nullptr;
    GradientPanel *m_gpBackGrad = nullptr;
    GradientPanel *m_gpCurTask = nullptr;
    QLabel *m_lblTracking = nullptr;
    ClickableLabel *m_gpCurTaskLbl = nullptr;
    QLabel *m_lblStatus = nullptr;
    GradientPanel *m_gpInfos = nullptr;
    GradientPanel *m_gpInfoInfo = nullptr;
    QProgressBar *m_prgBar = nullptr;
    QLabel *m_lblDone = nullptr;
    QLabel *m_lblLeft = nullptr;
    DatePicker *m_dtpView = nullptr;
    TaskGridView *m_view = nullptr;
    QMenu *m_pmColumns = nullptr;
    std::unique_ptr<TaskGrid> m_grid;
    std::unique_ptr<TrackingController> m_tracking;
    AddTaskDialog *m_taskDialog = nullptr;
    bool m_finishHighlighted = false;
    QTimer *m_savePosition = nullptr; // gathers the resize events of one drag
};

} // namespace cdk
