#include "tracking/TrackingController.h"

#include "base/Functions.h"
#include "base/Log.h"
#include "base/Prompter.h"
#include "settings/Settings.h"
#include "core/BudgetWarning.h"
#include "core/PercentDone.h"
#include "core/ShownDay.h"
#include "core/TaskOperations.h"
#include "core/TaskRules.h"
#include "core/TimeTracker.h"
#include "tracking/AlertPopup.h"
#include "base/Sound.h"
#include "tracking/TrackingHost.h"
#include "desktop/Notifications.h"
#include "desktop/SessionPresence.h"
#include "desktop/TrayIcon.h"
#include "store/Vocabulary.h"

#include <QPointer>
#include <QTimer>

namespace cdk {

namespace {

constexpr int kBlinkMs = 400;
constexpr int kAlertStayMs = 3000;

const QColor kPanelColour(80, 80, 80);
const QColor kIdleStateColour(150, 150, 150);
const QColor kCountingStateColour(240, 90, 50);
const QColor kFinishedStateColour(0, 255, 0);

// FinishNotice: how a used-up budget is told.
constexpr qint32 kNoticePopup = 0;
constexpr qint32 kNoticeNotification = 1;

const QString kActionExtend = QStringLiteral("extend");
const QString kActionFinish = QStringLiteral("finish");
const QString kActionTomorrow = QStringLiteral("tomorrow");
const QString kActionShow = QStringLiteral("default");

} // namespace

TrackingController::TrackingController(QObject *timerOwner, TaskOperations &operations,
                                       const ShownDay &day, TrackingHost &host,
                                       clsSettings &settings, Sound &sound, Prompter &prompter,
                                       TrayIcon *tray, DesktopNotifications *notifications,
                                       SessionPresence *presence)
    : QObject(timerOwner),
      m_operations(operations),
      m_tracker(operations.tracker()),
      m_day(day),
      m_host(host),
      m_settings(settings),
      m_sound(sound),
      m_prompter(prompter),
      m_tray(tray),
      m_notifications(notifications)
{
    QObject *owner = timerOwner ? timerOwner : this;
    m_tmrCheckHighlight = new QTimer(owner);
    m_tmrCheckHighlight->setObjectName(QStringLiteral("tmrCheckHighlight"));
    m_tmrCheckHighlight->setInterval(kBlinkMs);
    connect(m_tmrCheckHighlight, &QTimer::timeout, this, [this] {
        m_finishHighlighted = !m_finishHighlighted;
        m_host.setFinishHighlighted(m_finishHighlighted);
    });

    // Each start is announced anew when its task's budget is used up, even
    // straight after another used-up task.
    // The warning before the end slides up like the finish alert, quietly:
    // the sound belongs to the finish.
    auto *warning = new BudgetWarning(m_tracker, m_settings, this);
    connect(warning, &BudgetWarning::warn, this, [this](const QString &text) {
        if (!notifyTracked(text, false))
            showAlert(text, kAlertStayMs, false);
    });
    // A lock or a sleep is a time away; heard of only while a task is tracked.
    if (presence) {
        connect(presence, &SessionPresence::absentChanged, &m_tracker, &TimeTracker::setAbsent);
        connect(&m_tracker, &TimeTracker::trackingChanged, presence,
                [this, presence] { presence->watch(m_tracker.TrackingActive); });
    }
    if (m_notifications) {
        connect(m_notifications, &DesktopNotifications::actionInvoked, this,
                &TrackingController::noticeAction);
        // A server that turned a notification down gets the pop-up instead.
        connect(m_notifications, &DesktopNotifications::failed, this, [this](const QString &key) {
            const Notice notice = m_notices.take(key);
            if (notice.alertInstead)
                showAlert(notice.text, kAlertStayMs, notice.withSound);
        });
    }
    connect(&m_tracker, &TimeTracker::started, this, [this] {
        stopBlinking();
        m_finishAnnounced = false;
    });
    connect(&m_tracker, &TimeTracker::trackingChanged, this, [this] {
        // Stopped: Start is offered again; the window narrows it down to
        // what the selection allows.
        if (!m_tracker.TrackingActive)
            m_host.setStartEnabled(true);
        withdrawStaleNotices();
        RefreshTrackingDisplay();
        RefreshTimerButtons();
    });
    connect(&m_tracker, &TimeTracker::minuteCounted, this,
            &TrackingController::RefreshTrackingDisplay);
    // A question about time away follows its task when it moves meanwhile.
    connect(&m_tracker, &TimeTracker::moved, this,
            [this](const QString &fromList, qint32 fromId, const QString &toList, qint32 toId) {
                auto follow = [&](AwayPeriod &period) {
                    if (period.list == fromList && period.id == fromId) {
                        period.list = toList;
                        period.id = toId;
                    }
                };
                for (AwayPeriod &period : m_awayPeriods)
                    follow(period);
                if (m_askedPeriod)
                    follow(*m_askedPeriod);
                for (Notice &notice : m_notices) {
                    if (notice.list == fromList && notice.id == fromId) {
                        notice.list = toList;
                        notice.id = toId;
                    }
                }
            });
    connect(&m_tracker, &TimeTracker::awayEnded, this, [this](const AwayPeriod &period) {
        // Time the tracker did not count (the budget ran out first) is not
        // the task's to give back.
        if (period.countedSeconds <= 0)
            return;
        m_awayPeriods.append(period);
        askAboutAway();
    });
    connect(&m_tracker, &TimeTracker::tickFailed, this,
            [this](int code, const QString &description) {
                ShowErrorMessage(m_prompter,
                                 tr("The time done of the tracked task could not be saved, so "
                                    "time tracking has been stopped. The time counted until the "
                                    "previous second is kept."),
                                 code, description);
            });
}

void TrackingController::stopBlinking()
{
    m_tmrCheckHighlight->stop();
    m_finishHighlighted = false;
    m_host.setFinishHighlighted(false);
}

void TrackingController::RefreshTrackingDisplay()
{
    if (!m_tracker.TrackingActive) {
        stopBlinking();
        m_finishAnnounced = false;
        if (m_tray) {
            setTrayToolTip(programName());
            m_tray->setPicture(TrayIcon::Picture::Normal);
        }
        const QList<qint32> selected = m_day.selectedIds();
        std::optional<TaskRecord> task;
        if (selected.size() == 1) {
            try {
                task = m_operations.task(m_day.listKey(), selected.first());
            } catch (const StoreError &e) {
                // The grid reports a day it cannot read; the panel says what it can.
                qCWarning(lcTracking) << "selected task unreadable:" << e.message();
            }
        }
        QString taskText;
        QString status;
        if (selected.size() >= 2) {
            taskText = tr("Multiple tasks");
            status = tr("Please select only one task to time track");
        } else if (!task) {
            taskText = tr("No task selected");
            status = tr("Create and select task you want to time track");
        } else {
            taskText = ShownText(task->Subject);
            status = CanStartTracking(*task)
                ? tr("Press the Start button to time track selected task")
                : tr("This task is already 100% done!");
        }
        m_host.setCurrentTaskText(taskText, false);
        m_host.setStatusText(status);
        m_host.setPanelColours(kPanelColour, kIdleStateColour);
        m_host.setTrackingCaption(tr("Currently selected:"));
        return;
    }

    // The panel, the tray's tooltip and the alert show the start of a long
    // subject: laying out megabytes of text stalls the window for seconds.
    const QString taskText = ShownText(m_tracker.TrackedSubject);
    m_host.setCurrentTaskText(taskText, true);
    m_host.setStartEnabled(false);
    QString caption;
    if (!m_tracker.isFinished()) {
        stopBlinking();
        m_finishAnnounced = false;
        caption = tr("Time tracking task:");
        m_host.setTrackingCaption(caption);
        m_host.setPanelColours(kPanelColour, kCountingStateColour);
        if (m_tray)
            m_tray->setPicture(TrayIcon::Picture::Play);
    } else {
        // The trailing space is the caption's own; the tooltip adds another.
        caption = tr("Tracking finished: ");
        if (!m_finishAnnounced) {
            m_finishAnnounced = true;
            m_host.setTrackingCaption(caption);
            m_host.setPanelColours(kPanelColour, kFinishedStateColour);
            runFinishSequence();
        }
    }

    const QString status = statusLine();
    m_host.setStatusText(status);
    if (m_tray)
        setTrayToolTip(caption + QLatin1Char(' ') + taskText + QStringLiteral("\r\n") + status);
}

void TrackingController::setTrayToolTip(const QString &text)
{
    m_toolTip = text;
    m_tray->setToolTip(m_toolTipFooter.isEmpty()
                           ? text
                           : text + QStringLiteral("\r\n") + m_toolTipFooter);
}

void TrackingController::setToolTipFooter(const QString &line)
{
    m_toolTipFooter = line;
    if (m_tray && !m_toolTip.isEmpty())
        setTrayToolTip(m_toolTip);
}

QString TrackingController::statusLine() const
{
    const qint32 done = m_tracker.TrackedFinishedDuration;
    const qint32 budget = m_tracker.TrackedDuration;
    return tr("Done: [%1 / %2] [%3]")
        .arg(FormatMinutes(done, false), FormatMinutes(budget, false),
             GetPercentDone(budget, done));
}

void TrackingController::runFinishSequence()
{
    if (!m_tmrCheckHighlight->isActive()) {
        const QString text
            = tr("Task %1 has been finished!").arg(ShownText(m_tracker.TrackedSubject));
        const qint32 notice = m_settings.number(Setting::FinishNotice);
        const bool popup = notice != kNoticeNotification;
        const bool notified = notice != kNoticePopup && notifyTracked(text, !popup);
        if (popup || !notified)
            showAlert(text, kAlertStayMs);
        else
            playTaskDoneSound();
    }
    if (m_tray)
        m_tray->setPicture(TrayIcon::Picture::Done);
    m_tmrCheckHighlight->start();
    m_host.flashTaskbar();
}

void TrackingController::RefreshTimerButtons()
{
    m_host.setStopFinishEnabled(m_tracker.TrackingActive);
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

void TrackingController::askAboutAway()
{
    if (m_awayDialog || m_awayPeriods.isEmpty())
        return;
    m_askedPeriod = m_awayPeriods.takeFirst();
    const AwayPeriod &period = *m_askedPeriod;
    m_awayDialog = new AwayDialog(
        AwayDialog::questionText(period.from, period.to, period.seconds, period.subject),
        qobject_cast<QWidget *>(parent()));
    connect(m_awayDialog, &AwayDialog::answered, this,
            [this](AwayDialog::Choice choice) {
                const AwayPeriod asked = *std::exchange(m_askedPeriod, std::nullopt);
                answerAway(asked, choice);
                // The next time away, if another ended meanwhile.
                QTimer::singleShot(0, this, &TrackingController::askAboutAway);
            });
    m_awayDialog->show();
    m_awayDialog->raise();
    m_awayDialog->activateWindow();
}

void TrackingController::answerAway(const AwayPeriod &period, AwayDialog::Choice choice)
{
    qCInfo(lcTracking) << "time away" << period.seconds << "s:" << choice;
    if (choice == AwayDialog::Choice::Keep)
        return;
    // Stopped first, so no tick counts into the task between the two.
    if (choice == AwayDialog::Choice::DiscardAndStop && m_tracker.isTracked(period.list, period.id))
        m_operations.stopTracking();
    try {
        if (!m_operations.discardTrackedTime(period.list, period.id, period.countedSeconds))
            m_prompter.tell(programName(),
                            tr("The time away could not be discarded: the task %1 no longer "
                               "exists.")
                                .arg(ShownText(period.subject, 80)),
                            MessageIcon::Exclamation);
    } catch (const StoreError &e) {
        ShowErrorMessage(m_prompter, tr("The time away could not be discarded; the task keeps it."),
                         e.code(), e.message());
    }
}

bool TrackingController::notifyTracked(const QString &text, bool withSound)
{
    if (!m_notifications || !m_tracker.TrackingActive)
        return false;
    const QString list = m_tracker.TrackedList;
    const qint32 id = m_tracker.TrackedTaskID;
    // The same task told again replaces what it showed.
    QString key;
    for (auto it = m_notices.cbegin(); it != m_notices.cend(); ++it) {
        if (it->list == list && it->id == id)
            key = it.key();
    }
    if (key.isEmpty())
        key = QStringLiteral("task-%1").arg(++m_noticeSerial);
    const qint32 step = std::max(m_settings.number(Setting::ExtendMinutes), 1);
    const QList<DesktopNotifications::Action> actions = {
        {kActionShow, tr("Show", "notification button")},
        // "+1 minutes" in English as ever; other languages choose the form.
        {kActionExtend, tr("+%n minutes", "notification button", step)},
        {kActionFinish, tr("Finish", "notification button")},
        {kActionTomorrow, tr("Move the rest to tomorrow")},
    };
    if (!m_notifications->show(key, text, statusLine(), actions))
        return false;
    m_notices.insert(key, Notice {list, id, text, true, withSound});
    return true;
}

void TrackingController::withdrawStaleNotices()
{
    for (auto it = m_notices.begin(); it != m_notices.end();) {
        if (m_tracker.isTracked(it->list, it->id)) {
            ++it;
            continue;
        }
        m_notifications->withdraw(it.key());
        it = m_notices.erase(it);
    }
}

void TrackingController::noticeAction(const QString &key, const QString &action)
{
    const auto found = m_notices.constFind(key);
    if (found == m_notices.cend())
        return;
    const Notice notice = *found;
    qCInfo(lcTracking) << "notification action" << action;
    try {
        if (action == kActionExtend) {
            const qint32 step = std::max(m_settings.number(Setting::ExtendMinutes), 1);
            m_operations.extendBudget(notice.list, notice.id, step);
        } else if (action == kActionFinish) {
            m_operations.checkTasks(notice.list, {notice.id}, true,
                                    TaskOperations::TrackedCheckOff::StopTracking);
        } else if (action == kActionTomorrow) {
            // Done with it for its day: the tracker does not go along.
            const QDate day = DateFromListKey(notice.list);
            if (day.isValid()) {
                if (m_tracker.isTracked(notice.list, notice.id))
                    m_operations.stopTracking();
                m_operations.moveTasks(notice.list, {notice.id}, DayListKey(day.addDays(1)));
            }
        } else if (action == kActionShow) {
            m_host.showMainWindow();
            if (m_tracker.isTracked(notice.list, notice.id))
                m_host.showTrackedTask();
        }
    } catch (const StoreError &e) {
        ShowErrorMessage(m_prompter, tr("The task could not be changed."), e.code(), e.message());
    }
}

void TrackingController::showAlert(const QString &text, int stayMs, bool withSound)
{
    QPointer<TrackingController> self(this);
    auto *popup = new AlertPopup(
        [self, withSound] {
            if (self && withSound)
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
