// The main window's grid wiring, the tracker's panel and the dialogs it opens.
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
#include "view/TaskGrid.h"
#include "view/TaskGridView.h"
#include "view/TrackingCommands.h"
#include "view/WindowCommands.h"

#include <QAccessible>
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

// ---- The grid's mouse and keys -------------------------------------------

void MainWindow::connectGrid()
{
    TaskCommands &t = *m_taskCommands;
    connect(m_grid.get(), &TaskGrid::contentChanged, this, &MainWindow::RefreshAfterSelection);
    connect(m_grid.get(), &TaskGrid::listUnreadable, this,
            [this](int code, const QString &description) {
                ShowErrorMessage(m_context.prompter,
                                 tr("The tasks of the day shown cannot be read, so the list is "
                                    "empty for now."),
                                 code, description);
            });
    // The panels follow the tasks picked, as the grid has told the shown day.
    connect(m_day, &ShownDay::selectionChanged, this, &MainWindow::RefreshAfterSelection);
    connect(m_view, &TaskGridView::keyHandled, this, &MainWindow::RefreshAfterSelection);
    connect(m_view, &TaskGridView::checkboxClicked, this,
            [this](int row) { m_taskCommands->toggleChecked(m_grid->taskIdOfRow(row)); });
    connect(m_view, &TaskGridView::spacePressed, this, [this] {
        const qint32 id = m_grid->taskIdOfRow(m_view->selectedRow());
        if (id != 0)
            m_taskCommands->toggleChecked(id);
    });
    connect(m_view, &TaskGridView::altLeftPressed, this, [&t] { triggerIfEnabled(t.mnuAddTask); });
    connect(m_view, &TaskGridView::emptyGridDoubleRelease, this,
            [&t] { triggerIfEnabled(t.mnuAddTask); });
    connect(m_view, &TaskGridView::rightReleased, this,
            [this](const QPoint &pos) { m_menus.mnuTask->popup(pos); });
    connect(m_view, &TaskGridView::rowDoubleClicked, this,
            [&t](int) { triggerIfEnabled(t.mnuEditTask); });
    connect(m_view, &TaskGridView::enterPressed, this, [&t] { triggerIfEnabled(t.mnuEditTask); });
    connect(m_view, &TaskGridView::deletePressed, this,
            [&t] { triggerIfEnabled(t.mnuDeleteTask); });
    connect(m_view, &TaskGridView::copyPressed, this,
            [&t] { t.copySelectionToClipboard(); });
    connect(m_view, &TaskGridView::headerClicked, this,
            [this](int column) { m_grid->SortByHeader(column); });
    connect(m_view, &TaskGridView::headerRightClicked, this, &MainWindow::showColumnMenu);
    connect(m_view, &TaskGridView::columnsChanged, this, [this] {
        if (!m_context.StartingUp)
            m_grid->saveColumnLayout();
    });
}

void MainWindow::showColumnMenu(const QPoint &globalPos)
{
    for (int n = 3; n <= 8; ++n) {
        auto *entry = m_pmColumns->findChild<QAction *>(QStringLiteral("mnuHideCol(%1)").arg(n));
        entry->setChecked(!m_grid->columnHiddenSetting(n));
    }
    m_pmColumns->popup(globalPos);
}

// ---- The tracker's panel and commands ------------------------------------

void MainWindow::setStartEnabled(bool enabled)
{
    m_trackingCommands->mnuStartTimer->setEnabled(enabled);
}

void MainWindow::setStopFinishEnabled(bool enabled)
{
    m_trackingCommands->mnuStopTimer->setEnabled(enabled);
    m_trackingCommands->actFinishTask->setEnabled(enabled);
}

void MainWindow::setFinishHighlighted(bool highlighted)
{
    if (m_finishHighlighted == highlighted)
        return;
    m_finishHighlighted = highlighted;
    m_toolbar.at(11)->setIcon(
        iconForKey(highlighted ? QStringLiteral("CHECKHIGH") : QStringLiteral("FINISHIT")));
}

