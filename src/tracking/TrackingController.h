#pragma once

#include "core/TimeTracker.h"
#include "tracking/AwayDialog.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class QTimer;

namespace cdk {

class DesktopNotifications;
class Prompter;
class SessionPresence;
class ShownDay;
class TaskOperations;
class Sound;
class TrackingHost;
class TrayIcon;
class clsSettings;

// The tracker as the user sees it: the current-task panel, the Start, Stop and
// Finish commands' enabled states, the Finish button blink, the tray picture
// and tooltip, the finish sequence with its alert, sound and taskbar flash,
// and the question after a time away. It follows the tracker's signals; it
// changes a task only as the user answers that question.
class TrackingController final : public QObject
{
    Q_OBJECT

public:
    // timerOwner: the main window, parent of tmrCheckHighlight. tray may be
    // null when the desktop has no notification area, notifications when the
    // program has no way to reach a notification server, presence when screen
    // locks and sleep cannot be heard of.
    // day: the day shown and the tasks selected in it, of which the panel
    // shows the one selected while nothing is tracked.
    TrackingController(QObject *timerOwner, TaskOperations &operations, const ShownDay &day,
                       TrackingHost &host, clsSettings &settings, Sound &sound,
                       Prompter &prompter, TrayIcon *tray = nullptr,
                       DesktopNotifications *notifications = nullptr,
                       SessionPresence *presence = nullptr);
    QTimer *tmrCheckHighlight() const { return m_tmrCheckHighlight; }

    // Rewrites the panel, the tray and the timer commands; runs the finish
    // sequence once when the tracked task's budget is used up.
    void RefreshTrackingDisplay();
    void RefreshTimerButtons();
    // A click on the tracked task's name.
    void currentTaskClicked();
    // A last line of the tray's tooltip (the state of sync); empty for none.
    void setToolTipFooter(const QString &line);

    // The sound of a finished task: the user's file when one is chosen and
    // present, else the desktop's notification sound.
    void playTaskDoneSound();

private:
    // A desktop notification about the tracked task, with its actions; false
    // when there is no server to show it.
    bool notifyTracked(const QString &text, bool withSound);
    void noticeAction(const QString &key, const QString &action);
    void withdrawStaleNotices();
    QString statusLine() const;
    void setTrayToolTip(const QString &text);
    void showAlert(const QString &text, int stayMs, bool withSound = true);
    void runFinishSequence();
    void stopBlinking();
    void askAboutAway();
    void answerAway(const AwayPeriod &period, AwayDialog::Choice choice);

    TaskOperations &m_operations;
    TimeTracker &m_tracker;
    const ShownDay &m_day;
    TrackingHost &m_host;
    clsSettings &m_settings;
    Sound &m_sound;
    Prompter &m_prompter;
    TrayIcon *m_tray = nullptr;
    DesktopNotifications *m_notifications = nullptr;
    QString m_toolTipFooter;
    QString m_toolTip; // without the footer
    // The notifications shown, by key, and the task each is about.
    struct Notice
    {
        QString list;
        qint32 id = 0;
        QString text;
        bool alertInstead = false; // shown instead of the pop-up: its fallback
        bool withSound = false;
    };
    QHash<QString, Notice> m_notices;
    int m_noticeSerial = 0;
    QTimer *m_tmrCheckHighlight = nullptr;
    bool m_finishHighlighted = false;
    // The finish sequence ran for the task tracked now; it does not run
    // again until tracking stops, moves to another task or counts again.
    bool m_finishAnnounced = false;
    // Times away not yet asked about: one question is open at a time.
    QList<AwayPeriod> m_awayPeriods;
    std::optional<AwayPeriod> m_askedPeriod; // the one the open question is about
    QPointer<AwayDialog> m_awayDialog;
};

} // namespace cdk
