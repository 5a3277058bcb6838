#pragma once

#include <QDate>
#include <QString>

class QAction;
class QWidget;

namespace cdk {

class AddTaskDialog;
class TaskGrid;

// What the command classes need from the main window besides the shown day:
// its grid, the task dialog and the window itself as the parent of dialogs.
class CommandHost
{
public:
    virtual ~CommandHost() = default;

    virtual QWidget *dialogParent() = 0;
    // dtpView := date, then the list of that day is shown.
    virtual void showDay(const QDate &date) = 0;
    virtual TaskGrid &grid() = 0;
    virtual AddTaskDialog &taskDialog() = 0;
    // Minimises the window and hides it in the tray (minimised only where
    // there is no tray).
    virtual void hideToTray() = 0;
    virtual void updateCommandStates() = 0;
};

// Runs an action's command only when it is enabled, as the keys and toolbar
// buttons that stand for a menu entry do.
void triggerIfEnabled(QAction *action);

} // namespace cdk
