#include "FakeTrackingHost.h"
#include "common/FakeClock.h"
#include "common/RecordingPrompter.h"
#include "common/RecordingSound.h"
#include "common/RecordingTrayIcon.h"
#include "settings/Settings.h"
#include "store/TaskStore.h"
#include "tracking/AlertPopup.h"
#include "tracking/TrackingController.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace cdk;

namespace {

const QString kDay = QStringLiteral("05032024");

QList<AlertPopup *> popups()
{
    QList<AlertPopup *> found;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *p = qobject_cast<AlertPopup *>(w))
            found.append(p);
    return found;
}

} // namespace

class TestTrackingController : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TaskStore> m_store;
    std::unique_ptr<test::RecordingPrompter> m_prompter;
    std::unique_ptr<clsSettings> m_settings;
    std::unique_ptr<test::FakeTrackingHost> m_host;
    std::unique_ptr<QObject> m_window;
    test::FakeClock m_clock;
    test::RecordingSound m_sound;
    test::RecordingTrayIcon m_tray;
    std::unique_ptr<TimeTracker> m_tracker;
    TrackingController *m_controller = nullptr;

    void addTask(qint32 id, const QString &subject, qint32 duration, qint32 done,
                 int seconds = 0, int state = 0)
    {
        TaskRecord r;
        r.ID = id;
        r.List = kDay;
        r.Subject = subject;
        r.Duration = duration;
        r.FinishedDuration = done;
        r.FinishedSeconds = static_cast<quint8>(seconds);
        r.State = state;
        QVERIFY(m_store->SaveTask(r, true, kDay, id));
    }
    void select(qint32 id, const QString &subject)
    {
        m_host->rows = 1;
        m_host->taskId = id;
        m_host->subject = subject;
    }
    TaskRecord task(qint32 id) { return m_store->findTask(kDay, id).value_or(TaskRecord{}); }
    static void closePopups()
    {
        for (AlertPopup *p : popups())
            delete p;
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_store = std::make_unique<TaskStore>(m_dir->path());
        m_store->OpenTaskDatabase();
        m_prompter = std::make_unique<test::RecordingPrompter>();
        m_settings = std::make_unique<clsSettings>(*m_prompter);
        m_settings->setPath(m_dir->filePath(QStringLiteral("settings.ini")));
        m_host = std::make_unique<test::FakeTrackingHost>();
        m_window = std::make_unique<QObject>();
        m_sound.played.clear();
        m_tray = test::RecordingTrayIcon();
        m_tracker = std::make_unique<TimeTracker>(*m_store, m_clock);
        m_controller = new TrackingController(m_window.get(), *m_tracker, *m_host, *m_settings,
                                              m_sound, *m_prompter, &m_tray);
    }
    void cleanup()
    {
        closePopups();
        m_window.reset(); // owns the controller and its timers
        m_tracker.reset();
        m_store.reset();
        m_dir.reset();
    }

    void idlePanel_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("needed");
        QTest::addColumn<QString>("done");
        QTest::addColumn<QString>("taskText");
        QTest::addColumn<QString>("status");
        QTest::newRow("none") << 0 << QString() << QString() << QStringLiteral("No task selected")
                              << QStringLiteral("Create and select task you want to time track");
        QTest::newRow("three") << 3 << QString() << QString() << QStringLiteral("Multiple tasks")
                               << QStringLiteral("Please select only one task to time track");
        QTest::newRow("one") << 1 << QStringLiteral("1:30") << QStringLiteral("0:45")
                             << QStringLiteral("Write report")
                             << QStringLiteral("Press the Start button to time track "
                                               "selected task");
        QTest::newRow("one, done") << 1 << QStringLiteral("1:30") << QStringLiteral("1:30")
                                   << QStringLiteral("Write report")
                                   << QStringLiteral("This task is already 100% done!");
    }
    void idlePanel()
    {
        QFETCH(int, rows);
        QFETCH(QString, needed);
        QFETCH(QString, done);
        QFETCH(QString, taskText);
        QFETCH(QString, status);
        m_host->rows = rows;
        m_host->subject = QStringLiteral("Write report");
        m_host->timeNeeded = needed;
        m_host->timeDone = done;
        m_controller->RefreshTrackingDisplay();
        QCOMPARE(m_host->caption, QStringLiteral("Currently selected:"));
        QCOMPARE(m_host->currentTask, taskText);
        QVERIFY(!m_host->currentTaskIsLink);
        QCOMPARE(m_host->status, status);
        QCOMPARE(m_host->stateColour, QColor(150, 150, 150));
        QCOMPARE(m_tray.toolTip, QStringLiteral("Chronodeck"));
        QCOMPARE(m_tray.picture, TrayIcon::Picture::Normal);
    }

    void startShowsTheTrackedTask()
    {
        addTask(1, QStringLiteral("Write report"), 90, 45);
        select(1, QStringLiteral("Write report"));
        m_controller->SetTracking(true);
        QVERIFY(m_tracker->TrackingActive);
        QVERIFY(m_window->findChild<QTimer *>(QStringLiteral("tmrTracker"))->isActive());
        QCOMPARE(task(1).State, 1);
        QCOMPARE(m_host->rowRefreshes.size(), 1); // the state change is shown
        QCOMPARE(m_host->caption, QStringLiteral("Time tracking task:"));
        QCOMPARE(m_host->currentTask, QStringLiteral("Write report"));
        QVERIFY(m_host->currentTaskIsLink);
        QCOMPARE(m_host->status, QStringLiteral("Done: [0:45 / 1:30] [50%]"));
        QCOMPARE(m_host->stateColour, QColor(240, 90, 50));
        QCOMPARE(m_tray.picture, TrayIcon::Picture::Play);
        QCOMPARE(m_tray.toolTip, QStringLiteral("Time tracking task: Write report\r\n"
                                                "Done: [0:45 / 1:30] [50%]"));
        QVERIFY(!m_host->startEnabled);
        QVERIFY(m_host->stopFinishEnabled);
        QVERIFY(popups().isEmpty());

        m_controller->currentTaskClicked();
        QCOMPARE(m_host->trackedTaskShown, 1);

        m_controller->SetTracking(false);
        QVERIFY(!m_tracker->TrackingActive);
        QVERIFY(!m_controller->tmrTracker()->isActive());
        QVERIFY(m_host->startEnabled);
        QVERIFY(!m_host->stopFinishEnabled);
        QCOMPARE(m_host->caption, QStringLiteral("Currently selected:"));
        QCOMPARE(m_tray.toolTip, QStringLiteral("Chronodeck"));
        m_controller->currentTaskClicked();
        QCOMPARE(m_host->trackedTaskShown, 1);
    }

    void startOnAFinishedTaskAlertsOnce()
    {
        addTask(1, QStringLiteral("Call Ann"), 30, 30, 0, 1);
        select(1, QStringLiteral("Call Ann"));
        m_controller->SetTracking(true);
        QCOMPARE(m_host->caption, QStringLiteral("Tracking finished: "));
        QCOMPARE(m_host->stateColour, QColor(0, 255, 0));
        QCOMPARE(m_host->status, QStringLiteral("Done: [0:30 / 0:30] [100%]"));
        QCOMPARE(m_tray.picture, TrayIcon::Picture::Done);
        QCOMPARE(m_host->flashes, 1);
        QVERIFY(m_controller->tmrCheckHighlight()->isActive());
        QCOMPARE(m_host->rowRefreshes.size(), 1); // no state change; the finish refill
        const auto shown = popups();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first()->findChild<QLabel *>(QStringLiteral("lblAlert"))->text(),
                 QStringLiteral("Task Call Ann has been finished!"));
        QCOMPARE(m_sound.played, QStringList{QString()});

        // Later refreshes and ticks keep the finished look without a new alert.
        m_controller->RefreshTrackingDisplay();
        m_clock.advance(5000);
        m_controller->TrackTick();
        m_controller->RefreshTrackingDisplay();
        QCOMPARE(popups().size(), 1);
        QCOMPARE(m_sound.played.size(), 1);
        QCOMPARE(m_host->flashes, 1);
        QCOMPARE(task(1).FinishedSeconds, quint8(0));

        // The Finish button blinks.
        QTRY_VERIFY_WITH_TIMEOUT(m_host->highlights.contains(true), 2000);

        // A click on the message brings the window back at the tracked task.
        QLabel *text = popups().first()->findChild<QLabel *>(QStringLiteral("lblAlert"));
        const QPointF at(2, 2);
        QMouseEvent release(QEvent::MouseButtonRelease, at, text->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(text, &release);
        QCOMPARE(m_host->mainWindowShown, 1);
        QCOMPARE(m_host->trackedTaskShown, 1);
    }

    void minuteBoundaryRedrawsAndFinishes_data()
    {
        QTest::addColumn<int>("sortColumn");
        QTest::addColumn<bool>("wholeList");
        QTest::newRow("by subject") << 2 << false;
        QTest::newRow("by time done") << 4 << true;
        QTest::newRow("by percent") << 5 << true;
    }
    void minuteBoundaryRedrawsAndFinishes()
    {
        QFETCH(int, sortColumn);
        QFETCH(bool, wholeList);
        addTask(1, QStringLiteral("Tidy"), 2, 1, 50, 1);
        select(1, QStringLiteral("Tidy"));
        m_host->sortColumn = sortColumn;
        m_controller->SetTracking(true);
        QCOMPARE(m_host->status, QStringLiteral("Done: [0:01 / 0:02] [50%]"));
        m_host->rowRefreshes.clear();

        m_clock.advance(5000); // seconds only: nothing redrawn
        m_controller->TrackTick();
        QCOMPARE(m_host->summaryRefreshes, 0);
        QVERIFY(m_host->rowRefreshes.isEmpty());
        QVERIFY(popups().isEmpty());

        m_clock.advance(5000); // 60 s: the budget is used up
        m_controller->TrackTick();
        QCOMPARE(task(1).FinishedDuration, 2);
        QCOMPARE(m_host->summaryRefreshes, 1);
        QCOMPARE(m_host->listRefreshes.size(), wholeList ? 1 : 0);
        // The tick's own row refill (unless the list was rebuilt) and the finish refill.
        QCOMPARE(m_host->rowRefreshes.size(), wholeList ? 1 : 2);
        QCOMPARE(m_host->caption, QStringLiteral("Tracking finished: "));
        QCOMPARE(m_host->status, QStringLiteral("Done: [0:02 / 0:02] [100%]"));
        QCOMPARE(popups().size(), 1);
    }

    void taskDoneSound_data()
    {
        QTest::addColumn<QString>("custom");
        QTest::addColumn<bool>("fileExists");
        QTest::addColumn<bool>("expectFile");
        QTest::newRow("custom and present") << QStringLiteral("1") << true << true;
        QTest::newRow("custom but missing") << QStringLiteral("1") << false << false;
        QTest::newRow("not chosen") << QStringLiteral("0") << true << false;
        QTest::newRow("unset") << QString() << true << false;
    }
    void taskDoneSound()
    {
        QFETCH(QString, custom);
        QFETCH(bool, fileExists);
        QFETCH(bool, expectFile);
        const QString wav = m_dir->filePath(QStringLiteral("done.wav"));
        if (fileExists) {
            QFile f(wav);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("RIFF");
        }
        m_settings->Save(SettingsSection::Sounds, QStringLiteral("CustomTaskDoneSound"), custom);
        m_settings->Save(SettingsSection::Sounds, QStringLiteral("CustomTaskDoneSoundFile"), wav);
        m_controller->playTaskDoneSound();
        QCOMPARE(m_sound.played, QStringList{expectFile ? wav : QString()});
    }

    void finishCommand_data()
    {
        QTest::addColumn<bool>("markFull");
        QTest::addColumn<int>("expectedDone");
        QTest::newRow("keeps time done") << false << 10;
        QTest::newRow("marks the whole budget") << true << 45;
    }
    void finishCommand()
    {
        QFETCH(bool, markFull);
        QFETCH(int, expectedDone);
        m_settings->flags().MarkTasks100PercentWhenCheckedOff = markFull;
        addTask(1, QStringLiteral("Read"), 45, 10, 20, 1);
        select(1, QStringLiteral("Read"));
        m_controller->SetTracking(true);
        m_controller->finishTrackedTask();
        QCOMPARE(task(1).State, 4);
        QCOMPARE(task(1).FinishedDuration, expectedDone);
        QVERIFY(!m_tracker->TrackingActive);
        QCOMPARE(m_host->listRefreshes, QList<bool>{true});
        QCOMPARE(m_host->commandUpdates, 1);
        QVERIFY(!m_host->stopFinishEnabled);
        QVERIFY(!m_controller->tmrTracker()->isActive());
    }

    void resetKeepsTrackingFromZero()
    {
        addTask(1, QStringLiteral("Plan"), 60, 20, 15, 1);
        addTask(2, QStringLiteral("Other"), 60, 30, 0, 1);
        select(1, QStringLiteral("Plan"));
        m_controller->SetTracking(true);
        // Another row may be selected by now; the tracked task stays tracked.
        select(2, QStringLiteral("Other"));
        QVERIFY(m_controller->ResetTimeDone(kDay, 1));
        QVERIFY(m_tracker->isTracked(kDay, 1));
        QCOMPARE(m_tracker->TrackedFinishedDuration, 0);
        QCOMPARE(m_host->currentTask, QStringLiteral("Plan"));
        QCOMPARE(m_host->status, QStringLiteral("Done: [0:00 / 1:00] [0%]"));
        QCOMPARE(task(1).FinishedDuration, 0);
        QCOMPARE(task(2).FinishedDuration, 30);
        QVERIFY(m_controller->tmrTracker()->isActive());

        QVERIFY(m_controller->ResetTimeDone(kDay, 2));
        QCOMPARE(task(2).FinishedDuration, 0);
        QVERIFY(m_tracker->isTracked(kDay, 1));
    }

    void movedTaskStaysTracked()
    {
        const QString next = QStringLiteral("06032024");
        addTask(4, QStringLiteral("Move me"), 60, 0, 0, 1);
        select(4, QStringLiteral("Move me"));
        m_controller->SetTracking(true);
        QVERIFY(m_store->MoveTask(kDay, 4, next, 1));
        m_controller->taskMoved(kDay, 4, next, 1);
        QVERIFY(m_tracker->isTracked(next, 1));
        m_clock.advance(3000);
        m_controller->TrackTick();
        QCOMPARE(m_store->findTask(next, 1)->FinishedSeconds, quint8(3));
    }

    void failingWriteIsReportedAndStops()
    {
        addTask(1, QStringLiteral("Write"), 60, 12, 0, 1);
        select(1, QStringLiteral("Write"));
        m_controller->SetTracking(true);
        m_clock.advance(4000);
        m_controller->TrackTick();
        m_store->database().exec(QStringLiteral("PRAGMA query_only = ON"));
        m_clock.advance(2000);
        m_controller->TrackTick();
        QCOMPARE(m_prompter->shown.size(), 1);
        QCOMPARE(m_prompter->shown.first().title, QStringLiteral("Error - Chronodeck"));
        QVERIFY(m_prompter->lastText().contains(QStringLiteral("time tracking has been stopped")));
        QVERIFY(!m_tracker->TrackingActive);
        QVERIFY(!m_controller->tmrTracker()->isActive());
        QVERIFY(m_host->startEnabled);
        QVERIFY(!m_host->stopFinishEnabled);
        QCOMPARE(m_host->caption, QStringLiteral("Currently selected:"));
        QCOMPARE(task(1).FinishedDuration, 12);
        QCOMPARE(int(task(1).FinishedSeconds), 4);
    }
};

QTEST_MAIN(TestTrackingController)
#include "test_tracking_controller.moc"
