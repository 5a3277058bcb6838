#pragma once

#include "tracking/TimeTracker.h"

#include <QObject>
#include <QString>

class QTimer;

namespace cdk {

class Prompter;
class Sound;
class TrackingHost;
class TrayIcon;
class clsSettings;

// Drives the tracker from the main window: the one-second tick, the Finish
// button blink, the current-task panel, the tray picture and tooltip, the
// start/stop commands and the finish sequence with its alert. It reaches the
// window only through TrackingHost.
class TrackingController final : public QObject
{
    Q_OBJECT

public:
    // timerOwner: the main window, parent of tmrTracker and tmrCheckHighlight.
    // tray may be null when the desktop has no notification area.
    TrackingController(QObject *timerOwner, TimeTracker &tracker, TrackingHost &host,
                       clsSettings &settings, Sound &sound, Prompter &prompter,
                       TrayIcon *tray = nullptr);

    void setTrayIcon(TrayIcon *tray) { m_tray = tray; }

    TimeTracker &tracker() { return m_tracker; }
    QTimer *tmrTracker() const { return m_tmrTracker; }
    QTimer *tmrCheckHighlight() const { return m_tmrCheckHighlight; }

    // Starts tracking the selected task (on) or stops tracking.
    void SetTracking(bool on);
    void TrackTick();
    void RefreshTrackingDisplay();
    void RefreshTimerButtons();

    // The Finish command: the tracked task becomes "Finished" and tracking stops.
    void finishTrackedTask();
    // Resets the time done of a task; the tracked task keeps being tracked,
    // counting from zero. False when the task does not exist.
    bool ResetTimeDone(const QString &list, qint32 id);
    // A task was moved; tracking follows it when it is the tracked one.
    void taskMoved(const QString &fromList, qint32 fromId, const QString &toList, qint32 toId);
    // A click on the tracked task's name.
    void currentTaskClicked();

    // The sound of a finished task: the user's file when one is chosen and
    // present, else the desktop's notification sound.
    void playTaskDoneSound();

private:
    void showAlert(const QString &text, int stayMs);
    void startOn(const QString &list, qint32 id, const QString &subject);
    void afterStart();
    void reportFailure(const QString &context, int code, const QString &description);

    TimeTracker &m_tracker;
    TrackingHost &m_host;
    clsSettings &m_settings;
    Sound &m_sound;
    Prompter &m_prompter;
    TrayIcon *m_tray = nullptr;
    QTimer *m_tmrTracker = nullptr;
    QTimer *m_tmrCheckHighlight = nullptr;
    bool m_finishHighlighted = false;
};

} // namespace cdk
