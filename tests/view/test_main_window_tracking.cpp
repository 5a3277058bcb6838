// Time tracking as the main window drives it: start, the one-second tick,
// finish, and the commands that touch the tracked task (check off, move,
// delete). The tick is the window's own timer; the clock it reads is fake.
#include "MainWindowHarness.h"

#include "common/DarkPalette.h"
#include "common/FakeIdleSource.h"
#include "controls/Contrast.h"
#include "controls/GradientPanel.h"
#include "controls/Icons.h"
#include "tracking/AlertPopup.h"
#include "tracking/AwayDialog.h"

#include <QFile>
#include <QLabel>
#include <QScopeGuard>
#include <QStyle>
#include <QTimer>

#include <memory>

using namespace cdk;
using namespace Qt::StringLiterals;
using test::makeTask;
using test::words;

class TestMainWindowTracking final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<test::MainWindowHarness> h;

    QTimer *tmrTracker() { return h->tracker().tmrTracker(); }

    // The texts of the finish alerts on screen.
    static QList<QLabel *> alertLabels()
    {
        QList<QLabel *> labels;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<AlertPopup *>(w))
                labels << w->findChild<QLabel *>(QStringLiteral("lblAlert"));
        return labels;
    }
    static QStringList alerts()
    {
        QStringList texts;
        for (const QLabel *label : alertLabels())
            texts << label->text();
        return texts;
    }
    // The current-task panel as painted, without the texts on it.
    QImage panelBackground()
    {
        auto *panel = h->child<GradientPanel>("gpCurTask");
        QImage painted(panel->size(), QImage::Format_RGB32);
        panel->render(&painted, {}, {}, QWidget::DrawWindowBackground);
        return painted;
    }
    // The panel starts at the tracker's grey and runs into the state colour
    // at its right edge, inside the border.
    bool panelShows(const QColor &state)
    {
        const QImage painted = panelBackground();
        const int middle = painted.height() / 2;
        auto near = [](const QColor &a, const QColor &b) {
            return qAbs(a.red() - b.red()) <= 8 && qAbs(a.green() - b.green()) <= 8
                && qAbs(a.blue() - b.blue()) <= 8;
        };
        const QColor left = painted.pixelColor(2, middle);
        const QColor right = painted.pixelColor(painted.width() - 2, middle);
        if (near(left, QColor(80, 80, 80)) && near(right, state))
            return true;
        qWarning("panel runs from %s to %s", qPrintable(left.name()), qPrintable(right.name()));
        return false;
    }
    bool currentTaskIsLink() { return h->child<QLabel>("gpCurTaskLbl")->font().underline(); }
    void addTask(qint32 id, const char *subject, qint32 budget, qint32 done, int seconds = 0)
    {
        TaskRecord t = makeTask(id, QString::fromLatin1(subject), budget, done, InProgress);
        t.FinishedSeconds = quint8(seconds);
        h->addTask(h->today(), t);
    }

    // Three tasks of today; "b" (ID 2, 30 minutes with 10 done) is selected
    // and tracked.
    void trackB()
    {
        h->addTask(h->today(), makeTask(1, QStringLiteral("a"), 20));
        h->addTask(h->today(), makeTask(2, QStringLiteral("b"), 30, 10, NotStarted));
        h->addTask(h->today(), makeTask(3, QStringLiteral("c"), 45));
        h->showWindow();
        h->startTracking(2);
    }

