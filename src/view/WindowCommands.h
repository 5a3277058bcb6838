#pragma once

#include <QObject>
#include <QPointer>

class QAction;
class QDialog;

namespace cdk {

struct AppContext;
class CommandHost;
class ShownDay;
class SettingsDialog;
class SyncDialog;
class SyncRunner;
class TutorialWindow;

// The commands of the File and Help menus and the day buttons: backup,
// restore, settings, hiding, exit, tutorial, about, previous, next and today.
class WindowCommands final : public QObject
{
    Q_OBJECT

public:
    WindowCommands(AppContext &context, ShownDay &day, CommandHost &host,
                                   QObject *parent = nullptr);

    QAction *mnuCreateBackup = nullptr;
    QAction *mnuRestoreBackup = nullptr;
    QAction *mnuSettings = nullptr;
    QAction *mnuSync = nullptr;
    QAction *mnuHideToSystemTray = nullptr;
    QAction *mnuExit = nullptr;
    QAction *mnuViewTheTutorial = nullptr;
    QAction *mnuAbout = nullptr;
    QAction *actPreviousDay = nullptr; // Ctrl+Z and the toolbar's "PREVIOUSDAY"
    QAction *actNextDay = nullptr;     // Ctrl+X and the toolbar's "NEXTDAY"
    QAction *actToday = nullptr;       // the toolbar's "TODAY"

    // The about box as the tray opens it: not modal, one at a time.
    void showAboutModeless();
    // The background syncs with the CalDAV server, and their state.
    SyncRunner &syncRunner() { return *m_syncRunner; }

Q_SIGNALS:
    // An exit command: the application runs the deferred shutdown.
    void exitRequested();

private:
    void notAvailableYet(const QString &command);
    void settings();
    void showSync();
    void about();
    void createBackup();
    void restoreBackup();
    void showTutorial();

    AppContext &m_context;
    ShownDay &m_day;
    CommandHost &m_host;
    SettingsDialog *m_settingsDialog = nullptr; // made on first use, kept hidden
    SyncRunner *m_syncRunner = nullptr;
    SyncDialog *m_syncDialog = nullptr; // made on first use, kept hidden
    QPointer<TutorialWindow> m_tutorial;
    QPointer<QDialog> m_aboutBox; // the tray's, while it is open
};

} // namespace cdk
