#include "core/ShownDay.h"
#include "view/TaskGrid.h"

#include "common/FakeClock.h"
#include "common/TaskFixtures.h"
#include "core/TaskOperations.h"
#include "core/TimeTracker.h"
#include "view/TaskGridView.h"

#include <QHeaderView>
#include <QSignalSpy>

#include <memory>

using namespace cdk;
using test::kDay;
using test::kNextDay;

namespace {

TaskRecord task(qint32 id, const QString &subject, int priority = 2, int state = NotStarted,
                qint32 duration = 30, qint32 done = 0, const QString &list = kDay)
{
    return test::makeTask(id, subject, duration, done, state, priority, list);
}

} // namespace

class TestTaskGrid final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<test::StoreFixture> f;
    test::FakeClock m_clock;
    std::unique_ptr<TimeTracker> m_tracker;
    std::unique_ptr<TaskOperations> m_ops;
    ShownDay m_day;
    std::unique_ptr<TaskGridView> m_view;
    std::unique_ptr<TaskGrid> m_grid;

    void makeGrid()
    {
        m_grid.reset();
        m_view = std::make_unique<TaskGridView>();
        m_view->resize(800, 400);
        if (!m_ops) {
            m_tracker = std::make_unique<TimeTracker>(f->store, m_clock);
            m_ops = std::make_unique<TaskOperations>(f->store, f->settings, *m_tracker);
        }
        m_grid = std::make_unique<TaskGrid>(*m_ops, f->settings, m_day, m_view.get());
        m_grid->SetUpGridColumns();
        m_grid->LoadSortSettings();
    }
    void save(const TaskRecord &t) { f->add(t); }
    void show(const QString &list = kDay) { m_grid->showList(list); }
    QString setting(SettingsSection section, const QString &key)
    {
        return f->settings.Load(section, key);
    }
    QList<qint32> shownIds() const
    {
        QList<qint32> ids;
        for (int r = 1; r <= m_grid->rowCount(); ++r)
            ids.append(m_grid->taskIdOfRow(r));
        return ids;
    }
    QPoint cellCentre(int row, int column) const
    {
        return m_view->visualRect(m_grid->model()->index(row - 1, column - 1)).center();
    }

