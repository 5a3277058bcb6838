#include "FakeTrackingHost.h"
#include "common/DarkPalette.h"
#include "common/FakeClock.h"
#include "common/RecordingSound.h"
#include "common/RecordingTrayIcon.h"
#include "common/TaskFixtures.h"
#include "controls/Contrast.h"
#include "core/ShownDay.h"
#include "core/TaskOperations.h"
#include "core/TimeTracker.h"
#include "tracking/AlertPopup.h"
#include "tracking/TrackingController.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include <memory>

using namespace cdk;
using test::kDay;

namespace {

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
    std::unique_ptr<test::StoreFixture> f;
    std::unique_ptr<test::FakeTrackingHost> m_host;
    std::unique_ptr<QObject> m_window;
    test::FakeClock m_clock;
    test::RecordingSound m_sound;
    test::RecordingTrayIcon m_tray;
    std::unique_ptr<TimeTracker> m_tracker;
    std::unique_ptr<TaskOperations> m_ops;
    std::unique_ptr<ShownDay> m_day;
    TrackingController *m_controller = nullptr;

    // Adds the task and selects it, as the window would before a start.
    void addSelected(qint32 id, const QString &subject, qint32 duration, qint32 done,
                     int seconds = 0, int state = 0)
    {
        TaskRecord r = test::makeTask(id, subject, duration, done, state);
        r.FinishedSeconds = static_cast<quint8>(seconds);
        f->add(r);
        m_day->setSelection({id}, id);
    }
    void start(qint32 id = 1) { QVERIFY(m_ops->startTracking(kDay, id)); }
    TaskRecord task(qint32 id) { return f->task(id); }

    static QRect available() { return QGuiApplication::primaryScreen()->availableGeometry(); }

    static void sendMouse(QWidget *target, QEvent::Type type)
    {
        const QPointF local(2, 2);
        QMouseEvent event(type, local, target->mapToGlobal(local),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(target, &event);
    }

    // Opens a pop-up fully by driving its opening timer by hand.
    static int openFully(AlertPopup &popup)
    {
        auto *tmrOpen = popup.findChild<QTimer *>(QStringLiteral("tmrOpen"));
        int steps = 0;
        while (tmrOpen->isActive() && steps < 1000) {
            popup.openStep();
            ++steps;
        }
        return steps;
    }

private Q_SLOTS:
    void init()
    {
        f = std::make_unique<test::StoreFixture>();
        m_host = std::make_unique<test::FakeTrackingHost>();
        m_window = std::make_unique<QObject>();
        m_sound.played.clear();
        m_tray.toolTip.clear();
        m_tray.picture = TrayIcon::Picture::Normal;
        m_tracker = std::make_unique<TimeTracker>(f->store, m_clock);
        m_ops = std::make_unique<TaskOperations>(f->store, f->settings, *m_tracker);
        m_day = std::make_unique<ShownDay>();
        m_day->setDate(QDate(2024, 3, 5));
        m_controller = new TrackingController(m_window.get(), *m_ops, *m_day, *m_host,
                                              f->settings, m_sound, f->prompter, &m_tray);
    }
    void cleanup()
    {
        qDeleteAll(popups());
        m_window.reset(); // owns the controller and its timers
        m_ops.reset();
        m_tracker.reset();
        f.reset();
    }

    void startOnAFinishedTaskAlertsOnce()
    {
        addSelected(1, QStringLiteral("Call Ann"), 30, 30, 0, 1);
        start();
        QCOMPARE(m_host->caption, QStringLiteral("Tracking finished: "));
        QCOMPARE(m_host->stateColour, QColor(0, 255, 0));
        QCOMPARE(m_host->status, QStringLiteral("Done: [0:30 / 0:30] [100%]"));
        QCOMPARE(m_tray.picture, TrayIcon::Picture::Done);
        QCOMPARE(m_host->flashes, 1);
        const auto shown = popups();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first()->findChild<QLabel *>(QStringLiteral("lblAlert"))->text(),
                 QStringLiteral("Task Call Ann has been finished!"));
        QCOMPARE(m_sound.played, QStringList{QString()});

        // Later refreshes and ticks keep the finished look without a new alert.
        m_controller->RefreshTrackingDisplay();
        m_clock.advance(5000);
        m_tracker->TrackTick();
        m_controller->RefreshTrackingDisplay();
        QCOMPARE(popups().size(), 1);
        QCOMPARE(m_sound.played.size(), 1);
        QCOMPARE(m_host->flashes, 1);

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

        // Tracking moved straight to another used-up task announces that one.
        addSelected(2, QStringLiteral("Pay the rent"), 20, 20, 0, 1);
        start(2);
        QCOMPARE(m_sound.played.size(), 2);
        QCOMPARE(m_host->flashes, 2);
        QStringList alerts;
        for (AlertPopup *popup : popups())
            alerts << popup->findChild<QLabel *>(QStringLiteral("lblAlert"))->text();
        QVERIFY2(alerts.contains(QStringLiteral("Task Pay the rent has been finished!")),
                 qPrintable(alerts.join(u", ")));
    }

