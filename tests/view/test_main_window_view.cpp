// What the main window shows of a day and how the user arranges it: the sort
// order by header clicks, the day summary, the column menu and the day picker,
// checked against the settings file and what the window shows.
#include "MainWindowHarness.h"

#include "controls/GradientPanel.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QProgressBar>

#include <memory>

using namespace cdk;
using test::makeTask;

Q_DECLARE_METATYPE(cdk::TaskRecord)

class TestMainWindowView final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<test::MainWindowHarness> h;

    QString sortSetting(const QString &key)
    {
        return h->settings().Load(SettingsSection::Sort, key);
    }
    void addTasks(const QString &list, const QList<TaskRecord> &tasks)
    {
        for (const TaskRecord &t : tasks)
            h->addTask(list, t);
    }

private Q_SLOTS:
    void init() { h = std::make_unique<test::MainWindowHarness>(); }
    void cleanup()
    {
        const QString unexpected = h->prompter.lastText();
        const bool quiet = h->prompter.shown.isEmpty();
        h.reset();
        QVERIFY2(quiet, qPrintable(unexpected));
    }

    // ---- Sorting ---------------------------------------------------------

    void headerClicksSortBothWaysAndAreSaved()
    {
        addTasks(h->today(),
                 {makeTask(1, QStringLiteral("b"), 20), makeTask(2, QStringLiteral("d"), 45),
                  makeTask(3, QStringLiteral("a"), 20), makeTask(4, QStringLiteral("c"), 5)});
        h->showWindow();
        QCOMPARE(h->shownSubjects(),
                 (QStringList {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                               QStringLiteral("d")}));

        h->clickHeader(ColTimeNeeded); // first click: descending; ties by subject
        QCOMPARE(h->shownSubjects(),
                 (QStringList {QStringLiteral("d"), QStringLiteral("a"), QStringLiteral("b"),
                               QStringLiteral("c")}));
        QCOMPARE(sortSetting(QStringLiteral("Column")), QStringLiteral("3"));
        QCOMPARE(sortSetting(QStringLiteral("Descending")), QStringLiteral("1"));

        h->clickHeader(ColTimeNeeded);
        QCOMPARE(h->shownSubjects(),
                 (QStringList {QStringLiteral("c"), QStringLiteral("a"), QStringLiteral("b"),
                               QStringLiteral("d")}));
        QCOMPARE(sortSetting(QStringLiteral("Descending")), QStringLiteral("0"));
        QVERIFY(h->view()->hasFocus());
    }

    void equalSubjectsFollowPriorityEitherWay()
    {
        // The subject key ignores case, so these three tie on "Task".
        addTasks(h->today(),
                 {makeTask(1, QStringLiteral("same"), 10, 0, NotStarted, 1),
                  makeTask(2, QStringLiteral("Same"), 10, 0, NotStarted, 5),
                  makeTask(3, QStringLiteral("zed"), 10, 0, NotStarted, 0),
                  makeTask(4, QStringLiteral("SAME"), 10, 0, NotStarted, 3)});
        h->showWindow();
        const auto ids = [this] {
            QList<qint32> shown;
            for (int r = 1; r <= h->grid().rowCount(); ++r)
                shown.append(h->grid().taskIdOfRow(r));
            return shown;
        };
        QCOMPARE(ids(), (QList<qint32> {2, 4, 1, 3}));
        h->clickHeader(ColSubject); // descending now
        QCOMPARE(ids(), (QList<qint32> {3, 2, 4, 1}));
        h->clickHeader(ColSubject);
        QCOMPARE(ids(), (QList<qint32> {2, 4, 1, 3}));
    }

    void finishedTasksStayLastWhenAsked_data()
    {
        QTest::addColumn<int>("column");
        QTest::newRow("duration") << int(ColTimeNeeded);
        QTest::newRow("task") << int(ColSubject);
        QTest::newRow("check box") << int(ColCheckbox);
        QTest::newRow("percent") << int(ColPercentDone);
    }
    void finishedTasksStayLastWhenAsked()
    {
        QFETCH(int, column);
        h->presetSetting(SettingsSection::General, QStringLiteral("DisplayDoneTasksAtTheEnd"),
                         QStringLiteral("1"));
        addTasks(h->today(),
                 {makeTask(1, QStringLiteral("a done"), 90, 90, Finished),
                  makeTask(2, QStringLiteral("b open"), 10, 5, InProgress),
                  makeTask(3, QStringLiteral("c done"), 5, 1, Finished),
                  makeTask(4, QStringLiteral("d open"), 60)});
        h->showWindow();
        for (int click = 0; click < 2; ++click) {
            h->clickHeader(column);
            const QStringList shown = h->shownSubjects();
            QVERIFY2(shown.at(0).endsWith(QStringLiteral("open"))
                         && shown.at(1).endsWith(QStringLiteral("open"))
                         && shown.at(2).endsWith(QStringLiteral("done"))
                         && shown.at(3).endsWith(QStringLiteral("done")),
                     qPrintable(shown.join(QStringLiteral(", "))));
        }
        // The two directions really differ among the open tasks for a real column.
        if (column == ColTimeNeeded) {
            QCOMPARE(h->shownSubjects().first(), QStringLiteral("b open"));
            h->clickHeader(column);
            QCOMPARE(h->shownSubjects().first(), QStringLiteral("d open"));
        }
    }

    // ---- Day summary -----------------------------------------------------

    void summaryDescribesTheDay_data()
    {
        QTest::addColumn<QList<TaskRecord>>("tasks");
        QTest::addColumn<int>("daysFromToday");
        QTest::addColumn<QString>("count");
        QTest::addColumn<int>("progressMax"); // 0: bar hidden
        QTest::addColumn<int>("progressValue");
        QTest::addColumn<QString>("done"); // empty: both labels hidden
        QTest::addColumn<QString>("left");

        QTest::newRow("empty day") << QList<TaskRecord> {} << 0 << QStringLiteral(" [No tasks]")
                                   << 0 << 0 << QString() << QString();
        QTest::newRow("all finished")
            << QList<TaskRecord> {makeTask(1, QStringLiteral("a"), 30, 30, Finished),
                                  makeTask(2, QStringLiteral("b"), 45, 45, Finished)}
            << 0 << QStringLiteral(" [No tasks]") << 75 << 75
            << QStringLiteral("1 hours, 15 minutes done") << QStringLiteral("Everything done!");
        // Overdone time counts up to the budget only.
        QTest::newRow("mixed")
            << QList<TaskRecord> {makeTask(1, QStringLiteral("a"), 60, 15, InProgress),
                                  makeTask(2, QStringLiteral("b"), 30),
                                  makeTask(3, QStringLiteral("c"), 45, 45, Finished),
                                  makeTask(4, QStringLiteral("d"), 20, 25, InProgress)}
            << 0 << QStringLiteral(" [3 tasks left]") << 155 << 80
            << QStringLiteral("1 hours, 20 minutes done")
            << QStringLiteral("1 hours, 15 minutes left");
        QTest::newRow("another day, nothing done")
            << QList<TaskRecord> {makeTask(1, QStringLiteral("a"), 30)} << 2
            << QStringLiteral(" [1 tasks left]") << 30 << 1 << QStringLiteral("0 minutes done")
            << QStringLiteral("30 minutes left");
    }
    void summaryDescribesTheDay()
    {
        QFETCH(QList<TaskRecord>, tasks);
        QFETCH(int, daysFromToday);
        QFETCH(QString, count);
        QFETCH(int, progressMax);
        QFETCH(int, progressValue);
        QFETCH(QString, done);
        QFETCH(QString, left);
        addTasks(h->dayKey(daysFromToday), tasks);
        h->showWindow();
        const QDate day = h->clock.today().addDays(daysFromToday);
        h->picker()->setDate(day);

        const QString dayText = daysFromToday == 0
            ? QStringLiteral("Today ")
            : QLocale::system().toString(day, QLocale::ShortFormat);
        QCOMPARE(h->child<GradientPanel>("gpInfos")->caption(),
                 QStringLiteral("  ") + dayText + count);
        auto *bar = h->child<QProgressBar>("prgBar");
        QCOMPARE(bar->isHidden(), progressMax == 0);
        if (progressMax > 0) {
            QCOMPARE(bar->maximum(), progressMax);
            QCOMPARE(bar->value(), progressValue);
        }
        auto *lblDone = h->child<QLabel>("lblDone");
        auto *lblLeft = h->child<QLabel>("lblLeft");
        QCOMPARE(lblDone->isHidden(), done.isEmpty());
        QCOMPARE(lblLeft->isHidden(), done.isEmpty());
        if (!done.isEmpty()) {
            QCOMPARE(lblDone->text(), done);
            QCOMPARE(lblLeft->text(), left);
        }
    }

    // ---- Column layout ---------------------------------------------------

    void columnLayoutSurvivesARestart()
    {
        addTasks(h->today(),
                 {makeTask(1, QStringLiteral("a"), 10), makeTask(2, QStringLiteral("b"), 50),
                  makeTask(3, QStringLiteral("c"), 30)});
        h->showWindow();
        h->clickHeader(ColTimeNeeded);
        QCOMPARE(sortSetting(QStringLiteral("Column")), QStringLiteral("3"));
        QCOMPARE(sortSetting(QStringLiteral("Descending")), QStringLiteral("1"));

        // The column menu opens on the header and carries a mark per shown column.
        QHeaderView *header = h->header();
        const QPoint at(header->sectionViewportPosition(ColSubject - 1) + 5, header->height() / 2);
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at,
                                    header->viewport()->mapToGlobal(at));
        QApplication::sendEvent(header->viewport(), &menuEvent);
        auto *menu = h->child<QMenu>("pmColumns");
        QTRY_VERIFY(menu->isVisible());
        QAction *duration = menu->findChild<QAction *>(QStringLiteral("mnuHideCol(3)"));
        QVERIFY(duration);
        QVERIFY(duration->isChecked());
        duration->trigger();
        menu->close();
        QVERIFY(h->grid().isColumnHidden(ColTimeNeeded));
        QCOMPARE(h->settings().Load(SettingsSection::Columns, QStringLiteral("Col3Hidden")),
                 QStringLiteral("1"));

        h->close();
        h->showWindow();
        QVERIFY(h->view()->isColumnHidden(ColTimeNeeded - 1));
        QVERIFY(!h->view()->isColumnHidden(ColTimeDone - 1));
        QCOMPARE(h->grid().SortColumn(), int(ColTimeNeeded));
        QVERIFY(!h->grid().SortAscending());
        QCOMPARE(h->shownSubjects(),
                 (QStringList {QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("a")}));

        // Shown again through the same menu, and that too is kept.
        header = h->header();
        QContextMenuEvent again(QContextMenuEvent::Mouse, at, header->viewport()->mapToGlobal(at));
        QApplication::sendEvent(header->viewport(), &again);
        menu = h->child<QMenu>("pmColumns");
        QTRY_VERIFY(menu->isVisible());
        duration = menu->findChild<QAction *>(QStringLiteral("mnuHideCol(3)"));
        QVERIFY(!duration->isChecked());
        duration->trigger();
        menu->close();
        QVERIFY(!h->grid().isColumnHidden(ColTimeNeeded));
        QCOMPARE(h->settings().Load(SettingsSection::Columns, QStringLiteral("Col3Hidden")),
                 QStringLiteral("0"));
    }

    // ---- Date picker -----------------------------------------------------

    void dayButtonsMoveTheDay()
    {
        h->addTask(h->dayKey(1), makeTask(1, QStringLiteral("tomorrow's"), 10));
        h->addTask(h->dayKey(-1), makeTask(1, QStringLiteral("yesterday's"), 10));
        h->showWindow();
        auto *picker = h->picker();
        const QDate today = h->clock.today();
        QVERIFY(!h->toolbar(13)->isEnabled());

        h->clickToolbar(12);
        QCOMPARE(picker->date(), today.addDays(1));
        QCOMPARE(h->shownSubjects(), QStringList {QStringLiteral("tomorrow's")});
        QVERIFY(h->toolbar(13)->isEnabled());

        h->clickToolbar(9);
        h->clickToolbar(9);
        QCOMPARE(picker->date(), today.addDays(-1));
        QCOMPARE(h->shownSubjects(), QStringList {QStringLiteral("yesterday's")});

        h->clickToolbar(13);
        QCOMPARE(picker->date(), today);
        QVERIFY(h->shownSubjects().isEmpty());
        QVERIFY(!h->toolbar(13)->isEnabled());
    }

    void dayKeysMoveOneDayEach()
    {
        h->addTask(h->dayKey(1), makeTask(1, QStringLiteral("tomorrow's"), 10));
        h->addTask(h->dayKey(-1), makeTask(1, QStringLiteral("yesterday's"), 10));
        h->showWindow();
        auto *picker = h->picker();
        const QDate today = h->clock.today();

        QTest::keyClick(h->view(), Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(picker->date(), today.addDays(1));
        QCOMPARE(h->shownSubjects(), QStringList {QStringLiteral("tomorrow's")});
        QVERIFY(h->toolbar(13)->isEnabled());
        QTest::keyClick(h->view(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(h->view(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(picker->date(), today.addDays(-1));
        QCOMPARE(h->shownSubjects(), QStringList {QStringLiteral("yesterday's")});
        // The grid did not take the keys for itself.
        QCOMPARE(h->store().tasksOfList(h->dayKey(-1)).size(), 1);
    }

    // ---- Going to the tray -----------------------------------------------

    void hidingGoesToTheTrayAndComesBack_data()
    {
        QTest::addColumn<bool>("byEsc");
        QTest::addColumn<bool>("withTray");
        QTest::newRow("menu entry") << false << true;
        QTest::newRow("Esc") << true << true;
        QTest::newRow("no tray: minimised") << false << false;
    }
    void hidingGoesToTheTrayAndComesBack()
    {
        QFETCH(bool, byEsc);
        QFETCH(bool, withTray);
        h->withTray = withTray;
        h->addTask(h->today(), makeTask(1, QStringLiteral("a"), 10));
        MainWindow &w = h->showWindow();
        if (byEsc)
            QTest::keyClick(h->view(), Qt::Key_Escape);
        else
            h->action("mnuHideToSystemTray")->trigger();
        QVERIFY(w.isMinimized());
        // With a tray the window is hidden, not merely minimised: no taskbar
        // entry is left behind. Without one it must stay findable.
        QCOMPARE(w.isVisible(), !withTray);

        w.mnuShow_Click();
        QVERIFY(w.isVisible());
        QVERIFY(!w.isMinimized());
        QCOMPARE(h->shownSubjects(), QStringList {QStringLiteral("a")});
    }
};

QTEST_MAIN(TestMainWindowView)
#include "test_main_window_view.moc"
