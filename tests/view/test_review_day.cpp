// "Review the Day" as a user meets it in the main window: today's unfinished
// tasks, a choice changed by keyboard, what Apply leaves in the database and
// how one undo takes it back; the empty day; and the review that opens by
// itself at the time the settings name, from a window hidden in the tray.

#include "MainWindowHarness.h"

#include "view/ReviewSchedule.h"
#include "view/TrayMenu.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>

#include <memory>

using namespace cdk;
using namespace Qt::StringLiterals;
using test::click;
using test::in;
using test::makeTask;
using test::whenModal;

namespace {

QStringList listed(test::MainWindowHarness &h, const QString &list)
{
    return test::listedTasks(h.store(), list);
}

// A key as the user types it: to whatever has the focus of the dialog.
void press(QWidget *dialog, int key)
{
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QTRY_VERIFY(QApplication::focusWidget() && QApplication::focusWidget()->window() == dialog);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
}

} // namespace

class TestReviewDay final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<test::MainWindowHarness> h;
    MainWindow *m_window = nullptr;

private Q_SLOTS:
    void init()
    {
        h = std::make_unique<test::MainWindowHarness>();
        h->addTasks(h->today(),
                    {makeTask(1, u"Write"_s, 60, 20, InProgress),
                     makeTask(2, u"Call"_s, 30, 10, InProgress), makeTask(3, u"Read"_s, 45, 0),
                     makeTask(4, u"Filed"_s, 30, 30, Finished)});
        h->addTask(h->dayKey(1), makeTask(1, u"Planned"_s, 15));
        m_window = &h->showWindow();
    }
    void cleanup() { test::MainWindowHarness::finish(h); }

    // The window shows another day: the review is about today all the same.
    void reviewByKeyboardThenUndo()
    {
        h->action("actNextDay")->trigger();
        const QStringList today = listed(*h, h->today());
        const QStringList tomorrow = listed(*h, h->dayKey(1));
        QStringList rows;
        QStringList totals;
        whenModal("frmReviewDay", [&](QWidget *dialog) {
            for (int i = 0; i < 3; ++i)
                rows << in<QComboBox>(dialog, qPrintable(u"cmbReviewChoice(%1)"_s.arg(i)))
                            ->accessibleName();
            QVERIFY(!dialog->findChild<QComboBox *>(u"cmbReviewChoice(3)"_s));
            auto *line = in<QLabel>(dialog, "lblReviewTotals");
            totals << line->text();
            // Down the list: Call becomes Finish, Read becomes Keep.
            press(dialog, Qt::Key_Tab);
            press(dialog, Qt::Key_F);
            totals << line->text();
            press(dialog, Qt::Key_Tab);
            press(dialog, Qt::Key_K);
            totals << line->text();
            click(dialog, "cmdApply");
        });
        h->action("mnuReviewDay")->trigger();

        QCOMPARE(rows, (QStringList {u"Write"_s, u"Call"_s, u"Read"_s}));
        QCOMPARE(totals,
                 (QStringList {u"3 tasks, 2:15 planned, 0:30 done, move 1:45 to tomorrow"_s,
                               u"3 tasks, 2:15 planned, 0:30 done, move 1:25 to tomorrow"_s,
                               u"3 tasks, 2:15 planned, 0:30 done, move 0:40 to tomorrow"_s}));
        QCOMPARE(listed(*h, h->today()),
                 (QStringList {u"2 Call 10/30 4"_s, u"3 Read 0/45 0"_s, u"4 Filed 30/30 4"_s}));
        QCOMPARE(listed(*h, h->dayKey(1)),
                 (QStringList {u"1 Planned 0/15 0"_s, u"2 Write 20/60 1"_s}));
        // The grid shows tomorrow, where the moved task arrived.
        QCOMPARE(h->shownSubjects().size(), 2);

        QCOMPARE(h->action("mnuUndo")->text(), u"Und&o Review the Day"_s);
        h->action("mnuUndo")->trigger();
        QCOMPARE(listed(*h, h->today()), today);
        QCOMPARE(listed(*h, h->dayKey(1)), tomorrow);
    }

    void nothingLeftToReview()
    {
        h->store().SetTaskState(1, h->today(), Finished, false);
        h->store().SetTaskState(2, h->today(), Finished, false);
        h->store().SetTaskState(3, h->today(), Finished, false);
        const QStringList today = listed(*h, h->today());
        bool applyOffered = true;
        QString message;
        QString close;
        whenModal("frmReviewDay", [&](QWidget *dialog) {
            applyOffered = in<QPushButton>(dialog, "cmdApply")->isVisible();
            message = in<QLabel>(dialog, "lblReviewEmpty")->text();
            close = in<QPushButton>(dialog, "cmdCancel")->text();
            QVERIFY(!in<QWidget>(dialog, "lstReviewTasks")->isVisible());
            press(dialog, Qt::Key_Return);
        });
        h->action("mnuReviewDay")->trigger();
        QVERIFY(!applyOffered);
        QCOMPARE(message, u"Nothing left to review today."_s);
        QCOMPARE(close, u"&Close"_s);
        QCOMPARE(listed(*h, h->today()), today);
        QVERIFY(!h->context().operations.history().canUndo());
    }

    // At the time the setting names the window comes back from the tray
    // and the review opens, once that day.
    void opensByItselfFromTheTray()
    {
        h->settings().setText(Setting::ReviewAtTime, u"18:30"_s);
        TrayMenu tray(h->context(), *m_window);
        QVERIFY(tray.reviewSchedule().timer()->isActive());
        m_window->hideToTray();
        QVERIFY(!m_window->isVisible());

        bool shownFirst = false;
        whenModal("frmReviewDay", [&](QWidget *) { shownFirst = m_window->isVisible(); });
        Q_EMIT tray.reviewSchedule().due();
        QVERIFY(shownFirst);
    }

    // Wake-ups until the due moment, never more than ten minutes apart, so
    // that a sleep of the machine does not delay the review; none while no
    // valid time is set.
    void scheduleFollowsTheSetting()
    {
        QDateTime now(QDate(2024, 3, 5), QTime(17, 0));
        ReviewSchedule schedule(h->settings(), [&] { return now; });
        QSignalSpy due(&schedule, &ReviewSchedule::due);
        QVERIFY(!schedule.timer()->isActive());

        h->settings().setText(Setting::ReviewAtTime, u"18:30"_s);
        QCOMPARE(schedule.nextDue(), QDateTime(now.date(), QTime(18, 30)));
        QVERIFY(schedule.timer()->isActive());
        QVERIFY(schedule.timer()->remainingTime() <= 10 * 60 * 1000);

        now = QDateTime(now.date(), QTime(18, 29, 59)); // an early wake-up
        schedule.check();
        QCOMPARE(due.count(), 0);
        QVERIFY(schedule.timer()->remainingTime() <= 1000);
        now = QDateTime(now.date(), QTime(18, 34)); // back from a sleep
        schedule.check();
        QCOMPARE(due.count(), 1);
        QCOMPARE(schedule.nextDue(), QDateTime(now.date().addDays(1), QTime(18, 30)));
        // Later that day, with the time moved on: not twice a day.
        now = QDateTime(now.date(), QTime(19, 0));
        h->settings().setText(Setting::ReviewAtTime, u"20:00"_s);
        QCOMPARE(schedule.nextDue(), QDateTime(now.date().addDays(1), QTime(20, 0)));

        for (const QString &off : {u""_s, u"7pm"_s, u"25:00"_s}) {
            h->settings().setText(Setting::ReviewAtTime, off);
            QVERIFY2(!schedule.timer()->isActive(), qPrintable(off));
        }
        schedule.check();
        QCOMPARE(due.count(), 1);
    }
};

QTEST_MAIN(TestReviewDay)
#include "test_review_day.moc"
