#include "view/MainWindow.h"

#include "base/Functions.h"
#include "base/Log.h"
#include "controls/Contrast.h"
#include "controls/GradientPanel.h"
#include "controls/Icons.h"
#include "controls/ImageButton.h"
#include "controls/WindowServices.h"
#include "core/ShownDay.h"
#include "core/TimeTracker.h"
#include "desktop/TrayIcon.h"
#include "editing/AddTaskDialog.h"
#include "editing/CategoriesDialog.h"
#include "settings/GridColumns.h"
#include "settings/WindowPlacement.h"
#include "store/Vocabulary.h"
#include "tracking/TrackingController.h"
#include "view/AppContext.h"
#include "view/ClickableLabel.h"
#include "controls/DatePicker.h"
#include "view/TaskCommands.h"
#include "view/SyncRunner.h"
#include "view/TaskGrid.h"
#include "view/TaskGridView.h"
#include "view/TrackingCommands.h"
#include "view/WindowCommands.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace cdk {

namespace {

struct ToolbarButton
{
    int index;
    const char *tag;
    const char *toolTip;
    const char *action; // objectName of the command it runs
};

// The toolbar's places: index, tag (its command key) and tooltip. Places 4
// and 8 are the gaps between groups; the projects button has no command and
// stays hidden. The tooltips are translated where the buttons are made, in
// the window's own context.
constexpr ToolbarButton toolbarButtons[] = {
    {5, "MANAGEPROJECTS", QT_TRANSLATE_NOOP("cdk::MainWindow", "Manage Projects"), nullptr},
    {0, "ADDTASK", QT_TRANSLATE_NOOP("cdk::MainWindow", "Add New Task"), "mnuAddTask"},
    {1, "EDITTASK", QT_TRANSLATE_NOOP("cdk::MainWindow", "Edit Selected Task"), "mnuEditTask"},
    {2, "DELETETASK", QT_TRANSLATE_NOOP("cdk::MainWindow", "Delete Selected Task"),
     "mnuDeleteTask"},
    {3, "STARTTIME", QT_TRANSLATE_NOOP("cdk::MainWindow", "Start time tracking the selected task"),
     "mnuStartTimer"},
    {10, "STOPTIMER", QT_TRANSLATE_NOOP("cdk::MainWindow", "Stop time tracking"), "mnuStopTimer"},
    {11, "FINISHIT", QT_TRANSLATE_NOOP("cdk::MainWindow", "Finish the task and stop time tracking"),
     "actFinishTask"},
    {6, "MANAGECATEGORIES", QT_TRANSLATE_NOOP("cdk::MainWindow", "Manage Categories"),
     "mnuManageCategories"},
    {7, "SETTINGS", QT_TRANSLATE_NOOP("cdk::MainWindow", "Display Settings"), "mnuSettings"},
    {9, "PREVIOUSDAY", QT_TRANSLATE_NOOP("cdk::MainWindow", "Move to the previous day"),
     "actPreviousDay"},
    {12, "NEXTDAY", QT_TRANSLATE_NOOP("cdk::MainWindow", "Move to the next day"), "actNextDay"},
    {13, "TODAY", QT_TRANSLATE_NOOP("cdk::MainWindow", "View Today's Task List"), "actToday"},
};

QFrame *separator(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

MainWindow::MainWindow(AppContext &context, QWidget *parent)
    : QMainWindow(parent)
    , m_context(context)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(programName());
    // The window icon is drawn at every size a desktop may ask for; that
    // waits until the window is on screen (see Application::Main).

    m_day = new ShownDay(this);
    m_taskCommands = new TaskCommands(m_context, *m_day, *this, *this, this);
    m_trackingCommands = new TrackingCommands(m_context, *m_day, *this, this);
    m_windowCommands = new WindowCommands(m_context, *m_day, *this, this);
    connect(m_windowCommands, &WindowCommands::exitRequested, this, &MainWindow::exitRequested);
    buildMenus();

    m_gpBackGrad = new GradientPanel(this);
    m_gpBackGrad->setObjectName(QStringLiteral("gpBackGrad"));
    setCentralWidget(m_gpBackGrad);
    buildToolbar(m_gpBackGrad);
    buildPanels();

    m_day->setDate(m_dtpView->date());
    m_grid = std::make_unique<TaskGrid>(m_context.operations, m_context.settings, *m_day, m_view);
    m_tracking = std::make_unique<TrackingController>(this, m_context.operations, *m_day, *this,
                                                      m_context.settings, m_context.sound,
                                                      m_context.prompter, m_context.tray,
                                                      m_context.notifications,
                                                      m_context.presence);
    // The tray tells how the last sync went, once sync is set up.
    SyncRunner &sync = m_windowCommands->syncRunner();
    const auto showSyncState = [this, &sync](const QString &state) {
        m_tracking->setToolTipFooter(sync.isSetUp() ? tr("Sync: %1").arg(state) : QString());
    };
    connect(&sync, &SyncRunner::stateChanged, this, showSyncState);
    showSyncState(sync.stateText());
    // Tracking started, stopped or moved by any front end changes what the
    // commands may do.
    connect(&m_context.tracker, &TimeTracker::trackingChanged, this,
            &MainWindow::updateCommandStates);

    m_pmColumns = new QMenu(this);
    m_pmColumns->setObjectName(QStringLiteral("pmColumns"));
    const QStringList columnCaptions = {tr("&Duration"), tr("&Time Done"), tr("P&ercent Done"),
                                        tr("&Status"),   tr("&Category"),  tr("&Priority")};
    for (int n = 3; n <= 8; ++n) {
        QAction *a = m_pmColumns->addAction(columnCaptions.at(n - 3));
        a->setObjectName(QStringLiteral("mnuHideCol(%1)").arg(n));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, n](bool checked) {
            m_grid->setColumnHidden(n, !checked);
        });
    }

    connectGrid();
    // The window sees keys before its controls do.
    qApp->installEventFilter(this);

    // A drag delivers many resize events; the position is written once it
    // settles, each write going to the file at once.
    m_savePosition = new QTimer(this);
    m_savePosition->setSingleShot(true);
    m_savePosition->setInterval(250);
    connect(m_savePosition, &QTimer::timeout, this, &MainWindow::saveWindowPosition);

    m_refill = new QTimer(this);
    m_refill->setSingleShot(true);
    m_refill->setInterval(0);
    connect(m_refill, &QTimer::timeout, this, [this] {
        const DisplayFlags &wanted = m_context.settings.flags();
        const DisplayFlags &shown = m_grid->model()->displayFlags();
        if (wanted.DisplayDoneTasksAtTheEnd != shown.DisplayDoneTasksAtTheEnd
            || wanted.DisableTaskColoring != shown.DisableTaskColoring)
            m_grid->reload();
    });
    connect(&m_context.settings, &clsSettings::changed, this, &MainWindow::settingChanged);
    if (m_context.tray)
        connect(m_context.tray, &TrayIcon::availableChanged, this,
                &MainWindow::trayAvailableChanged);

    resize(800, 540);
    m_view->setFocus();
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
    // Hiding the children while the window goes away resizes the header; no
    // layout is saved from a grid that is already gone.
    disconnect(m_view, nullptr, this, nullptr);
}

