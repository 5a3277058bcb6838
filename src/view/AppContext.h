#pragma once

#include "base/Clock.h"
#include "base/Prompter.h"
#include "desktop/Autostart.h"
#include "settings/Settings.h"
#include "core/TaskOperations.h"
#include "core/TimeTracker.h"
#include "store/TaskStore.h"
#include "base/Sound.h"

#include <QDate>
#include <QString>

namespace cdk {

class DesktopNotifications;
class GlobalHotkey;
class IdleSource;
class SessionPresence;
class TrayIcon;

// Everything that lives as long as the process: made once in main() (tests
// make a fresh one per test in a temporary folder) and passed by reference.
struct AppContext
{
    // storeVfs: the SQLite VFS of the task database, empty for the platform's.
    AppContext(const QString &programFolder, Clock &clockRef, Prompter &prompterRef,
               Autostart &autostartRef, Sound &soundRef, const QByteArray &storeVfs = {})
        : ProgramFolder(programFolder)
        , clock(clockRef)
        , prompter(prompterRef)
        , autostart(autostartRef)
        , sound(soundRef)
        , settings(prompterRef)
        , store(programFolder, storeVfs)
        , tracker(store, clockRef)
        , operations(store, settings, tracker)
    {
    }

    const QString ProgramFolder; // ends in a separator
    Clock &clock;
    Prompter &prompter;
    Autostart &autostart;
    Sound &sound;
    TrayIcon *tray = nullptr; // null where the desktop has no notification area
    GlobalHotkey *hotkey = nullptr; // null where the desktop has no global keys
    IdleSource *idle = nullptr; // null: time away from the computer goes unnoticed
    SessionPresence *presence = nullptr; // null: screen locks and sleep go unnoticed
    DesktopNotifications *notifications = nullptr; // null: the pop-up alone

    clsSettings settings;
    TaskStore store;
    TimeTracker tracker;
    TaskOperations operations;

    bool StartingUp = false;
    bool Exiting = false;
    int ModalDialogDepth = 0; // modal dialogs open right now
    QDate CurrentDay;
};

} // namespace cdk
