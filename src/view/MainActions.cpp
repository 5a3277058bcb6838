#include "view/MainActions.h"

#include "controls/Icons.h"

namespace cdk {

namespace {

QAction *entry(QMenu *menu, const char *name, const QString &caption, const char *iconKey = nullptr,
               const QKeySequence &shortcut = QKeySequence())
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (iconKey)
        action->setIcon(iconForKey(QString::fromLatin1(iconKey)));
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        // The window's keys reach the commands even while the menu is closed
        // and the grid has the focus.
        action->setShortcutContext(Qt::WindowShortcut);
    }
    return action;
}

QMenu *submenu(QMenu *parent, const char *name, const QString &caption, const char *iconKey)
{
    QMenu *menu = parent->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    if (iconKey)
        menu->setIcon(iconForKey(QString::fromLatin1(iconKey)));
    return menu;
}

QMenu *topMenu(QMenuBar *bar, const char *name, const QString &caption)
{
    QMenu *menu = bar->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

} // namespace

void MainActions::build(QMenuBar *bar, QWidget *shortcutScope)
{
    Q_UNUSED(shortcutScope);
    mnuFile = topMenu(bar, "mnuFile", QStringLiteral("&File"));
    mnuCreateBackup = entry(mnuFile, "mnuCreateBackup", QStringLiteral("&Create Backup..."), "SAVE");
    mnuRestoreBackup =
        entry(mnuFile, "mnuRestoreBackup", QStringLiteral("&Restore Backup..."), "RESTORE");
    mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuSep"));
    mnuSettings = entry(mnuFile, "mnuSettings", QStringLiteral("&Settings.."), "WRENCH");
    mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuSep1"));
    mnuHideToSystemTray =
        entry(mnuFile, "mnuHideToSystemTray", QStringLiteral("&Hide To Sysem Tray"), "TRAY");
    mnuExit = entry(mnuFile, "mnuExit", QStringLiteral("E&xit"), "EXIT");

    mnuTask = topMenu(bar, "mnuTask", QStringLiteral("&Task"));
    mnuAddTask = entry(mnuTask, "mnuAddTask", QStringLiteral("&Add New Task..."), "PLUS",
                       QKeySequence(Qt::CTRL | Qt::Key_T));
    mnuEditTask = entry(mnuTask, "mnuEditTask", QStringLiteral("&Edit Task..."), "EDITTASK",
                        QKeySequence(Qt::CTRL | Qt::Key_E));
    mnuDeleteTask = entry(mnuTask, "mnuDeleteTask", QStringLiteral("&Delete Task"), "DELETE");
    mnuManageCategories =
        entry(mnuTask, "mnuManageCategories", QStringLiteral("&Manage Task Categories..."),
              "MANAGE", QKeySequence(Qt::CTRL | Qt::Key_M));
    mnuRecurrentTasks = entry(mnuTask, "mnuRecurrentTasks",
                              QStringLiteral("Manage &Recurrent Tasks..."), "RECURRENT");
    mnuTask->addSeparator()->setObjectName(QStringLiteral("mnuSep4"));
    mnuMarkDone = entry(mnuTask, "mnuMarkDone", QStringLiteral("&Mark Finished"), "DONE");
    mnuMarkUndone = entry(mnuTask, "mnuMarkUndone", QStringLiteral("Mark &Unfinished"), "UNDONE");
    mnuTask->addSeparator()->setObjectName(QStringLiteral("mnuSeperator789"));
    mnuBatchEdit = submenu(mnuTask, "mnuBatchEdit", QStringLiteral("&Batch Modify"), nullptr);
    mnuSetTaskState = submenu(mnuBatchEdit, "mnuSetTaskState", QStringLiteral("&State"), "FLAG");
    const QStringList states = {QStringLiteral("&Not Started"), QStringLiteral("&In Progress"),
                                QStringLiteral("&Pending"), QStringLiteral("&Delayed"),
                                QStringLiteral("&Finished")};
    for (int i = 0; i < states.size(); ++i) {
        QAction *a = mnuSetTaskState->addAction(states.at(i));
        a->setObjectName(QStringLiteral("mnuTaskState(%1)").arg(i));
        a->setData(i);
        mnuTaskState << a;
    }
    mnuSetTaskPriority =
        submenu(mnuBatchEdit, "mnuSetTaskPriority", QStringLiteral("&Priority"), "PRIORITY");
    const QStringList priorities = {QStringLiteral("&Urgent"), QStringLiteral("&Very High"),
                                    QStringLiteral("&High"),   QStringLiteral("&Normal"),
                                    QStringLiteral("&Low"),    QStringLiteral("&Very Low")};
    const QStringList priorityIcons = {QStringLiteral("URGENTP"), QStringLiteral("HIGHESTP"),
                                       QStringLiteral("HIGHP"),   QStringLiteral("NORMALP"),
                                       QStringLiteral("LOWP"),    QStringLiteral("LOWESTP")};
    for (int i = 0; i < priorities.size(); ++i) {
        QAction *a = mnuSetTaskPriority->addAction(iconForKey(priorityIcons.at(i)),
                                                   priorities.at(i));
        a->setObjectName(QStringLiteral("mnuPriority(%1)").arg(i));
        a->setData(i);
        mnuPriority << a;
    }
    mnuSetTaskCategory =
        entry(mnuBatchEdit, "mnuSetTaskCategory", QStringLiteral("&Category.."), "FOLDERFLAT");
    mnuSetTimeDone = entry(mnuBatchEdit, "mnuSetTimeDone", QStringLiteral("&Time Finished.."), "CLOCK");
    mnuResetTimer = entry(mnuBatchEdit, "mnuResetTimer", QStringLiteral("&Reset Timer"), "RESET");
    mnuTask->addSeparator()->setObjectName(QStringLiteral("mnuSep44"));
    mnuMoveTasksToNextDay =
        entry(mnuTask, "mnuMoveTasksToNextDay", QStringLiteral("Move Task(s) To &Next Day"),
              "MOVERIGHT", QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuMoveTasksToPreviousDay =
        entry(mnuTask, "mnuMoveTasksToPreviousDay",
              QStringLiteral("Move Task(s) To &Previous Day"), "MOVELEFT",
              QKeySequence(Qt::CTRL | Qt::Key_R));
    mnuMoveTasksToAnyDay =
        entry(mnuTask, "mnuMoveTasksToAnyDay", QStringLiteral("Mo&ve Task(s) To Any Day.."),
              "MOVEX", QKeySequence(Qt::CTRL | Qt::Key_Y));

    mnuTimer = topMenu(bar, "mnuTimer", QStringLiteral("T&ime Tracking"));
    mnuStartTimer = entry(mnuTimer, "mnuStartTimer", QStringLiteral("&Start Timer"), "PLAY",
                          QKeySequence(Qt::CTRL | Qt::Key_I));
    mnuStopTimer = entry(mnuTimer, "mnuStopTimer", QStringLiteral("&Stop Timer"), "STOP",
                         QKeySequence(Qt::CTRL | Qt::Key_P));

    mnuHelp = topMenu(bar, "mnuHelp", QStringLiteral("&Help"));
    // The help file entry has no command here: it is left out.
    mnuViewTheTutorial =
        entry(mnuHelp, "mnuViewTheTutorial", QStringLiteral("Quick &Tutorial..."), "HELP");
    mnuHelp->addSeparator()->setObjectName(QStringLiteral("mnuSep3"));
    mnuAbout = entry(mnuHelp, "mnuAbout", QStringLiteral("&About..."), "INFO");
}

} // namespace cdk
