#include "view/WindowCommands.h"

#include "base/Functions.h"
#include "controls/Icons.h"
#include "core/BackupRestore.h"
#include "desktop/SettingsDialog.h"
#include "editing/TaskDialogHost.h"
#include "view/AppContext.h"
#include "view/CommandActions.h"
#include "view/CommandHost.h"

#include <QAction>
#include <QMessageBox>

namespace cdk {

WindowCommands::WindowCommands(AppContext &context, CommandHost &host, QObject *parent)
    : QObject(parent), m_context(context), m_host(host)
{
    mnuCreateBackup =
        makeCommandAction(this, "mnuCreateBackup", QStringLiteral("&Create Backup..."), "SAVE");
    mnuRestoreBackup =
        makeCommandAction(this, "mnuRestoreBackup", QStringLiteral("&Restore Backup..."), "RESTORE");
    mnuSettings = makeCommandAction(this, "mnuSettings", QStringLiteral("&Settings.."), "WRENCH");
    mnuHideToSystemTray = makeCommandAction(this, "mnuHideToSystemTray",
                                            QStringLiteral("&Hide To Sysem Tray"), "TRAY");
    mnuExit = makeCommandAction(this, "mnuExit", QStringLiteral("E&xit"), "EXIT");
    mnuViewTheTutorial =
        makeCommandAction(this, "mnuViewTheTutorial", QStringLiteral("Quick &Tutorial..."), "HELP");
    mnuAbout = makeCommandAction(this, "mnuAbout", QStringLiteral("&About..."), "INFO");
    actPreviousDay = makeCommandAction(this, "actPreviousDay",
                                       QStringLiteral("Move to the previous day"), "PREVIOUSDAY");
    actNextDay =
        makeCommandAction(this, "actNextDay", QStringLiteral("Move to the next day"), "NEXTDAY");
    actToday = makeCommandAction(this, "actToday", QStringLiteral("View Today's Task List"), "TODAY");

    connect(mnuCreateBackup, &QAction::triggered, this, &WindowCommands::createBackup);
    connect(mnuRestoreBackup, &QAction::triggered, this, &WindowCommands::restoreBackup);
    connect(mnuSettings, &QAction::triggered, this, &WindowCommands::settings);
    connect(mnuViewTheTutorial, &QAction::triggered, this,
            [this] { notAvailableYet(QStringLiteral("The tutorial")); });
    connect(mnuHideToSystemTray, &QAction::triggered, this, [this] { m_host.hideToTray(); });
    connect(mnuExit, &QAction::triggered, this, &WindowCommands::exitRequested);
    connect(mnuAbout, &QAction::triggered, this, &WindowCommands::about);
    connect(actPreviousDay, &QAction::triggered, this,
            [this] { m_host.showDay(m_host.shownDate().addDays(-1)); });
    connect(actNextDay, &QAction::triggered, this,
            [this] { m_host.showDay(m_host.shownDate().addDays(1)); });
    connect(actToday, &QAction::triggered, this,
            [this] { m_host.showDay(m_context.clock.today()); });
}

void WindowCommands::notAvailableYet(const QString &command)
{
    m_context.prompter.tell(programName(),
                            command + QStringLiteral(" is not available in this version yet."),
                            MessageIcon::Information);
}

void WindowCommands::createBackup()
{
    BackupRestore backup(m_context.operations, m_context.settings, m_context.prompter);
    if (backup.CreateBackup())
        m_context.prompter.tell(programName(), QStringLiteral("Database backed up successfully."),
                                MessageIcon::Information);
}

void WindowCommands::restoreBackup()
{
    if (m_context.prompter.ask(programName(),
                               QStringLiteral("This will overwrite your current database (copy of "
                                              "it will be created though).\r\n\r\nDo you "
                                              "really want to continue?"),
                               MessageIcon::Exclamation)
        != Answer::Yes)
        return;
    BackupRestore restore(m_context.operations, m_context.settings, m_context.prompter);
    if (restore.RestoreBackup())
        m_context.prompter.tell(programName(), QStringLiteral("Database successfully restored."),
                                MessageIcon::Information);
}

void WindowCommands::settings()
{
    if (!m_settingsDialog) {
        m_settingsDialog = new SettingsDialog(m_context.settings, m_context.hotkey,
                                              m_context.autostart, m_context.prompter,
                                              m_context.sound, m_host.dialogParent());
    }
    ++m_context.ModalDialogDepth;
    m_settingsDialog->LoadEx();
    m_settingsDialog->exec();
    --m_context.ModalDialogDepth;
}

void WindowCommands::about()
{
    ++m_context.ModalDialogDepth;
    QMessageBox box(m_host.dialogParent());
    box.setWindowTitle(QStringLiteral("About ") + programName());
    box.setIconPixmap(iconForKey(QStringLiteral("APP")).pixmap(64, 64));
    box.setTextFormat(Qt::RichText);
    box.setText(QStringLiteral("<h3>Chronodeck</h3><p>Version: ") + programVersion()
                + QStringLiteral("</p><p>Daily task lists with time budgets.</p>"));
    box.exec();
    --m_context.ModalDialogDepth;
}

} // namespace cdk
