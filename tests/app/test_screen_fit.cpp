// The program on a real X server at a scale of 2 on a 1600 x 1000 screen
// (800 x 500 to the program): its windows with the window manager's frames
// stay on the screen, and what they show fits in them.
#include "ProgramHarness.h"

#include "reports/ReportFixture.h"
#include "reports/WholeText.h"
#include "settings/Settings.h"
#include "view/TaskGridView.h"

#include <QChartView>
#include <QComboBox>
#include <QHeaderView>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QWindow>

using namespace cdk;
using namespace cdk::test;

namespace {

// The frame is the window manager's: known once it has framed the window.
bool framedWithin(const QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    return window->isVisible() && handle && !handle->frameMargins().isNull()
        && window->screen()->availableGeometry().contains(window->frameGeometry());
}

QString where(const QWidget *window)
{
    QString text;
    QDebug(&text) << window->frameGeometry() << "on" << window->screen()->availableGeometry();
    return text;
}

} // namespace

class TestScreenFit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        if (QGuiApplication::primaryScreen()->availableGeometry().width() > 800)
            QSKIP("needs the screen of 800 x 500 logical pixels this test is registered with");
    }

    // The size and place remembered at a scale of 1 (1100 x 760 at 200, 100)
    // no longer fit: the window comes up with its title bar on the screen,
    // and the grid shows every column without a scroll bar.
    void mainWindowAndReportsFitTheScreen()
    {
        Program program;
        {
            clsSettings settings(program.prompter);
            settings.setPath(program.path(QStringLiteral("settings.ini")));
            settings.Save(SettingsSection::WindowPos,
                          {{QStringLiteral("frmMainX"), QStringLiteral("200")},
                           {QStringLiteral("frmMainY"), QStringLiteral("100")},
                           {QStringLiteral("frmMainWidth"), QStringLiteral("1100")},
                           {QStringLiteral("frmMainHeight"), QStringLiteral("760")}});
        }
        QCOMPARE(program.start(), Application::StartResult::Running);
        reportweek::fill(program.context->store);
        MainWindow *window = program.window();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTRY_VERIFY2(framedWithin(window), qPrintable(where(window)));

        auto *grid = window->findChild<TaskGridView *>(QStringLiteral("SGrid"));
        QTRY_VERIFY(grid->horizontalHeader()->length() <= grid->viewport()->width());
        QVERIFY(!grid->horizontalScrollBar()->isVisible());

        // Reports opens over the main window, within the screen, with the
        // days' table whole beside its chart.
        program.dtpView()->setDate(reportweek::monday());
        window->findChild<QAction *>(QStringLiteral("mnuReports"))->trigger();
        auto *reports = window->findChild<QWidget *>(QStringLiteral("frmReports"));
        QVERIFY(reports);
        QVERIFY(QTest::qWaitForWindowExposed(reports));
        QTRY_VERIFY2(framedWithin(reports), qPrintable(where(reports)));
        QVERIFY(reports->frameGeometry().intersects(window->frameGeometry()));
        QCOMPARE(reports->screen(), window->screen());

        auto *days = reports->findChild<QTableView *>(QStringLiteral("grdReportDays"));
        QHeaderView *header = days->horizontalHeader();
        QTRY_VERIFY2(
            header->length() <= days->viewport()->width(),
            qPrintable(
                QStringLiteral("%1 > %2").arg(header->length()).arg(days->viewport()->width())));
        QVERIFY2(cutHeaders(days).isEmpty(), qPrintable(cutHeaders(days).join(u',')));
        auto *daysChart = reports->findChild<QChartView *>(QStringLiteral("chtDays"));
        QTRY_VERIFY2(unreadableChartText(daysChart).isEmpty(),
                     qPrintable(unreadableChartText(daysChart).join(u'\n')));
        // A month of days would crowd the plot: every label under the bars
        // still reads whole, beside its neighbours.
        auto *period = reports->findChild<QComboBox *>(QStringLiteral("cboReportPeriod"));
        period->setCurrentIndex(2); // Month
        QTRY_VERIFY2(unreadableChartText(daysChart).isEmpty(),
                     qPrintable(unreadableChartText(daysChart).join(u'\n')));
        period->setCurrentIndex(1); // Week

        // The categories' chart and its ten columns share the same width: the
        // columns fit without a scroll bar, and no word of the chart is cut.
        reports->findChild<QTabWidget *>(QStringLiteral("tabReports"))->setCurrentIndex(1);
        auto *categories = reports->findChild<QTableView *>(QStringLiteral("grdReportCategories"));
        QTRY_VERIFY(categories->isVisible());
        QHeaderView *columns = categories->horizontalHeader();
        QTRY_VERIFY2(columns->length() <= categories->viewport()->width(),
                     qPrintable(QStringLiteral("%1 > %2")
                                    .arg(columns->length())
                                    .arg(categories->viewport()->width())));
        QVERIFY(!categories->horizontalScrollBar()->isVisible());
        QVERIFY2(cutHeaders(categories).isEmpty(), qPrintable(cutHeaders(categories).join(u',')));
        auto *chart = reports->findChild<QChartView *>(QStringLiteral("chtCategories"));
        QTRY_VERIFY2(unreadableChartText(chart).isEmpty(),
                     qPrintable(unreadableChartText(chart).join(u'\n')));
    }
};

QTEST_MAIN(TestScreenFit)
#include "test_screen_fit.moc"