void MainWindow::buildMenus()
{
    auto top = [this](const char *name, const QString &caption) {
        QMenu *menu = menuBar()->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    auto sub = [](QMenu *parent, const char *name, const QString &caption, const char *icon) {
        QMenu *menu = parent->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(name));
        if (icon)
            menu->setIcon(iconForKey(QString::fromLatin1(icon)));
        return menu;
    };
    auto separator = [](QMenu *menu, const char *name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };
    const TaskCommands &t = *m_taskCommands;
    const TrackingCommands &r = *m_trackingCommands;
    const WindowCommands &w = *m_windowCommands;

    m_menus.mnuFile = top("mnuFile", tr("&File"));
    m_menus.mnuFile->addActions({w.mnuCreateBackup, w.mnuRestoreBackup});
    separator(m_menus.mnuFile, "mnuSep");
    m_menus.mnuFile->addActions({w.mnuSettings, w.mnuSync});
    separator(m_menus.mnuFile, "mnuSep1");
    m_menus.mnuFile->addActions({w.mnuHideToSystemTray, w.mnuExit});

    m_menus.mnuTask = top("mnuTask", tr("&Task"));
    m_menus.mnuTask->addActions({t.mnuUndo, t.mnuRedo});
    separator(m_menus.mnuTask, "mnuSepUndo");
    m_menus.mnuTask->addActions({t.mnuAddTask, t.mnuEditTask, t.mnuDeleteTask,
                                 t.mnuManageCategories, t.mnuRecurrentTasks});
    separator(m_menus.mnuTask, "mnuSep4");
    m_menus.mnuTask->addActions({t.mnuMarkDone, t.mnuMarkUndone});
    separator(m_menus.mnuTask, "mnuSeperator789");
    m_menus.mnuBatchEdit = sub(m_menus.mnuTask, "mnuBatchEdit", tr("&Batch Modify"), nullptr);
    m_menus.mnuSetTaskState =
        sub(m_menus.mnuBatchEdit, "mnuSetTaskState", tr("&State"), "FLAG");
    m_menus.mnuSetTaskState->addActions(t.mnuTaskState);
    m_menus.mnuSetTaskPriority =
        sub(m_menus.mnuBatchEdit, "mnuSetTaskPriority", tr("&Priority"), "PRIORITY");
    m_menus.mnuSetTaskPriority->addActions(t.mnuPriority);
    m_menus.mnuBatchEdit->addActions({t.mnuSetTaskCategory, t.mnuSetTimeDone, t.mnuResetTimer});
    separator(m_menus.mnuTask, "mnuSep44");
    m_menus.mnuTask->addActions(
        {t.mnuMoveTasksToNextDay, t.mnuMoveTasksToPreviousDay, t.mnuMoveTasksToAnyDay,
         t.mnuReviewDay});

    m_menus.mnuTimer = top("mnuTimer", tr("T&ime Tracking"));
    m_menus.mnuTimer->addActions({r.mnuStartTimer, r.mnuStopTimer});
    separator(m_menus.mnuTimer, "mnuSepReports");
    m_menus.mnuTimer->addAction(r.mnuReports);

    m_menus.mnuHelp = top("mnuHelp", tr("&Help"));
    // The help file entry has no command here: it is left out.
    m_menus.mnuHelp->addAction(w.mnuViewTheTutorial);
    separator(m_menus.mnuHelp, "mnuSep3");
    m_menus.mnuHelp->addAction(w.mnuAbout);
    // The toolbar-only commands live on the window, so their keys work too.
    addActions({r.actFinishTask, w.actPreviousDay, w.actNextDay, w.actToday});
}

