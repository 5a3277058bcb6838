#include "reports/ReportsWindow.h"

#include "base/Log.h"
#include "base/Prompter.h"
#include "settings/WindowPlacement.h"
#include "core/TaskOperations.h"
#include "core/TimeTracker.h"
#include "reports/FigureTable.h"
#include "reports/ReportCharts.h"
#include "reports/ReportTableModel.h"
#include "reports/ReportText.h"
#include "store/StoreError.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSplitter>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

namespace cdk {

namespace {

constexpr qint64 kLongestRange = 20 * 366;

// The chart view's chart is replaced, and the old one is the caller's to delete.
void replaceChart(QChartView *view, QChart *chart)
{
    QChart *old = view->chart();
    view->setChart(chart);
    delete old;
}

} // namespace

ReportsWindow::ReportsWindow(TaskOperations &operations, Prompter &prompter, const QDate &day,
                             QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_operations(operations)
    , m_prompter(prompter)
    , m_exportFolder(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
{
    setObjectName(QStringLiteral("frmReports"));
    setWindowTitle(tr("Reports - Chronodeck"));
    buildControls();

    // Changes come in bursts (a batch edit, a tracked minute): one refresh
    // follows them all.
    m_tmrRefresh = new QTimer(this);
    m_tmrRefresh->setObjectName(QStringLiteral("tmrReportRefresh"));
    m_tmrRefresh->setSingleShot(true);
    m_tmrRefresh->setInterval(250);
    connect(m_tmrRefresh, &QTimer::timeout, this, &ReportsWindow::refresh);
    auto later = [this] { m_tmrRefresh->start(); };
    connect(&m_operations, &TaskOperations::listChanged, this, later);
    connect(&m_operations, &TaskOperations::taskChanged, this, later);
    connect(&m_operations.tracker(), &TimeTracker::minuteCounted, this, later);
    // The figures name categories, and all of them come from the file.
    connect(&m_operations, &TaskOperations::categoriesChanged, this, later);
    connect(&m_operations, &TaskOperations::databaseReplaced, this, later);

    setPeriod(ReportPeriod::Kind::Week, day);
    // Room for the days' table beside its chart; cut to the screen when shown.
    resize(QSize(1100, 640).expandedTo(minimumSizeHint()));
}

void ReportsWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_placed)
        return; // shown again: where the user left it
    m_placed = true;
    // Over the main window, on its screen, where the eye already is. Its
    // frame tells how large this one's will be.
    const QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QScreen *where = owner ? owner->screen() : screen();
    if (!where)
        return;
    QMargins frame;
    QRect wanted(QPoint(0, 0), size());
    if (owner && owner->isVisible()) {
        const QRect outer = owner->frameGeometry();
        const QRect inner = owner->geometry();
        frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
        wanted = wanted.marginsAdded(frame);
        wanted.moveCenter(outer.center());
    } else {
        wanted = wanted.marginsAdded(frame);
        wanted.moveCenter(where->availableGeometry().center());
    }
    const QRect placed = FrameWithin(wanted, frame, where->availableGeometry(), minimumSize());
    resize(placed.size().shrunkBy(frame));
    move(placed.topLeft());
}

bool ReportsWindow::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    // The frame the window manager really drew is known from the first move
    // or resize after the window appeared: it is kept on the screen once.
    if (!m_frameChecked && isVisible() && !isMaximized()
        && (event->type() == QEvent::Move || event->type() == QEvent::Resize)
        && windowHandle() && !windowHandle()->frameMargins().isNull() && screen()) {
        m_frameChecked = true;
        const QMargins frame = windowHandle()->frameMargins();
        const QRect now = frameGeometry();
        const QRect fitted = FrameWithin(now, frame, screen()->availableGeometry(), minimumSize());
        if (fitted != now) {
            resize(fitted.size().shrunkBy(frame));
            move(fitted.topLeft());
        }
    }
    return handled;
}

