#include "view/TrackingCommands.h"

#include "base/Functions.h"
#include "base/Log.h"
#include "base/Prompter.h"
#include "core/TaskOperations.h"
#include "core/TaskRules.h"
#include "core/TimeTracker.h"
#include "reports/ReportsModule.h"
#include "core/ShownDay.h"
#include "view/AppContext.h"
#include "view/CommandActions.h"
#include "view/CommandHost.h"
#include "view/TaskCommands.h"
#include "view/TaskGrid.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QWidget>

namespace cdk {

TrackingCommands::TrackingCommands(AppContext &context, ShownDay &day, CommandHost &host,
                                   QObject *parent)
    : QObject(parent), m_context(context), m_day(day), m_host(host)
{
    mnuStartTimer = makeCommandAction(this, "mnuStartTimer", tr("&Start Timer"),
                                      "PLAY", QKeySequence(Qt::CTRL | Qt::Key_I));
    mnuStopTimer = makeCommandAction(this, "mnuStopTimer", tr("&Stop Timer"), "STOP",
                                     QKeySequence(Qt::CTRL | Qt::Key_P));
    actFinishTask = makeCommandAction(this, "actFinishTask",
                                      tr("Finish the task and stop time tracking"),
                                      "FINISHIT");
    mnuReports = makeCommandAction(this, "mnuReports", tr("&Reports..."), "CLOCK");
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
                              && CanStartTracking(selected.first()));
    mnuStopTimer->setEnabled(tracking);
    actFinishTask->setEnabled(tracking);
}

void TrackingCommands::start()
{
    const QList<qint32> ids = m_day.selectedIds();
    if (ids.size() != 1)
        return;
    try {
        m_context.operations.startTracking(m_day.listKey(), ids.first());
    } catch (const StoreError &e) {
        reportStoreError(m_context.prompter, tr("Time tracking could not be started."), e);
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
                         tr("The task could not be marked as finished."), e);
        // Tracking ends either way: the user asked to stop.
        m_context.operations.stopTracking();
    }
    m_host.updateCommandStates();
}

namespace {

// The Reports window comes from the module chronodeck-reports, beside the
// program in a build and in the program's library folder once installed, so
// that Qt Charts is loaded only when it is wanted.
CreateReportsWindow reportsModule(QString *error)
{
    static CreateReportsWindow create = nullptr;
    if (create)
        return create;
    const QDir programs(QCoreApplication::applicationDirPath());
    QStringList failures;
    for (const QString &folder :
         {programs.path(), programs.filePath(QStringLiteral(CHRONODECK_MODULE_DIR))}) {
        QLibrary module(QDir(folder).filePath(QStringLiteral("chronodeck-reports")));
        // Every reference is resolved now: a module that does not fit this
        // program is refused here rather than failing halfway through.
        module.setLoadHints(QLibrary::ResolveAllSymbolsHint);
        create = reinterpret_cast<CreateReportsWindow>(module.resolve(CHRONODECK_REPORTS_ENTRY));
        if (create)
            return create;
        failures << module.errorString();
    }
    *error = failures.join(QLatin1Char('\n'));
    return nullptr;
}

} // namespace

void TrackingCommands::showReports()
{
    // One window, kept while the main window lives: the period chosen stays.
    if (!m_reports) {
        QString error;
        const CreateReportsWindow create = reportsModule(&error);
        if (!create) {
            qCWarning(lcView) << "the Reports window cannot be loaded:" << error;
            m_context.prompter.tell(programName(),
                                    tr("The Reports window cannot be opened: its part of the "
                                       "program is missing or does not fit this version.\n\n%1")
                                        .arg(error),
                                    MessageIcon::Critical);
            return;
        }
        m_reports = create(m_context.operations, m_context.prompter, m_day.date(),
                           m_host.dialogParent());
    }
    m_reports->show();
    m_reports->raise();
    m_reports->activateWindow();
}

} // namespace cdk
