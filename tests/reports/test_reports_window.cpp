// The Reports window as a user reaches it: from the Time Tracking menu, over
// the real main window and database, with the figures read off its tables
// and charts, and its exports written through the save dialog.
#include "reports/ReportsWindow.h"

#include "reports/FigureTable.h"
#include "reports/ReportTableModel.h"
#include "reports/ReportText.h"
#include "reports/WholeText.h"

#include "common/DarkPalette.h"
#include "reports/ReportFixture.h"
#include "view/MainWindowHarness.h"

#include <QAbstractItemModelTester>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedBarSeries>
#include <QTableView>
#include <QTemporaryDir>

#include <memory>

using namespace cdk;
namespace week = cdk::test::reportweek;

class TestReportsWindow final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<test::MainWindowHarness> h;
    ReportsWindow *w = nullptr;

    template<typename T> T *part(const char *name)
    {
        T *found = w->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qWarning("no part named %s", name);
        return found;
    }
    QString cell(const char *table, int row, int column)
    {
        QAbstractItemModel *m = part<QTableView>(table)->model();
        return m->index(row, column).data().toString();
    }
    // What the chart draws for the done bars, summed over every category.
    double doneHoursInChart()
    {
        double sum = 0;
        for (QAbstractSeries *series : part<QChartView>("chtDays")->chart()->series()) {
            for (QBarSet *set : static_cast<QStackedBarSeries *>(series)->barSets()) {
                if (set->label().endsWith(QStringLiteral(" planned")))
                    continue;
                for (int i = 0; i < set->count(); ++i)
                    sum += set->at(i);
            }
        }
        return sum;
    }
    void open()
    {
        week::fill(h->store());
        h->showWindow();
        QMenu *timer = h->child<QMenu>("mnuTimer");
        QCOMPARE(timer->actions().last()->objectName(), QStringLiteral("mnuReports"));
        timer->actions().last()->trigger();
        w = h->child<ReportsWindow>("frmReports");
        QVERIFY(w && w->isVisible());
    }

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }
    void init() { h = std::make_unique<test::MainWindowHarness>(); }
    void cleanup() { test::MainWindowHarness::finish(h); }

    void opensOnTheShownWeekWithItsFigures()
    {
        open();
        QCOMPARE(w->period(), ReportPeriod::range(week::monday(), week::monday().addDays(6)));
        QCOMPARE(part<QLabel>("lblReportSummary")->text(),
                 QStringLiteral("Planned 5:00, done 3:20 (67%), 5 finished, 3 left"));
        QAbstractItemModelTester tester(part<QTableView>("grdReportDays")->model());
        const QStringList monday
            = {QStringLiteral("Mon 2024-03-04"), QStringLiteral("2:10"), QStringLiteral("1:40"),
               QStringLiteral("2"), QStringLiteral("1")};
        for (int c = 0; c < monday.size(); ++c)
            QCOMPARE(cell("grdReportDays", 0, c), monday[c]);
        QCOMPARE(cell("grdReportDays", 1, 1), QStringLiteral("0:00")); // Tuesday, empty
        QCOMPARE(cell("grdReportDays", 7, 0), QStringLiteral("Total"));
        QCOMPARE(cell("grdReportCategories", 0, 3), QStringLiteral("64%"));
        QCOMPARE(cell("grdReportCategories", 2, 0), QStringLiteral("(none)"));
        QCOMPARE(cell("grdReportCategories", 2, 7), QStringLiteral("\u2013"));
        QVERIFY(part<QChartView>("chtDays")->isVisibleTo(w));
        QCOMPARE(doneHoursInChart(), 200.0 / 60.0);

        // The week after holds one task; the one after that none, and a
        // sentence shows instead of a chart.
        QTest::mouseClick(part<QWidget>("btnReportNext"), Qt::LeftButton);
        QCOMPARE(w->period().first, QDate(2024, 3, 11));
        QCOMPARE(cell("grdReportDays", 7, 1), QStringLiteral("8:20"));
        QTest::mouseClick(part<QWidget>("btnReportNext"), Qt::LeftButton);
        QVERIFY(!part<QChartView>("chtDays")->isVisibleTo(w));
        QCOMPARE(part<QLabel>("lblDaysEmpty")->text(), QStringLiteral("No tasks in this period."));
        QVERIFY(!part<QPushButton>("btnExportCsv")->isEnabled());
    }

    void rangeStartsFromTheShownPeriod()
    {
        open();
        const ReportPeriod shown = w->period();
        part<QComboBox>("cboReportPeriod")->setCurrentIndex(int(ReportPeriod::Kind::Range));
        QCOMPARE(w->period(), shown);
        part<QDateEdit>("dtpReportTo")->setDate({2024, 3, 31});
        QCOMPARE(w->period(), ReportPeriod::range(shown.first, {2024, 3, 31}));
        QCOMPARE(part<QTableView>("grdReportDays")->model()->rowCount(), 28 + 1);
        // Dates given the wrong way round are put in order.
        part<QDateEdit>("dtpReportTo")->setDate({2024, 3, 1});
        QCOMPARE(w->period(), ReportPeriod::range({2024, 3, 1}, shown.first));
        QCOMPARE(part<QDateEdit>("dtpReportFrom")->date(), QDate(2024, 3, 1));
    }

    void zeroBudgetsAndChangesOfTasks()
    {
        open();
        const QDate later(2024, 3, 20);
        w->setPeriod(ReportPeriod::Kind::Day, later);
        TaskRecord zero = week::task(0, 1, QStringLiteral("No budget"), 1, 0, 0, Finished);
        zero.List = DayListKey(later);
        h->context().operations.addTask(zero);
        // The window follows the change on its own, a moment later.
        QTRY_COMPARE(cell("grdReportDays", 0, 3), QStringLiteral("1"));
        QVERIFY(!part<QChartView>("chtCategories")->isVisibleTo(w));
        QVERIFY(part<QLabel>("lblCategoriesEmpty")->text().contains(QStringLiteral("budget of 0")));
        QCOMPARE(cell("grdReportCategories", 0, 3), QStringLiteral("\u2013"));
        QCOMPARE(cell("grdReportCategories", 0, 9), QStringLiteral("1"));
    }

    // The figures follow a renamed category and a restored database, as they
    // follow a change of tasks.
    void followsCategoriesAndARestoredDatabase()
    {
        open();
        const auto table = [this](const char *name) {
            QStringList cells;
            QAbstractItemModel *m = part<QTableView>(name)->model();
            for (int row = 0; row < m->rowCount(); ++row) {
                for (int column = 0; column < m->columnCount(); ++column)
                    cells << m->index(row, column).data().toString();
            }
            return cells.join(u'|');
        };
        TaskOperations &operations = h->context().operations;
        QVERIFY(operations.editCategory(2, QStringLiteral("Garden only"), 65280, -1));
        QTRY_VERIFY(table("grdReportCategories").contains(QStringLiteral("Garden only")));

        const QString days = table("grdReportDays");
        QTemporaryDir dir;
        const QString backup = dir.filePath(QStringLiteral("week.cdkd"));
        operations.backupDatabase(backup);
        QVERIFY(operations.deleteTasks(week::key(0), {1, 2, 3}) > 0);
        QTRY_VERIFY(table("grdReportDays") != days);
        operations.replaceDatabase(backup);
        QTRY_COMPARE(table("grdReportDays"), days);
    }

    void exportsThroughTheSaveDialog()
    {
        open();
        const QString base = h->context().ProgramFolder + QStringLiteral("week");
        h->prompter.files << base + QStringLiteral(".csv") << base;
        QTest::mouseClick(part<QPushButton>("btnExportCsv"), Qt::LeftButton);
        QTest::mouseClick(part<QPushButton>("btnExportICalendar"), Qt::LeftButton);
        QCOMPARE(h->prompter.dialogs.size(), 2);
        QCOMPARE(h->prompter.dialogs[0][1],
                 QStringLiteral("Chronodeck 04-03-2024 to 10-03-2024.csv"));
        QCOMPARE(h->prompter.dialogs[1][2], QStringLiteral("iCalendar files (*.ics)"));

        QFile csv(base + QStringLiteral(".csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QVERIFY(csv.readLine().startsWith("Date,Subject,Category,"));
        // A name without an extension gets the format's.
        QFile ics(base + QStringLiteral(".ics"));
        QVERIFY(ics.open(QIODevice::ReadOnly));
        QCOMPARE(ics.readAll().count("BEGIN:VTODO"), 8);

        // Cancelled: nothing written, nothing said.
        QTest::mouseClick(part<QPushButton>("btnExportCsv"), Qt::LeftButton);
        QCOMPARE(h->prompter.dialogs.size(), 3);
    }

    // Short of width, the categories' ten columns share it without a scroll
    // bar: their headers go onto two lines, then the names are cut (their
    // cells, not their header); a figure never is.
    void categoryColumnsShareTheWidthTheyAreGiven()
    {
        week::fill(h->store());
        const Report report = computeReport(
            h->store(), ReportPeriod::range(week::monday(), week::monday().addDays(6)));
        ReportTableModel model;
        model.setTable(reporttext::categoryColumns(), reporttext::categoryRows(report), {}, false);
        FigureTable table(FigureTable::Columns::Fill);
        table.setModel(&model);
        table.show();
        QHeaderView *header = table.horizontalHeader();
        const int line = header->fontMetrics().height();
        // Narrower and narrower, for as long as the columns fit: every
        // header and figure stays whole on the way.
        bool wrapped = false;
        bool namesCut = false;
        for (int width = 1000; width > 0; width -= 20) {
            table.resize(width, 300);
            QCoreApplication::processEvents();
            if (header->length() > table.viewport()->width())
                break;
            const QString at = QStringLiteral(" at %1").arg(width);
            QVERIFY2(!table.horizontalScrollBar()->isVisible(), qPrintable(at));
            QVERIFY2(test::cutHeaders(&table).isEmpty(),
                     qPrintable(test::cutHeaders(&table).join(u',') + at));
            for (int row = 0; row < model.rowCount(); ++row) {
                for (int c = 1; c < model.columnCount(); ++c) {
                    const QString figure = model.index(row, c).data().toString();
                    QVERIFY2(header->fontMetrics().horizontalAdvance(figure)
                                 < header->sectionSize(c),
                             qPrintable(figure + at));
                }
            }
            if (width == 1000)
                QVERIFY(header->height() < 2 * line);
            wrapped = header->height() >= 2 * line;
            namesCut = header->sectionSize(0)
                < static_cast<QAbstractItemView &>(table).sizeHintForColumn(0);
        }
        // Before a scroll bar was needed, the headers went onto two lines
        // and the names gave way.
        QVERIFY(wrapped);
        QVERIFY(namesCut);
        QVERIFY(table.horizontalScrollBar()->isVisible());
    }

    void chartsFollowThePalette()
    {
        open();
        const QPalette dark = test::darkPalette();
        w->setPalette(dark);
        QChart *chart = part<QChartView>("chtDays")->chart();
        QCOMPARE(chart->backgroundBrush().color(), dark.color(QPalette::Base));
        QCOMPARE(chart->axes(Qt::Vertical).first()->labelsBrush().color(),
                 dark.color(QPalette::Text));
    }
};

QTEST_MAIN(TestReportsWindow)
#include "test_reports_window.moc"