ReportsWindow::~ReportsWindow() = default;

void ReportsWindow::buildControls()
{
    m_cboPeriod = new QComboBox(this);
    m_cboPeriod->setObjectName(QStringLiteral("cboReportPeriod"));
    m_cboPeriod->addItems({tr("Day"), tr("Week"), tr("Month"), tr("Range")});
    // The locale's long date with short names: "Mon 4 Mar 2024", "Mo., 4. März 2024".
    const QString dates = reporttext::dateFormat(locale(), QLocale::LongFormat,
                                                 reporttext::Weekday | reporttext::Day
                                                     | reporttext::Month | reporttext::Year);
    auto dateEdit = [this, &dates](const char *name) {
        auto *edit = new QDateEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(dates);
        return edit;
    };
    m_dtpFrom = dateEdit("dtpReportFrom");
    m_dtpFrom->setAccessibleName(tr("First day"));
    m_dtpTo = dateEdit("dtpReportTo");
    m_dtpTo->setAccessibleName(tr("Last day"));
    auto arrow = [this](const char *name, Qt::ArrowType type, const QString &tip) {
        auto *button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(name));
        button->setArrowType(type);
        button->setToolTip(tip);
        button->setAccessibleName(tip);
        return button;
    };
    m_btnPrevious = arrow("btnReportPrevious", Qt::LeftArrow, tr("Previous period"));
    m_btnNext = arrow("btnReportNext", Qt::RightArrow, tr("Next period"));
    m_btnExportCsv = new QPushButton(tr("Export &CSV..."), this);
    m_btnExportCsv->setObjectName(QStringLiteral("btnExportCsv"));
    m_btnExportICalendar = new QPushButton(tr("Export &iCalendar..."), this);
    m_btnExportICalendar->setObjectName(QStringLiteral("btnExportICalendar"));
    m_lblSummary = new QLabel(this);
    m_lblSummary->setObjectName(QStringLiteral("lblReportSummary"));
    m_lblSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_lblSummary->setWordWrap(true);

    auto *bar = new QHBoxLayout;
    auto *periodLabel = new QLabel(tr("Period:"), this);
    periodLabel->setBuddy(m_cboPeriod);
    bar->addWidget(periodLabel);
    bar->addWidget(m_cboPeriod);
    bar->addWidget(m_btnPrevious);
    bar->addWidget(m_dtpFrom);
    bar->addWidget(new QLabel(tr("to", "from one date to another"), this));
    bar->addWidget(m_dtpTo);
    bar->addWidget(m_btnNext);
    bar->addStretch();
    // The export buttons share the summary's line: beside the period's
    // controls, longer captions (German's, or any at twice the scale) would
    // make the window wider than a small screen.
    auto *summaryRow = new QHBoxLayout;
    summaryRow->addWidget(m_lblSummary, 1);
    summaryRow->addWidget(m_btnExportCsv);
    summaryRow->addWidget(m_btnExportICalendar);

    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabReports"));
    // The tab bar takes the focus, and Alt with a tab's letter switches.
    tabs->setFocusPolicy(Qt::NoFocus);
    tabs->addTab(buildChartPage("Days", m_daysChart, m_daysEmpty, m_daysTable, m_daysModel),
                 tr("&Days"));
    tabs->addTab(buildChartPage("Categories", m_categoriesChart, m_categoriesEmpty,
                                m_categoriesTable, m_categoriesModel),
                 tr("C&ategories"));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addLayout(summaryRow);
    layout->addWidget(tabs, 1);

    connect(m_cboPeriod, &QComboBox::currentIndexChanged, this,
            &ReportsWindow::periodControlsChanged);
    connect(m_dtpFrom, &QDateEdit::dateChanged, this, &ReportsWindow::periodControlsChanged);
    connect(m_dtpTo, &QDateEdit::dateChanged, this, &ReportsWindow::periodControlsChanged);
    connect(m_btnPrevious, &QToolButton::clicked, this, [this] { step(-1); });
    connect(m_btnNext, &QToolButton::clicked, this, [this] { step(1); });
    connect(m_btnExportCsv, &QPushButton::clicked, this, [this] { exportAs(ExportFormat::Csv); });
    connect(m_btnExportICalendar, &QPushButton::clicked, this,
            [this] { exportAs(ExportFormat::ICalendar); });
}

