#pragma once

#include <QColor>
#include <QString>
#include <QtGlobal>

namespace cdk {

// What the tracking controller needs from the main window: the recorded
// selection of the task grid, the refresh routines, the timer commands and
// the current-task panel. The window implements it; tests fake it.
class TrackingHost
{
public:
    virtual ~TrackingHost() = default;

    // ---- Selection of the task grid (the row recorded on the last change)
    virtual int selectedRowCount() const = 0;
    virtual qint32 selectedTaskID() const = 0;
    virtual QString selectedSubjectText() const = 0;   // column "SUBJECT"
    virtual QString selectedTimeNeededText() const = 0; // column "TIMENEEDED"
    virtual QString selectedTimeDoneText() const = 0;   // column "TIMEDONE"
    virtual QString CurrentListKey() const = 0;
    virtual int SortColumn() const = 0; // 1..8

    // ---- Refresh routines
    virtual void refreshTaskRow(qint32 id, const QString &list) = 0;
    virtual void refreshTaskList(bool keepSelection) = 0;
    virtual void refreshSummary() = 0;
    virtual void updateCommandStates() = 0;

    // ---- Timer commands: the Start toolbar button with both mnuStartTimer
    // entries; Stop and Finish with both mnuStopTimer entries; the Finish
    // button's picture (imgCheck, or imgCheckHigh when highlighted).
    virtual void setStartEnabled(bool enabled) = 0;
    virtual void setStopFinishEnabled(bool enabled) = 0;
    virtual void setFinishHighlighted(bool highlighted) = 0;

    // ---- The current-task panel: lblTracking, gpCurTaskLbl (plain, or a
    // blue underlined link with a pointing cursor), lblStatus and the two
    // colours of gpCurTask.
    virtual void setTrackingCaption(const QString &text) = 0;
    virtual QString trackingCaption() const = 0;
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
