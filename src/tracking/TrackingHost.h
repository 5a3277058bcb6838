#pragma once

#include "store/TaskRecord.h"

#include <QColor>
#include <QList>
#include <QString>

namespace cdk {

// What the tracking display needs from the main window: the timer commands
// and the current-task panel. The window implements it.
class TrackingHost
{
public:
    virtual ~TrackingHost() = default;


    // ---- Timer commands: the Start toolbar button with both mnuStartTimer
    // entries; Stop and Finish with both mnuStopTimer entries; the Finish
    // button's picture (imgCheck, or imgCheckHigh when highlighted).
    virtual void setStartEnabled(bool enabled) = 0;
    virtual void setStopFinishEnabled(bool enabled) = 0;
    virtual void setFinishHighlighted(bool highlighted) = 0;

    // ---- The current-task panel: lblTracking, gpCurTaskLbl (plain, or a
    // link with a pointing cursor), lblStatus and the state colour of gpCurTask.
    virtual void setTrackingCaption(const QString &text) = 0;
    virtual void setCurrentTaskText(const QString &text, bool asLink) = 0;
    virtual void setStatusText(const QString &text) = 0;
    virtual void setPanelColours(const QColor &colour, const QColor &stateColour) = 0;

    // ---- Window services
    // Flashes the taskbar button until the window comes to the front.
    virtual void flashTaskbar() = 0;
    // Shows the day of the tracked task and selects its row.
    virtual void showTrackedTask() = 0;
    // Brings the window back from the tray.
    virtual void showMainWindow() = 0;
};

} // namespace cdk