QWidget *ReportsWindow::buildChartPage(const char *name, QChartView *&view, QLabel *&empty,
                                       QTableView *&table, ReportTableModel *&model)
{
    const QString suffix = QString::fromLatin1(name);
    // The days' table is narrow and long: it stands beside its chart with
    // the width of its columns (cut by the splitter its headers read
    // "Finishe"), the chart takes the rest. The categories' table has twice
    // the columns and few rows: beside the chart it would leave the chart
    // nothing on a small or strongly scaled screen, so it lies under the
    // chart, across the whole width.
    const bool wideTable = suffix == QStringLiteral("Categories");
    auto *splitter = new QSplitter(wideTable ? Qt::Vertical : Qt::Horizontal);
    auto *stack = new QStackedWidget(splitter);
    auto *page = new QWidget(stack);
    view = new QChartView(page);
    view->setObjectName(QStringLiteral("cht") + suffix);
    view->setRenderHint(QPainter::Antialiasing);
    // The chart only draws what the table beside it holds, which the keyboard
    // and a screen reader reach: no stop of its own.
    view->setFocusPolicy(Qt::NoFocus);
    // Enough for the axes and a few bars in the window's font.
    view->setMinimumSize(fontMetrics().averageCharWidth() * 36, fontMetrics().height() * 10);
    auto *legend = new QLabel(page);
    legend->setObjectName(QStringLiteral("lbl") + suffix + QStringLiteral("Legend"));
    legend->setWordWrap(true);
    legend->setAlignment(Qt::AlignHCenter);
    legend->setBackgroundRole(QPalette::Base); // the chart's own background
    legend->setAutoFillBackground(true);
    view->setFrameShape(QFrame::NoFrame);
    auto *chartAndLegend = new QVBoxLayout(page);
    chartAndLegend->setContentsMargins(0, 0, 0, 0);
    chartAndLegend->setSpacing(0);
    chartAndLegend->addWidget(view, 1);
    chartAndLegend->addWidget(legend);
    empty = new QLabel(stack);
    empty->setObjectName(QStringLiteral("lbl") + suffix + QStringLiteral("Empty"));
    empty->setAlignment(Qt::AlignCenter);
    empty->setWordWrap(true);
    stack->addWidget(page);
    stack->addWidget(empty);

    model = new ReportTableModel(this);
    table = new FigureTable(wideTable ? FigureTable::Columns::Fill : FigureTable::Columns::Natural,
                            splitter);
    table->setObjectName(QStringLiteral("grdReport") + suffix);
    table->setAccessibleName(wideTable ? tr("Figures by category") : tr("Figures by day"));
    table->setModel(model);
    splitter->addWidget(stack);
    splitter->addWidget(table);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    splitter->setChildrenCollapsible(false);
    return splitter;
}

ReportPeriod::Kind ReportsWindow::kind() const
{
    return ReportPeriod::Kind(qBound(0, m_cboPeriod->currentIndex(), 3));
}

void ReportsWindow::setPeriod(ReportPeriod::Kind kind, const QDate &from, const QDate &to)
{
    m_updatingControls = true;
    m_cboPeriod->setCurrentIndex(int(kind));
    m_dtpFrom->setDate(from);
    m_dtpTo->setDate(to.isValid() ? to : from);
    m_kind = kind; // the dates given are the period, whatever was shown before
    m_updatingControls = false;
    periodControlsChanged();
}

