#pragma once

#include <QList>
#include <QMenu>
#include <QMenuBar>

namespace cdk {

// Every entry of the main window's menu bar, named as the commands are named
// everywhere else (objectName = the member's name; array entries carry their
// index in parentheses, as in "mnuPriority(0)").
struct MainActions
{
    QMenu *mnuFile = nullptr;
    QAction *mnuCreateBackup = nullptr;
    QAction *mnuRestoreBackup = nullptr;
    QAction *mnuSettings = nullptr;
    QAction *mnuHideToSystemTray = nullptr;
    QAction *mnuExit = nullptr;

    QMenu *mnuTask = nullptr;
    QAction *mnuAddTask = nullptr;
    QAction *mnuEditTask = nullptr;
    QAction *mnuDeleteTask = nullptr;
    QAction *mnuManageCategories = nullptr;
    QAction *mnuRecurrentTasks = nullptr;
    QAction *mnuMarkDone = nullptr;
    QAction *mnuMarkUndone = nullptr;
    QMenu *mnuBatchEdit = nullptr;
    QMenu *mnuSetTaskState = nullptr;
    QList<QAction *> mnuTaskState; // 0..4
    QMenu *mnuSetTaskPriority = nullptr;
    QList<QAction *> mnuPriority;  // 0 "&Urgent" .. 5 "&Very Low"
    QAction *mnuSetTaskCategory = nullptr;
    QAction *mnuSetTimeDone = nullptr;
    QAction *mnuResetTimer = nullptr;
    QAction *mnuMoveTasksToNextDay = nullptr;
    QAction *mnuMoveTasksToPreviousDay = nullptr;
    QAction *mnuMoveTasksToAnyDay = nullptr;

    QMenu *mnuTimer = nullptr;
    QAction *mnuStartTimer = nullptr;
    QAction *mnuStopTimer = nullptr;

    QMenu *mnuHelp = nullptr;
    QAction *mnuViewTheTutorial = nullptr;
    QAction *mnuAbout = nullptr;

    // Builds the menu bar with its captions, shortcuts and icons.
    void build(QMenuBar *bar, QWidget *shortcutScope);
};

} // namespace cdk
