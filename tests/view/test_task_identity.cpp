// Commands act on the tasks the user chose, whatever the grid does in the
// meantime: a re-sort after an edit or a check-off, a minute tick while a
// question is open, a move that fails. Each case drives the real window and
// reads the database and the tracker back.
#include "MainWindowHarness.h"

#include "controls/GradientPanel.h"
#include "store/Sql.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <memory>

using namespace cdk;
using test::makeTask;
using test::words;
using test::whenModal;
using test::click;

class TestTaskIdentity final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<test::MainWindowHarness> h;

    static void setSubject(QWidget *dialog, const char *subject)
    {
        dialog->findChild<QLineEdit *>(QStringLiteral("txtSubject"))
            ->setText(QString::fromLatin1(subject));
    }
    int state(qint32 id) { return h->stored(h->today(), id)->State; }
    void setFlag(const char *key)
    {
        h->settings().Save(SettingsSection::General, QString::fromLatin1(key), QStringLiteral("1"));
    }
    void addTasks(const char *subjects, qint32 duration = 30)
    {
        qint32 id = 0;
        for (const QString &s : words(subjects))
            h->addTask(h->today(), makeTask(++id, s, duration));
    }

private Q_SLOTS:
    void init() { h = std::make_unique<test::MainWindowHarness>(); }
    void cleanup() { test::MainWindowHarness::finish(h); }

    // An edit that re-sorts the grid starts the timer on the edited task; so
    // does the restart after editing the tracked task.
    void editThatResortsTracksTheEditedTask_data()
    {
        QTest::addColumn<bool>("editTheTrackedTask");
        QTest::newRow("start timer after the edit") << false;
        QTest::newRow("tracked task edited, Yes") << true;
    }
    // Closed with OK or Cancel, a dialog gives the keys back to the grid:
    // Up and Down move through the day at once.
    void theGridHasTheKeysAfterADialog()
    {
        addTasks("Alpha Bravo Charlie");
        h->showWindow();
        h->clickCell(2, ColSubject);
        whenModal("frmAddTask", [](QWidget *dialog) {
            setSubject(dialog, "Delta");
            click(dialog, "cmdOK");
        });
        h->action("mnuAddTask")->trigger();
        QTRY_COMPARE(QApplication::focusWidget(), h->view());
        whenModal("frmAddTask", [](QWidget *dialog) { click(dialog, "cmdCancel"); });
        h->action("mnuEditTask")->trigger();
        QTRY_COMPARE(QApplication::focusWidget(), h->view());
        const int row = h->view()->selectedRow();
        QVERIFY(row >= 2);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QCOMPARE(h->grid().selectedTaskIds(), QList<qint32> {h->grid().taskIdOfRow(row - 1)});
    }

    void editThatResortsTracksTheEditedTask()
    {
        QFETCH(bool, editTheTrackedTask);
        addTasks("Alpha Bravo Charlie");
        h->showWindow();
        if (editTheTrackedTask) {
            h->startTracking(1);
            h->prompter.answers << Answer::Yes;
        }
        h->clickCell(1, ColSubject);
        whenModal("frmAddTask", [](QWidget *dialog) {
            setSubject(dialog, "Zulu");
            click(dialog, "cmdOK");
        });
        h->action("mnuEditTask")->trigger();
        h->takeShown();

        QCOMPARE(h->shownSubjects(), words("Bravo Charlie Zulu"));
        QVERIFY(h->tracker().TrackingActive);
        QCOMPARE(h->tracker().TrackedTaskID, 1);
        QCOMPARE(h->label("gpCurTaskLbl"), QStringLiteral("Zulu"));
        h->clock.advance(61'000);
        QTRY_COMPARE(h->stored(h->today(), 1)->FinishedDuration, 1);
        QCOMPARE(h->stored(h->today(), 2)->FinishedDuration, 0);
    }

    // The tasks to delete are the ones selected when the user says Yes, even
    // when a minute tick re-sorted the grid while the question was open.
    void deleteAfterAResortBehindTheQuestion()
    {
        h->addTasks(h->today(), {makeTask(1, QStringLiteral("a"), 30, 0),
                                 makeTask(2, QStringLiteral("b"), 30, 5),
                                 makeTask(3, QStringLiteral("c"), 30, 10)});
        h->showWindow();
        h->clickHeader(ColTimeDone); // descending: c, b, a
        QCOMPARE(h->shownSubjects(), words("c b a"));
        h->startTracking(3);
        h->clickCell(2, ColSubject); // b
        h->prompter.answers << Answer::Yes;
        h->prompter.whileAsking = [this] {
            // Eleven minutes pass on "a": it moves to the top.
            h->clock.advance(11 * 60'000);
            QTRY_COMPARE(h->shownSubjects(), words("a c b"));
        };
        h->action("mnuDeleteTask")->trigger();
        h->prompter.whileAsking = nullptr;
        h->takeShown();

        QVERIFY(h->stored(h->today(), 1));
        QVERIFY(!h->stored(h->today(), 2));
        QVERIFY(h->stored(h->today(), 3));
        QCOMPARE(h->shownSubjects(), words("a c"));
    }

    // Marking a selection finished that holds the tracked task finishes the
    // selected tasks and no other, though finishing the tracked task re-sorts.
    void markFinishedOverTheTrackedTask()
    {
        setFlag("MarkTasks100PercentWhenCheckedOff");
        setFlag("DisplayDoneTasksAtTheEnd");
        addTasks("a b c d");
        h->showWindow();
        h->startTracking(2);
        h->selectRows({2, 3}); // b (tracked) and c
        h->action("mnuMarkDone")->trigger();

        QVERIFY(!h->tracker().TrackingActive);
        QCOMPARE(state(1), int(NotStarted));
        QCOMPARE(state(2), int(Finished));
        QCOMPARE(state(3), int(Finished));
        QCOMPARE(state(4), int(NotStarted));
        QCOMPARE(h->stored(h->today(), 4)->FinishedDuration, 0);
        QCOMPARE(h->shownSubjects(), words("a d b c"));
    }

    // A check-box click that re-sorts keeps the commands on the clicked task.
    void checkBoxClickThatResortsKeepsTheSelectedTask()
    {
        setFlag("DisplayDoneTasksAtTheEnd");
        addTasks("a b c");
        h->showWindow();
        h->clickCell(1, ColCheckbox); // "a" is done and moves to the end
        QCOMPARE(state(1), int(Finished));
        QCOMPARE(h->shownSubjects(), words("b c a"));

        QString edited;
        whenModal("frmAddTask", [&edited](QWidget *dialog) {
            edited = dialog->findChild<QLineEdit *>(QStringLiteral("txtSubject"))->text();
        });
        h->action("mnuEditTask")->trigger();
        QCOMPARE(edited, QStringLiteral("a"));

        h->action("mnuStartTimer")->trigger();
        QVERIFY(h->tracker().TrackingActive);
        QCOMPARE(h->tracker().TrackedTaskID, 1);
        QCOMPARE(h->label("gpCurTaskLbl"), QStringLiteral("a"));
    }

    // A new task is the one selected afterwards, alone, wherever it sorts.
    void addedTaskIsTheSelectedOne()
    {
        addTasks("b d");
        h->showWindow();
        for (const char *subject : {"c", "a"}) {
            // The timer starts on the new task: that must not change the selection.
            whenModal("frmAddTask", [subject](QWidget *dialog) {
                setSubject(dialog, subject);
                click(dialog, "cmdOK");
            });
            h->action("mnuAddTask")->trigger();
            QCOMPARE(h->grid().selectedTasks().size(), 1);
            QCOMPARE(h->grid().selectedTasks().first().Subject, QString::fromLatin1(subject));
        }
        QCOMPARE(h->shownSubjects(), words("a b c d"));
        QCOMPARE(h->tracker().TrackedSubject, QStringLiteral("a"));
    }

    // Without the timer a new task leaves the selection as it was; only a
    // day whose one row it is, with nothing selected, gets it selected.
    void addedWithoutTimerLeavesTheSelection()
    {
        addTasks("b d");
        h->showWindow();
        auto add = [this](const char *subject) {
            whenModal("frmAddTask", [subject](QWidget *dialog) {
                setSubject(dialog, subject);
                test::in<QCheckBox>(dialog, "chkStartTaskTimer")->setChecked(false);
                click(dialog, "cmdOK");
            });
            h->action("mnuAddTask")->trigger();
        };
        auto selected = [this] {
            QStringList subjects;
            for (const TaskRecord &t : h->grid().selectedTasks())
                subjects << t.Subject;
            return subjects.join(u' ');
        };
        h->clickCell(2, ColSubject);
        add("c");
        QCOMPARE(selected(), QStringLiteral("d"));
        h->clickCell(h->grid().rowOfTask(2), ColSubject, Qt::ControlModifier);
        QCOMPARE(selected(), QString());
        add("a");
        QCOMPARE(h->shownSubjects(), words("a b c d"));
        QCOMPARE(selected(), QString());

        h->picker()->setDate(h->clock.today().addDays(1));
        QCOMPARE(h->grid().rowCount(), 0);
        add("e");
        QCOMPARE(selected(), QStringLiteral("e"));
        QVERIFY(!h->tracker().TrackingActive);
    }

    // The file alone holds a change a moment after the command: users copy
    // and sync it while the program runs.
    void databaseFileAloneHoldsTheLastCommand()
    {
        addTasks("a b");
        h->showWindow();
        h->clickCell(2, ColCheckbox);
        QCOMPARE(state(2), int(Finished));
        // A moment later, not at exit.
        QTimer *checkpoint = h->context().operations.checkpointTimer();
        QVERIFY(checkpoint->isActive());
        QTRY_VERIFY_WITH_TIMEOUT(!checkpoint->isActive(), 3000);

        QTemporaryDir copyDir;
        const QString copy = copyDir.filePath(QStringLiteral("copy.cdkd"));
        QVERIFY(QFile::copy(h->store().DatabasePath(), copy));
        int copiedState = -1;
        try {
            sql::Database db = sql::Database::open(copy, false);
            copiedState =
                db.scalar(QStringLiteral("SELECT State FROM Chronodeck WHERE ID = 2")).toInt();
        } catch (const std::exception &e) {
            qWarning("the copy cannot be read: %s", e.what());
        }
        QCOMPARE(copiedState, int(Finished));
    }

    // A move of the tracked task that the database refuses, at its start or
    // midway, leaves the tracker on the task where it still is, counting.
    void failedMoveKeepsTrackingWhereTheTaskIs_data()
    {
        QTest::addColumn<bool>("midway");
        QTest::newRow("database locked") << false;
        QTest::newRow("write refused midway") << true;
    }
    void failedMoveKeepsTrackingWhereTheTaskIs()
    {
        QFETCH(bool, midway);
        addTasks("a b");
        h->showWindow();
        h->startTracking(1);
        {
            sql::Database other = sql::Database::open(h->store().DatabasePath(), false);
            if (midway) // the transaction starts; the row's move fails
                other.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE OF List ON "
                                          "Chronodeck BEGIN SELECT RAISE(ABORT, 'refused'); END"));
            else // another program holds the write lock for the whole command
                other.exec(QStringLiteral("BEGIN IMMEDIATE"));
            h->clickCell(1, ColSubject);
            h->action("mnuMoveTasksToNextDay")->trigger();
            other.exec(midway ? QStringLiteral("DROP TRIGGER refuse") : QStringLiteral("ROLLBACK"));
        }
        QCOMPARE(h->takeShown().size(), 1); // the refusal
        QVERIFY(h->stored(h->today(), 1));
        QVERIFY(h->tracker().TrackingActive);
        QCOMPARE(h->tracker().TrackedList, h->today());
        QCOMPARE(h->tracker().TrackedTaskID, 1);
        h->clock.advance(61'000);
        QTRY_COMPARE(h->stored(h->today(), 1)->FinishedDuration, 1);
    }

    // A template added in the recurrent manager that belongs to today shows
    // up in today's list and its summary at once.
    void newTemplateForTodayUpdatesTheSummary()
    {
        addTasks("a b");
        h->showWindow();
        auto caption = [this] { return h->child<GradientPanel>("gpInfos")->caption(); };
        QCOMPARE(caption(), QStringLiteral("  Today  [2 tasks left]"));
        whenModal("frmRecurrentTasks", [](QWidget *manager) {
            whenModal("frmAddTask", [](QWidget *dialog) {
                setSubject(dialog, "every day");
                click(dialog, "cmdOK");
            });
            click(manager, "cmdAddNew");
            click(manager, "cmdClose");
        });
        h->action("mnuRecurrentTasks")->trigger();
        QCOMPARE(h->shownSubjects(), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("every day")}));
        QCOMPARE(caption(), QStringLiteral("  Today  [3 tasks left]"));
    }
};

QTEST_MAIN(TestTaskIdentity)
#include "test_task_identity.moc"
