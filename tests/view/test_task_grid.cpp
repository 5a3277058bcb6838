#include "view/TaskGrid.h"

#include "common/RecordingPrompter.h"
#include "settings/Settings.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"
#include "view/TaskGridView.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace cdk;

namespace {

const QString kDay = QStringLiteral("05032024");
const QString kOtherDay = QStringLiteral("06032024");

TaskRecord task(qint32 id, const QString &subject, int priority = 2, int state = NotStarted,
                qint32 duration = 30, qint32 done = 0, const QString &list = kDay)
{
    TaskRecord t;
    t.ID = id;
    t.List = list;
    t.Subject = subject;
    t.Category = 1;
    t.Duration = duration;
    t.FinishedDuration = done;
    t.State = state;
    t.Priority = priority;
    return t;
}

} // namespace

class TestTaskGrid final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<test::RecordingPrompter> m_prompter;
    std::unique_ptr<clsSettings> m_settings;
    std::unique_ptr<TaskStore> m_store;
    std::unique_ptr<TaskGridView> m_view;
    std::unique_ptr<TaskGrid> m_grid;

    void makeGrid()
    {
        m_grid.reset();
        m_view = std::make_unique<TaskGridView>();
        m_view->resize(800, 400);
        m_grid = std::make_unique<TaskGrid>(*m_store, *m_settings, m_view.get());
        m_grid->SetUpGridColumns();
        m_grid->LoadSortSettings();
    }

    void save(const TaskRecord &t) { QVERIFY(m_store->SaveTask(t, true, {}, 0)); }

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
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_prompter = std::make_unique<test::RecordingPrompter>();
        m_settings = std::make_unique<clsSettings>(*m_prompter);
        m_settings->setPath(m_dir->filePath(QStringLiteral("settings.ini")));
        m_store = std::make_unique<TaskStore>(m_dir->path());
        m_store->OpenTaskDatabase();
        makeGrid();
    }

    void cleanup()
    {
        m_grid.reset();
        m_view.reset();
        m_store.reset();
        m_settings.reset();
        QVERIFY2(m_prompter->shown.isEmpty(), qPrintable(m_prompter->lastText()));
        m_prompter.reset();
        m_dir.reset();
    }

    void sortSettingsAreRead_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("descending");
        QTest::addColumn<int>("sortColumn");
        QTest::addColumn<bool>("ascending");
        QTest::newRow("zero") << QStringLiteral("0") << QStringLiteral("0") << 2 << true;
        QTest::newRow("nine") << QStringLiteral("9") << QStringLiteral("1") << 2 << false;
        QTest::newRow("empty") << QString() << QString() << 2 << true;
        QTest::newRow("text") << QStringLiteral("abc") << QStringLiteral("yes") << 2 << true;
        QTest::newRow("status desc") << QStringLiteral("6") << QStringLiteral("1") << 6 << false;
        QTest::newRow("two is not one") << QStringLiteral("3") << QStringLiteral("2") << 3 << false;
    }
    void sortSettingsAreRead()
    {
        QFETCH(QString, column);
        QFETCH(QString, descending);
        QFETCH(int, sortColumn);
        QFETCH(bool, ascending);
        m_settings->Save(SettingsSection::Sort, QStringLiteral("Column"), column);
        m_settings->Save(SettingsSection::Sort, QStringLiteral("Descending"), descending);
        makeGrid();
        QCOMPARE(m_grid->SortColumn(), sortColumn);
        QCOMPARE(m_grid->SortAscending(), ascending);
        QCOMPARE(m_grid->columnTag(sortColumn), ascending ? QString() : QStringLiteral("DESC"));
    }

    void headerClicksToggleAndPersist()
    {
        save(task(1, QStringLiteral("b"), 2, NotStarted, 10));
        save(task(2, QStringLiteral("a"), 2, NotStarted, 30));
        save(task(3, QStringLiteral("c"), 2, NotStarted, 20));
        m_grid->RefreshTaskList(kDay, false, false, true);
        QCOMPARE(shownIds(), (QList<qint32>{2, 1, 3}));

        QSignalSpy refreshed(m_grid.get(), &TaskGrid::refreshed);
        m_grid->SortByHeader(ColTimeNeeded); // first click: descending
        QCOMPARE(refreshed.count(), 1);
        QCOMPARE(shownIds(), (QList<qint32>{2, 3, 1}));
        QCOMPARE(m_settings->Load(SettingsSection::Sort, QStringLiteral("Column")), QStringLiteral("3"));
        QCOMPARE(m_settings->Load(SettingsSection::Sort, QStringLiteral("Descending")), QStringLiteral("1"));
        QCOMPARE(m_grid->model()->headerData(ColTimeNeeded - 1, Qt::Horizontal,
                                             TaskGridModel::IconKeyRole).toString(),
                 QStringLiteral("SORTUP"));
        m_grid->SortByHeader(ColTimeNeeded); // second click: ascending
        QCOMPARE(shownIds(), (QList<qint32>{1, 3, 2}));
        QCOMPARE(m_settings->Load(SettingsSection::Sort, QStringLiteral("Descending")), QStringLiteral("0"));

        // A fresh grid reads the order back.
        makeGrid();
        QCOMPARE(m_grid->SortColumn(), int(ColTimeNeeded));
        QVERIFY(m_grid->SortAscending());
    }

    void checkboxHeaderSortsByDoneStateWithoutArrow()
    {
        save(task(1, QStringLiteral("a"), 2, Finished, 10, 10));
        save(task(2, QStringLiteral("b")));
        save(task(3, QStringLiteral("c"), 2, Finished, 10, 10));
        save(task(4, QStringLiteral("d")));
        m_grid->RefreshTaskList(kDay, false, false, true);
        m_grid->SortByHeader(ColCheckbox); // descending: finished first
        QCOMPARE(shownIds(), (QList<qint32>{1, 3, 2, 4}));
        m_grid->SortByHeader(ColCheckbox);
        QCOMPARE(shownIds(), (QList<qint32>{2, 4, 1, 3}));
        for (int c = ColSubject; c <= ColPriority; ++c)
            QVERIFY(m_grid->model()->headerData(c - 1, Qt::Horizontal, Qt::DecorationRole).isNull());
    }

    void doneTasksStayLastAfterHeaderClicks()
    {
        m_settings->flags().DisplayDoneTasksAtTheEnd = true;
        save(task(1, QStringLiteral("a"), 5, Finished, 10, 10));
        save(task(2, QStringLiteral("z"), 0, NotStarted, 5));
        save(task(3, QStringLiteral("m"), 3, InProgress, 90, 20));
        m_grid->RefreshTaskList(kDay, false, false, true);
        for (int column = ColSubject; column <= ColPriority; ++column) {
            for (int click = 0; click < 2; ++click) {
                m_grid->SortByHeader(column);
                QCOMPARE(m_grid->taskIdOfRow(3), 1);
            }
        }
    }

    void refillKeepsSelectedTasks()
    {
        QAbstractItemModelTester tester(m_grid->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (int id = 1; id <= 4; ++id)
            save(task(id, QStringLiteral("t%1").arg(id)));
        m_grid->RefreshTaskList(kDay, false, false, true);
        QCOMPARE(m_grid->selectedRows(), QList<int>{1});
        m_grid->selectRow(2);
        m_grid->selectRow(4, true);
        QCOMPARE(m_grid->selectedTaskIds(), (QList<qint32>{2, 4}));

        // A new task sorts in front: the same tasks stay selected on other rows.
        save(task(5, QStringLiteral("a first")));
        m_grid->RefreshTaskList(kDay, true, true, true);
        QCOMPARE(m_grid->selectedTaskIds(), (QList<qint32>{2, 4}));
        QCOMPARE(m_grid->selectedRows(), (QList<int>{3, 5}));

        // Without keeping, row 1 is selected.
        m_grid->RefreshTaskList(kDay, false, false, true);
        QCOMPARE(m_grid->selectedRows(), QList<int>{1});
        // A day without tasks selects nothing.
        m_grid->RefreshTaskList(kOtherDay, false, false, true);
        QCOMPARE(m_grid->rowCount(), 0);
        QVERIFY(m_grid->selectedRows().isEmpty());
        m_grid->recordSelectedRow();
        QCOMPARE(m_grid->recordedSelectedRow(), 0);
    }

    void rowRefreshTouchesOnlyTheShownDay()
    {
        save(task(1, QStringLiteral("one"), 2, InProgress, 60, 10));
        save(task(1, QStringLiteral("elsewhere"), 2, InProgress, 60, 10, kOtherDay));
        m_grid->RefreshTaskList(kDay, false, false, true);
        QSignalSpy changed(m_grid->model(), &QAbstractItemModel::dataChanged);

        QVERIFY(m_store->SetTaskState(1, kDay, Finished, false));
        m_grid->RefreshTaskRow(1, kOtherDay);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(m_grid->cellIconKey(1, ColCheckbox), QStringLiteral("UNCHECK"));
        m_grid->RefreshTaskRow(99, kDay);
        QCOMPARE(changed.count(), 0);

        m_grid->RefreshTaskRow(1, kDay);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(m_grid->cellIconKey(1, ColCheckbox), QStringLiteral("CHECK"));
        QCOMPARE(m_grid->cellText(1, ColTaskState), QStringLiteral("Finished"));
        QCOMPARE(m_grid->cellIconKey(1, ColPriority), QStringLiteral("NORMALGP"));
    }

    void categoryNamesAndColoursComeFromTheStore()
    {
        m_store->AddCategory({20, QStringLiteral("Garden"), 0x00ff00, 0x0000ff, {}, {}});
        m_store->AddCategory({21, QStringLiteral("Plain"), -1, -1, {}, {}});
        TaskRecord a = task(1, QStringLiteral("a"));
        a.Category = 20;
        TaskRecord b = task(2, QStringLiteral("b"));
        b.Category = 21;
        TaskRecord c = task(3, QStringLiteral("c"));
        c.Category = 0;
        save(a);
        save(b);
        save(c);
        m_grid->RefreshTaskList(kDay, false, false, true);
        const auto *model = m_grid->model();
        QCOMPARE(m_grid->cellText(1, ColCategory), QStringLiteral("Garden"));
        QCOMPARE(model->index(0, ColSubject - 1).data(Qt::BackgroundRole).value<QBrush>().color(),
                 QColor(0, 255, 0));
        QCOMPARE(model->index(0, ColSubject - 1).data(Qt::ForegroundRole).value<QBrush>().color(),
                 QColor(255, 0, 0));
        QVERIFY(!model->index(1, ColSubject - 1).data(Qt::BackgroundRole).isValid());
        QVERIFY(!model->index(1, ColSubject - 1).data(Qt::ForegroundRole).isValid());
        QCOMPARE(m_grid->cellText(3, ColCategory), QStringLiteral("(none)"));

        // A single-row refill looks colours up the same way.
        QVERIFY(m_store->SetTaskPriority(1, kDay, 4));
        m_grid->RefreshTaskRow(1, kDay);
        QCOMPARE(model->index(0, ColSubject - 1).data(Qt::BackgroundRole).value<QBrush>().color(),
                 QColor(0, 255, 0));
    }

    void hiddenColumnsAreSavedAndRestored()
    {
        m_grid->setColumnHidden(ColTimeNeeded, true);
        m_grid->setColumnHidden(ColCategory, true);
        m_grid->setColumnHidden(ColCategory, false);
        m_grid->setColumnHidden(ColSubject, true);  // cannot be hidden
        m_grid->setColumnHidden(ColCheckbox, true); // cannot be hidden
        QCOMPARE(m_settings->Load(SettingsSection::Columns, QStringLiteral("Col3Hidden")), QStringLiteral("1"));
        QCOMPARE(m_settings->Load(SettingsSection::Columns, QStringLiteral("Col7Hidden")), QStringLiteral("0"));
        QVERIFY(m_settings->Load(SettingsSection::Columns, QStringLiteral("Col2Hidden")).isEmpty());

        m_settings->Save(SettingsSection::Columns, QStringLiteral("Col8Hidden"), QStringLiteral("-1"));
        makeGrid();
        QVERIFY(m_grid->isColumnHidden(ColTimeNeeded));
        QVERIFY(!m_grid->isColumnHidden(ColCategory));
        QVERIFY(!m_grid->isColumnHidden(ColPriority)); // only a stored 1 hides
        QVERIFY(!m_grid->isColumnHidden(ColSubject));
        QVERIFY(!m_grid->isColumnHidden(ColCheckbox));
        QVERIFY(m_grid->columnHiddenSetting(ColTimeNeeded));
        QVERIFY(!m_grid->columnHiddenSetting(ColPriority));
    }

    void columnWidthsAreSavedAndRestored()
    {
        QHeaderView *header = m_view->horizontalHeader();
        QCOMPARE(header->sectionSize(ColSubject - 1), 250);
        QCOMPARE(header->sectionResizeMode(ColCheckbox - 1), QHeaderView::Fixed);
        QSignalSpy changed(m_view.get(), &TaskGridView::columnsChanged);
        header->resizeSection(ColSubject - 1, 300);
        header->moveSection(header->visualIndex(ColPriority - 1), 2);
        QCOMPARE(changed.count(), 2);
        m_grid->saveColumnLayout();
        makeGrid();
        header = m_view->horizontalHeader();
        QCOMPARE(header->sectionSize(ColSubject - 1), 300);
        QCOMPARE(header->visualIndex(ColPriority - 1), 2);
        QCOMPARE(header->sectionSize(ColCheckbox - 1), 20);
    }

    void shiftEndAndHomeExtendTheSelection()
    {
        for (int id = 1; id <= 5; ++id)
            save(task(id, QStringLiteral("t%1").arg(id)));
        m_grid->RefreshTaskList(kDay, false, false, true);
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

    void keysBecomeSignals()
    {
        save(task(1, QStringLiteral("First")));
        save(task(2, QStringLiteral("Second")));
        m_grid->RefreshTaskList(kDay, false, false, true);
        QSignalSpy space(m_view.get(), &TaskGridView::spacePressed);
        QSignalSpy enter(m_view.get(), &TaskGridView::enterPressed);
        QSignalSpy del(m_view.get(), &TaskGridView::deletePressed);
        QSignalSpy copy(m_view.get(), &TaskGridView::copyPressed);
        QTest::keyClick(m_view.get(), Qt::Key_Space);
        QTest::keyClick(m_view.get(), Qt::Key_Return);
        QTest::keyClick(m_view.get(), Qt::Key_Enter);
        QTest::keyClick(m_view.get(), Qt::Key_Delete);
        QTest::keyClick(m_view.get(), Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(m_view.get(), Qt::Key_C);
        QCOMPARE(space.count(), 1);
        QCOMPARE(enter.count(), 2);
        QCOMPARE(del.count(), 1);
        QCOMPARE(copy.count(), 1);
        m_grid->selectAllRows();
        QCOMPARE(m_grid->selectedSubjectsText(), QStringLiteral("First\r\nSecond"));
    }

    void mouseBecomesSignals()
    {
        save(task(1, QStringLiteral("a")));
        save(task(2, QStringLiteral("b")));
        m_grid->RefreshTaskList(kDay, false, false, true);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        QSignalSpy checkbox(m_view.get(), &TaskGridView::checkboxClicked);
        QSignalSpy alt(m_view.get(), &TaskGridView::altLeftPressed);
        QSignalSpy twice(m_view.get(), &TaskGridView::emptyGridDoubleRelease);
        QSignalSpy edit(m_view.get(), &TaskGridView::rowDoubleClicked);
        QWidget *viewport = m_view->viewport();

        QTest::mouseClick(viewport, Qt::LeftButton, {}, cellCentre(2, ColCheckbox));
        QCOMPARE(checkbox.count(), 1);
        QCOMPARE(checkbox.at(0).at(0).toInt(), 2);
        QCOMPARE(m_grid->selectedRows(), QList<int>{2});
        QTest::mouseClick(viewport, Qt::LeftButton, {}, cellCentre(1, ColSubject));
        QCOMPARE(checkbox.count(), 1);
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::AltModifier, cellCentre(1, ColCheckbox));
        QCOMPARE(checkbox.count(), 1);
        QCOMPARE(alt.count(), 1);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, cellCentre(1, ColSubject));
        QCOMPARE(edit.count(), 1);
        QCOMPARE(edit.at(0).at(0).toInt(), 1);
        // Rows present: quick releases ask for nothing.
        QTest::mouseClick(viewport, Qt::MiddleButton, {}, QPoint(5, 300));
        QTest::mouseClick(viewport, Qt::MiddleButton, {}, QPoint(5, 300));
        QCOMPARE(twice.count(), 0);

        m_grid->RefreshTaskList(kOtherDay, false, false, true);
        QTest::mouseClick(viewport, Qt::MiddleButton, {}, QPoint(5, 30));
        QCOMPARE(twice.count(), 0);
        QTest::mouseClick(viewport, Qt::MiddleButton, {}, QPoint(5, 30));
        QCOMPARE(twice.count(), 1);
    }
};

QTEST_MAIN(TestTaskGrid)
#include "test_task_grid.moc"