private Q_SLOTS:
    void init() { h = std::make_unique<test::MainWindowHarness>(); }
    void cleanup()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<AlertPopup *>(w))
                delete w;
        test::MainWindowHarness::finish(h);
    }

    // The panel texts themselves are the controller's; here: the commands
    // reach it, the window's own timer ticks into the store and the grid.
    void startTickThenStopOrFinish_data()
    {
        QTest::addColumn<bool>("finish");
        QTest::newRow("stop") << false;
        QTest::newRow("finish") << true;
    }
    void startTickThenStopOrFinish()
    {
        QFETCH(bool, finish);
        trackB();
        QCOMPARE(h->stored(h->today(), 2)->State, int(InProgress));
        QCOMPARE(h->grid().cellText(2, ColTaskState), TaskStateName(InProgress));
        QCOMPARE(h->label("lblTracking"), QStringLiteral("Time tracking task:"));
        QVERIFY(tmrTracker()->isActive());
        QVERIFY(!h->toolbar(3)->isEnabled());
        QVERIFY(h->action("mnuStopTimer")->isEnabled());
        QVERIFY(h->toolbar(11)->isEnabled());

        // No second start while one task is tracked, whatever is selected.
        h->clickCell(3, ColSubject);
        QVERIFY(!h->action("mnuStartTimer")->isEnabled());

        h->clock.advance(61'000);
        QTRY_COMPARE(h->grid().cellText(2, ColTimeDone), QStringLiteral("0:11"));
        QCOMPARE(int(h->stored(h->today(), 2)->FinishedSeconds), 1);
        QCOMPARE(h->label("lblDone"), QStringLiteral("11 minutes done"));

        h->clickToolbar(finish ? 11 : 10);
        QVERIFY(!h->tracker().TrackingActive);
        QVERIFY(!tmrTracker()->isActive());
        // Nothing more is counted once stopped.
        h->clock.advance(120'000);
        QCOMPARE(h->tracker().TrackTick(), TickResult::Nothing);
        const TaskRecord t = *h->stored(h->today(), 2);
        QCOMPARE(t.State, int(finish ? Finished : InProgress));
        QCOMPARE(t.FinishedDuration, 11); // not marked as fully done by default
        QCOMPARE(int(t.FinishedSeconds), 1);
        QCOMPARE(h->grid().cellIconKey(2, ColCheckbox),
                 finish ? QStringLiteral("CHECK") : QStringLiteral("UNCHECK"));
        QCOMPARE(h->label("lblTracking"), QStringLiteral("Currently selected:"));
        QVERIFY(!h->toolbar(11)->isEnabled());
        QVERIFY(!h->action("mnuStopTimer")->isEnabled());
    }

    void checkingOffTheTrackedTask_data()
    {
        QTest::addColumn<bool>("byMenu");
        QTest::addColumn<bool>("markFull");
        QTest::addColumn<bool>("answerYes");
        // The check box (Space takes the same path) and the menu entry each
        // ask unless the setting makes the answer.
        QTest::newRow("box, no") << false << false << false;
        QTest::newRow("box, marked full") << false << true << false;
        QTest::newRow("menu, no") << true << false << false;
        QTest::newRow("menu, yes") << true << false << true;
    }
    void checkingOffTheTrackedTask()
    {
        QFETCH(bool, byMenu);
        QFETCH(bool, markFull);
        QFETCH(bool, answerYes);
        const bool asked = !markFull;
        const bool keepsTracking = asked && !answerYes;
        const int doneAfter = markFull ? 30 : 10;
        h->settings().flags().MarkTasks100PercentWhenCheckedOff = markFull;
        trackB();
        h->prompter.answers = {answerYes ? Answer::Yes : Answer::No};
        if (byMenu)
            h->action("mnuMarkDone")->trigger();
        else
            h->clickCell(2, ColCheckbox);

        const auto shown = h->takeShown();
        QCOMPARE(shown.size(), asked ? 1 : 0);
        if (asked) {
            QCOMPARE(shown.first().title, QStringLiteral("Chronodeck"));
            QCOMPARE(shown.first().text,
                     QStringLiteral("Do you want to stop time tracking this task?"));
        }
        const TaskRecord t = *h->stored(h->today(), 2);
        QCOMPARE(t.State, int(Finished));
        QCOMPARE(t.FinishedDuration, doneAfter);
        QCOMPARE(h->tracker().TrackingActive, keepsTracking);
        QCOMPARE(tmrTracker()->isActive(), keepsTracking);
        QCOMPARE(h->toolbar(11)->isEnabled(), keepsTracking);
        QCOMPARE(h->grid().cellIconKey(h->grid().rowOfTask(2), ColCheckbox),
                 QStringLiteral("CHECK"));
        QCOMPARE(h->label("lblTracking"),
                 keepsTracking ? QStringLiteral("Time tracking task:")
                               : QStringLiteral("Currently selected:"));
        // Only the tracked task was touched.
        QCOMPARE(h->stored(h->today(), 1)->State, int(NotStarted));
        QCOMPARE(h->stored(h->today(), 3)->State, int(NotStarted));
    }

    void movedTaskStaysTracked()
    {
        const QString tomorrow = h->dayKey(1);
        h->addTask(tomorrow, makeTask(4, QStringLiteral("already there"), 10));
        trackB();
        h->action("mnuMoveTasksToNextDay")->trigger();

        QCOMPARE(h->shownSubjects(), words("a c"));
        QVERIFY(h->tracker().TrackingActive);
        QCOMPARE(h->tracker().TrackedList, tomorrow);
        QCOMPARE(h->tracker().TrackedTaskID, 5);
        QCOMPARE(h->label("gpCurTaskLbl"), QStringLiteral("b"));

        // The next minute lands on the moved row.
        h->clock.advance(60'000);
        QTRY_COMPARE(h->stored(tomorrow, 5)->FinishedDuration, 11);
        QCOMPARE(h->stored(tomorrow, 5)->Subject, QStringLiteral("b"));
        QVERIFY(!h->stored(h->today(), 2));
        QCOMPARE(h->stored(tomorrow, 4)->FinishedDuration, 0);

        // A click on the tracked task's name shows its day with its row selected.
        auto *name = h->child<QLabel>("gpCurTaskLbl");
        QTest::mouseClick(name, Qt::LeftButton, {}, QPoint(2, name->height() / 2));
        QCOMPARE(h->picker()->date(), h->clock.today().addDays(1));
        const int row = h->grid().rowOfTask(5);
        QVERIFY(row > 0);
        QCOMPARE(h->grid().selectedRows(), QList<int> {row});
        QCOMPARE(h->grid().cellText(row, ColTimeDone), QStringLiteral("0:11"));
    }

    void deletingStopsTrackingOnlyForTheTrackedTask_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("keepsTracking");
        QTest::newRow("the tracked task") << 2 << false;
        QTest::newRow("another task") << 3 << true;
    }
    void deletingStopsTrackingOnlyForTheTrackedTask()
    {
        QFETCH(int, row);
        QFETCH(bool, keepsTracking);
        trackB();
        h->clickCell(row, ColSubject);
        h->prompter.answers = {Answer::Yes};
        h->action("mnuDeleteTask")->trigger();
        QCOMPARE(h->takeShown().size(), 1);

        QCOMPARE(h->grid().rowCount(), 2);
        QCOMPARE(h->tracker().TrackingActive, keepsTracking);
        QCOMPARE(tmrTracker()->isActive(), keepsTracking);
        QCOMPARE(h->toolbar(10)->isEnabled(), keepsTracking);
        QCOMPARE(h->stored(h->today(), 2).has_value(), keepsTracking);
        if (!keepsTracking) {
            QCOMPARE(h->label("lblTracking"), QStringLiteral("Currently selected:"));
            QVERIFY(h->action("mnuStartTimer")->isEnabled());
            QCOMPARE(h->tracker().TrackedTaskID, 0);
        } else {
            h->clock.advance(60'000);
            QTRY_COMPARE(h->stored(h->today(), 2)->FinishedDuration, 11);
        }
    }

    // Counting, then the tick that uses up the budget: the panel, the tray,
    // and one alert with its sound however often the display refreshes.
    void finishingAlertsOnceAndTheAlertLeadsBack()
    {
        addTask(1, "Tidy", 2, 1, 50);
        MainWindow &window = h->showWindow();
        h->startTracking(1);
        QCOMPARE(h->label("lblStatus"), QStringLiteral("Done: [0:01 / 0:02] [50%]"));
        QCOMPARE(h->tray.toolTip,
                 QStringLiteral("Time tracking task: Tidy\r\nDone: [0:01 / 0:02] [50%]"));
        QCOMPARE(h->tray.picture, TrayIcon::Picture::Play);
        QVERIFY(currentTaskIsLink());
        QVERIFY(panelShows(QColor(240, 90, 50)));
        h->clock.advance(5000);
        h->tracker().TrackTick();
        QVERIFY(alerts().isEmpty());

        h->clock.advance(5000); // 60 s: the budget is used up
        h->tracker().TrackTick();
        QCOMPARE(h->stored(h->today(), 1)->FinishedDuration, 2);
        QCOMPARE(h->label("lblTracking"), QStringLiteral("Tracking finished: "));
        QCOMPARE(h->label("lblStatus"), QStringLiteral("Done: [0:02 / 0:02] [100%]"));
        QVERIFY(panelShows(QColor(0, 255, 0)));
        QCOMPARE(h->tray.picture, TrayIcon::Picture::Done);
        QCOMPARE(alerts(), QStringList {QStringLiteral("Task Tidy has been finished!")});
        QCOMPARE(h->sound.played, QStringList {QString()});

        h->clock.advance(5000);
        h->tracker().TrackTick();
        window.tracking().RefreshTrackingDisplay();
        QCOMPARE(alerts().size(), 1);
        QCOMPARE(h->sound.played.size(), 1);
        // The Finish button blinks.
        const QImage high = iconForKey(QStringLiteral("CHECKHIGH")).pixmap(16, 16).toImage();
        QTRY_COMPARE_WITH_TIMEOUT(h->toolbar(11)->icon().pixmap(16, 16).toImage(), high, 2000);

        // A click on the message brings the hidden window back.
        window.hide();
        QTest::mouseClick(alertLabels().first(), Qt::LeftButton, {}, QPoint(2, 2));
        QTRY_VERIFY(window.isVisible());

        // Tracking moved straight to another used-up task (as the command
        // line can) announces that one.
        addTask(2, "Pay the rent", 20, 20);
        QVERIFY(h->context().operations.startTracking(h->today(), 2));
        QCOMPARE(h->sound.played.size(), 2);
        QVERIFY2(alerts().contains(QStringLiteral("Task Pay the rent has been finished!")),
                 qPrintable(alerts().join(u", ")));
    }

    // The warning before the end slides up once, without the finish's sound.
    void warningBeforeTheEndComesOnceAndQuietly()
    {
        h->settings().setNumber(Setting::WarnMinutesBefore, 5);
        addTask(1, "Tidy", 10, 4);
        h->showWindow();
        h->startTracking(1);
        QVERIFY(alerts().isEmpty());
        h->clock.advance(60'000);
        h->tracker().TrackTick();
        QCOMPARE(alerts(), QStringList {QStringLiteral("5 minutes left for Tidy")});
        h->clock.advance(60'000);
        h->tracker().TrackTick();
        QCOMPARE(alerts().size(), 1);
        QVERIFY(h->sound.played.isEmpty());
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
        QTemporaryDir dir;
        const QString wav = dir.filePath(QStringLiteral("done.wav"));
        if (fileExists) {
            QFile file(wav);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("RIFF");
        }
        h->settings().Save(SettingsSection::Sounds, QStringLiteral("CustomTaskDoneSound"), custom);
        h->settings().Save(SettingsSection::Sounds, QStringLiteral("CustomTaskDoneSoundFile"), wav);
        h->showWindow().tracking().playTaskDoneSound();
        QCOMPARE(h->sound.played, QStringList {expectFile ? wav : QString()});
    }

    // A reset of the tracked task, whatever is selected by then, keeps it
    // tracked from zero; a reset of another task leaves the tracking alone.
    void resetKeepsTrackingFromZero()
    {
        addTask(1, "Plan", 60, 20, 15);
        addTask(2, "Other", 60, 30);
        h->showWindow();
        h->startTracking(h->grid().rowOfTask(1));
        h->clickCell(h->grid().rowOfTask(2), ColSubject);
        TaskOperations &ops = h->context().operations;
        ops.resetTimeDone(h->today(), {1});
        QVERIFY(h->tracker().isTracked(h->today(), 1));
        QCOMPARE(h->tracker().TrackedFinishedDuration, 0);
        QCOMPARE(h->label("gpCurTaskLbl"), QStringLiteral("Plan"));
        QCOMPARE(h->label("lblStatus"), QStringLiteral("Done: [0:00 / 1:00] [0%]"));
        QCOMPARE(h->stored(h->today(), 1)->FinishedDuration, 0);
        QCOMPARE(h->stored(h->today(), 2)->FinishedDuration, 30);
        QVERIFY(tmrTracker()->isActive());

        ops.resetTimeDone(h->today(), {2});
        QCOMPARE(h->stored(h->today(), 2)->FinishedDuration, 0);
        QVERIFY(h->tracker().isTracked(h->today(), 1));
    }

    // Back after 15 minutes away: one question, whose answer is what the
    // database holds afterwards. The time counts on while it is open.
    void awayTimeIsAskedAboutOnReturn_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("storedSeconds");
        QTest::addColumn<bool>("tracking");
        QTest::addColumn<bool>("movedMeanwhile");
        // "b" had 10:00 done; 1 s before the time away, 900 s away, 1 s
        // after, and 2 s while the question is open.
        QTest::newRow("keep") << u"cmdKeep"_s << 10 * 60 + 904 << true << false;
        QTest::newRow("discard") << u"cmdDiscard"_s << 10 * 60 + 4 << true << false;
        QTest::newRow("discard and stop") << u"cmdDiscardAndStop"_s << 10 * 60 + 4 << false
                                          << false;
        // Moved to tomorrow while the question is open: the answer follows it.
        QTest::newRow("discard after a move") << u"cmdDiscard"_s << 10 * 60 + 4 << true << true;
    }
    void awayTimeIsAskedAboutOnReturn()
    {
        QFETCH(QString, button);
        QFETCH(int, storedSeconds);
        QFETCH(bool, tracking);
        QFETCH(bool, movedMeanwhile);
        const auto questions = [] {
            QList<AwayDialog *> open;
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *d = qobject_cast<AwayDialog *>(w); d && d->isVisible())
                    open << d;
            return open;
        };
        test::FakeIdleSource desktop;
        trackB();
        h->tracker().setAwayDetection(&desktop, 60'000);
        const auto tick = [this, &desktop](int ms, qint64 idle) {
            h->clock.advance(quint32(ms));
            desktop.idle = idle;
            h->tracker().TrackTick();
        };
        tick(1000, 0);
        tick(900'000, 900'000);
        QVERIFY(h->tracker().isAway());
        QVERIFY(questions().isEmpty());
        tick(1000, 1000); // a key pressed a second ago
        QCOMPARE(questions().size(), 1);
        const QString text = questions().first()->findChild<QLabel *>(u"lblAway"_s)->text();
        QVERIFY2(text.startsWith(u"You were away from "_s)
                     && text.endsWith(u" (15 minutes) while tracking b."_s),
                 qPrintable(text));
        tick(1000, 0);
        tick(1000, 0);
        QCOMPARE(questions().size(), 1);

        QString list = h->today();
        qint32 id = 2;
        if (movedMeanwhile) {
            list = DayListKey(h->clock.today().addDays(1));
            id = h->context().operations.moveTasks(h->today(), {2}, list).first();
        }
        QTest::mouseClick(questions().first()->findChild<QPushButton *>(button), Qt::LeftButton);
        QTRY_VERIFY(questions().isEmpty());
        QVERIFY2(h->takeShown().isEmpty(), "no message expected");
        const TaskRecord b = *h->stored(list, id);
        QCOMPARE(b.FinishedDuration * 60 + b.FinishedSeconds, storedSeconds);
        QCOMPARE(b.State, int(InProgress));
        QCOMPARE(h->tracker().TrackingActive, tracking);
        if (!movedMeanwhile)
            QCOMPARE(h->grid().cellText(h->grid().rowOfTask(2), ColTimeDone),
                     storedSeconds >= 25 * 60 ? u"0:25"_s : u"0:10"_s);
        const QString undo = h->context().operations.history().undoText();
        QCOMPARE(undo == u"Discard Away Time"_s, button != u"cmdKeep"_s);
    }

    void failingWriteIsReportedAndStops()
    {
        addTask(1, "Write", 60, 12);
        h->showWindow();
        h->startTracking(1);
        h->clock.advance(4000);
        h->tracker().TrackTick();
        h->store().database().exec(QStringLiteral("PRAGMA query_only = ON"));
        h->clock.advance(2000);
        h->tracker().TrackTick();
        const auto shown = h->takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().title, QStringLiteral("Error - Chronodeck"));
        QVERIFY(shown.first().text.contains(QStringLiteral("time tracking has been stopped")));
        QVERIFY(!h->tracker().TrackingActive);
        QVERIFY(!tmrTracker()->isActive());
        QVERIFY(h->action("mnuStartTimer")->isEnabled());
        QVERIFY(!h->action("mnuStopTimer")->isEnabled());
        // The panel and the tray are idle again.
        QCOMPARE(h->label("lblTracking"), QStringLiteral("Currently selected:"));
        QVERIFY(!currentTaskIsLink());
        QVERIFY(panelShows(QColor(150, 150, 150)));
        QCOMPARE(h->tray.toolTip, QStringLiteral("Chronodeck"));
        QCOMPARE(h->tray.picture, TrayIcon::Picture::Normal);
        QCOMPARE(h->stored(h->today(), 1)->FinishedSeconds, 4);
        h->clock.advance(3000);
        h->tracker().TrackTick(); // nothing more happens
        QVERIFY(h->prompter.shown.isEmpty());

        // Tracking starts again once the database takes writes.
        h->store().database().exec(QStringLiteral("PRAGMA query_only = OFF"));
        h->action("mnuStartTimer")->trigger();
        h->clock.advance(1000);
        h->tracker().TrackTick();
        QCOMPARE(h->stored(h->today(), 1)->FinishedSeconds, 5);
    }

    // The current-task panel and the day summary read in the palette the
    // desktop has now, light or dark, in each state of the tracker. The
    // current-task panel keeps its own colours: each of its texts, in the ink
    // it is drawn with, against every pixel under it. The summary's texts
    // against the ends of its gradients. The palette changes while the window
    // runs.
    void panelsReadInLightAndDarkPalettes_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<int>("state");
        const char *states[] = {"selected", "counting", "finished"};
        for (const bool dark : {false, true})
            for (int state = 0; state < 3; ++state)
                QTest::addRow("%s %s", states[state], dark ? "dark" : "light") << dark << state;
    }
    void panelsReadInLightAndDarkPalettes()
    {
        QFETCH(bool, dark);
        QFETCH(int, state);
        const QPalette original = QApplication::palette();
        const auto restore = qScopeGuard([&original] { QApplication::setPalette(original); });
        const QPalette light = QApplication::style()->standardPalette();
        QApplication::setPalette(dark ? light : test::darkPalette(light));
        if (state == 0) {
            h->addTask(h->today(), makeTask(1, QStringLiteral("a"), 20));
            h->showWindow();
            h->clickCell(1, ColSubject);
        } else {
            trackB();
        }
        if (state == 2) {
            h->clock.advance(20 * 60'000);
            QTRY_COMPARE(h->label("lblTracking"), QStringLiteral("Tracking finished: "));
        }
        QApplication::setPalette(dark ? test::darkPalette(light) : light);
        // The window takes the new palette from its event queue.
        QCoreApplication::processEvents();

        auto textOf = [this](const char *name) {
            const QLabel *label = h->child<QLabel>(name);
            return label->palette().color(label->foregroundRole());
        };
        auto *current = h->child<GradientPanel>("gpCurTask");
        const QImage under = panelBackground();
        QImage drawn(current->size(), QImage::Format_RGB32);
        current->render(&drawn);
        for (const char *name : {"lblTracking", "gpCurTaskLbl", "lblStatus"}) {
            const QRect area = h->child<QLabel>(name)->geometry();
            // The ink: the drawn pixel that stands out most from the panel.
            QColor ink;
            qreal strongest = 0;
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x) {
                    const qreal ratio
                        = contrastRatio(drawn.pixelColor(x, y), under.pixelColor(x, y));
                    if (ratio > strongest) {
                        strongest = ratio;
                        ink = drawn.pixelColor(x, y);
                    }
                }
            QColor worst = under.pixelColor(area.topLeft());
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    if (contrastRatio(ink, under.pixelColor(x, y)) < contrastRatio(ink, worst))
                        worst = under.pixelColor(x, y);
            const QString where = QString::fromLatin1(name) + u' ' + ink.name()
                + QStringLiteral(" on ") + worst.name();
            QVERIFY2(contrastRatio(ink, worst) >= 4.5, qPrintable(where));
            QVERIFY2(relativeLuminance(ink) > relativeLuminance(worst), qPrintable(where));
            // The tracked task is a link, in blue.
            if (state != 0 && qstrcmp(name, "gpCurTaskLbl") == 0)
                QVERIFY2(qAbs(ink.hslHue() - 240) <= 3 && ink.hslSaturation() > 200,
                         qPrintable(where));
        }
        const QColor stateColours[] = {{150, 150, 150}, {240, 90, 50}, {0, 255, 0}};
        QVERIFY(panelShows(stateColours[state]));

        auto checkPanel = [&](const char *name, const QList<QColor> &texts) {
            // The panel's own painting, without the labels on it.
            auto *panel = h->child<GradientPanel>(name);
            QImage painted(panel->size(), QImage::Format_RGB32);
            panel->render(&painted, {}, {}, QWidget::DrawWindowBackground);
            const int right = painted.width() - 3;
            const int bottom = painted.height() - 3;
            for (const QPoint end :
                 {QPoint(2, 2), QPoint(right, 2), QPoint(2, bottom), QPoint(right, bottom)}) {
                const QColor under = painted.pixelColor(end);
                for (const QColor &text : texts) {
                    const QString where = QString::fromLatin1(name) + u' ' + text.name()
                        + QStringLiteral(" on ") + under.name();
                    QVERIFY2(contrastRatio(text, under) >= 4.5, qPrintable(where));
                    QVERIFY2((relativeLuminance(text) > relativeLuminance(under)) == dark,
                             qPrintable(where));
                }
            }
        };
        checkPanel("gpInfos", {h->child<GradientPanel>("gpInfos")->captionColor()});
        if (QTest::currentTestFailed())
            return;
        checkPanel("gpInfoInfo", {textOf("lblDone"), textOf("lblLeft")});
    }
};

QTEST_MAIN(TestMainWindowTracking)
#include "test_main_window_tracking.moc"