void MainWindow::buildToolbar(QWidget *parent)
{
    m_gpToolbar = new GradientPanel(parent);
    m_gpToolbar->setObjectName(QStringLiteral("gpToolbar"));
    auto *row = new QHBoxLayout(m_gpToolbar);
    row->setContentsMargins(6, 4, 6, 4);
    row->setSpacing(2);
    for (const ToolbarButton &b : toolbarButtons) {
        auto *button = new isButton(m_gpToolbar);
        const QString tag = QString::fromLatin1(b.tag);
        button->setObjectName(QStringLiteral("isbToolbar(%1)").arg(b.index));
        button->setTag(tag);
        const QString toolTip = QCoreApplication::translate("cdk::MainWindow", b.toolTip);
        button->setToolTip(toolTip);
        // The button shows a picture only: a screen reader reads its command.
        button->setAccessibleName(toolTip);
        button->setIcon(iconForKey(tag));
        button->setFocusPolicy(Qt::NoFocus);
        // The button runs its command and is enabled exactly when it is.
        if (QAction *action = b.action ? findChild<QAction *>(QString::fromLatin1(b.action))
                                       : nullptr) {
            button->setEnabled(action->isEnabled());
            connect(action, &QAction::changed, button,
                    [button, action] { button->setEnabled(action->isEnabled()); });
            connect(button, &QAbstractButton::clicked, action,
                    [action] { triggerIfEnabled(action); });
        }
        m_toolbar.at(b.index) = button;
    }
    m_toolbar.at(5)->hide();
    for (int i : {0, 1, 2})
        row->addWidget(m_toolbar.at(i));
    row->addWidget(separator(m_gpToolbar));
    for (int i : {3, 10, 11})
        row->addWidget(m_toolbar.at(i));
    row->addWidget(separator(m_gpToolbar));
    for (int i : {6, 7})
        row->addWidget(m_toolbar.at(i));
    row->addStretch(1);

    m_dtpView = new DatePicker(m_gpToolbar);
    connect(m_dtpView, &DatePicker::dateChanged, this, &MainWindow::dtpView_Change);

    row->addWidget(m_toolbar.at(9));
    row->addWidget(m_dtpView);
    row->addWidget(m_toolbar.at(12));
    row->addWidget(m_toolbar.at(13));
}

