#pragma once

#include "core/DaySummary.h"
#include "editing/TaskDialogHost.h"
#include "settings/SettingKeys.h"
#include "tracking/TrackingHost.h"
#include "view/CommandHost.h"

#include <QColor>
#include <QDate>
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
class ShownDay;
class TaskCommands;
class TaskGrid;
class TaskGridView;
class TrackingCommands;
class TrackingController;
class WindowCommands;

// The menus of the main window's menu bar.
struct MainMenus
{
    QMenu *mnuFile = nullptr;
    QMenu *mnuTask = nullptr;
    QMenu *mnuBatchEdit = nullptr;
    QMenu *mnuSetTaskState = nullptr;
    QMenu *mnuSetTaskPriority = nullptr;
    QMenu *mnuTimer = nullptr;
    QMenu *mnuHelp = nullptr;
};

// The one main window "frmMain": toolbar, date picker, the day's task grid,
// the current-task panel above it and the day summary under it. It lays them
// out and wires them to the command classes, which hold every command; it
// decides nothing about tasks itself.
class MainWindow final : public QMainWindow,
                         public TrackingHost,
                         public TaskDialogHost,
                         public CommandHost
{
    Q_OBJECT

public:
    explicit MainWindow(AppContext &context, QWidget *parent = nullptr);
    ~MainWindow() override;

    // ---- Start-up steps
    void applyGridAppearance();
    void SetUpGridColumns();
    void LoadSortSettings();
    QRect availableScreenGeometry() const;

    // ---- Refresh after a change of selection or content
    void RefreshAfterSelection();
    void RefreshSummary();
    void RefreshTLabel();

    TaskCommands &taskCommands() { return *m_taskCommands; }
    TrackingCommands &trackingCommands() { return *m_trackingCommands; }
    WindowCommands &windowCommands() { return *m_windowCommands; }
    const MainMenus &menus() const { return m_menus; }
    TrackingController &tracking() { return *m_tracking; }

    // Shows and activates the window; maximised when it was at exit.
    void mnuShow_Click();
    // Brings the window to the front; with toggle, a window already in front
    // goes to the tray instead.
    void RestoreAndActivate(bool toggle);

    // The day shown and the tasks selected in it.
    ShownDay &shownDay() { return *m_day; }
    QString CurrentListKey() const;

    // ---- CommandHost
    QWidget *dialogParent() override { return this; }
    void showDay(const QDate &date) override;
    TaskGrid &grid() override { return *m_grid; }
    AddTaskDialog &taskDialog() override;
    void hideToTray() override;
    void updateCommandStates() override;

    // ---- TrackingHost
    void setStartEnabled(bool enabled) override;
    void setStopFinishEnabled(bool enabled) override;
    void setFinishHighlighted(bool highlighted) override;
    void setTrackingCaption(const QString &text) override;
    void setCurrentTaskText(const QString &text, bool asLink) override;
    void setStatusText(const QString &text) override;
    void setPanelColours(const QColor &colour, const QColor &stateColour) override;
    void flashTaskbar() override;
    void showTrackedTask() override;
    void showMainWindow() override;

    // ---- TaskDialogHost
    void openCategoryManager(QWidget *parent) override;
    int &modalDialogDepth() override;

Q_SIGNALS:
    // An exit command: the application runs the deferred shutdown.
    void exitRequested();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // The summary's texts and progress bar in the panel's width.
    void fitSummary();
    void buildMenus();
    void buildToolbar(QWidget *parent);
    void buildPanels();
    void connectGrid();
    void showColumnMenu(const QPoint &globalPos);
    bool handleWindowKey(QKeyEvent *event);
    void saveWindowPosition();
    void dtpView_Change();
    void settingChanged(cdk::SettingsSection section, const QString &key);
    void trayAvailableChanged(bool available);
    // The current-task panel's text colours, readable on its colours.
    void applyTrackerColours();

    AppContext &m_context;
    ShownDay *m_day = nullptr;
    MainMenus m_menus;
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
    DaySummary m_summary;
    QLabel *m_lblDone = nullptr;
    QLabel *m_lblLeft = nullptr;
    DatePicker *m_dtpView = nullptr;
    TaskGridView *m_view = nullptr;
    QMenu *m_pmColumns = nullptr;
    std::unique_ptr<TaskGrid> m_grid;
    TaskCommands *m_taskCommands = nullptr;
    TrackingCommands *m_trackingCommands = nullptr;
    WindowCommands *m_windowCommands = nullptr;
    std::unique_ptr<TrackingController> m_tracking;
    AddTaskDialog *m_taskDialog = nullptr;
    bool m_finishHighlighted = false;
    bool m_currentTaskIsLink = false;
    QTimer *m_savePosition = nullptr; // gathers the resize events of one drag
    QTimer *m_refill = nullptr; // one refill for the several keys one OK writes
    bool m_waitingForTray = false; // hidden to a tray that was not there
};

} // namespace cdk
