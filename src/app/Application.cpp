#include "app/Application.h"

#include "app/DayWatcher.h"
#include "app/RestoreSignalWatcher.h"
#include "app/SingleInstance.h"
#include "base/Functions.h"
#include "base/Log.h"
#include "controls/Icons.h"
#include "controls/WindowServices.h"
#include "desktop/GlobalHotkey.h"
#include "desktop/Autostart.h"
#include "desktop/MainHotkey.h"
#include "settings/WindowPlacement.h"
#include "desktop/TrayIcon.h"
#include "view/AppContext.h"
#include "view/MainWindow.h"
#include "view/TaskGrid.h"
#include "view/TrayMenu.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <algorithm>
#include <exception>
#include <optional>
#include <utility>

namespace cdk {

namespace {

// A running copy answers the restore signal within moments; this leaves
// room for one that is still opening a large database.
constexpr int kComeForwardWaitMs = 10'000;

// The hourglass for as long as a long step runs.
class BusyCursor
{
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

} // namespace

Application::Application(AppContext &context, SingleInstance &instance, bool startMinimized)
    : m_context(context)
    , m_instance(instance)
    , m_startMinimized(startMinimized)
{
    m_popupMenus.setObjectName(QStringLiteral("frmPopupMenus"));
    m_tmrExitApp = new QTimer(&m_popupMenus);
    m_tmrExitApp->setObjectName(QStringLiteral("tmrExitApp"));
    m_tmrExitApp->setInterval(100);
    connect(m_tmrExitApp, &QTimer::timeout, this, &Application::tmrExitApp_Timer);
}

Application::~Application() = default;

Application::StartResult Application::Main()
{
    const auto beforeFirstWindow = [this] {
        if (auto wait = std::exchange(m_beforeFirstWindow, {}))
            wait();
    };
    // A start that ends here never ends without a word to the user. The log
    // keeps the English sentence, the user reads it in their language.
    const auto cannotStart = [&](const QString &logged, const QString &shown) {
        qCWarning(lcApp).noquote() << logged.simplified();
        beforeFirstWindow();
        m_context.prompter.tell(programName(), shown, MessageIcon::Critical);
        return StartResult::Failed;
    };
    const QString folder = QDir::toNativeSeparators(m_context.ProgramFolder);
    switch (m_instance.acquire()) {
    case SingleInstance::Lock::Taken:
        break;
    case SingleInstance::Lock::Held: {
        // Another copy runs for this data folder: ask it to come forward,
        // and see that it does. A copy that hangs would otherwise leave the
        // user with no window and no reason.
        if (!m_instance.writeRestoreSignal())
            qCWarning(lcApp) << "could not leave the restore signal in" << m_instance.signalPath();
        else if (m_instance.waitUntilSignalTaken(kComeForwardWaitMs))
            return StartResult::SecondCopy;
        const char *sentence = QT_TR_NOOP("Chronodeck already runs for the data folder %1, but "
                                          "that copy does not answer.\r\n\r\nWait until it has "
                                          "finished what it is doing, or end it, and start "
                                          "Chronodeck again.");
        return cannotStart(QString::fromLatin1(sentence).arg(folder), tr(sentence).arg(folder));
    }
    case SingleInstance::Lock::Refused: {
        const char *sentence = QT_TR_NOOP("Chronodeck cannot tell whether it already runs for "
                                          "the data folder %1: %2.");
        const QString why = m_instance.errorString();
        return cannotStart(QString::fromLatin1(sentence).arg(folder, why),
                           tr(sentence).arg(folder, why));
    }
    }

    auto busy = std::make_optional<BusyCursor>();
    m_context.StartingUp = true;

    // The settings and the data come first: they need no window, and a
    // database that cannot be used ends the start with its message before
    // the main window is made.
    m_context.settings.Init(m_context.ProgramFolder);
    // The tracker asks about time away after the threshold the settings
    // hold, and follows a change of it at once.
    const auto applyAwayThreshold = [this] {
        const qint64 minutes
            = std::max(m_context.settings.number(Setting::AwayThresholdMinutes), 0);
        m_context.tracker.setAwayDetection(m_context.idle, minutes * 60'000);
    };
    applyAwayThreshold();
    connect(&m_context.settings, &clsSettings::changed, this,
            [applyAwayThreshold](SettingsSection section, const QString &key) {
                const SettingInfo &info = settingInfo(Setting::AwayThresholdMinutes);
                if (section == info.section && key == info.key)
                    applyAwayThreshold();
            });
    try {
        m_context.store.OpenTaskDatabase();
        m_context.operations.injectRecurrentTasks(m_context.clock.today());
    } catch (const StoreError &e) {
        const QString text = e.isReadyToShow()
            ? e.userMessage()
            : tr("The task database %1 could not be opened.\r\n\r\n%2")
                  .arg(QDir::toNativeSeparators(m_context.store.DatabasePath()), e.message());
        beforeFirstWindow();
        m_context.prompter.tell(programName(), text, MessageIcon::Critical);
        m_context.StartingUp = false;
        return StartResult::Failed;
    }
    m_context.CurrentDay = m_context.clock.today();

    beforeFirstWindow();
    m_main = std::make_unique<MainWindow>(m_context);
    connect(m_main.get(), &MainWindow::exitRequested, this, &Application::requestExit);

    m_dayWatcher = new DayWatcher(m_context.clock, m_main.get());
    m_dayWatcher->setObjectName(QStringLiteral("tmrRestore"));
    connect(m_dayWatcher, &DayWatcher::dayChanged, this, &Application::dayChanged);
    m_restoreWatcher = new RestoreSignalWatcher(m_instance, m_main.get());
    connect(m_restoreWatcher, &RestoreSignalWatcher::restoreRequested, this,
            &Application::restoreRequested);

    m_main->applyGridAppearance();
    m_main->setMinimumSize(450, 300);
    m_trayMenu = std::make_unique<TrayMenu>(m_context, *m_main);
    m_main->setWindowTitle(programName());

    if (m_context.tray) {
        m_context.tray->setToolTip(programName());
        m_context.tray->setPicture(TrayIcon::Picture::Normal);
        m_context.tray->setContextMenu(m_trayMenu->menu());
        // Any click but the menu's brings the window back as it was.
        connect(m_context.tray, &TrayIcon::activated, m_main.get(),
                [this] { m_main->RestoreAndActivate(false); });
        m_context.tray->show();
    }

    m_main->SetUpGridColumns();
    m_main->LoadSortSettings();
    m_main->showDay(m_context.clock.today());
    // A size the user chose still wins over the first one.
    const QRect screen = m_main->availableScreenGeometry();
    m_main->resize(sizeWithinScreen(m_main->size(), screen, m_main->minimumSize()));
    LoadWindowPos(m_context.settings, m_main.get(), screen);
    // The hourglass shows over the program's own windows only, and none has
    // been on screen so far. Kept across the show, it would make the new
    // window load the theme's animated wait cursor (a tenth of the start-up's
    // work) only to drop it a moment later.
    busy.reset();
    if (m_startMinimized)
        m_main->hideToTray(); // minimised on the taskbar where there is no tray
    else
        m_main->show();
    // Drawn once the window is up: rendering the icon at every size a desktop
    // may ask for is a tenth of the work before the first paint.
    QTimer::singleShot(0, m_main.get(), [window = m_main.get()] {
        window->setWindowIcon(iconForKey(QStringLiteral("APP")));
    });
    // Neither the start-at-logon entry (a file written and synced) nor the
    // hotkey (a round trip to the display) is needed for the window to
    // appear: both follow as soon as it is up.
    QTimer::singleShot(0, this, &Application::registerWithDesktop);
    m_main->RefreshAfterSelection();
    if (m_context.settings.isFirstRun()) {
        if (auto *tutorial = m_main->findChild<QAction *>(QStringLiteral("mnuViewTheTutorial")))
            tutorial->trigger();
    }

    m_context.StartingUp = false;
    // Both answer on the event loop only, after start-up has returned; a
    // signal left while this copy was starting is answered then.
    m_dayWatcher->start(m_context.CurrentDay);
    m_restoreWatcher->start();
    return StartResult::Running;
}

void Application::registerWithDesktop()
{
    if (m_context.Exiting)
        return;
    // Applied at every start so the registration follows the program when it moves.
    applyRunOnStartup(m_context.autostart, m_context.settings.number(Setting::RunOnStartup));
    if (m_context.hotkey) {
        // A combination another program holds is no reason not to start; the
        // settings dialog is where the user learns of it.
        const auto result = RegisterKeyFromSettings(*m_context.hotkey, m_context.settings);
        qCInfo(lcApp) << "hotkey MainHK:" << result;
        connect(m_context.hotkey, &GlobalHotkey::activated, m_main.get(),
                [this] { m_main->RestoreAndActivate(true); });
    }
}

void Application::requestExit()
{
    m_tmrExitApp->start();
}

void Application::dayChanged(const QDate &today)
{
    if (m_context.Exiting)
        return;
    m_context.CurrentDay = today;
    try {
        // The copies reach the grid through the operations' change signal.
        const int copies = m_context.operations.injectRecurrentTasks(today);
        qCInfo(lcApp) << "new day" << today << "- recurrent copies:" << copies;
    } catch (const std::exception &e) {
        qCWarning(lcApp) << "day roll-over failed:" << e.what();
    }
    // The day shown stays, but it is no longer today: the summary names its
    // date now, hidden in the tray or not.
    m_main->grid().reload();
}

void Application::restoreRequested()
{
    if (m_context.Exiting)
        return;
    qCInfo(lcApp) << "restore signal answered";
    m_main->mnuShow_Click();
}

void Application::tmrExitApp_Timer()
{
    m_tmrExitApp->stop();
    ExitProgram();
}

void Application::ExitProgram()
{
    BusyCursor busy;
    m_context.Exiting = true;
    try {
        MainWindow *window = m_main.get();
        window->setVisible(true);
        if (window->isMaximized())
            m_context.settings.Save(SettingsSection::WindowPos,
                                    QStringLiteral("frmMainWasMaximized"), QStringLiteral("1"));
        else if (!window->isMinimized())
            m_context.settings.Save(SettingsSection::WindowPos,
                                    QStringLiteral("frmMainWasMaximized"), QStringLiteral("0"));
        window->setWindowState(Qt::WindowNoState);
        if (m_context.ModalDialogDepth == 0) {
            window->show();
            SaveWindowPos(m_context.settings, window, true);
        }
        window->hide();
        window->close();
        if (m_context.hotkey)
            m_context.hotkey->unregisterKey();
        m_context.operations.closeAndCompact();
    } catch (const std::exception &e) {
        qCWarning(lcApp) << "shutdown step failed:" << e.what();
    }
    Q_EMIT finished();
}

} // namespace cdk