void ReportsWindow::periodControlsChanged()
{
    if (m_updatingControls)
        return;
    const ReportPeriod::Kind k = kind();
    // Choosing "Range" starts from the period shown, to be widened from there.
    const bool becameRange = k == ReportPeriod::Kind::Range && m_kind != k && m_period.isValid();
    m_kind = k;
    ReportPeriod period = becameRange    ? m_period
        : k == ReportPeriod::Kind::Range ? ReportPeriod::range(m_dtpFrom->date(), m_dtpTo->date())
                                         : ReportPeriod::around(k, m_dtpFrom->date(), locale());
    // Every day of a period is a row: a range typed across centuries would
    // take the window's memory and time for days no one planned.
    if (period.dayCount() > kLongestRange)
        period.last = period.first.addDays(kLongestRange - 1);
    // Outside a range the second date only shows where the period ends; a
    // range shows the dates it was put in order and cut to.
    m_updatingControls = true;
    m_dtpTo->setEnabled(k == ReportPeriod::Kind::Range);
    if (k == ReportPeriod::Kind::Range)
        m_dtpFrom->setDate(period.first);
    m_dtpTo->setDate(period.last);
    m_updatingControls = false;
    if (period == m_period && !m_report.days.isEmpty())
        return;
    m_period = period;
    refresh();
}

void ReportsWindow::step(int direction)
{
    const ReportPeriod::Kind k = kind();
    const QDate from = m_dtpFrom->date();
    switch (k) {
    case ReportPeriod::Kind::Day:
        setPeriod(k, from.addDays(direction));
        break;
    case ReportPeriod::Kind::Week:
        setPeriod(k, from.addDays(7 * direction));
        break;
    case ReportPeriod::Kind::Month:
        setPeriod(k, from.addMonths(direction));
        break;
    case ReportPeriod::Kind::Range: {
        const qint64 length = m_period.dayCount() * direction;
        setPeriod(k, m_period.first.addDays(length), m_period.last.addDays(length));
        break;
    }
    }
}

void ReportsWindow::refresh()
{
    m_tmrRefresh->stop();
    try {
        m_report = computeReport(m_operations.store(), m_period);
    } catch (const StoreError &e) {
        // A refresh runs unasked after every change: a failure is shown in
        // the window rather than in a box that would keep coming back.
        qCWarning(lcReports) << "report failed:" << e.message();
        m_report = Report {};
        m_report.period = m_period;
        showReport();
        m_lblSummary->setText(tr("The tasks could not be read: %1").arg(e.message()));
        return;
    }
    showReport();
}

void ReportsWindow::showReport()
{
    const Report &r = m_report;
    const QLocale loc = locale();
    const DayFigures &t = r.total;
    if (r.isEmpty()) {
        m_lblSummary->setText(tr("No tasks in this period."));
    } else {
        const std::optional<double> share = t.planned > 0
            ? std::optional<double>(double(t.done) / double(t.planned))
            : std::nullopt;
        m_lblSummary->setText(tr("Planned %1, done %2 (%3), %4 finished, %5 left")
                                  .arg(reporttext::minutes(t.planned), reporttext::minutes(t.done),
                                       reporttext::share(share), loc.toString(t.finished),
                                       loc.toString(t.left)));
    }

    // The tables keep every day; long periods are gathered into weeks or
    // months for the chart alone, which could not show each day.
    QList<QColor> swatches;
    for (qsizetype c = 0; c < r.categories.size(); ++c)
        swatches.append(categoryColour(r.categories[c], c));
    m_daysModel->setTable(reporttext::dayColumns(), reporttext::dayRows(r, loc), {}, true);
    m_categoriesModel->setTable(reporttext::categoryColumns(), reporttext::categoryRows(r),
                                swatches, false);

    auto showChart = [](QChartView *view, QLabel *empty, QChart *chart, const QString &why) {
        QWidget *page = view->parentWidget();
        auto *stack = qobject_cast<QStackedWidget *>(page->parentWidget());
        if (!chart) {
            empty->setText(why);
            stack->setCurrentWidget(empty);
            return;
        }
        replaceChart(view, chart);
        page->findChild<QLabel *>()->setText(legendText(*chart));
        stack->setCurrentWidget(page);
    };
    const QPalette pal = palette();
    // A chart of nothing but zeros looks broken: a sentence says why instead.
    const QString noTasks = tr("No tasks in this period.");
    const QString noBudget = tr("No time planned or done in this period: every task has a budget "
                                "of 0 minutes.");
    const QString why = r.isEmpty() ? noTasks : noBudget;
    const bool anyTime = t.planned > 0 || t.done > 0;
    const DayGrouping grouping = qMax(groupingForChart(r.period), m_coarsest);
    showChart(m_daysChart, m_daysEmpty,
              anyTime ? makeDaysChart(r, groupDays(r, grouping, loc), grouping, pal) : nullptr,
              why);
    if (anyTime) {
        // Queued: the chart that reports its new plot may be replaced in answer.
        connect(m_daysChart->chart(), &QChart::plotAreaChanged, this,
                &ReportsWindow::gatherCrowdedDays, Qt::QueuedConnection);
    }
    showChart(m_categoriesChart, m_categoriesEmpty, anyTime ? makeBudgetUseChart(r, pal) : nullptr,
              why);
    m_btnExportCsv->setEnabled(!r.isEmpty());
    m_btnExportICalendar->setEnabled(!r.isEmpty());
}

