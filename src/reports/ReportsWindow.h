#pragma once

#include "reports/Report.h"
#include "reports/ReportPeriod.h"
#include "reports/TaskExport.h"

#include <QWidget>

class QChartView;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTableView;
class QTimer;
class QToolButton;

namespace cdk {

class Prompter;
class ReportTableModel;
class TaskOperations;

// Where the time of a day, week, month or chosen range went: planned against
// done per day and per category, how the budgets held, as charts with the
// same figures in tables beside them; and the period's tasks exported as CSV
// or iCalendar. Follows every change of the tasks while it is open.
class ReportsWindow final : public QWidget
{
    Q_OBJECT

public:
    // day: the day whose week is shown first.
    ReportsWindow(TaskOperations &operations, Prompter &prompter, const QDate &day,
                  QWidget *parent = nullptr);
    ~ReportsWindow() override;

    ReportPeriod period() const { return m_period; }
    void setPeriod(ReportPeriod::Kind kind, const QDate &from, const QDate &to = {});
    const Report &report() const { return m_report; }
    // Recomputes the figures from the database now.
    void refresh();

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;

private:
    void buildControls();
    QWidget *buildChartPage(const char *name, QChartView *&view, QLabel *&empty, QTableView *&table,
                            ReportTableModel *&model);
    ReportPeriod::Kind kind() const;
    void periodControlsChanged();
    void step(int direction);
    void showReport();
    void exportAs(ExportFormat format);
    void gatherCrowdedDays();

    TaskOperations &m_operations;
    Prompter &m_prompter;
    ReportPeriod m_period;
    ReportPeriod::Kind m_kind = ReportPeriod::Kind::Week;
    Report m_report;
    QString m_exportFolder;
    bool m_updatingControls = false;
    bool m_placed = false;
    bool m_frameChecked = false;
    // The days' chart gathers at least this much into a bar: on a narrow
    // plot a month of days could not each have a readable label.
    DayGrouping m_coarsest = DayGrouping::Day;

    QComboBox *m_cboPeriod = nullptr;
    QDateEdit *m_dtpFrom = nullptr;
    QDateEdit *m_dtpTo = nullptr;
    QToolButton *m_btnPrevious = nullptr;
    QToolButton *m_btnNext = nullptr;
    QPushButton *m_btnExportCsv = nullptr;
    QPushButton *m_btnExportICalendar = nullptr;
    QLabel *m_lblSummary = nullptr;
    QChartView *m_daysChart = nullptr;
    QChartView *m_categoriesChart = nullptr;
    QLabel *m_daysEmpty = nullptr;
    QLabel *m_categoriesEmpty = nullptr;
    QTableView *m_daysTable = nullptr;
    QTableView *m_categoriesTable = nullptr;
    ReportTableModel *m_daysModel = nullptr;
    ReportTableModel *m_categoriesModel = nullptr;
    QTimer *m_tmrRefresh = nullptr;
};

} // namespace cdk
