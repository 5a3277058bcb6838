// The main window driven through its widgets: check boxes, keys, menu
// entries, toolbar buttons, the column menu and the day picker, checked
// against the store, the settings file and what the window shows. What the
// grid, the model and the summary compute is tested on those directly; here
// one case per path shows that the window wires them up.
#include "MainWindowHarness.h"

#include "controls/GradientPanel.h"
#include "view/TrayMenu.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QProgressBar>
#include <QScrollBar>
#include <QTimer>

#include <memory>

using namespace cdk;
using namespace Qt::StringLiterals;
using test::makeTask;
using test::words;

class TestMainWindow final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<test::MainWindowHarness> h;

    QList<int> selectedRows() { return h->grid().selectedRows(); }
    QString caption() { return h->child<GradientPanel>("gpInfos")->caption(); }
    void addAbc(qint32 duration = 10)
    {
        h->addTasks(h->today(),
                    {makeTask(1, QStringLiteral("a"), duration),
                     makeTask(2, QStringLiteral("b"), duration),
                     makeTask(3, QStringLiteral("c"), duration)});
    }
    // Opens the column menu on the header and returns its entry for a column.
    QAction *columnMenuEntry(int column)
    {
        QHeaderView *header = h->header();
        const QPoint at(header->sectionViewportPosition(ColSubject - 1) + 5, header->height() / 2);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, header->viewport()->mapToGlobal(at));
        QApplication::sendEvent(header->viewport(), &event);
        auto *menu = h->child<QMenu>("pmColumns");
        if (!QTest::qWaitFor([menu] { return menu->isVisible(); }))
            return nullptr;
        return menu->findChild<QAction *>(QStringLiteral("mnuHideCol(%1)").arg(column));
    }