private Q_SLOTS:
    void init()
    {
        f = std::make_unique<test::StoreFixture>();
        makeGrid();
    }
    void cleanup()
    {
        m_grid.reset();
        m_view.reset();
        m_ops.reset();
        m_tracker.reset();
        QVERIFY2(f->prompter.shown.isEmpty(), qPrintable(f->prompter.lastText()));
        f.reset();
    }

    void sortSettingsAreRead_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("descending");
        QTest::addColumn<int>("sortColumn");
        QTest::addColumn<bool>("ascending");
        QTest::newRow("nine") << QStringLiteral("9") << QStringLiteral("1") << 2 << false;
        QTest::newRow("text") << QStringLiteral("abc") << QStringLiteral("yes") << 2 << true;
        QTest::newRow("two is not one") << QStringLiteral("3") << QStringLiteral("2") << 3 << false;
    }
    void sortSettingsAreRead()
    {
        QFETCH(QString, column);
        QFETCH(QString, descending);
        QFETCH(int, sortColumn);
        QFETCH(bool, ascending);
        f->settings.Save(SettingsSection::Sort, QStringLiteral("Column"), column);
        f->settings.Save(SettingsSection::Sort, QStringLiteral("Descending"), descending);
        makeGrid();
        QCOMPARE(m_grid->SortColumn(), sortColumn);
        QCOMPARE(m_grid->SortAscending(), ascending);
        QCOMPARE(m_grid->columnTag(sortColumn), ascending ? QString() : QStringLiteral("DESC"));
    }

    void checkboxHeaderSortsByDoneState()
    {
        save(task(1, QStringLiteral("a"), 2, Finished, 10, 10));
        save(task(2, QStringLiteral("b")));
        save(task(3, QStringLiteral("c"), 2, Finished, 10, 10));
        save(task(4, QStringLiteral("d")));
        show();
        m_grid->SortByHeader(ColCheckbox); // descending: finished first
        QCOMPARE(shownIds(), (QList<qint32>{1, 3, 2, 4}));
        m_grid->SortByHeader(ColCheckbox);
        QCOMPARE(shownIds(), (QList<qint32>{2, 4, 1, 3}));
    }

    void doneTasksStayLastAfterHeaderClicks()
    {
        f->settings.flags().DisplayDoneTasksAtTheEnd = true;
        save(task(1, QStringLiteral("a"), 5, Finished, 10, 10));
        save(task(2, QStringLiteral("z"), 0, NotStarted, 5));
        save(task(3, QStringLiteral("m"), 3, InProgress, 90, 20));
        show();
        for (int column = ColSubject; column <= ColPriority; ++column) {
            for (int click = 0; click < 2; ++click) {
                m_grid->SortByHeader(column);
                QCOMPARE(m_grid->taskIdOfRow(3), 1);
            }
        }
    }

    // The shown day knows the selection by task, in the order on screen:
    // a re-sort reorders it, a refill that keeps the tasks says nothing.
    void theShownDayFollowsTheSelectionByTask()
    {
        save(task(1, QStringLiteral("a"), 2, NotStarted, 10));
        save(task(2, QStringLiteral("z"), 2, NotStarted, 10));
        save(task(3, QStringLiteral("m"), 2, NotStarted, 10));
        show();
        QCOMPARE(m_day.selectedIds(), QList<qint32>({1}));
        m_grid->selectRow(3, true);
        QCOMPARE(m_day.selectedIds(), QList<qint32>({1, 2}));
        QCOMPARE(m_day.currentId(), 2);

        m_grid->SortByHeader(ColSubject); // now z, m, a
        QCOMPARE(shownIds(), QList<qint32>({2, 3, 1}));
        QCOMPARE(m_day.selectedIds(), QList<qint32>({2, 1}));

        QSignalSpy told(&m_day, &ShownDay::selectionChanged);
        m_ops->setPriority(kDay, {3}, 5);
        QCOMPARE(told.count(), 0);
        m_ops->deleteTasks(kDay, {2});
        QCOMPARE(told.count(), 1);
        QCOMPARE(m_day.selectedIds(), QList<qint32>({1}));
        QCOMPARE(m_grid->taskInPlaceOf(1), 3);
    }

    // Whatever changes a task through the operations reaches the grid when,
    // and only when, it shows that task's day.
    void changesReachOnlyTheShownDay()
    {
        save(task(1, QStringLiteral("one"), 2, InProgress, 60, 10));
        save(task(1, QStringLiteral("elsewhere"), 2, InProgress, 60, 10, kNextDay));
        show();
        QSignalSpy reset(m_grid->model(), &QAbstractItemModel::modelReset);
        QSignalSpy changed(m_grid->model(), &QAbstractItemModel::dataChanged);

        m_ops->setState(kNextDay, {1}, Finished);
        QCOMPARE(reset.count() + changed.count(), 0);
        QCOMPARE(m_grid->cellIconKey(1, ColCheckbox), QStringLiteral("UNCHECK"));

        m_ops->setState(kDay, {1}, Finished);
        QCOMPARE(m_grid->cellIconKey(1, ColCheckbox), QStringLiteral("CHECK"));
        QCOMPARE(m_grid->cellText(1, ColTaskState), QStringLiteral("Finished"));
        QCOMPARE(m_grid->cellIconKey(1, ColPriority), QStringLiteral("NORMALGP"));
    }

    void categoryNamesAndColoursComeFromTheStore()
    {
        f->store.AddCategory({20, QStringLiteral("Garden"), 0x00ff00, 0x0000ff, {}, {}});
        // A system colour (high bit set) is the grid's own colour too.
        f->store.AddCategory({21, QStringLiteral("Plain"), qint32(0x8000000F), -1, {}, {}});
        for (const auto &[id, category] : {std::pair {1, 20}, {2, 21}, {3, 0}}) {
            TaskRecord t = task(id, QStringLiteral("t%1").arg(id));
            t.Category = category;
            save(t);
        }
        show();
        const auto *model = m_grid->model();
        QCOMPARE(m_grid->cellText(1, ColCategory), QStringLiteral("Garden"));
        QCOMPARE(model->index(0, ColSubject - 1).data(Qt::BackgroundRole).value<QBrush>().color(),
                 QColor(0, 255, 0));
        QCOMPARE(model->index(0, ColSubject - 1).data(Qt::ForegroundRole).value<QBrush>().color(),
                 QColor(255, 0, 0));
        QVERIFY(!model->index(1, ColSubject - 1).data(Qt::BackgroundRole).isValid());
        QVERIFY(!model->index(1, ColSubject - 1).data(Qt::ForegroundRole).isValid());
        QCOMPARE(m_grid->cellText(3, ColCategory), QStringLiteral("(none)"));

        // A single-row refill looks them up the same way.
        TaskRecord renamed = task(1, QStringLiteral("t1 again"));
        renamed.Category = 20;
        m_ops->editTask(kDay, 1, renamed);
        QCOMPARE(m_grid->cellText(1, ColSubject), QStringLiteral("t1 again"));
        QCOMPARE(model->index(0, ColSubject - 1).data(Qt::ForegroundRole).value<QBrush>().color(),
                 QColor(255, 0, 0));
    }

    // Hiding through the menu and back after a restart is driven through the window.
    void subjectAndCheckBoxStayAndOnlyOneHides()
    {
        m_grid->setColumnHidden(ColSubject, true);
        m_grid->setColumnHidden(ColCheckbox, true);
        QVERIFY(setting(SettingsSection::Columns, QStringLiteral("Col2Hidden")).isEmpty());
        f->settings.Save(SettingsSection::Columns, QStringLiteral("Col8Hidden"),
                         QStringLiteral("-1"));
        makeGrid();
        QVERIFY(!m_grid->isColumnHidden(ColPriority));
        QVERIFY(!m_grid->isColumnHidden(ColSubject));
        QVERIFY(!m_grid->isColumnHidden(ColCheckbox));
    }

    void shiftEndAndHomeExtendTheSelection()
    {
        for (int id = 1; id <= 5; ++id)
            save(task(id, QStringLiteral("t%1").arg(id)));
        show();
        QSignalSpy handled(m_view.get(), &TaskGridView::keyHandled);

        m_grid->selectRow(3);
        QTest::keyClick(m_view.get(), Qt::Key_End, Qt::ShiftModifier);
        QCOMPARE(m_grid->selectedRows(), (QList<int>{3, 4, 5}));

        m_grid->selectRow(2);
        QTest::keyClick(m_view.get(), Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(m_grid->selectedRows(), (QList<int>{1, 2}));

        // Already at the edge: nothing added.
        m_grid->selectRow(5);
        QTest::keyClick(m_view.get(), Qt::Key_End, Qt::ShiftModifier);
        QCOMPARE(m_grid->selectedRows(), QList<int>{5});

        QTest::keyClick(m_view.get(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(m_grid->selectedRows(), (QList<int>{1, 2, 3, 4, 5}));
        // The modifier keys are key presses of their own.
        QCOMPARE(handled.count(), 8);
    }

    void mouseBecomesSignals()
    {
        save(task(1, QStringLiteral("a")));
        save(task(2, QStringLiteral("b")));
        show();
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        QSignalSpy checkbox(m_view.get(), &TaskGridView::checkboxClicked);
        QSignalSpy alt(m_view.get(), &TaskGridView::altLeftPressed);
        QSignalSpy twice(m_view.get(), &TaskGridView::emptyGridDoubleRelease);
        QSignalSpy edit(m_view.get(), &TaskGridView::rowDoubleClicked);
        QWidget *viewport = m_view->viewport();

        QTest::mouseClick(viewport, Qt::LeftButton, Qt::AltModifier, cellCentre(1, ColCheckbox));
        QCOMPARE(checkbox.count(), 0);
        QCOMPARE(alt.count(), 1);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, cellCentre(1, ColSubject));
        QCOMPARE(edit.count(), 1);
        QCOMPARE(edit.at(0).at(0).toInt(), 1);
        // Rows present: quick releases ask for nothing.
        QTest::mouseClick(viewport, Qt::MiddleButton, {}, QPoint(5, 300));
        QTest::mouseClick(viewport, Qt::MiddleButton, {}, QPoint(5, 300));
        QCOMPARE(twice.count(), 0);

        show(kNextDay);
        QTest::mouseClick(viewport, Qt::MiddleButton, {}, QPoint(5, 30));
        QCOMPARE(twice.count(), 0);
        QTest::mouseClick(viewport, Qt::MiddleButton, {}, QPoint(5, 30));
        QCOMPARE(twice.count(), 1);
    }
};

QTEST_MAIN(TestTaskGrid)
#include "test_task_grid.moc"
