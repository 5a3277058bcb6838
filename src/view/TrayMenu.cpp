#include "view/TrayMenu.h"

#include "controls/Icons.h"
#include "view/AppContext.h"
#include "view/CommandActions.h"
#include "view/MainWindow.h"
#include "view/ReviewSchedule.h"
#include "view/TaskCommands.h"
#include "view/TrackingCommands.h"
#include "view/WindowCommands.h"

#include <QApplication>
#include <QMenu>
#include <QTimer>

namespace cdk {

namespace {

// A tray entry that stands for a command of the main window: it is enabled
// exactly when that command is.
QAction *entryFor(QMenu *menu, const char *name, const QString &caption, const char *icon,
                  QAction *command)
{
    QAction *entry = makeCommandAction(menu, name, caption, icon);
    menu->addAction(entry);
    if (command) {
        entry->setEnabled(command->isEnabled());
        QObject::connect(command, &QAction::changed, entry,
                         [entry, command] { entry->setEnabled(command->isEnabled()); });
    }
    return entry;
}

// How long a due review waits for an open dialog to close before it asks again.
constexpr int kReviewRetryMs = 30 * 1000;

} // namespace

TrayMenu::TrayMenu(AppContext &context, MainWindow &window, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_window(window)
    , m_menu(std::make_unique<QMenu>())
{
    m_menu->setObjectName(QStringLiteral("pmSystray"));
    QMenu *menu = m_menu.get();
    TaskCommands &tasks = window.taskCommands();
    TrackingCommands &tracking = window.trackingCommands();
    WindowCommands &commands = window.windowCommands();

    QAction *mnuShow
        = entryFor(menu, "mnuShow", tr("&Show Chronodeck"), nullptr, nullptr);
    menu->setDefaultAction(mnuShow);
    menu->addSeparator()->setObjectName(QStringLiteral("mnusep1"));
    QAction *mnuAddTask
        = entryFor(menu, "mnuAddTask", tr("&Add Task"), "PLUS", tasks.mnuAddTask);
    m_mnuReviewDay = entryFor(menu, "mnuReviewDay", tr("Review the Da&y..."), "CHECKBOX",
                              tasks.mnuReviewDay);
    QAction *mnuStartTimer =
        entryFor(menu, "mnuStartTimer", tr("&Start Timer"), "PLAY", tracking.mnuStartTimer);
    QAction *mnuStopTimer =
        entryFor(menu, "mnuStopTimer", tr("St&op Timer"), "STOP", tracking.mnuStopTimer);
    QAction *mnuSettings =
        entryFor(menu, "mnuSettings", tr("&Settings"), "WRENCH", commands.mnuSettings);
    menu->addSeparator()->setObjectName(QStringLiteral("mnuSep2"));
    // The help entry has no command, as in the main menu: it is left out.
    QAction *mnuAbout
        = entryFor(menu, "mnuAbout", tr("&About"), "INFO", commands.mnuAbout);
    menu->addSeparator()->setObjectName(QStringLiteral("mnuSep3"));
    QAction *mnuExit = entryFor(menu, "mnuExit", tr("E&xit"), "EXIT", commands.mnuExit);

    connect(mnuShow, &QAction::triggered, &window, &MainWindow::mnuShow_Click);
    connect(mnuAddTask, &QAction::triggered, &window, [&window, &tasks] {
        window.mnuShow_Click();
        triggerIfEnabled(tasks.mnuAddTask);
    });
    connect(m_mnuReviewDay, &QAction::triggered, &window, [&window, &tasks] {
        window.mnuShow_Click();
        triggerIfEnabled(tasks.mnuReviewDay);
    });
    connect(mnuStartTimer, &QAction::triggered, &window,
            [&tracking] { triggerIfEnabled(tracking.mnuStartTimer); });
    connect(mnuStopTimer, &QAction::triggered, &window,
            [&tracking] { triggerIfEnabled(tracking.mnuStopTimer); });
    connect(mnuSettings, &QAction::triggered, &window, [&window, &commands] {
        window.mnuShow_Click();
        triggerIfEnabled(commands.mnuSettings);
    });
    connect(mnuAbout, &QAction::triggered, &window,
            [&commands] { commands.showAboutModeless(); });
    connect(mnuExit, &QAction::triggered, &window,
            [&commands] { triggerIfEnabled(commands.mnuExit); });
    connect(menu, &QMenu::aboutToShow, this, &TrayMenu::aboutToShow);

    m_reviewSchedule = new ReviewSchedule(context.settings, &QDateTime::currentDateTime, this);
    connect(m_reviewSchedule, &ReviewSchedule::due, this, &TrayMenu::reviewDue);
}

TrayMenu::~TrayMenu() = default;

void TrayMenu::aboutToShow()
{
    if (m_context.ModalDialogDepth <= 0)
        return;
    // A command from the tray would open a second dialog behind the first:
    // the window and its open dialog come forward instead.
    m_window.RestoreAndActivate(false);
    if (QWidget *dialog = QApplication::activeModalWidget()) {
        dialog->raise();
        dialog->activateWindow();
    }
    QTimer::singleShot(0, m_menu.get(), &QMenu::hide);
}

void TrayMenu::reviewDue()
{
    if (m_context.Exiting)
        return;
    if (m_context.ModalDialogDepth > 0) {
        // A dialog the user is in is not pushed aside: the review waits
        // until it closes.
        QTimer::singleShot(kReviewRetryMs, this, &TrayMenu::reviewDue);
        return;
    }
    m_mnuReviewDay->trigger();
}

} // namespace cdk