private Q_SLOTS:
    void init() { h = std::make_unique<test::MainWindowHarness>(); }
    void cleanup() { test::MainWindowHarness::finish(h); }

    // ---- Check box and Space ---------------------------------------------

    void checkingTogglesTheTask_data()
    {
        QTest::addColumn<bool>("bySpace");
        QTest::addColumn<int>("doneMinutes");
        QTest::addColumn<int>("uncheckedState");
        QTest::newRow("click, nothing done") << false << 0 << int(NotStarted);
        QTest::newRow("space, time done") << true << 10 << int(InProgress);
    }
    void checkingTogglesTheTask()
    {
        QFETCH(bool, bySpace);
        QFETCH(int, doneMinutes);
        QFETCH(int, uncheckedState);
        h->addTasks(h->today(),
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
        QCOMPARE(selectedRows(), QList<int> {2});
        QCOMPARE(caption(), QStringLiteral("  Today  [2 tasks left]"));

        toggle();
        const TaskRecord back = *h->stored(h->today(), 2);
        QCOMPARE(back.State, uncheckedState);
        QCOMPARE(back.FinishedDuration, doneMinutes);
        QCOMPARE(h->grid().cellIconKey(2, ColCheckbox), QStringLiteral("UNCHECK"));
        // The neighbours were never touched.
        QCOMPARE(h->stored(h->today(), 1)->State, int(NotStarted));
        QCOMPARE(h->stored(h->today(), 3)->State, int(NotStarted));
    }

    // ---- Big and odd values ----------------------------------------------

    // A subject of 100 KB with emoji comes back from the database exactly as
    // it went in, and is shown on one line of the grid, cut at its end, not
    // spread over rows or paint after paint of text.
    void hugeSubjectRoundTripsAndStaysOnOneLine()
    {
        QString subject;
        while (subject.size() < 100 * 1024)
            subject += u"Plan \U0001F5D3\uFE0F review \u00FCber caf\u00E9 \U0001F600 "_s;
        h->addTasks(h->today(), {makeTask(1, subject), makeTask(2, QStringLiteral("short"))});
        h->showWindow();
        const int rowHeight = h->view()->rowHeight(1);

        QCOMPARE(h->stored(h->today(), 1)->Subject, subject);
        QCOMPARE(h->grid().cellText(1, ColSubject), subject);
        QCOMPARE(h->view()->rowHeight(0), rowHeight);
        // How long the paint takes is a figure of bench_grid, not a test.
        h->view()->viewport()->repaint();
    }

    // A day that cannot be read is not passed off as an empty day: the
    // store's error is shown, once however often the grid is refilled, and
    // again only after the day could be read in between.
    void anUnreadableDayIsReportedOnce()
    {
        h->addTasks(h->today(), {makeTask(1, QStringLiteral("Kept"))});
        h->showWindow();
        h->takeShown();
        h->store().Close();
        h->grid().reload();
        h->grid().reload();
        const auto shown = h->takeShown();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.first().text.contains(u"not open"_s), qPrintable(shown.first().text));
        QCOMPARE(h->shownSubjects(), QStringList {});

        h->store().OpenTaskDatabase();
        h->grid().reload();
        QCOMPARE(h->shownSubjects(), QStringList {u"Kept"_s});
        QVERIFY(h->takeShown().isEmpty());
    }

    // ---- Moving ----------------------------------------------------------

    // The next day's largest number is 4: the moved tasks become 5, 6, 7 in
    // the order the grid shows them.
    void movingNumbersAfterTheTargetsLargestId()
    {
        const QList<qint32> targetIds {2, 4, 1};
        const qint32 firstNewId = 5;
        const QString tomorrow = h->dayKey(1);
        for (qint32 id : targetIds)
            h->addTask(tomorrow, makeTask(id, QStringLiteral("there %1").arg(id), 10));
        // Stored order differs from the grid's order (by subject).
        h->addTasks(h->today(),
                    {makeTask(1, QStringLiteral("c"), 30), makeTask(2, QStringLiteral("a"), 20),
                     makeTask(3, QStringLiteral("b"), 10), makeTask(4, QStringLiteral("d"), 10)});
        h->showWindow();
        h->selectRows({3, 1, 2});
        h->action("mnuMoveTasksToNextDay")->trigger();

        QCOMPARE(h->shownSubjects(), words("d"));
        QCOMPARE(h->store().tasksOfList(h->today()).size(), 1);
        const QStringList expected = words("a b c");
        for (int i = 0; i < 3; ++i) {
            const auto moved = h->stored(tomorrow, firstNewId + i);
            QVERIFY2(moved, qPrintable(expected.at(i)));
            QCOMPARE(moved->Subject, expected.at(i));
        }
        QCOMPARE(h->store().tasksOfList(tomorrow).size(), targetIds.size() + 3);
    }

    // ---- Deleting --------------------------------------------------------

    // One row goes by the menu entry, two by the Delete key.
    void deletingAsksAndSelectsTheSameOrNewLastRow_data()
    {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QList<int>>("selected");
        const QString one = QStringLiteral("Do you really want to delete the selected task?");
        const QString two = QStringLiteral("Do you really want to delete 2 selected tasks?");
        QTest::newRow("last of three") << QList<int> {3} << true << one << words("a b")
                                       << QList<int> {2};
        QTest::newRow("first of three") << QList<int> {1} << true << one << words("b c")
                                        << QList<int> {1};
        QTest::newRow("two, no") << QList<int> {1, 3} << false << two << words("a b c")
                                 << QList<int> {1, 3};
        QTest::newRow("two, yes") << QList<int> {1, 3} << true << two
                                  << words("b") << QList<int> {1};
    }
    void deletingAsksAndSelectsTheSameOrNewLastRow()
    {
        QFETCH(QList<int>, rows);
        QFETCH(bool, yes);
        QFETCH(QString, question);
        QFETCH(QStringList, left);
        QFETCH(QList<int>, selected);
        addAbc();
        h->showWindow();
        h->selectRows(rows);
        h->prompter.answers = {yes ? Answer::Yes : Answer::No};
        if (rows.size() == 1)
            h->action("mnuDeleteTask")->trigger();
        else
            QTest::keyClick(h->view(), Qt::Key_Delete);

        const auto shown = h->takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().title, QStringLiteral("Delete Task"));
        QCOMPARE(shown.first().text, question);
        QCOMPARE(h->shownSubjects(), left);
        QCOMPARE(h->store().tasksOfList(h->today()).size(), left.size());
        QCOMPARE(selectedRows(), selected);
        // The panel follows the new selection.
        if (selected.size() == 1)
            QCOMPARE(h->label("gpCurTaskLbl"), left.at(selected.first() - 1));
    }

    // Undo and redo through their keys: the grid shows the day as it was;
    // a redo over a change made by another process is refused with a line.
    void undoAndRedoByKeysAndMenu()
    {
        addAbc();
        h->showWindow();
        QAction *undo = h->action("mnuUndo");
        QAction *redo = h->action("mnuRedo");
        QVERIFY(!undo->isEnabled());
        h->selectRows({1});
        h->prompter.answers = {Answer::Yes};
        QTest::keyClick(h->view(), Qt::Key_Delete);
        h->takeShown();
        QCOMPARE(h->shownSubjects(), words("b c"));
        QCOMPARE(undo->text(), u"Und&o Delete Task"_s);
        QVERIFY(h->child<QMenu>("mnuTask")->actions().contains(undo));

        QTest::keyClick(h->view(), Qt::Key_Backspace, Qt::AltModifier);
        QCOMPARE(h->shownSubjects(), words("a b c"));
        QCOMPARE(h->store().tasksOfList(h->today()).size(), 3);
        QCOMPARE(redo->text(), u"Redo Delete Task"_s);
        QTest::keyClick(h->view(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(h->shownSubjects(), words("b c"));
        QTest::keyClick(h->view(), Qt::Key_Backspace, Qt::AltModifier);
        QCOMPARE(h->shownSubjects(), words("a b c"));

        {
            TaskStore other(h->store().DatabasePath().section(u'/', 0, -2));
            other.OpenTaskDatabase(TaskStore::OpenCheck::OnUse);
            QVERIFY(other.SetTaskPriority(1, h->today(), 5));
        }
        QTest::keyClick(h->view(), Qt::Key_Backspace, Qt::AltModifier | Qt::ShiftModifier);
        const auto shown = h->takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().text, u"Cannot redo \"Delete Task\": task 1 of %1 has changed "
                                     "since."_s.arg(h->clock.today().toString(Qt::ISODate)));
        QCOMPARE(h->stored(h->today(), 1)->Priority, 5);
        QVERIFY(redo->isEnabled());
    }

    // ---- Command states --------------------------------------------------

    void commandsFollowTheSelection_data()
    {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<bool>("start");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("status");
        QTest::newRow("none") << QList<int> {} << false << QStringLiteral("No task selected")
                              << QStringLiteral("Create and select task you want to time track");
        QTest::newRow("one")
            << QList<int> {1} << true << QStringLiteral("a")
            << QStringLiteral("Press the Start button to time track selected task");
        QTest::newRow("one used up") << QList<int> {2} << false << QStringLiteral("b")
                                     << QStringLiteral("This task is already 100% done!");
        QTest::newRow("three") << QList<int> {1, 2, 3} << false << QStringLiteral("Multiple tasks")
                               << QStringLiteral("Please select only one task to time track");
    }
    void commandsFollowTheSelection()
    {
        QFETCH(QList<int>, rows);
        QFETCH(bool, start);
        QFETCH(QString, panel);
        QFETCH(QString, status);
        const bool one = rows.size() == 1;
        const bool any = !rows.isEmpty();
        h->addTasks(h->today(),
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
        QCOMPARE(h->toolbar(2)->isEnabled(), any);
        for (const char *name : {"mnuDeleteTask", "mnuMarkDone", "mnuMarkUndone",
                                 "mnuMoveTasksToNextDay", "mnuResetTimer"})
            QVERIFY2(h->action(name)->isEnabled() == any, name);
        QCOMPARE(h->action("mnuStartTimer")->isEnabled(), start);
        QCOMPARE(h->toolbar(3)->isEnabled(), start);
        QVERIFY(!h->action("mnuStopTimer")->isEnabled());
        QVERIFY(!h->toolbar(10)->isEnabled());
        QVERIFY(!h->toolbar(11)->isEnabled());
        QCOMPARE(h->label("gpCurTaskLbl"), panel);
        QCOMPARE(h->label("lblStatus"), status);
        QCOMPARE(h->label("lblTracking"), QStringLiteral("Currently selected:"));
    }

    // ---- Clipboard -------------------------------------------------------

    void ctrlCCopiesSelectedSubjectsTopToBottom()
    {
        h->addTasks(
            h->today(),
            {makeTask(1, QStringLiteral("alpha one"), 10), makeTask(2, QStringLiteral("beta"), 10),
             makeTask(3, QStringLiteral("gamma"), 10), makeTask(4, QStringLiteral("delta"), 10)});
        h->showWindow();
        h->selectRows({4, 1, 2}); // alpha one, beta, delta, gamma in the grid
        QTest::keyClick(h->view(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("alpha one\r\nbeta\r\ngamma"));

        // Nothing selected: the clipboard keeps what it had.
        for (int row : {2, 4, 1})
            h->clickCell(row, ColSubject, Qt::ControlModifier);
        QVERIFY(selectedRows().isEmpty());
        QTest::keyClick(h->view(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("alpha one\r\nbeta\r\ngamma"));
    }

    // ---- Day summary -----------------------------------------------------

    void summaryFollowsTheShownDay()
    {
        h->addTasks(h->today(),
                    {makeTask(1, QStringLiteral("a"), 60, 15, InProgress),
                     makeTask(2, QStringLiteral("b"), 30),
                     makeTask(3, QStringLiteral("c"), 45, 45, Finished)});
        MainWindow &window = h->showWindow();
        auto *bar = h->child<QProgressBar>("prgBar");
        QCOMPARE(caption(), QStringLiteral("  Today  [2 tasks left]"));
        QVERIFY(!bar->isHidden());
        QCOMPARE(bar->maximum(), 135);
        QCOMPARE(bar->value(), 60);
        QCOMPARE(h->label("lblLeft"), QStringLiteral("1 hours, 15 minutes left"));

        // At the smallest size the window allows, the caption and both times
        // still read in full: the times as hours:minutes, the bar gone if need be.
        window.resize(450, 300);
        QTRY_COMPARE(window.size(), QSize(450, 300));
        auto *panel = h->child<GradientPanel>("gpInfos");
        auto *numbers = h->child<QWidget>("gpInfoInfo");
        QCOMPARE(h->label("lblLeft"), QStringLiteral("1:15 left"));
        QCOMPARE(h->label("lblDone"), QStringLiteral("1:00 done"));
        QTRY_VERIFY(numbers->geometry().left() >= panel->sizeHint().width());
        for (const char *name : {"lblDone", "lblLeft"}) {
            auto *text = h->child<QLabel>(name);
            QVERIFY(text->width() >= text->sizeHint().width());
        }
        window.resize(900, 500);
        QTRY_COMPARE(h->label("lblLeft"), QStringLiteral("1 hours, 15 minutes left"));
        QVERIFY(!bar->isHidden());

        const QDate empty = h->clock.today().addDays(2);
        h->picker()->setDate(empty);
        QCOMPARE(caption(),
                 QStringLiteral("  ") + QLocale::system().toString(empty, QLocale::ShortFormat)
                     + QStringLiteral(" [No tasks]"));
        QVERIFY(bar->isHidden());
        QVERIFY(h->child<QLabel>("lblDone")->isHidden());
        QVERIFY(h->child<QLabel>("lblLeft")->isHidden());
    }

    // ---- Column layout ---------------------------------------------------

    void columnLayoutSurvivesARestart()
    {
        h->addTasks(h->today(),
                    {makeTask(1, QStringLiteral("a"), 10), makeTask(2, QStringLiteral("b"), 50),
                     makeTask(3, QStringLiteral("c"), 30)});
        h->showWindow();
        h->clickHeader(ColTimeNeeded); // first click: descending
        QCOMPARE(h->shownSubjects(), words("b c a"));
        QVERIFY(h->view()->hasFocus());

        QAction *duration = columnMenuEntry(ColTimeNeeded);
        QVERIFY(duration);
        QVERIFY(duration->isChecked());
        duration->trigger();
        h->child<QMenu>("pmColumns")->close();
        QVERIFY(h->grid().isColumnHidden(ColTimeNeeded));

        h->close();
        h->showWindow();
        QVERIFY(h->view()->isColumnHidden(ColTimeNeeded - 1));
        QVERIFY(!h->view()->isColumnHidden(ColTimeDone - 1));
        QCOMPARE(h->grid().SortColumn(), int(ColTimeNeeded));
        QVERIFY(!h->grid().SortAscending());
        QCOMPARE(h->shownSubjects(), words("b c a"));
        h->clickHeader(ColSubject);
        h->clickHeader(ColSubject);
        QCOMPARE(h->shownSubjects(), words("a b c"));
        QCOMPARE(h->settings().Load(SettingsSection::Sort, QStringLiteral("Column")),
                 QStringLiteral("2"));
        QCOMPARE(h->settings().Load(SettingsSection::Sort, QStringLiteral("Descending")),
                 QStringLiteral("0"));
    }

    // A wide window gives its width to the subjects, not to an empty strip;
    // the stretched width is not kept as the user's.
    void subjectsTakeTheFreeWidth()
    {
        h->addTasks(h->today(), {makeTask(1, QString(QStringLiteral("long subject ")).repeated(12), 10)});
        MainWindow &w = h->showWindow();
        w.resize(1280, 700);
        QTest::qWait(0);
        QHeaderView *header = h->view()->horizontalHeader();
        const int own = h->view()->subjectOwnWidth();
        QVERIFY(own > 0);
        QCOMPARE(header->length(), h->view()->viewport()->width());
        QVERIFY(header->sectionSize(ColSubject - 1) > own);

        header->resizeSection(ColPriority - 1, header->sectionSize(ColPriority - 1) + 30);
        QCOMPARE(header->length(), h->view()->viewport()->width());
        QCOMPARE(h->settings().LoadLong(SettingsSection::Columns, QStringLiteral("MainGridSizeColumn2")),
                 own);

        // A window narrower than the columns' own widths (a small or strongly
        // scaled screen) takes the room from the subjects: every column stays
        // in sight without a scroll bar, and the user's width is still kept.
        w.resize(660, 400);
        QTest::qWait(0);
        QCOMPARE(header->length(), h->view()->viewport()->width());
        QVERIFY(!h->view()->horizontalScrollBar()->isVisible());
        QVERIFY(header->sectionSize(ColSubject - 1) < own);
        header->resizeSection(ColCategory - 1, header->sectionSize(ColCategory - 1) - 10);
        QCOMPARE(h->settings().LoadLong(SettingsSection::Columns, QStringLiteral("MainGridSizeColumn2")),
                 own);
    }

    // ---- Date picker -----------------------------------------------------

    // The about box names the program and its version and offers the two
    // links as links the desktop opens.
    void aboutBoxShowsVersionAndLinks()
    {
        h->showWindow();
        QString title, version;
        QStringList links;
        int depth = -1;
        QTimer::singleShot(0, [&] {
            QWidget *box = nullptr;
            const bool up = QTest::qWaitFor(
                [&] { return (box = QApplication::activeModalWidget()) != nullptr; });
            QVERIFY(up && box);
            depth = h->context().ModalDialogDepth;
            title = box->windowTitle();
            version = box->findChild<QLabel *>(QStringLiteral("lblVersion"))->text();
            for (const char *name : {"lblSupport", "lblWebSite"}) {
                auto *label = box->findChild<QLabel *>(QString::fromLatin1(name));
                QVERIFY(label->textInteractionFlags() & Qt::LinksAccessibleByMouse);
                links << label->text();
            }
            QMetaObject::invokeMethod(box, "accept");
        });
        h->action("mnuAbout")->trigger();
        QCOMPARE(title, QStringLiteral("About Chronodeck"));
        QCOMPARE(version, QStringLiteral("Version: 2.01"));
        QCOMPARE(depth, 1);
        QCOMPARE(h->context().ModalDialogDepth, 0);
        QCOMPARE(links.size(), 2);
        QVERIFY(links.at(0).contains(QStringLiteral("href=\"mailto:")));
        QVERIFY(links.at(1).contains(QStringLiteral("href=\"https://")));
    }

    // From the tray the box leaves the window working: nothing modal, no
    // dialog counted, and asking again brings back the same box.
    void trayAboutBoxIsNotModal()
    {
        MainWindow &window = h->showWindow();
        TrayMenu tray(h->context(), window);
        QAction *about = tray.menu()->findChild<QAction *>(QStringLiteral("mnuAbout"));
        QVERIFY(about);
        // A modal box would hold the trigger until closed: closed here, and noted.
        bool heldUp = false;
        QTimer::singleShot(0, [&heldUp] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                heldUp = true;
                modal->close();
            }
        });
        about->trigger();
        QVERIFY(!heldUp);
        QWidget *box = nullptr;
        QTRY_VERIFY((box = window.findChild<QWidget *>(QStringLiteral("frmAbout")))
                    && box->isVisible());
        QVERIFY(!box->isModal());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QCOMPARE(h->context().ModalDialogDepth, 0);
        about->trigger();
        QCOMPARE(window.findChildren<QDialog *>(QStringLiteral("frmAbout")).size(), 1);
        box->close();
        QTRY_COMPARE(window.findChildren<QDialog *>(QStringLiteral("frmAbout")).size(), 0);
    }

    void dayKeysAndButtonsMoveOneDayEach()
    {
        h->addTask(h->dayKey(1), makeTask(1, QStringLiteral("tomorrow's"), 10));
        h->addTask(h->dayKey(-1), makeTask(1, QStringLiteral("yesterday's"), 10));
        h->showWindow();
        auto *picker = h->picker();
        const QDate today = h->clock.today();
        QVERIFY(!h->toolbar(13)->isEnabled());

        QTest::keyClick(h->view(), Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(picker->date(), today.addDays(1));
        QCOMPARE(h->shownSubjects(), words("tomorrow's"));
        QVERIFY(h->toolbar(13)->isEnabled());
        QTest::keyClick(h->view(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(h->view(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(picker->date(), today.addDays(-1));
        QCOMPARE(h->shownSubjects(), words("yesterday's"));
        // The grid did not take the keys for itself.
        QCOMPARE(h->store().tasksOfList(h->dayKey(-1)).size(), 1);

        h->clickToolbar(13);
        QCOMPARE(picker->date(), today);
        QVERIFY(!h->toolbar(13)->isEnabled());
        h->clickToolbar(12);
        QCOMPARE(picker->date(), today.addDays(1));
        h->clickToolbar(9);
        QCOMPARE(picker->date(), today);
    }

    // ---- Going to the tray -----------------------------------------------

    // Escape hides the window to the tray: hidden, not merely minimised, so
    // no taskbar entry is left behind (without a tray the tray's tests show
    // it stays minimised on the taskbar).
    void escapeGoesToTheTrayAndShowComesBack()
    {
        h->addTask(h->today(), makeTask(1, QStringLiteral("a"), 10));
        MainWindow &w = h->showWindow();
        QTest::keyClick(h->view(), Qt::Key_Escape);
        QVERIFY(w.isMinimized());
        QVERIFY(!w.isVisible());

        w.mnuShow_Click();
        QVERIFY(w.isVisible());
        QVERIFY(!w.isMinimized());
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