void MainWindow::buildPanels()
{
    auto *page = new QVBoxLayout(m_gpBackGrad);
    page->setContentsMargins(0, 0, 0, 6);
    page->setSpacing(6);
    page->addWidget(m_gpToolbar);

    m_gpCurTask = new GradientPanel(m_gpBackGrad);
    m_gpCurTask->setObjectName(QStringLiteral("gpCurTask"));
    m_gpCurTask->setAngle(0);
    m_gpCurTask->setBorder(true);
    // The state colour shows in a strip at the right, clear of the texts.
    m_gpCurTask->setGradientStrip(Qt::RightEdge, m_gpCurTask->fontMetrics().height() * 6);
    auto *current = new QGridLayout(m_gpCurTask);
    current->setContentsMargins(10, 6, 10, 6);
    current->setHorizontalSpacing(8);
    current->setVerticalSpacing(2);
    m_lblTracking = new QLabel(tr("Currently selected:"), m_gpCurTask);
    m_lblTracking->setObjectName(QStringLiteral("lblTracking"));
    QFont bold = m_lblTracking->font();
    bold.setBold(true);
    m_lblTracking->setFont(bold);
    m_gpCurTaskLbl = new ClickableLabel(m_gpCurTask);
    m_gpCurTaskLbl->setObjectName(QStringLiteral("gpCurTaskLbl"));
    m_gpCurTaskLbl->setTextFormat(Qt::PlainText);
    m_gpCurTaskLbl->setElided(true);
    m_gpCurTaskLbl->setFont(bold);
    m_gpCurTaskLbl->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_lblStatus = new QLabel(m_gpCurTask);
    m_lblStatus->setObjectName(QStringLiteral("lblStatus"));
    current->addWidget(m_lblTracking, 0, 0);
    current->addWidget(m_gpCurTaskLbl, 0, 1);
    current->addWidget(m_lblStatus, 1, 0, 1, 2);
    current->setColumnStretch(1, 1);
    connect(m_gpCurTaskLbl, &ClickableLabel::clicked, this,
            [this] { m_tracking->currentTaskClicked(); });

    m_view = new TaskGridView(m_gpBackGrad);

    m_gpInfos = new GradientPanel(m_gpBackGrad);
    m_gpInfos->setObjectName(QStringLiteral("gpInfos"));
    m_gpInfos->setAngle(90);
    m_gpInfos->setBorder(true);
    auto *infos = new QHBoxLayout(m_gpInfos);
    infos->setContentsMargins(6, 4, 6, 4);
    infos->addStretch(1);
    m_gpInfoInfo = new GradientPanel(m_gpInfos);
    m_gpInfoInfo->setObjectName(QStringLiteral("gpInfoInfo"));
    m_gpInfoInfo->setAutoFillBackground(false);
    auto *numbers = new QHBoxLayout(m_gpInfoInfo);
    numbers->setContentsMargins(0, 0, 0, 0);
    numbers->setSpacing(10);
    m_lblDone = new QLabel(m_gpInfoInfo);
    m_lblDone->setObjectName(QStringLiteral("lblDone"));
    m_prgBar = new QProgressBar(m_gpInfoInfo);
    m_prgBar->setObjectName(QStringLiteral("prgBar"));
    m_prgBar->setTextVisible(false);
    m_prgBar->setAccessibleName(tr("Time done of the day's budget"));
    m_prgBar->setFixedWidth(140);
    m_prgBar->setMaximumHeight(14);
    m_lblLeft = new QLabel(m_gpInfoInfo);
    m_lblLeft->setObjectName(QStringLiteral("lblLeft"));
    numbers->addWidget(m_lblDone);
    numbers->addWidget(m_prgBar);
    numbers->addWidget(m_lblLeft);
    infos->addWidget(m_gpInfoInfo);

    auto *body = new QVBoxLayout;
    body->setContentsMargins(6, 0, 6, 0);
    body->setSpacing(6);
    body->addWidget(m_gpCurTask);
    body->addWidget(m_view, 1);
    body->addWidget(m_gpInfos);
    page->addLayout(body, 1);
}

// ---- Start-up steps ------------------------------------------------------

void MainWindow::applyGridAppearance()
{
    m_grid->applyAppearance(m_context.settings.gridAppearance(m_view->font().pointSize()));
}

void MainWindow::SetUpGridColumns()
{
    m_grid->SetUpGridColumns();
}

