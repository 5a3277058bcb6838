// The main window's commands: one slot per menu entry, toolbar button, key
// and mouse action, each calling a task operation, the tracker or a dialog and
// then refreshing the grid.
#include "base/Functions.h"
#include "base/Log.h"
#include "controls/ImageButton.h"
#include "controls/WindowServices.h"
#include "desktop/TrayIcon.h"
#include "editing/AddTaskDialog.h"
#include "editing/RecurrentTasksDialog.h"
#include "store/Vocabulary.h"
#include "tracking/TrackingController.h"
#include "view/AppContext.h"
#include "view/MainWindow.h"
#include "view/TaskGrid.h"
#include "view/TaskGridView.h"

#include <QApplication>
#include <QMenu>
#include <QMessageBox>

namespace cdk {

void MainWindow::connectCommands()
{
    const MainActions &a = m_actions;
    connect(a.mnuCreateBackup, &QAction::triggered, this, &MainWindow::mnuCreateBackup_Click);
    connect(a.mnuRestoreBackup, &QAction::triggered, this, &MainWindow::mnuRestoreBackup_Click);
    connect(a.mnuSettings, &QAction::triggered, this, &MainWindow::mnuSettings_Click);
    connect(a.mnuHideToSystemTray, &QAction::triggered, this, &MainWindow::mnuHideToSystemTray_Click);
    connect(a.mnuExit, &QAction::triggered, this, &MainWindow::mnuExit_Click);
    connect(a.mnuAddTask, &QAction::triggered, this, &MainWindow::mnuAddTask_Click);
    connect(a.mnuEditTask, &QAction::triggered, this, &MainWindow::mnuEditTask_Click);
    connect(a.mnuDeleteTask, &QAction::triggered, this, &MainWindow::mnuDeleteTask_Click);
    connect(a.mnuManageCategories, &QAction::triggered, this, &MainWindow::mnuManageCategories_Click);
    connect(a.mnuRecurrentTasks, &QAction::triggered, this, &MainWindow::mnuRecurrentTasks_Click);
    connect(a.mnuMarkDone, &QAction::triggered, this, &MainWindow::mnuMarkDone_Click);
    connect(a.mnuMarkUndone, &QAction::triggered, this, &MainWindow::mnuMarkUndone_Click);
    for (int i = 0; i < a.mnuTaskState.size(); ++i)
        connect(a.mnuTaskState.at(i), &QAction::triggered, this, [this, i] { mnuTaskState_Click(i); });
    for (int i = 0; i < a.mnuPriority.size(); ++i)
        connect(a.mnuPriority.at(i), &QAction::triggered, this, [this, i] { mnuPriority_Click(i); });
    connect(a.mnuSetTaskCategory, &QAction::triggered, this, &MainWindow::mnuSetTaskCategory_Click);
    connect(a.mnuSetTimeDone, &QAction::triggered, this, &MainWindow::mnuSetTimeDone_Click);
    connect(a.mnuResetTimer, &QAction::triggered, this, &MainWindow::mnuResetTimer_Click);
    connect(a.mnuMoveTasksToNextDay, &QAction::triggered, this, &MainWindow::mnuMoveTasksToNextDay_Click);
    connect(a.mnuMoveTasksToPreviousDay, &QAction::triggered, this,
            &MainWindow::mnuMoveTasksToPreviousDay_Click);
    connect(a.mnuMoveTasksToAnyDay, &QAction::triggered, this, &MainWindow::mnuMoveTasksToAnyDay_Click);
    connect(a.mnuStartTimer, &QAction::triggered, this, &MainWindow::mnuStartTimer_Click);
    connect(a.mnuStopTimer, &QAction::triggered, this, &MainWindow::mnuStopTimer_Click);
    connect(a.mnuViewTheTutorial, &QAction::triggered, this, &MainWindow::mnuViewTheTutorial_Click);
    connect(a.mnuAbout, &QAction::triggered, this, &MainWindow::mnuAbout_Click);
}

void MainWindow::connectGrid()
{
    connect(m_grid.get(), &TaskGrid::refreshed, this, &MainWindow::RefreshAfterSelection);
    connect(m_view, &TaskGridView::rowSelectionChanged, this, &MainWindow::RefreshAfterSelection);
    connect(m_view, &TaskGridView::keyHandled, this, &MainWindow::RefreshAfterSelection);
    connect(m_view, &TaskGridView::checkboxClicked, this, [this](int row) {
        CheckboxClicked(row, false);
        m_grid->setRedraw(true);
    });
    connect(m_view, &TaskGridView::altLeftPressed, this, [this] {
        if (m_actions.mnuAddTask->isEnabled())
            mnuAddTask_Click();
    });
    connect(m_view, &TaskGridView::emptyGridDoubleRelease, this, [this] {
        if (m_actions.mnuAddTask->isEnabled())
            mnuAddTask_Click();
    });
    connect(m_view, &TaskGridView::rightReleased, this,
            [this](const QPoint &pos) { m_actions.mnuTask->popup(pos); });
    connect(m_view, &TaskGridView::rowDoubleClicked, this, [this](int) {
        if (m_actions.mnuEditTask->isEnabled())
            mnuEditTask_Click();
    });
    connect(m_view, &TaskGridView::headerClicked, this,
            [this](int column) { m_grid->SortByHeader(column); });
    connect(m_view, &TaskGridView::headerRightClicked, this, &MainWindow::showColumnMenu);
    connect(m_view, &TaskGridView::columnsChanged, this, [this] {
        if (!m_context.StartingUp)
            m_grid->saveColumnLayout();
    });
    connect(m_view, &TaskGridView::spacePressed, this, [this] {
        const int row = m_view->selectedRow();
        if (row <= 0)
            return;
        CheckboxClicked(row, true);
        m_grid->selectRow(row);
    });
    connect(m_view, &TaskGridView::enterPressed, this, [this] {
        if (m_actions.mnuEditTask->isEnabled())
            mnuEditTask_Click();
    });
    connect(m_view, &TaskGridView::deletePressed, this, [this] {
        if (m_actions.mnuDeleteTask->isEnabled())
            mnuDeleteTask_Click();
    });
    connect(m_view, &TaskGridView::copyPressed, this, &MainWindow::copySelectionToClipboard);
}

void MainWindow::showColumnMenu(const QPoint &globalPos)
{
    for (int n = 3; n <= 8; ++n) {
        auto *entry = m_pmColumns->findChild<QAction *>(QStringLiteral("mnuHideCol(%1)").arg(n));
        entry->setChecked(!m_grid->columnHiddenSetting(n));
    }
    m_pmColumns->popup(globalPos);
}

template<typename Fn>
bool MainWindow::guarded(const QString &what, Fn &&operation)
{
    try {
        operation();
        return true;
    } catch (const StoreError &e) {
        m_context.prompter.tell(programName(), e.userMessage(), MessageIcon::Exclamation);
    } catch (const sql::Error &e) {
        m_context.prompter.tell(programName(),
                                what + QStringLiteral(" failed; your tasks are unchanged.\r\n\r\n")
                                    + e.message(),
                                MessageIcon::Critical);
    }
    return false;
}

bool MainWindow::isTrackedRow(int row) const
{
    return m_context.tracker.TrackingActive
        && m_context.tracker.TrackedTaskID == m_grid->taskIdOfRow(row)
        && m_context.tracker.TrackedList == CurrentListKey();
}

// ---- Task commands -------------------------------------------------------

void MainWindow::mnuAddTask_Click()
{
    taskDialog().ShowEx(this, true, 0, QString(), false);
    RefreshAfterSelection();
}

void MainWindow::mnuEditTask_Click()
{
    const qint32 id = selectedTaskID();
    if (id == 0)
        return;
    taskDialog().ShowEx(this, false, id, CurrentListKey(), false);
    RefreshAfterSelection();
}

void MainWindow::mnuDeleteTask_Click()
{
    const QList<int> rows = m_grid->selectedRows();
    const int n = int(rows.size());
    if (n == 0)
        return;
    const QString question = n >= 2
        ? QStringLiteral("Do you really want to delete ") + QString::number(n)
            + QStringLiteral(" selected tasks?")
        : QStringLiteral("Do you really want to delete the selected task?");
    if (m_context.prompter.ask(QStringLiteral("Delete Task"), question, MessageIcon::Question)
        != Answer::Yes)
        return;
    const int selectedBefore = rows.first();
    const QString key = CurrentListKey();
    guarded(QStringLiteral("Deleting the task"), [&] {
        for (int row : rows) {
            if (isTrackedRow(row))
                m_tracking->SetTracking(false);
            m_context.store.DeleteTask(m_grid->taskIdOfRow(row), key);
        }
    });
    m_grid->RefreshTaskList(key, false, false, false);
    if (n == 1 && m_grid->rowCount() > 0)
        m_grid->selectRow(qMin(selectedBefore, m_grid->rowCount()));
    m_grid->setRedraw(true);
    RefreshAfterSelection();
}

void MainWindow::mnuRecurrentTasks_Click()
{
    RecurrentTasksDialog dialog(m_context.store, m_context.prompter, taskDialog(), *this, this);
    dialog.ShowEx(this);
}

void MainWindow::mnuMarkDone_Click()
{
    CheckSelectedTasks(true);
}

void MainWindow::mnuMarkUndone_Click()
{
    CheckSelectedTasks(false);
}

void MainWindow::mnuTaskState_Click(int index)
{
    const QString key = CurrentListKey();
    const bool markFull = m_context.settings.flags().MarkTasks100PercentWhenCheckedOff;
    guarded(QStringLiteral("Changing the state"), [&] {
        for (qint32 id : m_grid->selectedTaskIds())
            m_context.store.SetTaskState(id, key, index, markFull);
    });
    m_grid->RefreshTaskList(key, true, true, true);
}

void MainWindow::mnuPriority_Click(int index)
{
    const QString key = CurrentListKey();
    guarded(QStringLiteral("Changing the priority"), [&] {
        for (qint32 id : m_grid->selectedTaskIds())
            m_context.store.SetTaskPriority(id, key, 5 - index);
    });
    m_grid->RefreshTaskList(key, true, true, true);
}

void MainWindow::mnuResetTimer_Click()
{
    const QList<qint32> ids = m_grid->selectedTaskIds();
    const int n = int(ids.size());
    if (n == 0)
        return;
    const QString question = n >= 2
        ? QStringLiteral("Do you really want to reset time done of ") + QString::number(n)
            + QStringLiteral(" selected tasks?")
        : QStringLiteral("Do you really want to reset time done of the selected task?");
    if (m_context.prompter.ask(programName(), question, MessageIcon::Question) != Answer::Yes)
        return;
    const QString key = CurrentListKey();
    guarded(QStringLiteral("Resetting the time done"), [&] {
        for (qint32 id : ids)
            m_tracking->ResetTimeDone(key, id);
    });
    m_grid->RefreshTaskList(key, true, true, true);
}

void MainWindow::mnuMoveTasksToNextDay_Click()
{
    MoveSelectedTasks(DayListKey(shownDate().addDays(1)));
}

void MainWindow::mnuMoveTasksToPreviousDay_Click()
{
    MoveSelectedTasks(DayListKey(shownDate().addDays(-1)));
}

void MainWindow::MoveSelectedTasks(const QString &targetKey)
{
    const QString key = CurrentListKey();
    if (targetKey == key)
        return;
    guarded(QStringLiteral("Moving the tasks"), [&] {
        qint32 newId = m_context.store.NextTaskID(targetKey);
        for (qint32 id : m_grid->selectedTaskIds()) {
            if (!m_context.store.findTask(key, id))
                continue;
            m_tracking->taskMoved(key, id, targetKey, newId);
            m_context.store.MoveTask(key, id, targetKey, newId);
            newId = m_context.store.NextTaskID(targetKey);
        }
    });
    m_grid->RefreshTaskList(key, false, false, true);
}

void MainWindow::CheckSelectedTasks(bool check)
{
    const QString key = CurrentListKey();
    const bool markFull = m_context.settings.flags().MarkTasks100PercentWhenCheckedOff;
    guarded(QStringLiteral("Changing the tasks"), [&] {
        for (int row : m_grid->selectedRows()) {
            const bool shownChecked = m_grid->cellIconKey(row, ColCheckbox) == QStringLiteral("CHECK");
            const qint32 id = m_grid->taskIdOfRow(row);
            int state = -1;
            if (!shownChecked && check) {
                state = Finished;
                if (isTrackedRow(row)) {
                    if (markFull
                        || m_context.prompter.ask(
                               programName(),
                               QStringLiteral("Do you want to stop time tracking this task?"),
                               MessageIcon::Question)
                            == Answer::Yes) {
                        m_tracking->finishTrackedTask();
                        continue;
                    }
                }
            } else if (shownChecked && !check) {
                state = m_grid->cellText(row, ColTimeDone) != QStringLiteral("0:00") ? InProgress
                                                                                     : NotStarted;
            }
            if (state >= 0)
                m_context.store.SetTaskState(id, key, state, markFull);
        }
    });
    m_grid->RefreshTaskList(key, true, true, true);
}

void MainWindow::CheckboxClicked(int row, bool redraw)
{
    if (row <= 0 || row > m_grid->rowCount())
        return;
    const QString key = CurrentListKey();
    const qint32 id = m_grid->taskIdOfRow(row);
    const bool markFull = m_context.settings.flags().MarkTasks100PercentWhenCheckedOff;
    const bool ok = guarded(QStringLiteral("Changing the task"), [&] {
        if (m_grid->cellIconKey(row, ColCheckbox) == QStringLiteral("UNCHECK")) {
            if (isTrackedRow(row)) {
                if (markFull
                    || m_context.prompter.ask(
                           programName(),
                           QStringLiteral("Do you want to stop time tracking this task?"),
                           MessageIcon::Question)
                        == Answer::Yes) {
                    m_tracking->finishTrackedTask();
                    return;
                }
            }
            m_context.store.SetTaskState(id, key, Finished, markFull);
        } else {
            const int state = m_grid->cellText(row, ColTimeDone) != QStringLiteral("0:00")
                ? InProgress
                : NotStarted;
            m_context.store.SetTaskState(id, key, state, markFull);
        }
    });
    if (!ok)
        return;
    // The finish command may have refilled the whole list.
    const int current = m_grid->rowOfTask(id);
    m_grid->setRedraw(false);
    if (current > 0)
        m_grid->FillTaskRow(current, key, false);
    m_grid->SortTaskGrid(false);
    if (redraw)
        m_grid->setRedraw(true);
    refreshSummary();
}

void MainWindow::copySelectionToClipboard()
{
    if (m_grid->selectedRowCount() == 0)
        return;
    CopyTextToClipboard(m_context.prompter, m_grid->selectedSubjectsText());
}

// ---- Tracking commands ---------------------------------------------------

void MainWindow::mnuStartTimer_Click()
{
    m_tracking->SetTracking(true);
}

void MainWindow::mnuStopTimer_Click()
{
    m_tracking->SetTracking(false);
    UpdateCommandStates();
}

// ---- Window commands -----------------------------------------------------

void MainWindow::mnuHideToSystemTray_Click()
{
    setWindowState(windowState() | Qt::WindowMinimized);
    // Without a notification area a hidden window could not be found again:
    // it stays minimised on the taskbar instead.
    if (m_context.tray && m_context.tray->isAvailable())
        hide();
}

void MainWindow::mnuExit_Click()
{
    Q_EMIT exitRequested();
}

void MainWindow::isbToolbar_Click(int index)
{
    const isButton *button = (index >= 0 && index < int(m_toolbar.size())) ? m_toolbar.at(index)
                                                                            : nullptr;
    if (!button || !button->isEnabled())
        return;
    const QString tag = button->tag();
    if (tag == QStringLiteral("ADDTASK")) {
        mnuAddTask_Click();
    } else if (tag == QStringLiteral("EDITTASK")) {
        if (m_actions.mnuEditTask->isEnabled())
            mnuEditTask_Click();
    } else if (tag == QStringLiteral("DELETETASK")) {
        if (m_actions.mnuDeleteTask->isEnabled())
            mnuDeleteTask_Click();
    } else if (tag == QStringLiteral("STARTTIME")) {
        mnuStartTimer_Click();
    } else if (tag == QStringLiteral("MANAGECATEGORIES")) {
        mnuManageCategories_Click();
    } else if (tag == QStringLiteral("SETTINGS")) {
        mnuSettings_Click();
    } else if (tag == QStringLiteral("STOPTIMER")) {
        mnuStopTimer_Click();
    } else if (tag == QStringLiteral("FINISHIT")) {
        m_tracking->finishTrackedTask();
    } else if (tag == QStringLiteral("PREVIOUSDAY") || tag == QStringLiteral("NEXTDAY")) {
        showDay(shownDate().addDays(tag == QStringLiteral("NEXTDAY") ? 1 : -1));
    } else if (tag == QStringLiteral("TODAY")) {
        showDay(m_context.clock.today());
    }
}

void MainWindow::dtpView_Change()
{
    m_grid->RefreshTaskList(CurrentListKey(), false, false, true);
    RefreshTLabel();
}

// ---- Commands whose windows come with later work ---------------------------

void MainWindow::notAvailableYet(const QString &command)
{
    m_context.prompter.tell(programName(),
                            command + QStringLiteral(" is not available in this version yet."),
                            MessageIcon::Information);
}

void MainWindow::mnuManageCategories_Click()
{
    notAvailableYet(QStringLiteral("Managing categories"));
}

void MainWindow::mnuSetTaskCategory_Click()
{
    notAvailableYet(QStringLiteral("Setting the category of several tasks"));
}

void MainWindow::mnuSetTimeDone_Click()
{
    notAvailableYet(QStringLiteral("Setting the time done of several tasks"));
}

void MainWindow::mnuMoveTasksToAnyDay_Click()
{
    notAvailableYet(QStringLiteral("Moving tasks to a chosen day"));
}

void MainWindow::mnuSettings_Click()
{
    notAvailableYet(QStringLiteral("The settings window"));
}

void MainWindow::mnuViewTheTutorial_Click()
{
    notAvailableYet(QStringLiteral("The tutorial"));
}

void MainWindow::mnuCreateBackup_Click()
{
    notAvailableYet(QStringLiteral("Creating a backup"));
}

void MainWindow::mnuRestoreBackup_Click()
{
    notAvailableYet(QStringLiteral("Restoring a backup"));
}

void MainWindow::mnuAbout_Click()
{
    ModalDialogScope modal(*this);
    QMessageBox box(this);
    box.setWindowTitle(QStringLiteral("About ") + programName());
    box.setIconPixmap(windowIcon().pixmap(64, 64));
    box.setTextFormat(Qt::RichText);
    box.setText(QStringLiteral("<h3>Chronodeck</h3><p>Version: 2.01</p>"
                               "<p>Daily task lists with time budgets.</p>"));
    box.exec();
}

} // namespace cdk
