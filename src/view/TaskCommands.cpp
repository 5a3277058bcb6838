#include "view/TaskCommands.h"

#include "base/Functions.h"
#include "base/Log.h"
#include "base/Translate.h"
#include "controls/WindowServices.h"
#include "core/ShownDay.h"
#include "core/TaskOperations.h"
#include "core/TimeTracker.h"
#include "editing/AddTaskDialog.h"
#include "editing/BatchModifyDialog.h"
#include "editing/RecurrentTasksDialog.h"
#include "editing/ReviewDayDialog.h"
#include "editing/TaskDialogHost.h"
#include "store/Vocabulary.h"
#include "view/AppContext.h"
#include "view/CommandActions.h"
#include "view/CommandHost.h"
#include "view/TaskGrid.h"
#include "view/TaskGridView.h"

#include <QAction>
#include <QCoreApplication>

namespace cdk {

void reportStoreError(Prompter &prompter, const QString &context, const StoreError &e)
{
    if (e.isReadyToShow())
        prompter.tell(programName(), e.userMessage(), MessageIcon::Exclamation);
    else
        ShowErrorMessage(prompter, context, e.code(), e.message());
}

TaskCommands::TaskCommands(AppContext &context, ShownDay &day, CommandHost &host,
                           TaskDialogHost &dialogHost, QObject *parent)
    : QObject(parent), m_context(context), m_day(day), m_host(host), m_dialogHost(dialogHost)
{
    auto make = [this](const char *name, const QString &caption, const char *icon,
                       const QKeySequence &keys = {}) {
        return makeCommandAction(this, name, caption, icon, keys);
    };
    // Ctrl+Z and Ctrl+Y already show other days: undo takes the other
    // common desktop keys. U and R are the menu letters of "Mark
    // Unfinished" and "Manage Recurrent Tasks"; redo has its keys alone.
    mnuUndo = make("mnuUndo", tr("Und&o"), "UNDO",
                   QKeySequence(Qt::ALT | Qt::Key_Backspace));
    mnuRedo = make("mnuRedo", tr("Redo"), "REDO",
                   QKeySequence(Qt::SHIFT | Qt::ALT | Qt::Key_Backspace));
    mnuRedo->setShortcuts({QKeySequence(Qt::SHIFT | Qt::ALT | Qt::Key_Backspace),
                           QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    mnuAddTask = make("mnuAddTask", tr("&Add New Task..."), "PLUS",
                      QKeySequence(Qt::CTRL | Qt::Key_T));
    mnuEditTask = make("mnuEditTask", tr("&Edit Task..."), "EDITTASK",
                       QKeySequence(Qt::CTRL | Qt::Key_E));
    mnuDeleteTask = make("mnuDeleteTask", tr("&Delete Task"), "DELETE");
    mnuManageCategories = make("mnuManageCategories", tr("&Manage Task Categories..."),
                               "MANAGE", QKeySequence(Qt::CTRL | Qt::Key_M));
    mnuRecurrentTasks =
        make("mnuRecurrentTasks", tr("Manage &Recurrent Tasks..."), "RECURRENT");
    mnuMarkDone = make("mnuMarkDone", tr("&Mark Finished"), "DONE");
    mnuMarkUndone = make("mnuMarkUndone", tr("Mark &Unfinished"), "UNDONE");
    // The state and priority names with a menu letter each: the letters
    // differ from language to language, so these are texts of the menu's own.
    const QStringList states = {tr("&Not Started"), tr("&In Progress"), tr("&Pending"),
                                tr("&Delayed"), tr("&Finished")};
    for (int i = 0; i < states.size(); ++i) {
        QAction *a = new QAction(states.at(i), this);
        a->setObjectName(QStringLiteral("mnuTaskState(%1)").arg(i));
        connect(a, &QAction::triggered, this, [this, i] { setState(i); });
        mnuTaskState << a;
    }
    const QStringList priorities = {tr("&Urgent"), tr("&Very High"), tr("&High"),
                                    tr("&Normal"), tr("&Low"),       tr("&Very Low")};
    const char *priorityIcons[] = {"URGENTP", "HIGHESTP", "HIGHP", "NORMALP", "LOWP", "LOWESTP"};
    for (int i = 0; i < priorities.size(); ++i) {
        QAction *a = makeCommandAction(this, "", priorities.at(i), priorityIcons[i]);
        a->setObjectName(QStringLiteral("mnuPriority(%1)").arg(i));
        connect(a, &QAction::triggered, this, [this, i] { setPriority(i); });
        mnuPriority << a;
    }
    mnuSetTaskCategory = make("mnuSetTaskCategory", tr("&Category.."), "FOLDERFLAT");
    mnuSetTimeDone = make("mnuSetTimeDone", tr("&Time Finished.."), "CLOCK");
    mnuResetTimer = make("mnuResetTimer", tr("&Reset Timer"), "RESET");
    mnuMoveTasksToNextDay = make("mnuMoveTasksToNextDay", tr("Move Task(s) To &Next Day"),
                                 "MOVERIGHT", QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuMoveTasksToPreviousDay =
        make("mnuMoveTasksToPreviousDay", tr("Move Task(s) To &Previous Day"),
             "MOVELEFT", QKeySequence(Qt::CTRL | Qt::Key_R));
    mnuMoveTasksToAnyDay = make("mnuMoveTasksToAnyDay", tr("Mo&ve Task(s) To Any Day.."),
                                "MOVEX", QKeySequence(Qt::CTRL | Qt::Key_Y));
    mnuReviewDay = make("mnuReviewDay", tr("Review the Da&y..."), "CHECKBOX");

    // What the user does in the window can be taken back; what the command
    // line does through the window's socket is not recorded.
    m_context.operations.setRecording(true);
    connect(mnuUndo, &QAction::triggered, this, [this] { undoOrRedo(true); });
    connect(mnuRedo, &QAction::triggered, this, [this] { undoOrRedo(false); });
    connect(&m_context.operations.history(), &UndoHistory::changed, this,
            &TaskCommands::updateUndoTexts);
    updateUndoTexts();
    connect(mnuAddTask, &QAction::triggered, this, &TaskCommands::addTask);
    connect(mnuEditTask, &QAction::triggered, this, &TaskCommands::editTask);
    connect(mnuDeleteTask, &QAction::triggered, this, &TaskCommands::deleteTasks);
    connect(mnuManageCategories, &QAction::triggered, this,
            [this] { m_dialogHost.openCategoryManager(m_host.dialogParent()); });
    connect(mnuRecurrentTasks, &QAction::triggered, this, &TaskCommands::manageRecurrentTasks);
    connect(mnuMarkDone, &QAction::triggered, this, [this] { checkSelected(true); });
    connect(mnuMarkUndone, &QAction::triggered, this, [this] { checkSelected(false); });
    connect(mnuSetTaskCategory, &QAction::triggered, this,
            [this] { batchModify(BatchModifyDialog::Category); });
    connect(mnuSetTimeDone, &QAction::triggered, this,
            [this] { batchModify(BatchModifyDialog::TimeDone); });
    connect(mnuResetTimer, &QAction::triggered, this, &TaskCommands::resetTimeDone);
    connect(mnuMoveTasksToNextDay, &QAction::triggered, this, [this] { moveSelected(1); });
    connect(mnuMoveTasksToPreviousDay, &QAction::triggered, this, [this] { moveSelected(-1); });
    connect(mnuMoveTasksToAnyDay, &QAction::triggered, this,
            [this] { batchModify(BatchModifyDialog::MoveToAnyDay); });
    connect(mnuReviewDay, &QAction::triggered, this, &TaskCommands::reviewDay);
}

template<typename Fn>
bool TaskCommands::guarded(const char *what, const QString &failure, Fn &&operation)
{
    try {
        operation();
        return true;
    } catch (const StoreError &e) {
        qCWarning(lcView) << what << "refused:" << e.code() << e.message();
        reportStoreError(m_context.prompter, failure, e);
    }
    return false;
}

void TaskCommands::updateStates(int n)
{
    mnuEditTask->setEnabled(n == 1);
    mnuDeleteTask->setEnabled(n >= 1);
    for (QAction *a : {mnuSetTimeDone, mnuResetTimer, mnuMarkDone, mnuMarkUndone,
                       mnuMoveTasksToAnyDay, mnuMoveTasksToNextDay, mnuMoveTasksToPreviousDay,
                       mnuSetTaskCategory})
        a->setEnabled(n >= 1);
    for (QAction *a : mnuTaskState)
        a->setEnabled(n >= 1);
    for (QAction *a : mnuPriority)
        a->setEnabled(n >= 1);
}

// ---- Undo and redo ---------------------------------------------------------

void TaskCommands::updateUndoTexts()
{
    const UndoHistory &history = m_context.operations.history();
    mnuUndo->setEnabled(history.canUndo());
    // "Undo Add Task": the step goes where the language puts it.
    mnuUndo->setText(history.canUndo() ? tr("Und&o %1").arg(history.undoText()) : tr("Und&o"));
    mnuRedo->setEnabled(history.canRedo());
    mnuRedo->setText(history.canRedo() ? tr("Redo %1").arg(history.redoText()) : tr("Redo"));
}

void TaskCommands::undoOrRedo(bool undo)
{
    TaskOperations &operations = m_context.operations;
    try {
        if (undo)
            operations.undo();
        else
            operations.redo();
    } catch (const StoreError &e) {
        qCInfo(lcView) << (undo ? "undo" : "redo") << "refused:" << e.code() << e.message();
        reportStoreError(m_context.prompter,
                         tr("The change could not be taken back; your tasks are unchanged."),
                         e);
    }
}

// ---- Adding and editing --------------------------------------------------

// The task dialog stays loaded while hidden, and the keyboard would stay with
// its last field: after any dialog the window takes the keys back, for the
// day's list.
void TaskCommands::giveKeysToGrid()
{
    QWidget *grid = m_host.grid().view();
    grid->window()->activateWindow();
    grid->setFocus(Qt::OtherFocusReason);
}

void TaskCommands::afterTaskDialog(bool saved, const QString &list, qint32 id, bool startTimer)
{
    if (!saved)
        return;
    if (list == m_day.listKey())
        m_host.grid().selectTask(id);
    if (startTimer)
        guarded("Starting time tracking",
                tr("Starting time tracking failed; your tasks are unchanged."),
                [&] { m_context.operations.startTracking(list, id); });
}

void TaskCommands::addTask()
{
    const bool noneSelected = m_day.selectedIds().isEmpty();
    const TaskDialogResult result =
        m_host.taskDialog().ShowEx(m_host.dialogParent(), true, 0, QString(), false);
    if (result.saved && !result.startTimer && result.list == m_day.listKey()) {
        // A task added without the timer leaves the selection as it was; the
        // one row of a day with nothing selected is selected.
        TaskGrid &grid = m_host.grid();
        if (noneSelected) {
            if (grid.rowCount() == 1)
                grid.selectRow(1);
            else
                grid.clearSelection();
        }
    } else {
        afterTaskDialog(result.saved, result.list, result.id, result.startTimer);
    }
    m_host.updateCommandStates();
    giveKeysToGrid();
}

void TaskCommands::editTask()
{
    const QList<qint32> ids = m_day.selectedIds();
    if (ids.size() != 1)
        return;
    const QString list = m_day.listKey();
    const TaskDialogResult result =
        m_host.taskDialog().ShowEx(m_host.dialogParent(), false, ids.first(), list, false);
    afterTaskDialog(result.saved, result.list, result.id, result.startTimer);
    m_host.updateCommandStates();
    giveKeysToGrid();
}

void TaskCommands::manageRecurrentTasks()
{
    RecurrentTasksDialog dialog(m_context.operations, m_context.prompter, m_host.taskDialog(),
                                m_dialogHost, m_host.dialogParent());
    dialog.ShowEx(m_host.dialogParent());
    giveKeysToGrid();
}

// ---- Changing the selected tasks -----------------------------------------

void TaskCommands::deleteTasks()
{
    const int n = int(m_day.selectedIds().size());
    if (n == 0)
        return;
    const QString question = countedText(
        "cdk::TaskCommands",
        QT_TRANSLATE_N_NOOP("cdk::TaskCommands", "Do you really want to delete %n selected tasks?"),
        "Do you really want to delete the selected task?", n);
    if (m_context.prompter.ask(tr("Delete Task"), question, MessageIcon::Question)
        != Answer::Yes)
        return;
    // The tasks selected now: the grid may have re-sorted behind the question.
    const QList<qint32> ids = m_day.selectedIds();
    if (ids.isEmpty())
        return;
    // One task deleted leaves its place to the next, or the new last one.
    TaskGrid &grid = m_host.grid();
    const qint32 successor = ids.size() == 1 ? grid.taskInPlaceOf(ids.first()) : 0;
    guarded("Deleting the task", tr("Deleting the task failed; your tasks are unchanged."),
            [&] { m_context.operations.deleteTasks(m_day.listKey(), ids); });
    if (successor != 0)
        grid.selectTask(successor);
}

bool TaskCommands::stopTrackingOnCheckOff()
{
    return m_context.settings.flags().MarkTasks100PercentWhenCheckedOff
        || m_context.prompter.ask(programName(),
                                  tr("Do you want to stop time tracking this task?"),
                                  MessageIcon::Question)
        == Answer::Yes;
}

void TaskCommands::checkSelected(bool check)
{
    const QString list = m_day.listKey();
    const QList<qint32> chosen = m_day.selectedIds();
    if (chosen.isEmpty())
        return;
    auto trackedCheckOff = TaskOperations::TrackedCheckOff::KeepTracking;
    if (check && chosen.contains(m_context.tracker.TrackedTaskID)
        && m_context.tracker.TrackedList == list) {
        std::optional<TaskRecord> tracked;
        guarded("Changing the tasks", tr("Changing the tasks failed; your tasks are unchanged."),
                [&] { tracked = m_context.operations.task(list, m_context.tracker.TrackedTaskID); });
        if (tracked && tracked->State != TaskState::Finished && stopTrackingOnCheckOff())
            trackedCheckOff = TaskOperations::TrackedCheckOff::StopTracking;
    }
    // Read again after the question: the selection is what the user sees now.
    const QList<qint32> ids = m_day.selectedIds();
    guarded("Changing the tasks", tr("Changing the tasks failed; your tasks are unchanged."),
            [&] { m_context.operations.checkTasks(list, ids, check, trackedCheckOff); });
}

void TaskCommands::toggleChecked(qint32 id)
{
    const QString list = m_day.listKey();
    std::optional<TaskRecord> task;
    if (!guarded("Changing the task", tr("Changing the task failed; your tasks are unchanged."),
                 [&] { task = m_context.operations.task(list, id); })
        || !task)
        return;
    const bool check = task->State != TaskState::Finished;
    auto trackedCheckOff = TaskOperations::TrackedCheckOff::KeepTracking;
    if (check && m_context.tracker.isTracked(list, id) && stopTrackingOnCheckOff())
        trackedCheckOff = TaskOperations::TrackedCheckOff::StopTracking;
    guarded("Changing the task", tr("Changing the task failed; your tasks are unchanged."),
            [&] { m_context.operations.checkTasks(list, {id}, check, trackedCheckOff); });
}

void TaskCommands::setState(int index)
{
    const QList<qint32> ids = m_day.selectedIds();
    guarded("Changing the state", tr("Changing the state failed; your tasks are unchanged."), [&] {
        m_context.operations.setState(m_day.listKey(), ids, index);
    });
}

void TaskCommands::setPriority(int index)
{
    const QList<qint32> ids = m_day.selectedIds();
    guarded("Changing the priority",
            tr("Changing the priority failed; your tasks are unchanged."), [&] {
        m_context.operations.setPriority(m_day.listKey(), ids, 5 - index);
    });
}

void TaskCommands::resetTimeDone()
{
    const int n = int(m_day.selectedIds().size());
    if (n == 0)
        return;
    const QString question = countedText(
        "cdk::TaskCommands",
        QT_TRANSLATE_N_NOOP("cdk::TaskCommands",
                            "Do you really want to reset time done of %n selected tasks?"),
        "Do you really want to reset time done of the selected task?", n);
    if (m_context.prompter.ask(programName(), question, MessageIcon::Question) != Answer::Yes)
        return;
    const QList<qint32> ids = m_day.selectedIds();
    guarded("Resetting the time done",
            tr("Resetting the time done failed; your tasks are unchanged."), [&] {
        m_context.operations.resetTimeDone(m_day.listKey(), ids);
    });
}

void TaskCommands::moveSelected(int days)
{
    const QList<qint32> ids = m_day.selectedIds();
    if (ids.isEmpty())
        return;
    const QString target = DayListKey(m_day.date().addDays(days));
    guarded("Moving the tasks", tr("Moving the tasks failed; your tasks are unchanged."), [&] {
        m_context.operations.moveTasks(m_day.listKey(), ids, target);
    });
}

void TaskCommands::batchModify(int mode)
{
    BatchModifyDialog dialog(m_context.operations, m_context.prompter, m_dialogHost, m_day,
                             m_host.dialogParent());
    dialog.ShowEx(mode, m_context.clock.today());
    m_host.updateCommandStates();
    giveKeysToGrid();
}

// Always today's list, whatever day is shown: closing a day is about the
// one that is ending.
void TaskCommands::reviewDay()
{
    ReviewDayDialog dialog(m_context.operations, m_context.prompter, m_dialogHost,
                           m_host.dialogParent());
    dialog.ShowEx(m_context.clock.today());
    m_host.updateCommandStates();
    giveKeysToGrid();
}

void TaskCommands::copySelectionToClipboard()
{
    if (int(m_day.selectedIds().size()) == 0)
        return;
    CopyTextToClipboard(m_context.prompter, m_host.grid().selectedSubjectsText());
}

} // namespace cdk
