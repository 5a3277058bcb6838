#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QAction;

namespace cdk {

struct AppContext;
class CommandHost;
class ShownDay;
class Prompter;
class TaskDialogHost;
class StoreError;

// The commands on the tasks of the day shown: add, edit, delete, check off,
// state, priority, reset, moves, and the managers. Each is one QAction that
// the menu, the toolbar, the keys, the grid's mouse and the tray trigger
// alike. A command reads the selected tasks when it acts (after its question
// is answered), then asks the task operations by list key and task ID.
class TaskCommands final : public QObject
{
    Q_OBJECT

public:
    TaskCommands(AppContext &context, ShownDay &day, CommandHost &host, TaskDialogHost &dialogHost,
                 QObject *parent = nullptr);

    QAction *mnuUndo = nullptr;
    QAction *mnuRedo = nullptr;
    QAction *mnuAddTask = nullptr;
    QAction *mnuEditTask = nullptr;
    QAction *mnuDeleteTask = nullptr;
    QAction *mnuManageCategories = nullptr;
    QAction *mnuRecurrentTasks = nullptr;
    QAction *mnuMarkDone = nullptr;
    QAction *mnuMarkUndone = nullptr;
    QList<QAction *> mnuTaskState; // 0 "Not Started" .. 4 "Finished"
    QList<QAction *> mnuPriority;  // 0 "&Urgent" .. 5 "&Very Low"
    QAction *mnuSetTaskCategory = nullptr;
    QAction *mnuSetTimeDone = nullptr;
    QAction *mnuResetTimer = nullptr;
    QAction *mnuMoveTasksToNextDay = nullptr;
    QAction *mnuMoveTasksToPreviousDay = nullptr;
    QAction *mnuMoveTasksToAnyDay = nullptr;
    // Today's unfinished tasks, each moved to tomorrow, kept or finished.
    QAction *mnuReviewDay = nullptr;

    // The check box of one task (a click on it, or Space on its row).
    void toggleChecked(qint32 id);
    void copySelectionToClipboard();
    // Enabled states for the number of selected tasks.
    void updateStates(int selectedCount);

private:
    void undoOrRedo(bool undo);
    void updateUndoTexts();
    void addTask();
    void editTask();
    void deleteTasks();
    void manageRecurrentTasks();
    void checkSelected(bool check);
    void setState(int index);
    void setPriority(int index);
    void resetTimeDone();
    void moveSelected(int days);
    // The batch modify dialog in its mode (time done, any day, category).
    void batchModify(int mode);
    void reviewDay();

    // Asks "Do you want to stop time tracking this task?" when check-off
    // touches the tracked task and the settings do not decide it.
    bool stopTrackingOnCheckOff();
    // Runs a store operation; a refusal is logged under `what` and shown as
    // `failure`, and false returned.
    template<typename Fn> bool guarded(const char *what, const QString &failure, Fn &&operation);
    void afterTaskDialog(bool saved, const QString &list, qint32 id, bool startTimer);
    void giveKeysToGrid();

    AppContext &m_context;
    ShownDay &m_day;
    CommandHost &m_host;
    TaskDialogHost &m_dialogHost;
};

// Shows a refusal of the store: a text of the store's own as it is, an engine
// failure in the standard error box under the given context.
void reportStoreError(Prompter &prompter, const QString &context, const StoreError &e);

} // namespace cdk