    // Counting: its colour, the task as a link and the tray's tool tip (the
    // captions and buttons are checked on the real window). The tick that
    // uses up the budget finishes the task.
    void countingThenFinishingAtAMinuteBoundary()
    {
        addSelected(1, QStringLiteral("Tidy"), 2, 1, 50, 1);
        start();
        QCOMPARE(m_host->status, QStringLiteral("Done: [0:01 / 0:02] [50%]"));
        QCOMPARE(m_host->stateColour, QColor(240, 90, 50));
        QVERIFY(m_host->currentTaskIsLink);
        QCOMPARE(m_tray.toolTip,
                 QStringLiteral("Time tracking task: Tidy\r\nDone: [0:01 / 0:02] [50%]"));

        m_clock.advance(5000);
        m_tracker->TrackTick();
        QVERIFY(popups().isEmpty());

        m_clock.advance(5000); // 60 s: the budget is used up
        m_tracker->TrackTick();
        QCOMPARE(task(1).FinishedDuration, 2);
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
    }
    void taskDoneSound()
    {
        QFETCH(QString, custom);
        QFETCH(bool, fileExists);
        QFETCH(bool, expectFile);
        const QString wav = f->dir.filePath(QStringLiteral("done.wav"));
        if (fileExists) {
            QFile file(wav);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("RIFF");
        }
        f->settings.Save(SettingsSection::Sounds, QStringLiteral("CustomTaskDoneSound"), custom);
        f->settings.Save(SettingsSection::Sounds, QStringLiteral("CustomTaskDoneSoundFile"), wav);
        m_controller->playTaskDoneSound();
        QCOMPARE(m_sound.played, QStringList{expectFile ? wav : QString()});
    }

    void resetKeepsTrackingFromZero()
    {
        f->add(test::makeTask(2, QStringLiteral("Other"), 60, 30, 1));
        addSelected(1, QStringLiteral("Plan"), 60, 20, 15, 1);
        start();
        // Another row may be selected by now; the tracked task stays tracked.
        m_day->setSelection({2}, 2);
        m_ops->resetTimeDone(kDay, {1});
        QVERIFY(m_tracker->isTracked(kDay, 1));
        QCOMPARE(m_tracker->TrackedFinishedDuration, 0);
        QCOMPARE(m_host->currentTask, QStringLiteral("Plan"));
        QCOMPARE(m_host->status, QStringLiteral("Done: [0:00 / 1:00] [0%]"));
        QCOMPARE(task(1).FinishedDuration, 0);
        QCOMPARE(task(2).FinishedDuration, 30);
        QVERIFY(m_tracker->tmrTracker()->isActive());

        m_ops->resetTimeDone(kDay, {2});
        QCOMPARE(task(2).FinishedDuration, 0);
        QVERIFY(m_tracker->isTracked(kDay, 1));
    }

    void failingWriteIsReportedAndStops()
    {
        addSelected(1, QStringLiteral("Write"), 60, 12, 0, 1);
        start();
        m_clock.advance(4000);
        m_tracker->TrackTick();
        f->store.database().exec(QStringLiteral("PRAGMA query_only = ON"));
        m_clock.advance(2000);
        m_tracker->TrackTick();
        QCOMPARE(f->prompter.shown.size(), 1);
        QCOMPARE(f->prompter.shown.first().title, QStringLiteral("Error - Chronodeck"));
        QVERIFY(f->prompter.lastText().contains(QStringLiteral("time tracking has been stopped")));
        QVERIFY(!m_tracker->TrackingActive);
        QVERIFY(!m_tracker->tmrTracker()->isActive());
        QVERIFY(m_host->startEnabled);
        QVERIFY(!m_host->stopFinishEnabled);
        // The panel is idle again (its texts for each selection are checked on
        // the real window).
        QCOMPARE(m_host->caption, QStringLiteral("Currently selected:"));
        QVERIFY(!m_host->currentTaskIsLink);
        QCOMPARE(m_host->stateColour, QColor(150, 150, 150));
        QCOMPARE(m_tray.toolTip, QStringLiteral("Chronodeck"));
        QCOMPARE(m_tray.picture, TrayIcon::Picture::Normal);
        QCOMPARE(f->seconds(1), 12 * 60 + 4);
        m_clock.advance(3000);
        m_tracker->TrackTick(); // nothing more happens
        QCOMPARE(f->prompter.shown.size(), 1);

        // Tracking starts again once the database takes writes.
        f->store.database().exec(QStringLiteral("PRAGMA query_only = OFF"));
        start();
        m_clock.advance(1000);
        m_tracker->TrackTick();
        QCOMPARE(f->seconds(1), 12 * 60 + 5);
    }

