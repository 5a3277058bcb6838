#include "view/MainWindow.h"

#include "base/Functions.h"
#include "base/Log.h"
#include "controls/GradientPanel.h"
#include "controls/Icons.h"
#include "controls/ImageButton.h"
#include "controls/WindowServices.h"
#include "editing/AddTaskDialog.h"
#include "settings/GridColumns.h"
#include "settings/WindowPlacement.h"
#include "store/Vocabulary.h"
#include "tracking/TrackingController.h"
#include "view/AppContext.h"
#include "view/ClickableLabel.h"
#include "view/DatePicker.h"
#include "view/TaskGrid.h"
#include "view/TaskGridView.h"

#include <QApplication>
#include <QCloseEvent>
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
};

// The toolbar's places: index, tag (its command key) and tooltip. Places 4
// and 8 are the gaps between groups; the projects button has no command and
// stays hidden.
constexpr ToolbarButton toolbarButtons[] = {
    {5, "MANAGEPROJECTS", "Manage Projects"},
    {0, "ADDTASK", "Add New Task"},
    {1, "EDITTASK", "Edit Selected Task"},
    {2, "DELETETASK", "Delete Selected Task"},
    {3, "STARTTIME", "Start time tracking the selected task"},
    {10, "STOPTIMER", "Stop time tracking"},
    {11, "FINISHIT", "Finish the task and stop time tracking"},
    {6, "MANAGECATEGORIES", "Manage Categories"},
    {7, "SETTINGS", "Display Settings"},
    {9, "PREVIOUSDAY", "Move to the previous day"},
    {12, "NEXTDAY", "Move to the next day"},
    {13, "TODAY", "View Today's Task List"},
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
    setWindowIcon(iconForKey(QStringLiteral("APP")));
    m_actions.build(menuBar(), this);

    m_gpBackGrad = new GradientPanel(this);
    m_gpBackGrad->setObjectName(QStringLiteral("gpBackGrad"));
    setCentralWidget(m_gpBackGrad);
    buildToolbar(m_gpBackGrad);
    buildPanels();

    m_grid = std::make_unique<TaskGrid>(m_context.store, m_context.settings, m_view);
    m_tracking = std::make_unique<TrackingController>(this, m_context.tracker, *this,
                                                      m_context.settings, m_context.sound,
                                                      m_context.prompter, m_context.tray);

    m_pmColumns = new QMenu(this);
    m_pmColumns->setObjectName(QStringLiteral("pmColumns"));
    const QStringList columnCaptions = {QStringLiteral("&Duration"),   QStringLiteral("&Time Done"),
                                        QStringLiteral("P&ercent Done"), QStringLiteral("&Status"),
                                        QStringLiteral("&Category"),   QStringLiteral("&Priority")};
    for (int n = 3; n <= 8; ++n) {
        QAction *a = m_pmColumns->addAction(columnCaptions.at(n - 3));
        a->setObjectName(QStringLiteral("mnuHideCol(%1)").arg(n));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, n](bool checked) {
            m_grid->setColumnHidden(n, !checked);
        });
    }

    connectCommands();
    connectGrid();
    // The window sees keys before its controls do.
    qApp->installEventFilter(this);

    m_toolbar.at(10)->setEnabled(false);
    m_toolbar.at(11)->setEnabled(false);
    m_actions.mnuStopTimer->setEnabled(false);
    // A drag delivers many resize events; the position is written once it
    // settles, each write going to the file at once.
    m_savePosition = new QTimer(this);
    m_savePosition->setSingleShot(true);
    m_savePosition->setInterval(250);
    connect(m_savePosition, &QTimer::timeout, this, &MainWindow::saveWindowPosition);

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
        button->setToolTip(QString::fromLatin1(b.toolTip));
        button->setIcon(iconForKey(tag));
        button->setFocusPolicy(Qt::NoFocus);
        const int index = b.index;
        connect(button, &QAbstractButton::clicked, this, [this, index] { isbToolbar_Click(index); });
        m_toolbar.at(index) = button;
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
    connect(m_dtpView, &DatePicker::dateChanged, this, [this] { dtpView_Change(); });

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
    auto *current = new QGridLayout(m_gpCurTask);
    current->setContentsMargins(10, 6, 10, 6);
    current->setHorizontalSpacing(8);
    current->setVerticalSpacing(2);
    m_lblTracking = new QLabel(QStringLiteral("Currently selected:"), m_gpCurTask);
    m_lblTracking->setObjectName(QStringLiteral("lblTracking"));
    QFont bold = m_lblTracking->font();
    bold.setBold(true);
    m_lblTracking->setFont(bold);
    m_gpCurTaskLbl = new ClickableLabel(m_gpCurTask);
    m_gpCurTaskLbl->setObjectName(QStringLiteral("gpCurTaskLbl"));
    m_gpCurTaskLbl->setTextFormat(Qt::PlainText);
    m_gpCurTaskLbl->setFont(bold);
    m_gpCurTaskLbl->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_lblStatus = new QLabel(m_gpCurTask);
    m_lblStatus->setObjectName(QStringLiteral("lblStatus"));
    current->addWidget(m_lblTracking, 0, 0);
    current->addWidget(m_gpCurTaskLbl, 0, 1);
    current->addWidget(m_lblStatus, 1, 0, 1, 2);
    current->setColumnStretch(1, 1);
    connect(m_gpCurTaskLbl, &ClickableLabel::clicked, this, &MainWindow::gpCurTaskLbl_Click);

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

QRect MainWindow::availableScreenGeometry() const
{
    const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
}

QDate MainWindow::shownDate() const
{
    return m_dtpView->date();
}

QString MainWindow::CurrentListKey() const
{
    return DayListKey(m_dtpView->date());
}

