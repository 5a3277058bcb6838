// The main window as the tracker and the task dialogs see it: the recorded
// selection of the grid, the refresh routines, the timer commands and the
// current-task panel.
#include "controls/Icons.h"
#include "controls/ImageButton.h"
#include "controls/WindowServices.h"
#include "controls/GradientPanel.h"
#include "store/Vocabulary.h"
#include "tracking/TrackingController.h"
#include "view/AppContext.h"
#include "view/ClickableLabel.h"
#include "view/MainWindow.h"
#include "view/TaskGrid.h"

#include <QLabel>

namespace cdk {

// ---- TrackingHost ----------------------------------------------------------

int MainWindow::selectedRowCount() const
{
    return m_grid->selectedRowCount();
}

qint32 MainWindow::selectedTaskID() const
{
    const int row = m_grid->recordedSelectedRow();
    return row > 0 && row <= m_grid->rowCount() ? m_grid->taskIdOfRow(row) : 0;
}

QString MainWindow::selectedSubjectText() const
{
    const int row = m_grid->recordedSelectedRow();
    return row > 0 && row <= m_grid->rowCount() ? m_grid->cellText(row, ColSubject) : QString();
}

QString MainWindow::selectedTimeNeededText() const
{
    const int row = m_grid->recordedSelectedRow();
    return row > 0 && row <= m_grid->rowCount() ? m_grid->cellText(row, ColTimeNeeded) : QString();
}

QString MainWindow::selectedTimeDoneText() const
{
    const int row = m_grid->recordedSelectedRow();
    return row > 0 && row <= m_grid->rowCount() ? m_grid->cellText(row, ColTimeDone) : QString();
}

int MainWindow::SortColumn() const
{
    return m_grid->SortColumn();
}

void MainWindow::setStartEnabled(bool enabled)
{
    m_toolbar.at(3)->setEnabled(enabled);
    m_actions.mnuStartTimer->setEnabled(enabled);
}

void MainWindow::setStopFinishEnabled(bool enabled)
{
    m_toolbar.at(10)->setEnabled(enabled);
    m_toolbar.at(11)->setEnabled(enabled);
    m_actions.mnuStopTimer->setEnabled(enabled);
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
    m_lblTracking->setText(text);
}

QString MainWindow::trackingCaption() const
{
    return m_lblTracking->text();
}

void MainWindow::setCurrentTaskText(const QString &text, bool asLink)
{
    if (m_gpCurTaskLbl->text() != text)
        m_gpCurTaskLbl->setText(text);
    QFont font = m_gpCurTaskLbl->font();
    font.setUnderline(asLink);
    m_gpCurTaskLbl->setFont(font);
    QPalette pal = m_gpCurTaskLbl->palette();
    pal.setColor(QPalette::WindowText, asLink ? QColor(0, 0, 255) : palette().color(QPalette::WindowText));
    m_gpCurTaskLbl->setPalette(pal);
    m_gpCurTaskLbl->setCursor(asLink ? Qt::PointingHandCursor : Qt::ArrowCursor);
    m_gpCurTaskLbl->setToolTip(asLink ? QStringLiteral("Show this task") : QString());
}

void MainWindow::setStatusText(const QString &text)
{
    m_lblStatus->setText(text);
}

void MainWindow::setPanelColours(const QColor &colour, const QColor &stateColour)
{
    // The panel's own colours would make black text unreadable; the state
    // colour is kept as a light tint that fades in from the right.
    const QColor base = palette().color(QPalette::Base);
    Q_UNUSED(colour);
    m_gpCurTask->setColors(base, isButton::Lighten(stateColour, 150));
}

void MainWindow::flashTaskbar()
{
    FlashWindowUntilForeground(this);
}

void MainWindow::showTrackedTask()
{
    if (!m_context.tracker.TrackingActive)
        return;
    m_grid->setRedraw(false);
    if (m_context.tracker.TrackedList != CurrentListKey()) {
        const QDate date = DateFromListKey(m_context.tracker.TrackedList);
        if (date.isValid())
            showDay(date);
    }
    const int row = m_grid->rowOfTask(m_context.tracker.TrackedTaskID);
    if (row > 0)
        m_grid->selectRow(row);
    m_grid->setRedraw(true);
    RefreshAfterSelection();
}

void MainWindow::gpCurTaskLbl_Click()
{
    if (m_context.tracker.TrackingActive)
        m_tracking->currentTaskClicked();
}

// ---- TaskDialogHost ------------------------------------------------------

void MainWindow::addTaskRow(qint32 id)
{
    m_grid->setRedraw(false);
    m_grid->AddTaskRow(id);
    if (m_grid->rowCount() > 0 && m_grid->selectedRowCount() == 0)
        m_grid->selectRow(1);
    m_grid->SortTaskGrid(false);
    m_grid->setRedraw(true);
}

void MainWindow::refillSelectedRow()
{
    const int row = m_grid->recordedSelectedRow();
    m_grid->setRedraw(false);
    if (row > 0 && row <= m_grid->rowCount())
        m_grid->FillTaskRow(row, CurrentListKey(), false);
    m_grid->SortTaskGrid(false);
    m_grid->setRedraw(true);
}

void MainWindow::selectTaskRowById(qint32 id)
{
    const int row = m_grid->rowOfTask(id);
    if (row <= 0)
        return;
    m_grid->selectRow(row);
    m_grid->recordSelectedRow();
}

bool MainWindow::trackingActive() const
{
    return m_context.tracker.TrackingActive;
}

QString MainWindow::trackedList() const
{
    return m_context.tracker.TrackedList;
}

qint32 MainWindow::trackedTaskId() const
{
    return m_context.tracker.TrackedTaskID;
}

void MainWindow::setTracking(bool on)
{
    m_tracking->SetTracking(on);
}

void MainWindow::openCategoryManager(QWidget *parent)
{
    Q_UNUSED(parent);
    mnuManageCategories_Click();
}

int &MainWindow::modalDialogDepth()
{
    return m_context.ModalDialogDepth;
}

} // namespace cdk
