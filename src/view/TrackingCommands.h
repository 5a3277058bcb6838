#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include "store/TaskRecord.h"

class QAction;

namespace cdk {

struct AppContext;
class CommandHost;
class ShownDay;

// Start, Stop and Finish of time tracking, as menu entries, toolbar buttons,
// keys and tray entries alike. Start tracks the one task selected when it is
// triggered.
class TrackingCommands final : public QObject
{
    Q_OBJECT

public:
    TrackingCommands(AppContext &context, ShownDay &day, CommandHost &host,
                                     QObject *parent = nullptr);

    QAction *mnuStartTimer = nullptr;
    QAction *mnuStopTimer = nullptr;
    QAction *actFinishTask = nullptr; // the toolbar's "FINISHIT"
    QAction *mnuReports = nullptr;    // where the tracked time went

    // Start is possible for one selected task whose budget is not used up,
    // while nothing is tracked; Stop and Finish while something is.
    void updateStates(const QList<TaskRecord> &selected);

private:
    void start();
    void stop();
    void finish();
    void showReports();

    AppContext &m_context;
    ShownDay &m_day;
    CommandHost &m_host;
    QPointer<QWidget> m_reports; // the Reports window, made when first asked for, then kept
};

} // namespace cdk