    // ---- The alert pop-up on its own

    void taskbarPlacement_data()
    {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QPoint>("expected");
        const QRect screen(0, 0, 1920, 1080);
        const QSize p(AlertPopup::kWidth, AlertPopup::kOpenHeight);
        const QPoint corner(1920 - p.width(), 1080 - p.height());
        QTest::newRow("bottom") << screen << QRect(0, 0, 1920, 1040)
                                << QPoint(1920 - p.width(), 1040 - p.height());
        QTest::newRow("right") << screen << QRect(0, 0, 1860, 1080)
                               << QPoint(1860 - p.width(), 1080 - p.height());
        QTest::newRow("left") << screen << QRect(60, 0, 1860, 1080) << corner;
        QTest::newRow("top") << screen << QRect(0, 40, 1920, 1040) << corner;
        QTest::newRow("second screen, bottom")
            << QRect(1920, 0, 1280, 1024) << QRect(1920, 0, 1280, 984)
            << QPoint(3200 - p.width(), 984 - p.height());
    }
    void taskbarPlacement()
    {
        QFETCH(QRect, screen);
        QFETCH(QRect, available);
        QFETCH(QPoint, expected);
        const QSize size(AlertPopup::kWidth, AlertPopup::kOpenHeight);
        QCOMPARE(AlertPopup::GetTaskbar(screen, available, size), expected);
    }

    // A long subject is shortened in its middle so the pop-up still says
    // what happened, and a dark theme gives a dark pop-up with light text.
    void longSubjectsAndDarkThemesStayReadable()
    {
        test::DarkPaletteScope dark;
        QPointer<AlertPopup> popup = new AlertPopup([] {});
        const QString full = QStringLiteral("Task ") + QString(QStringLiteral("Quarterly report ")).repeated(8)
            + QStringLiteral("has been finished!");
        popup->DisplayAlert(full, 3000);
        QLabel *text = popup->findChild<QLabel *>(QStringLiteral("lblAlert"));
        QVERIFY(text->text().startsWith(QStringLiteral("Task Quarterly")));
        QVERIFY(text->text().endsWith(QStringLiteral(" has been finished!")));
        QVERIFY(text->text().contains(QChar(0x2026)));
        QCOMPARE(text->toolTip(), full);
        const QRect needed = text->fontMetrics().boundingRect(
            QRect(0, 0, text->width(), 100000), Qt::TextWordWrap, text->text());
        QVERIFY(needed.height() <= text->height());

        popup->resize(AlertPopup::kWidth, AlertPopup::kOpenHeight);
        popup->findChild<QWidget *>(QStringLiteral("gpPanel"))->resize(popup->size());
        const QImage shot = popup->grab().toImage();
        const QColor background = shot.pixelColor(shot.width() / 2, 24);
        QVERIFY2(qGray(background.rgb()) < 110, qPrintable(background.name()));
        QVERIFY(contrastRatio(text->palette().color(QPalette::WindowText), background) >= 4.5);
        delete popup;
    }

