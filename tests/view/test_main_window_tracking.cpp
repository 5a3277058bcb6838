// Time tracking as the main window drives it: start, the one-second tick,
// finish, and the commands that touch the tracked task (check off, move,
// delete). The tick is the window's own timer; the clock it reads is fake.
#include "MainWindowHarness.h"

#include "common/DarkPalette.h"
#include "controls/Contrast.h"
#include "controls/GradientPanel.h"

#include <QLabel>
#include <QScopeGuard>
#include <QStyle>
#include <QTimer>

#include <memory>

using namespace cdk;
using test::makeTask;
using test::words;

class TestMainWindowTracking final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<test::MainWindowHarness> h;

    QTimer *tmrTracker() { return h->tracker().tmrTracker(); }

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
    void cleanup() { test::MainWindowHarness::finish(h); }

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

    // The current-task panel and the day summary read in the palette the
    // desktop has now, light or dark, in each state of the tracker: their
    // texts against the ends of the gradients as painted. The palette changes
    // while the window runs.
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
        checkPanel("gpCurTask",
                   {textOf("lblTracking"), textOf("gpCurTaskLbl"), textOf("lblStatus")});
        if (QTest::currentTestFailed())
            return;
        checkPanel("gpInfos", {h->child<GradientPanel>("gpInfos")->captionColor()});
        if (QTest::currentTestFailed())
            return;
        checkPanel("gpInfoInfo", {textOf("lblDone"), textOf("lblLeft")});
    }
};

QTEST_MAIN(TestMainWindowTracking)
#include "test_main_window_tracking.moc"
