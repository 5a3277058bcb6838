#include "app/Application.h"
#include "base/DataFolder.h"
#include "base/PrivateFiles.h"
#include "app/FontWarmUp.h"
#include "app/SingleInstance.h"
#include "base/Clock.h"
#include "base/Functions.h"
#include "base/Translate.h"
#include "cli/CommandServer.h"
#include "desktop/DesktopIdleSource.h"
#include "desktop/GlobalHotkey.h"
#include "desktop/Notifications.h"
#include "desktop/SessionPresence.h"
#include "controls/ProgramStyle.h"
#include "controls/WindowServices.h"
#include "desktop/SystemTrayIcon.h"
#include "desktop/Autostart.h"
#include "tracking/Sound.h"
#include "view/AppContext.h"
#include "view/MainWindow.h"
#include "view/WidgetPrompter.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTimer>

int main(int argc, char *argv[])
{
    cdk::FontWarmUp fonts; // before anything else: it runs beside the set-up below
    QApplication app(argc, argv);
    QApplication::setStyle(new cdk::ProgramStyle);
    QApplication::setApplicationName(QStringLiteral("Chronodeck"));
    QApplication::setApplicationVersion(cdk::programVersion());
    QApplication::setOrganizationName(QStringLiteral("Chronodeck"));
    QApplication::setDesktopFileName(QStringLiteral("chronodeck"));
    // Closing the window only hides it: the program lives on in the tray
    // until an exit command.
    QApplication::setQuitOnLastWindowClosed(false);
    // Before the first text is made: the window speaks the user's language.
    cdk::installTranslations(app);
    cdk::ExposePlainWindowsAsWindows();

    const QStringList arguments = QApplication::arguments();
    const QString folder = cdk::resolveDataFolder(
        arguments, qEnvironmentVariable("CHRONODECK_DATA_DIR"), QApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    // A folder that cannot be made is reported by the first file that needs it.
    cdk::makePrivateFolder(folder);

    cdk::SingleInstance instance(folder);
    cdk::SystemClock clock;
    cdk::WidgetPrompter prompter;
    // A folder the user chose goes into the start at logon as well.
    const bool chosenFolder = !cdk::dataDirArgument(arguments).isEmpty()
        || !qEnvironmentVariableIsEmpty("CHRONODECK_DATA_DIR");
    std::unique_ptr<cdk::Autostart> autostart
        = cdk::createDesktopAutostart(chosenFolder ? folder : QString());
    std::unique_ptr<cdk::Sound> sound = cdk::createDesktopSound();
    std::unique_ptr<cdk::IdleSource> idle = cdk::createDesktopIdleSource();
    cdk::AppContext context(folder, clock, prompter, *autostart, *sound);
    cdk::SystemTrayIcon tray;
    context.tray = &tray;
    std::unique_ptr<cdk::GlobalHotkey> hotkey = cdk::createGlobalHotkey();
    context.hotkey = hotkey.get();
    context.idle = idle.get();
    // Neither speaks to the session bus before it is needed.
    std::unique_ptr<cdk::SessionPresence> presence = cdk::createSessionPresence();
    context.presence = presence.get();
    std::unique_ptr<cdk::DesktopNotifications> notifications = cdk::createDesktopNotifications();
    context.notifications = notifications.get();

    cdk::Application lifetime(context, instance, cdk::commandLineSaysMinimized(arguments));
    // The window's first widget measures text: from there on the fonts are needed.
    lifetime.setBeforeFirstWindow([&fonts] { fonts.wait(); });
    QObject::connect(&lifetime, &cdk::Application::finished, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    switch (lifetime.Main()) {
    case cdk::Application::StartResult::SecondCopy:
        return 0;
    case cdk::Application::StartResult::Failed:
        return 1;
    case cdk::Application::StartResult::Running:
        break;
    }
    // Commands typed in a terminal are carried out here from now on.
    cdk::cli::CommandServer commands(context.operations, clock);
    prompter.setParentWindow(lifetime.mainWindow());
    if (!commands.listen(folder)) {
        // The window works on without them; the user learns why once it is up.
        QTimer::singleShot(0, lifetime.mainWindow(), [&prompter, &commands] {
            prompter.tell(cdk::programName(),
                          QCoreApplication::translate(
                              "Main", "Commands typed in a terminal cannot reach this window: %1.")
                              .arg(commands.errorString()),
                          cdk::MessageIcon::Exclamation);
        });
    }
    return QApplication::exec();
}