void MainWindow::settingChanged(SettingsSection section, const QString &key)
{
    const auto is = [&](Setting setting) {
        const SettingInfo &info = settingInfo(setting);
        return info.section == section && key.compare(info.key, Qt::CaseInsensitive) == 0;
    };
    // Whoever writes them (the settings dialog, above all), the grid shows
    // the look the settings ask for; the rows are rebuilt only when what
    // they show or their grouping changed.
    if (is(Setting::HideGridlines) || is(Setting::TaskViewFontSizeSize))
        applyGridAppearance();
    else if (is(Setting::DisplayDoneTasksAtTheEnd) || is(Setting::DisableTaskColoring))
        m_refill->start();
}

void MainWindow::LoadSortSettings()
{
    m_grid->LoadSortSettings();
}

void MainWindow::showDay(const QDate &date)
{
    const QSignalBlocker block(m_dtpView);
    m_dtpView->setDate(date);
    dtpView_Change();
}

void MainWindow::dtpView_Change()
{
    m_day->setDate(m_dtpView->date());
    m_grid->showList(m_day->listKey());
    RefreshTLabel();
}

QRect MainWindow::availableScreenGeometry() const
{
    const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
}

QString MainWindow::CurrentListKey() const
{
    return m_day->listKey();
}

// ---- Refresh routines ----------------------------------------------------

void MainWindow::RefreshAfterSelection()
{
    updateCommandStates();
    m_tracking->RefreshTrackingDisplay();
    RefreshSummary();
}

void MainWindow::updateCommandStates()
{
    const QList<TaskRecord> selected = m_grid->selectedTasks();
    const int n = int(selected.size());
    m_taskCommands->updateStates(n);
    for (QMenu *menu : {m_menus.mnuBatchEdit, m_menus.mnuSetTaskState, m_menus.mnuSetTaskPriority})
        menu->menuAction()->setEnabled(n >= 1);
    m_trackingCommands->updateStates(selected);
}

void MainWindow::RefreshSummary()
{
    const DaySummary s = m_grid->summary(m_day->date(), m_context.clock.today());
    m_gpInfos->setCaption(s.caption);
    // The caption is painted: assistive technology reads it as the panel's name.
    m_gpInfos->setAccessibleName(s.caption);
    m_prgBar->setVisible(s.progressVisible);
    if (s.progressVisible) {
        m_prgBar->setMaximum(s.progressMaximum);
        m_prgBar->setValue(s.progressValue);
    }
    m_lblDone->setVisible(s.labelsVisible);
    m_lblLeft->setVisible(s.labelsVisible);
    m_summary = s;
    fitSummary();
}

void MainWindow::fitSummary()
{
    // The caption on the left is never covered: a narrow window first shows
    // the times as hours:minutes, then drops the progress bar, then cuts the
    // words with an ellipsis.
    const QMargins margins = m_gpInfos->layout()->contentsMargins();
    const int captionWidth = m_gpInfos->caption().isEmpty()
                                 ? 0
                                 : m_gpInfos->sizeHint().width();
    const int room = m_gpInfos->width() - margins.left() - margins.right() - captionWidth;
    const int spacing = m_gpInfoInfo->layout()->spacing();
    const QFontMetrics metrics = m_lblDone->fontMetrics();
    const auto textWidth = [&](const QString &done, const QString &left) {
        return m_summary.labelsVisible
                   ? metrics.horizontalAdvance(done) + metrics.horizontalAdvance(left) + spacing
                   : 0;
    };
    const int barWidth = m_summary.progressVisible ? m_prgBar->width() + spacing : 0;

    QString done = m_summary.doneText;
    QString left = m_summary.leftText;
    bool bar = m_summary.progressVisible;
    if (textWidth(done, left) + barWidth > room) {
        done = m_summary.shortDoneText;
        left = m_summary.shortLeftText;
        if (textWidth(done, left) + barWidth > room) {
            bar = false;
            const int half = qMax(0, (room - spacing) / 2);
            if (textWidth(done, left) > room) {
                done = metrics.elidedText(done, Qt::ElideRight, half);
                left = metrics.elidedText(left, Qt::ElideRight, half);
            }
        }
    }
    m_prgBar->setVisible(bar);
    m_lblDone->setText(done);
    m_lblLeft->setText(left);
}

void MainWindow::RefreshTLabel()
{
    m_windowCommands->actToday->setEnabled(m_day->date() != m_context.clock.today());
}

} // namespace cdk
