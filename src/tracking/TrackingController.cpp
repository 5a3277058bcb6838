#include "tracking/TrackingController.h"

#include "base/Functions.h"
#include "base/Log.h"
#include "base/Prompter.h"
#include "settings/Settings.h"
#include "store/Sql.h"
#include "store/TaskStore.h"
#include "tracking/AlertPopup.h"
#include "tracking/PercentDone.h"
#include "tracking/Sound.h"
#include "tracking/TrackingHost.h"
#include "tracking/TrayIcon.h"

#include <QPointer>
#include <QTimer>

namespace cdk {

namespace {

constexpr int kTickMs = 1000;
constexpr int kBlinkMs = 400;
constexpr int kAlertStayMs = 3000;
constexpr int kSortByTimeDone = 4;
constexpr int kSortByPercentDone = 5;

const QColor kPanelColour(80, 80, 80);
const QColor kIdleStateColour(150, 150, 150);
const QColor kCountingStateColour(240, 90, 50);
const QColor kFinishedStateColour(0, 255, 0);

QString finishedCaption() { return QStringLiteral("Tracking finished: "); }

} // namespace

TrackingController::TrackingController(QObject *timerOwner, TimeTracker &tracker,
                                       TrackingHost &host, clsSettings &settings, Sound &sound,
                                       Prompter &prompter, TrayIcon *tray)
    : QObject(timerOwner),
      m_tracker(tracker),
      m_host(host),
      m_settings(settings),
      m_sound(sound),
      m_prompter(prompter),
      m_tray(tray)
{
    QObject *owner = timerOwner ? timerOwner : this;
    m_tmrTracker = new QTimer(owner);
    m_tmrTracker->setObjectName(QStringLiteral("tmrTracker"));
    m_tmrTracker->setInterval(kTickMs);
    connect(m_tmrTracker, &QTimer::timeout, this, &TrackingController::TrackTick);

    m_tmrCheckHighlight = new QTimer(owner);
    m_tmrCheckHighlight->setObjectName(QStringLiteral("tmrCheckHighlight"));
    m_tmrCheckHighlight->setInterval(kBlinkMs);
    connect(m_tmrCheckHighlight, &QTimer::timeout, this, [this] {
        m_finishHighlighted = !m_finishHighlighted;
        m_host.setFinishHighlighted(m_finishHighlighted);
    });
}

void TrackingController::reportFailure(const QString &context, int code,
                                       const QString &description)
{
    ShowErrorMessage(m_prompter, context, code, description);
}

void TrackingController::SetTracking(bool on)
{
    if (on) {
        // Without a recorded row there is nothing to track.
        if (m_host.selectedRowCount() < 1)
            return;
        startOn(m_host.CurrentListKey(), m_host.selectedTaskID(), m_host.selectedSubjectText());
        return;
    }
    m_tracker.stop();
    m_tmrCheckHighlight->stop();
    m_finishHighlighted = false;
    m_host.setFinishHighlighted(false);
    m_tmrTracker->stop();
    m_host.setStartEnabled(true);
    RefreshTrackingDisplay();
    RefreshTimerButtons();
}

void TrackingController::startOn(const QString &list, qint32 id, const QString &subject)
{
    m_tmrCheckHighlight->stop();
    m_finishHighlighted = false;
    m_host.setFinishHighlighted(false);
    const StartResult result = m_tracker.start(list, id, subject);
    if (!result.error.isEmpty()) {
        m_tmrTracker->stop();
        reportFailure(QStringLiteral("Time tracking could not be started."),
                      m_tracker.lastErrorCode(), result.error);
        RefreshTrackingDisplay();
        RefreshTimerButtons();
        return;
    }
    if (!result.started)
        return;
    if (result.stateChanged)
        m_host.refreshTaskRow(id, list);
    afterStart();
}

void TrackingController::afterStart()
{
    m_tmrTracker->start();
    m_host.setStartEnabled(false);
    RefreshTrackingDisplay();
    RefreshTimerButtons();
}

void TrackingController::TrackTick()
{
    if (!m_tracker.TrackingActive)
        return;
    switch (m_tracker.TrackTick()) {
    case TickResult::Nothing:
    case TickResult::Seconds:
        return;
    case TickResult::Failed:
        SetTracking(false);
        reportFailure(QStringLiteral("The time done of the tracked task could not be saved, so "
                                     "time tracking has been stopped. The time counted until "
                                     "the previous second is kept."),
                      m_tracker.lastErrorCode(), m_tracker.lastError());
        m_host.updateCommandStates();
        return;
    case TickResult::MinuteBoundary:
        break;
    }
    const QString shown = m_host.CurrentListKey();
    if (shown == m_tracker.TrackedList) {
        const int sortColumn = m_host.SortColumn();
        // Sorted by time or percent done the row may move, so the list is rebuilt.
        if (sortColumn == kSortByTimeDone || sortColumn == kSortByPercentDone)
            m_host.refreshTaskList(true);
        else
            m_host.refreshTaskRow(m_tracker.TrackedTaskID, shown);
    }
    RefreshTrackingDisplay();
    m_host.refreshSummary();
}

void TrackingController::RefreshTrackingDisplay()
{
    QString caption;
    QString taskText;
    QString status;
    if (!m_tracker.TrackingActive) {
        if (m_tray) {
            m_tray->setToolTip(programName());
            m_tray->setPicture(TrayIcon::Picture::Normal);
        }
        const int n = m_host.selectedRowCount();
        if (n == 0) {
            taskText = QStringLiteral("No task selected");
            status = QStringLiteral("Create and select task you want to time track");
        } else if (n >= 2) {
            taskText = QStringLiteral("Multiple tasks");
            status = QStringLiteral("Please select only one task to time track");
        } else {
            taskText = m_host.selectedSubjectText();
            status = m_host.selectedTimeDoneText() == m_host.selectedTimeNeededText()
                ? QStringLiteral("This task is already 100% done!")
                : QStringLiteral("Press the Start button to time track selected task");
        }
        m_host.setCurrentTaskText(taskText, false);
        m_host.setStatusText(status);
        m_host.setPanelColours(kPanelColour, kIdleStateColour);
        caption = QStringLiteral("Currently selected:");
        m_host.setTrackingCaption(caption);
        return;
    }

    taskText = m_tracker.TrackedSubject;
    m_host.setCurrentTaskText(taskText, true);
    m_host.setStartEnabled(false);
    if (!m_tracker.isFinished()) {
        m_tmrCheckHighlight->stop();
        caption = QStringLiteral("Time tracking task:");
        m_host.setTrackingCaption(caption);
        m_host.setPanelColours(kPanelColour, kCountingStateColour);
        if (m_tray)
            m_tray->setPicture(TrayIcon::Picture::Play);
    } else if (m_host.trackingCaption() != finishedCaption()) {
        // The caption is the guard: it is set first, so refreshes caused by
        // the steps below do not run the sequence again.
        caption = finishedCaption();
        m_host.setTrackingCaption(caption);
        m_host.setPanelColours(kPanelColour, kFinishedStateColour);
        if (!m_tmrCheckHighlight->isActive())
            showAlert(QStringLiteral("Task ") + m_tracker.TrackedSubject
                          + QStringLiteral(" has been finished!"),
                      kAlertStayMs);
        if (m_tray)
            m_tray->setPicture(TrayIcon::Picture::Done);
        m_host.refreshTaskRow(m_tracker.TrackedTaskID, m_tracker.TrackedList);
        m_tmrCheckHighlight->start();
        m_host.flashTaskbar();
    } else {
        caption = finishedCaption();
    }

    const qint32 done = m_tracker.TrackedFinishedDuration;
    const qint32 budget = m_tracker.TrackedDuration;
    status = QStringLiteral("Done: [") + FormatMinutes(done, false) + QStringLiteral(" / ")
        + FormatMinutes(budget, false) + QStringLiteral("] [") + GetPercentDone(budget, done)
        + QStringLiteral("]");
    m_host.setStatusText(status);
    if (m_tray)
        m_tray->setToolTip(caption + QLatin1Char(' ') + taskText + QStringLiteral("\r\n")
                           + status);
}

void TrackingController::RefreshTimerButtons()
{
    m_host.setStopFinishEnabled(m_tracker.TrackingActive);
}

void TrackingController::finishTrackedTask()
{
    if (!m_tracker.TrackingActive)
        return;
    const qint32 id = m_tracker.TrackedTaskID;
    const QString list = m_tracker.TrackedList;
    try {
        m_tracker.store().SetTaskState(id, list, 4,
                                       m_settings.flags().MarkTasks100PercentWhenCheckedOff);
    } catch (const sql::Error &e) {
        reportFailure(QStringLiteral("The task could not be marked as finished."), e.code(),
                      e.message());
    } catch (const StoreError &e) {
        reportFailure(QStringLiteral("The task could not be marked as finished."), 0,
                      e.userMessage());
    }
    if (list == m_host.CurrentListKey())
        m_host.refreshTaskList(true);
    SetTracking(false);
    m_host.updateCommandStates();
}

bool TrackingController::ResetTimeDone(const QString &list, qint32 id)
{
    if (!m_tracker.isTracked(list, id))
        return m_tracker.ResetTimeDone(list, id);
    // Stop, reset, start again so the cached time done is read anew.
    const QString subject = m_tracker.TrackedSubject;
    SetTracking(false);
    const bool found = m_tracker.ResetTimeDone(list, id);
    startOn(list, id, subject);
    return found;
}

void TrackingController::taskMoved(const QString &fromList, qint32 fromId,
                                   const QString &toList, qint32 toId)
{
    if (m_tracker.isTracked(fromList, fromId))
        m_tracker.retarget(toList, toId);
}

void TrackingController::currentTaskClicked()
{
    if (m_tracker.TrackingActive)
        m_host.showTrackedTask();
}

void TrackingController::playTaskDoneSound()
{
    const qint32 custom = m_settings.LoadLong(SettingsSection::Sounds,
                                              QStringLiteral("CustomTaskDoneSound"));
    const QString file = m_settings.Load(SettingsSection::Sounds,
                                         QStringLiteral("CustomTaskDoneSoundFile"));
    if (custom == 1 && FileExists(file))
        m_sound.playTaskDone(file);
    else
        m_sound.playTaskDone(QString());
}

void TrackingController::showAlert(const QString &text, int stayMs)
{
    QPointer<TrackingController> self(this);
    auto *popup = new AlertPopup(
        [self] {
            if (self)
                self->playTaskDoneSound();
        },
        [self] {
            if (!self)
                return;
            self->m_host.showMainWindow();
            if (self->m_tracker.TrackingActive)
                self->m_host.showTrackedTask();
        });
    popup->DisplayAlert(text, stayMs);
}

} // namespace cdk
