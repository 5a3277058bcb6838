#pragma once

#include <QDate>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

namespace cdk {

struct AppContext;
class DayWatcher;
class MainWindow;
class RestoreSignalWatcher;
class SingleInstance;
class TrayMenu;

// The program's life: the start-up order, the restore signal of a second
// copy and the calendar day roll-over (the role of tmrRestore, driven by
// events so that an idle program sleeps), and the deferred, orderly shutdown
// that saves the window and compacts the database (tmrExitApp).
class Application final : public QObject
{
    Q_OBJECT
public:
    enum class StartResult { Running, SecondCopy, Failed };

    Application(AppContext &context, SingleInstance &instance, bool startMinimized);
    ~Application() override;

    // Runs the start-up. SecondCopy: the restore signal was left for the
    // running copy; Failed: the user has been told why.
    StartResult Main();
    // Called by Main() once the data is open, right before the first window
    // is built: the place to wait for what was prepared beside the start-up.
    void setBeforeFirstWindow(std::function<void()> wait) { m_beforeFirstWindow = std::move(wait); }

    MainWindow *mainWindow() const { return m_main.get(); }
    // The day roll-over's wake-up; named tmrRestore after the role it took over.
    DayWatcher *dayWatcher() const { return m_dayWatcher; }
    QTimer *tmrExitApp() const { return m_tmrExitApp; }

    // What every exit command does: the shutdown runs on the next tick of
    // tmrExitApp, after the menu that asked for it has closed.
    void requestExit();

Q_SIGNALS:
    // The shutdown is complete; the process should end now.
    void finished();

private:
    void registerWithDesktop();
    void dayChanged(const QDate &today);
    void restoreRequested();
    void tmrExitApp_Timer();
    void ExitProgram();

    AppContext &m_context;
    SingleInstance &m_instance;
    bool m_startMinimized;
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<TrayMenu> m_trayMenu; // goes before the window whose commands it runs
    QObject m_popupMenus; // the hidden form that owns the exit timer
    DayWatcher *m_dayWatcher = nullptr;
    RestoreSignalWatcher *m_restoreWatcher = nullptr;
    QTimer *m_tmrExitApp = nullptr;
    std::function<void()> m_beforeFirstWindow;
};

} // namespace cdk