bool MainWindow::showsToday() const
{
    return m_dtpView->date() == m_context.clock.today();
}

// ---- Refresh routines ----------------------------------------------------

void MainWindow::RefreshShownList()
{
    m_grid->RefreshTaskList(CurrentListKey(), true, true, true);
}

void MainWindow::RefreshAfterSelection()
{
    if (m_context.ModalDialogDepth <= 0)
        m_grid->recordSelectedRow();
    UpdateCommandStates();
    m_tracking->RefreshTrackingDisplay();
    refreshSummary();
}

void MainWindow::UpdateCommandStates()
{
    const int n = m_grid->selectedRowCount();
    m_actions.mnuEditTask->setEnabled(n == 1);
    m_toolbar.at(1)->setEnabled(n == 1);
    m_actions.mnuBatchEdit->setEnabled(n >= 1);
    m_actions.mnuDeleteTask->setEnabled(n >= 1);
    m_toolbar.at(2)->setEnabled(n >= 1);

    if (!m_context.tracker.TrackingActive) {
        bool canStart = false;
        const int row = m_grid->recordedSelectedRow();
        if (n == 1 && row > 0 && row <= m_grid->rowCount())
            canStart = m_grid->cellText(row, ColTimeNeeded) != m_grid->cellText(row, ColTimeDone);
        setStartEnabled(canStart);
        m_actions.mnuStopTimer->setEnabled(false);
    }

    for (QAction *a : {m_actions.mnuSetTaskState->menuAction(), m_actions.mnuSetTimeDone,
                       m_actions.mnuResetTimer, m_actions.mnuMarkDone, m_actions.mnuMarkUndone,
                       m_actions.mnuMoveTasksToAnyDay, m_actions.mnuMoveTasksToNextDay,
                       m_actions.mnuMoveTasksToPreviousDay})
        a->setEnabled(n >= 1);
    m_actions.mnuSetTaskPriority->menuAction()->setEnabled(n >= 1);
    m_actions.mnuSetTaskCategory->setEnabled(n >= 1);
}

void MainWindow::refreshSummary()
{
    const DaySummary s = m_grid->summary(m_dtpView->date(), m_context.clock.today());
    m_gpInfos->setCaption(s.caption);
    m_prgBar->setVisible(s.progressVisible);
    if (s.progressVisible) {
        m_prgBar->setMaximum(s.progressMaximum);
        m_prgBar->setValue(s.progressValue);
    }
    m_lblDone->setVisible(s.labelsVisible);
    m_lblLeft->setVisible(s.labelsVisible);
    m_lblDone->setText(s.doneText);
    m_lblLeft->setText(s.leftText);
}

void MainWindow::RefreshTLabel()
{
    m_toolbar.at(13)->setEnabled(m_dtpView->date() != m_context.clock.today());
}

void MainWindow::refreshTaskRow(qint32 id, const QString &list)
{
    m_grid->RefreshTaskRow(id, list);
}

void MainWindow::refreshTaskList(bool keepSelection)
{
    m_grid->RefreshTaskList(CurrentListKey(), keepSelection, keepSelection, true);
}

// ---- Window state --------------------------------------------------------

void MainWindow::mnuShow_Click()
{
    const bool wasMaximized = m_context.settings.LoadLong(SettingsSection::WindowPos,
                                                          QStringLiteral("frmMainWasMaximized"))
        == 1;
    RestoreAndActivate(false);
    if (wasMaximized)
        showMaximized();
}

void MainWindow::RestoreAndActivate(bool toggle)
{
    if (toggle && isVisible() && !isMinimized() && isActiveWindow()) {
        mnuHideToSystemTray_Click();
        return;
    }
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void MainWindow::showMainWindow()
{
    mnuShow_Click();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_context.Exiting) {
        // The close box only hides the window; the program goes on in the tray.
        event->ignore();
        mnuHideToSystemTray_Click();
        return;
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (isVisible() && !isMinimized() && !m_context.StartingUp && !m_context.Exiting)
        m_savePosition->start();
}

void MainWindow::saveWindowPosition()
{
    if (isVisible() && !isMinimized() && !m_context.StartingUp && !m_context.Exiting)
        SaveWindowPos(m_context.settings, this, false);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == this && isActiveWindow()) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (event->type() == QEvent::ShortcutOverride) {
                // Claim the window's own keys before a child's shortcut (an
                // editor's undo or cut) does; the key press that follows runs
                // the command.
                const auto mods = key->modifiers() & ~Qt::KeypadModifier;
                if (mods == Qt::ControlModifier
                    && (key->key() == Qt::Key_Z || key->key() == Qt::Key_X)) {
                    event->accept();
                    return true;
                }
                return false;
            }
            if (handleWindowKey(key))
                return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::handleWindowKey(QKeyEvent *event)
{
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_F4 && mods == Qt::AltModifier) {
        mnuExit_Click();
        return true;
    }
    if (event->key() == Qt::Key_Escape && mods == Qt::NoModifier) {
        // A popup open in the window (calendar, menu) takes its own Esc.
        if (QApplication::activePopupWidget())
            return false;
        mnuHideToSystemTray_Click();
        return true;
    }
    if (mods == Qt::ControlModifier && event->key() == Qt::Key_Z) {
        isbToolbar_Click(9);
        return true;
    }
    if (mods == Qt::ControlModifier && event->key() == Qt::Key_X) {
        isbToolbar_Click(12);
        return true;
    }
    return false;
}

AddTaskDialog &MainWindow::taskDialog()
{
    // Built on first use: no one can tell, and start-up stays quick.
    if (!m_taskDialog)
        m_taskDialog = new AddTaskDialog(m_context.store, m_context.prompter, m_context.clock,
                                         *this, this);
    return *m_taskDialog;
}

} // namespace cdk