void ReportsWindow::gatherCrowdedDays()
{
    QChart *chart = m_daysChart->chart();
    const QList<QAbstractAxis *> axes
        = chart ? chart->axes(Qt::Horizontal) : QList<QAbstractAxis *>();
    const qreal plot = chart ? chart->plotArea().width() : 0;
    if (axes.isEmpty() || plot <= 0 || m_report.days.isEmpty())
        return;
    // A label turned to run upwards takes a line's height along the axis.
    // Measured in the labels' present font, which is larger for weeks than
    // for days: going back to days needs a little more room than leaving
    // them did, so the chart does not flip at one width.
    const qreal label = QFontMetricsF(axes.first()->labelsFont()).height() + 4;
    const qreal days = qreal(m_report.period.dayCount());
    DayGrouping wanted = DayGrouping::Day;
    if (plot / days < label)
        wanted = plot / (days / 7.0) < label ? DayGrouping::Month : DayGrouping::Week;
    if (wanted != m_coarsest) {
        m_coarsest = wanted;
        showReport();
    }
}

void ReportsWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // Charts draw in the colours they were made with: a new theme remakes them.
    if (event->type() == QEvent::PaletteChange && m_daysModel)
        showReport();
}

void ReportsWindow::exportAs(ExportFormat format)
{
    const QString suffix = exportFileSuffix(format);
    // The dates as the user writes them, less the characters a file name
    // cannot hold ("04/03/2024" becomes "04-03-2024").
    const auto fileDate = [this](const QDate &date) {
        QString text = locale().toString(date, QLocale::ShortFormat);
        for (const QChar c : {QLatin1Char('/'), QLatin1Char('\\'), QLatin1Char(':')})
            text.replace(c, QLatin1Char('-'));
        return text;
    };
    const QString from = fileDate(m_period.first);
    const QString name = m_period.first == m_period.last
        ? tr("Chronodeck %1", "file name of a day's export").arg(from)
        : tr("Chronodeck %1 to %2", "file name of a period's export")
              .arg(from, fileDate(m_period.last));
    const QString suggested = name + QLatin1Char('.') + suffix;
    QString path = m_prompter.saveFileName(m_exportFolder, suggested, exportFileFilter(format));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + suffix;
    QString error;
    if (!exportTasksToFile(m_operations.store(), m_period, format, path,
                           QDateTime::currentDateTimeUtc(), &error)) {
        m_prompter.tell(tr("Error - Chronodeck"), error, MessageIcon::Critical);
        return;
    }
    m_exportFolder = QFileInfo(path).absolutePath();
}

} // namespace cdk
