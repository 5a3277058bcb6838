// The task commands of the main window driven through its widgets: check
// boxes, keys, menu entries and toolbar buttons, checked against the store and
// what the window shows.
#include "MainWindowHarness.h"

#include "controls/GradientPanel.h"

#include <QClipboard>
#include <QLabel>

#include <memory>

using namespace cdk;
using test::makeTask;

Q_DECLARE_METATYPE(cdk::TaskRecord)

class TestMainWindow final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<test::MainWindowHarness> h;

    bool struckThrough(int row)
    {
        return h->grid()
            .model()
            ->index(row - 1, ColSubject - 1)
            .data(Qt::FontRole)
            .value<QFont>()
            .strikeOut();
    }
    void addTasks(const QString &list, const QList<TaskRecord> &tasks)
    {
        for (const TaskRecord &t : tasks)
            h->addTask(list, t);
    }
    QList<int> selectedRows() { return h->grid().selectedRows(); }

private Q_SLOTS:
    void init() { h = std::make_unique<test::MainWindowHarness>(); }
    void cleanup()
    {
        const QString unexpected = h->prompter.lastText();
        const bool quiet = h->prompter.shown.isEmpty();
        h.reset();
        QVERIFY2(quiet, qPrintable(unexpected));
    }

    // ---- Check box and Space ---------------------------------------------

    void checkingTogglesTheTask_data()
    {
        QTest::addColumn<bool>("bySpace");
        QTest::addColumn<int>("doneMinutes");
        QTest::addColumn<int>("uncheckedState");
        QTest::newRow("click, nothing done") << false << 0 << int(NotStarted);
        QTest::newRow("click, time done") << false << 10 << int(InProgress);
        QTest::newRow("space, nothing done") << true << 0 << int(NotStarted);
        QTest::newRow("space, time done") << true << 10 << int(InProgress);
    }
    void checkingTogglesTheTask()
    {
        QFETCH(bool, bySpace);
        QFETCH(int, doneMinutes);
        QFETCH(int, uncheckedState);
        addTasks(h->today(),
                 {makeTask(1, QStringLiteral("a"), 30),
                  makeTask(2, QStringLiteral("b"), 30, doneMinutes, Pending),
                  makeTask(3, QStringLiteral("c"), 30)});
        h->showWindow();
        if (bySpace)
            h->clickCell(2, ColSubject);
        const auto toggle = [&] {
            if (bySpace)
                QTest::keyClick(h->view(), Qt::Key_Space);
            else
                h->clickCell(2, ColCheckbox);
        };

        toggle();
        QCOMPARE(h->stored(h->today(), 2)->State, int(Finished));
        QCOMPARE(h->grid().cellIconKey(2, ColCheckbox), QStringLiteral("CHECK"));
        QVERIFY(struckThrough(2));
        QVERIFY(!struckThrough(1));
        QCOMPARE(selectedRows(), QList<int> {2});
        QCOMPARE(h->child<GradientPanel>("gpInfos")->caption(),
                 QStringLiteral("  Today  [2 tasks left]"));

        toggle();
        const TaskRecord back = *h->stored(h->today(), 2);
        QCOMPARE(back.State, uncheckedState);
        QCOMPARE(back.FinishedDuration, doneMinutes);
        QCOMPARE(h->grid().cellIconKey(2, ColCheckbox), QStringLiteral("UNCHECK"));
        QVERIFY(!struckThrough(2));
        QCOMPARE(selectedRows(), QList<int> {2});
        // The neighbours were never touched.
        QCOMPARE(h->stored(h->today(), 1)->State, int(NotStarted));
        QCOMPARE(h->stored(h->today(), 3)->State, int(NotStarted));
    }

    // ---- Moving ----------------------------------------------------------

    void movingNumbersAfterTheTargetsLargestId_data()
    {
        QTest::addColumn<QList<qint32>>("targetIds");
        QTest::addColumn<qint32>("firstNewId");
        QTest::newRow("largest is 4") << QList<qint32> {2, 4, 1} << qint32(5);
        QTest::newRow("empty day") << QList<qint32> {} << qint32(1);
    }
    void movingNumbersAfterTheTargetsLargestId()
    {
        QFETCH(QList<qint32>, targetIds);
        QFETCH(qint32, firstNewId);
        const QString tomorrow = h->dayKey(1);
        for (qint32 id : targetIds)
            h->addTask(tomorrow, makeTask(id, QStringLiteral("there %1").arg(id), 10));
        // Stored order differs from the grid's order (by subject).
        addTasks(h->today(),
                 {makeTask(1, QStringLiteral("c"), 30, 12, InProgress, 4),
                  makeTask(2, QStringLiteral("a"), 20, 20, Finished, 1),
                  makeTask(3, QStringLiteral("b"), 10), makeTask(4, QStringLiteral("d"), 10)});
        h->showWindow();
        h->selectRows({3, 1, 2});
        QVERIFY(h->action("mnuMoveTasksToNextDay")->isEnabled());
        h->action("mnuMoveTasksToNextDay")->trigger();

        QCOMPARE(h->shownSubjects(), QStringList {QStringLiteral("d")});
        QCOMPARE(h->store().tasksOfList(h->today()).size(), 1);
        const QStringList expected
            = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
        for (int i = 0; i < 3; ++i) {
            const auto moved = h->stored(tomorrow, firstNewId + i);
            QVERIFY2(moved, qPrintable(expected.at(i)));
            QCOMPARE(moved->Subject, expected.at(i));
        }
        // Everything but the list and the number travels with the task.
        const TaskRecord c = *h->stored(tomorrow, firstNewId + 2);
        QCOMPARE(c.FinishedDuration, 12);
        QCOMPARE(c.State, int(InProgress));
        QCOMPARE(c.Priority, 4);
        QCOMPARE(h->store().tasksOfList(tomorrow).size(), targetIds.size() + 3);
    }

    // ---- Deleting --------------------------------------------------------

    void deletingOneRowSelectsTheSameOrNewLastRow_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<int>("selected");
        QTest::newRow("last row") << 3 << QStringList {QStringLiteral("a"), QStringLiteral("b")}
                                  << 2;
        QTest::newRow("middle row")
            << 2 << QStringList {QStringLiteral("a"), QStringLiteral("c")} << 2;
        QTest::newRow("first row")
            << 1 << QStringList {QStringLiteral("b"), QStringLiteral("c")} << 1;
    }
    void deletingOneRowSelectsTheSameOrNewLastRow()
    {
        QFETCH(int, row);
        QFETCH(QStringList, left);
        QFETCH(int, selected);
        addTasks(h->today(),
                 {makeTask(1, QStringLiteral("a"), 10), makeTask(2, QStringLiteral("b"), 10),
                  makeTask(3, QStringLiteral("c"), 10)});
        h->showWindow();
        h->clickCell(row, ColSubject);
        h->prompter.answers = {Answer::Yes};
        h->action("mnuDeleteTask")->trigger();

        const auto shown = h->takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().title, QStringLiteral("Delete Task"));
        QCOMPARE(shown.first().text,
                 QStringLiteral("Do you really want to delete the selected task?"));
        QVERIFY(shown.first().question);
        QCOMPARE(h->shownSubjects(), left);
        QCOMPARE(h->store().tasksOfList(h->today()).size(), 2);
        QCOMPARE(selectedRows(), QList<int> {selected});
        // The panel follows the new selection.
        QCOMPARE(h->child<QLabel>("gpCurTaskLbl")->text(), left.at(selected - 1));
    }

    void deletingSeveralAsksWithTheirNumber_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void deletingSeveralAsksWithTheirNumber()
    {
        QFETCH(bool, yes);
        const Answer answer = yes ? Answer::Yes : Answer::No;
        addTasks(h->today(),
                 {makeTask(1, QStringLiteral("a"), 10), makeTask(2, QStringLiteral("b"), 10),
                  makeTask(3, QStringLiteral("c"), 10)});
        h->showWindow();
        h->selectRows({1, 3});
        h->prompter.answers = {answer};
        QTest::keyClick(h->view(), Qt::Key_Delete);

        const auto shown = h->takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().text,
                 QStringLiteral("Do you really want to delete 2 selected tasks?"));
        if (answer == Answer::Yes) {
            QCOMPARE(h->shownSubjects(), QStringList {QStringLiteral("b")});
            QCOMPARE(h->store().tasksOfList(h->today()).size(), 1);
        } else {
            QCOMPARE(h->shownSubjects().size(), 3);
            QCOMPARE(h->store().tasksOfList(h->today()).size(), 3);
            QCOMPARE(selectedRows(), (QList<int> {1, 3}));
        }
    }

    // ---- Command states --------------------------------------------------

    void commandsFollowTheSelection_data()
    {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<bool>("one");
        QTest::addColumn<bool>("any");
        QTest::addColumn<bool>("start");
        QTest::addColumn<QString>("panel");
        QTest::newRow("none") << QList<int> {} << false << false << false
                              << QStringLiteral("No task selected");
        QTest::newRow("one") << QList<int> {1} << true << true << true << QStringLiteral("a");
        QTest::newRow("one used up")
            << QList<int> {2} << true << true << false << QStringLiteral("b");
        QTest::newRow("three") << QList<int> {1, 2, 3} << false << true << false
                               << QStringLiteral("Multiple tasks");
    }
    void commandsFollowTheSelection()
    {
        QFETCH(QList<int>, rows);
        QFETCH(bool, one);
        QFETCH(bool, any);
        QFETCH(bool, start);
        QFETCH(QString, panel);
        addTasks(h->today(),
                 {makeTask(1, QStringLiteral("a"), 30, 10, InProgress),
                  makeTask(2, QStringLiteral("b"), 30, 30, InProgress),
                  makeTask(3, QStringLiteral("c"), 30)});
        h->showWindow();
        if (rows.isEmpty())
            h->clickCell(1, ColSubject, Qt::ControlModifier); // unselects the row selected at start
        else
            h->selectRows(rows);
        QCOMPARE(selectedRows(), rows);

        QCOMPARE(h->action("mnuEditTask")->isEnabled(), one);
        QCOMPARE(h->toolbar(1)->isEnabled(), one);
        QCOMPARE(h->action("mnuDeleteTask")->isEnabled(), any);
        QCOMPARE(h->toolbar(2)->isEnabled(), any);
        QCOMPARE(h->action("mnuMarkDone")->isEnabled(), any);
        QCOMPARE(h->action("mnuMarkUndone")->isEnabled(), any);
        QCOMPARE(h->action("mnuMoveTasksToNextDay")->isEnabled(), any);
        QCOMPARE(h->action("mnuResetTimer")->isEnabled(), any);
        QCOMPARE(h->action("mnuStartTimer")->isEnabled(), start);
        QCOMPARE(h->toolbar(3)->isEnabled(), start);
        QVERIFY(!h->action("mnuStopTimer")->isEnabled());
        QVERIFY(!h->toolbar(10)->isEnabled());
        QVERIFY(!h->toolbar(11)->isEnabled());
        QCOMPARE(h->child<QLabel>("gpCurTaskLbl")->text(), panel);
    }

    // ---- Clipboard -------------------------------------------------------

    void ctrlCCopiesSelectedSubjectsTopToBottom()
    {
        addTasks(h->today(),
                 {makeTask(1, QStringLiteral("alpha one"), 10),
                  makeTask(2, QStringLiteral("beta"), 10), makeTask(3, QStringLiteral("gamma"), 10),
                  makeTask(4, QStringLiteral("delta"), 10)});
        h->showWindow();
        QApplication::clipboard()->setText(QStringLiteral("before"));
        h->selectRows({4, 1, 2}); // alpha one, beta, delta, gamma in the grid
        QTest::keyClick(h->view(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("alpha one\r\nbeta\r\ngamma"));

        h->clickCell(2, ColSubject, Qt::ControlModifier);
        h->clickCell(4, ColSubject, Qt::ControlModifier);
        h->clickCell(1, ColSubject, Qt::ControlModifier);
        QVERIFY(selectedRows().isEmpty());
        QTest::keyClick(h->view(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("alpha one\r\nbeta\r\ngamma"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