    void opensUpwardsToExactlyTheFullHeight()
    {
        int sounds = 0;
        QPointer<AlertPopup> popup = new AlertPopup([&sounds] { ++sounds; });
        popup->DisplayAlert(QStringLiteral("Task Write has been finished!"), 3000);
        QCOMPARE(sounds, 1);
        QVERIFY(popup->isVisible());
        QCOMPARE(popup->findChild<QLabel *>(QStringLiteral("lblAlert"))->text(),
                 QStringLiteral("Task Write has been finished!"));
        QCOMPARE(popup->findChild<QLabel *>(QStringLiteral("lblCaption"))->text(),
                 QStringLiteral("Chronodeck:"));
        const QRect strip = popup->geometry();
        QCOMPARE(strip.height(), AlertPopup::kStripHeight);
        QCOMPARE(strip.width(), AlertPopup::kWidth);
        const int bottom = strip.y() + strip.height();
        QCOMPARE(strip.topLeft(), AlertPopup::GetTaskbar(
                                      QGuiApplication::primaryScreen()->geometry(), available(),
                                      strip.size()));

        // 6 + 2k never hits 95: the last step is cut short.
        const int steps = openFully(*popup);
        QCOMPARE(steps, (AlertPopup::kOpenHeight - AlertPopup::kStripHeight + 1) / 2 + 1);
        QCOMPARE(popup->height(), AlertPopup::kOpenHeight);
        QCOMPARE(popup->y() + popup->height(), bottom);
        auto *tmrAlert = popup->findChild<QTimer *>(QStringLiteral("tmrAlert"));
        QVERIFY(tmrAlert->isActive());
        QCOMPARE(tmrAlert->interval(), 3000);

        // Closing shrinks downwards (left to its timers it ends deleted: below).
        popup->stayElapsed();
        auto *tmrClose = popup->findChild<QTimer *>(QStringLiteral("tmrClose"));
        QVERIFY(tmrClose->isActive());
        QVERIFY(!tmrAlert->isActive());
        popup->closeStep();
        QCOMPARE(popup->height(), AlertPopup::kOpenHeight - 2);
        QCOMPARE(popup->y() + popup->height(), bottom);
    }

    void runsByItselfAndDeletesItself()
    {
        QPointer<AlertPopup> popup = new AlertPopup();
        popup->DisplayAlert(QStringLiteral("short"), 50);
        QTRY_COMPARE_WITH_TIMEOUT(popup.isNull(), true, 5000);
    }

    void mouseOverTheTextRestartsTheStayOnce()
    {
        AlertPopup popup;
        popup.setAttribute(Qt::WA_DeleteOnClose, false);
        popup.DisplayAlert(QStringLiteral("text"), 2000);
        openFully(popup);
        auto *tmrAlert = popup.findChild<QTimer *>(QStringLiteral("tmrAlert"));
        QVERIFY(tmrAlert->isActive());
        // Time passes without the event loop running, so nothing but the
        // moves sent here can reach the pop-up.
        // (A coarse timer may fire up to 5 % late: the margins allow for it.)
        QTest::qSleep(600);
        QVERIFY(tmrAlert->remainingTime() <= 1600);
        sendMouse(popup.findChild<QWidget *>(QStringLiteral("lblAlert")), QEvent::MouseMove);
        QVERIFY(tmrAlert->remainingTime() > 1850); // the stay starts again
        QTest::qSleep(600);
        sendMouse(popup.findChild<QWidget *>(QStringLiteral("lblCaption")), QEvent::MouseMove);
        QVERIFY(tmrAlert->remainingTime() <= 1600); // but only once
    }

    void clicks_data()
    {
        QTest::addColumn<QString>("child");
        QTest::addColumn<int>("callbacks");
        QTest::newRow("close picture") << QStringLiteral("imgClose") << 0;
        QTest::newRow("caption") << QStringLiteral("lblCaption") << 0;
        QTest::newRow("text") << QStringLiteral("lblAlert") << 1;
    }
    void clicks()
    {
        QFETCH(QString, child);
        QFETCH(int, callbacks);
        int clicked = 0;
        AlertPopup popup({}, [&clicked] { ++clicked; });
        popup.setAttribute(Qt::WA_DeleteOnClose, false);
        popup.DisplayAlert(QStringLiteral("text"), 3000);
        auto *tmrOpen = popup.findChild<QTimer *>(QStringLiteral("tmrOpen"));
        auto *tmrClose = popup.findChild<QTimer *>(QStringLiteral("tmrClose"));
        QVERIFY(tmrOpen->isActive());
        QWidget *target = popup.findChild<QWidget *>(child);
        QVERIFY(target);
        sendMouse(target, QEvent::MouseButtonPress);
        sendMouse(target, QEvent::MouseButtonRelease);
        QCOMPARE(clicked, callbacks);
        // Closing starts from any state, here while still opening.
        QVERIFY(tmrClose->isActive());
        QVERIFY(!tmrOpen->isActive());
    }
};

QTEST_MAIN(TestTrackingController)
#include "test_tracking_controller.moc"