void MainWindow::setTrackingCaption(const QString &text)
{
    if (m_lblTracking->text() == text)
        return;
    m_lblTracking->setText(text);
    // A turn of the tracker ("Tracking finished: ") must reach a screen
    // reader while the focus is elsewhere: the panel is renamed after it,
    // with the task, and the change is raised as an alert.
    m_gpCurTask->setAccessibleName(text + QLatin1Char(' ') + m_gpCurTaskLbl->text());
    QAccessibleEvent alert(m_gpCurTask, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void MainWindow::setCurrentTaskText(const QString &text, bool asLink)
{
    if (m_gpCurTaskLbl->text() != text) {
        m_gpCurTaskLbl->setText(text);
        m_gpCurTask->setAccessibleName(m_lblTracking->text() + QLatin1Char(' ') + text);
    }
    QFont font = m_gpCurTaskLbl->font();
    font.setUnderline(asLink);
    m_gpCurTaskLbl->setFont(font);
    m_gpCurTaskLbl->setCursor(asLink ? Qt::PointingHandCursor : Qt::ArrowCursor);
    m_gpCurTaskLbl->setToolTip(asLink ? tr("Show this task") : QString());
    if (!asLink && m_gpCurTaskLbl->fontMetrics().horizontalAdvance(text) > m_gpCurTaskLbl->width())
        m_gpCurTaskLbl->setToolTip(text);
    if (asLink != m_currentTaskIsLink) {
        m_currentTaskIsLink = asLink;
        applyTrackerColours();
    }
}

void MainWindow::setStatusText(const QString &text)
{
    m_lblStatus->setText(text);
}

void MainWindow::setPanelColours(const QColor &colour, const QColor &stateColour)
{
    if (colour == m_gpCurTask->color1() && stateColour == m_gpCurTask->color2())
        return;
    m_gpCurTask->setColors(colour, stateColour);
    applyTrackerColours();
}

void MainWindow::applyTrackerColours()
{
    // The gradient into the state colour stays in the panel's strip; the
    // texts lie on its first colour alone, solid, so one text colour reads
    // on all of it whatever the state: the lightest that reads, and for the
    // tracked task the link blue, lightened or darkened until it reads.
    const QColor under = m_gpCurTask->color1();
    const QColor text = readableTextOn(under, QColor(Qt::white));
    for (QLabel *label : {m_lblTracking, static_cast<QLabel *>(m_gpCurTaskLbl), m_lblStatus}) {
        QPalette own; // no role of its own but the text: the window's palette
        own.setColor(QPalette::WindowText,
                     label == m_gpCurTaskLbl && m_currentTaskIsLink
                         ? readableTintOn(under, QColor(0, 0, 255))
                         : text);
        label->setPalette(own);
    }
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Until the tracker colours the panel it follows the palette, and so
    // must its texts when the scheme is switched while the program runs.
    if (event->type() == QEvent::PaletteChange && m_gpCurTask)
        applyTrackerColours();
}

void MainWindow::flashTaskbar()
{
    FlashWindowUntilForeground(this);
}

void MainWindow::showTrackedTask()
{
    const TimeTracker &tracker = m_context.tracker;
    if (!tracker.TrackingActive)
        return;
    if (tracker.TrackedList != CurrentListKey()) {
        const QDate date = DateFromListKey(tracker.TrackedList);
        if (date.isValid())
            showDay(date);
    }
    m_grid->selectTask(tracker.TrackedTaskID);
    RefreshAfterSelection();
}

void MainWindow::showMainWindow()
{
    mnuShow_Click();
}

// ---- Dialogs ---------------------------------------------------------------

AddTaskDialog &MainWindow::taskDialog()
{
    // Built on first use: no one can tell, and start-up stays quick.
    if (!m_taskDialog)
        m_taskDialog = new AddTaskDialog(m_context.operations, m_context.prompter,
                                         m_context.clock, *this, *m_day, this);
    return *m_taskDialog;
}

void MainWindow::openCategoryManager(QWidget *parent)
{
    CategoriesDialog dialog(m_context.operations, m_context.prompter, *this, parent);
    // Names and colours of the day's rows change only when a category did.
    if (dialog.ShowEx(parent))
        m_grid->reload();
}

int &MainWindow::modalDialogDepth()
{
    return m_context.ModalDialogDepth;
}

} // namespace cdk
