#include "view/WindowCommands.h"

#include "base/Functions.h"
#include "controls/Icons.h"
#include "core/BackupRestore.h"
#include "desktop/SettingsDialog.h"
#include "editing/DialogHeader.h"
#include "editing/TaskDialogHost.h"
#include "core/ShownDay.h"
#include "view/AppContext.h"
#include "view/CommandActions.h"
#include "view/CommandHost.h"
#include "view/SyncDialog.h"
#include "view/SyncRunner.h"
#include "view/TutorialWindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QUrl>
#include <QVBoxLayout>

#include <memory>

namespace cdk {

WindowCommands::WindowCommands(AppContext &context, ShownDay &day, CommandHost &host,
                               QObject *parent)
    : QObject(parent), m_context(context), m_day(day), m_host(host)
{
    mnuCreateBackup = makeCommandAction(this, "mnuCreateBackup", tr("&Create Backup..."), "SAVE");
    mnuRestoreBackup =
        makeCommandAction(this, "mnuRestoreBackup", tr("&Restore Backup..."), "RESTORE");
    mnuSettings = makeCommandAction(this, "mnuSettings", tr("&Settings.."), "WRENCH");
    mnuSync = makeCommandAction(this, "mnuSync", tr("S&ync..."), "SYNC");
    mnuHideToSystemTray =
        makeCommandAction(this, "mnuHideToSystemTray", tr("&Hide To Sysem Tray"), "TRAY");
    mnuExit = makeCommandAction(this, "mnuExit", tr("E&xit"), "EXIT");
    mnuViewTheTutorial =
        makeCommandAction(this, "mnuViewTheTutorial", tr("Quick &Tutorial..."), "HELP");
    mnuAbout = makeCommandAction(this, "mnuAbout", tr("&About..."), "INFO");
    actPreviousDay =
        makeCommandAction(this, "actPreviousDay", tr("Move to the previous day"), "PREVIOUSDAY");
    actNextDay = makeCommandAction(this, "actNextDay", tr("Move to the next day"), "NEXTDAY");
    actToday = makeCommandAction(this, "actToday", tr("View Today's Task List"), "TODAY");

    connect(mnuCreateBackup, &QAction::triggered, this, &WindowCommands::createBackup);
    connect(mnuRestoreBackup, &QAction::triggered, this, &WindowCommands::restoreBackup);
    connect(mnuSettings, &QAction::triggered, this, &WindowCommands::settings);
    connect(mnuSync, &QAction::triggered, this, &WindowCommands::showSync);
    m_syncRunner = new SyncRunner(QCoreApplication::applicationDirPath(), m_context.ProgramFolder,
                                  m_context.settings, m_context.operations, this);
    connect(m_syncRunner, &SyncRunner::passwordNeeded, this, [this] {
        showSync();
        m_syncDialog->askForPassword();
    });
    connect(mnuViewTheTutorial, &QAction::triggered, this, &WindowCommands::showTutorial);
    connect(mnuHideToSystemTray, &QAction::triggered, this, [this] { m_host.hideToTray(); });
    connect(mnuExit, &QAction::triggered, this, &WindowCommands::exitRequested);
    connect(mnuAbout, &QAction::triggered, this, &WindowCommands::about);
    connect(actPreviousDay, &QAction::triggered, this,
            [this] { m_host.showDay(m_day.date().addDays(-1)); });
    connect(actNextDay, &QAction::triggered, this,
            [this] { m_host.showDay(m_day.date().addDays(1)); });
    connect(actToday, &QAction::triggered, this,
            [this] { m_host.showDay(m_context.clock.today()); });
}

void WindowCommands::notAvailableYet(const QString &command)
{
    m_context.prompter.tell(programName(),
                            tr("%1 is not available in this version yet.").arg(command),
                            MessageIcon::Information);
}

void WindowCommands::createBackup()
{
    BackupRestore backup(m_context.operations, m_context.settings, m_context.prompter);
    if (backup.CreateBackup())
        m_context.prompter.tell(programName(), tr("Database backed up successfully."),
                                MessageIcon::Information);
}

void WindowCommands::restoreBackup()
{
    if (m_context.prompter.ask(programName(),
                               tr("This will overwrite your current database (copy of it will "
                                  "be created though).\r\n\r\nDo you really want to continue?"),
                               MessageIcon::Exclamation)
        != Answer::Yes)
        return;
    BackupRestore restore(m_context.operations, m_context.settings, m_context.prompter);
    if (restore.RestoreBackup())
        m_context.prompter.tell(programName(), tr("Database successfully restored."),
                                MessageIcon::Information);
}

void WindowCommands::showSync()
{
    if (!m_syncDialog)
        m_syncDialog = new SyncDialog(*m_syncRunner, m_context.settings, m_host.dialogParent());
    else
        m_syncDialog->load();
    m_syncDialog->show();
    m_syncDialog->raise();
    m_syncDialog->activateWindow();
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

void WindowCommands::showTutorial()
{
    // One window at a time: asking again brings the open one forward.
    if (!m_tutorial) {
        QWidget *owner = m_host.dialogParent();
        m_tutorial = new TutorialWindow(owner);
        // Over the main window, where the eye already is.
        if (owner && owner->isVisible()) {
            QRect place(QPoint(0, 0), m_tutorial->size());
            place.moveCenter(owner->frameGeometry().center());
            m_tutorial->move(place.topLeft());
        }
    }
    m_tutorial->show();
    m_tutorial->raise();
    m_tutorial->activateWindow();
}

namespace {

// The about box: the program's name, version and the maker's addresses as
// links the desktop opens.
QDialog *makeAboutBox(QWidget *parent)
{
    auto *box = new QDialog(parent);
    box->setObjectName(QStringLiteral("frmAbout"));
    box->setWindowTitle(
        QCoreApplication::translate("cdk::WindowCommands", "About %1").arg(programName()));

    auto *header = new DialogHeader(box);
    header->setCaption(programName());
    header->setIcon(iconForKey(QStringLiteral("APP")));

    auto *version = new QLabel(
        QCoreApplication::translate("cdk::WindowCommands", "Version: %1").arg(programVersion()),
        box);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto *about = new QLabel(
        QCoreApplication::translate("cdk::WindowCommands", "Daily task lists with time budgets."),
        box);
    auto link = [box](const char *name, const QString &url, const QString &shown) {
        auto *label = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>").arg(url, shown.toHtmlEscaped()),
                                 box);
        label->setObjectName(QString::fromLatin1(name));
        label->setTextFormat(Qt::RichText);
        label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
        // The desktop's own mail program and browser, not a window of ours.
        QObject::connect(label, &QLabel::linkActivated, label,
                         [](const QString &target) { QDesktopServices::openUrl(QUrl(target)); });
        return label;
    };
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, box, &QDialog::accept);

    auto *body = new QVBoxLayout;
    body->setContentsMargins(18, 12, 18, 12);
    body->setSpacing(6);
    body->addWidget(version);
    body->addWidget(about);
    body->addSpacing(6);
    body->addWidget(link("lblSupport", QStringLiteral("mailto:support@chronodeck.org"),
                         QStringLiteral("support@chronodeck.org")));
    body->addWidget(link("lblWebSite", QStringLiteral("https://chronodeck.org"),
                         QStringLiteral("chronodeck.org")));
    body->addSpacing(6);
    body->addWidget(buttons);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header);
    layout->addLayout(body);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    return box;
}

} // namespace

void WindowCommands::about()
{
    ++m_context.ModalDialogDepth;
    std::unique_ptr<QDialog> box(makeAboutBox(m_host.dialogParent()));
    box->exec();
    --m_context.ModalDialogDepth;
}

void WindowCommands::showAboutModeless()
{
    if (!mnuAbout->isEnabled())
        return;
    // From the tray the box does not hold the program up: the window and the
    // tray go on working beside it, and a second request brings the same box
    // forward.
    if (!m_aboutBox) {
        m_aboutBox = makeAboutBox(m_host.dialogParent());
        m_aboutBox->setAttribute(Qt::WA_DeleteOnClose);
        m_aboutBox->setModal(false);
    }
    m_aboutBox->show();
    m_aboutBox->raise();
    m_aboutBox->activateWindow();
}

} // namespace cdk
