#include "view/TrackingCommands.h"

#include "base/Functions.h"
#include "core/TaskOperations.h"
#include "core/TimeTracker.h"
#include "reports/ReportsWindow.h"
#include "view/AppContext.h"
#include "view/CommandActions.h"
#include "view/CommandHost.h"
#include "view/TaskCommands.h"
#include "view/TaskGrid.h"

#include <QAction>

namespace cdk {

TrackingCommands::TrackingCommands(AppContext &context, CommandHost &host, QObject *parent)
    : QObject(parent), m_context(context), m_host(host)
{
    mnuStartTimer = makeCommandAction(this, "mnuStartTimer", QStringLiteral("&Start Timer"),
                                      "PLAY", QKeySequence(Qt::CTRL | Qt::Key_I));
    mnuStopTimer = makeCommandAction(this, "mnuStopTimer", QStringLiteral("&Stop Timer"), "STOP",
                                     QKeySequence(Qt::CTRL | Qt::Key_P));
    actFinishTask = makeCommandAction(this, "actFinishTask",
                                      QStringLiteral("Finish the task and stop time tracking"),
                                      "FINISHIT");
    mnuReports = makeCommandAction(this, "mnuReports", QStringLiteral("&Reports..."), "CLOCK");
    mnuStopTimer->setEnabled(false);
    actFinishTask->setEnabled(false);
    connect(mnuStartTimer, &QAction::triggered, this, &TrackingCommands::start);
    connect(mnuStopTimer, &QAction::triggered, this, &TrackingCommands::stop);
    connect(actFinishTask, &QAction::triggered, this, &TrackingCommands::finish);
    connect(mnuReports, &QAction::triggered, this, &TrackingCommands::showReports);
}

void TrackingCommands::updateStates(const QList<TaskRecord> &selected)
{
    const bool tracking = m_context.tracker.TrackingActive;
    mnuStartTimer->setEnabled(!tracking && selected.size() == 1
                              && selected.first().Duration != selected.first().FinishedDuration);
    mnuStopTimer->setEnabled(tracking);
    actFinishTask->setEnabled(tracking);
}

void TrackingCommands::start()
{
    const QList<qint32> ids = m_host.grid().selectedTaskIds();
    if (ids.size() != 1)
        return;
    try {
        m_context.operations.startTracking(m_host.CurrentListKey(), ids.first());
    } catch (const StoreError &e) {
        reportStoreError(m_context.prompter, QStringLiteral("Time tracking could not be started."),
                         e);
    }
    m_host.updateCommandStates();
}

void TrackingCommands::stop()
{
    m_context.operations.stopTracking();
    m_host.updateCommandStates();
}

void TrackingCommands::finish()
{
    try {
        m_context.operations.finishTrackedTask();
    } catch (const StoreError &e) {
        reportStoreError(m_context.prompter,
                         QStringLiteral("The task could not be marked as finished."), e);
        // Tracking ends either way: the user asked to stop.
        m_context.operations.stopTracking();
    }
    m_host.updateCommandStates();
}

void TrackingCommands::showReports()
{
    // One window, kept while the main window lives: the period chosen stays.
    if (!m_reports)
        m_reports = new ReportsWindow(m_context.operations, m_context.prompter, m_host.shownDate(),
                                      m_host.dialogParent());
    m_reports->show();
    m_reports->raise();
    m_reports->activateWindow();
}

} // namespace cdk
