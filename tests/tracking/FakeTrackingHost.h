#pragma once

#include "tracking/TrackingHost.h"

#include <QList>
#include <QPair>

namespace cdk::test {

// A main window reduced to what the tracker reads and writes: a selection
// the test sets up, and a record of every refresh and panel change.
class FakeTrackingHost final : public TrackingHost
{
public:
    int selectedRowCount() const override { return rows; }
    qint32 selectedTaskID() const override { return taskId; }
    QString selectedSubjectText() const override { return subject; }
    QString selectedTimeNeededText() const override { return timeNeeded; }
    QString selectedTimeDoneText() const override { return timeDone; }
    QString CurrentListKey() const override { return listKey; }
    int SortColumn() const override { return sortColumn; }

    void refreshTaskRow(qint32 id, const QString &list) override
    {
        rowRefreshes.append({id, list});
    }
    void refreshTaskList(bool keepSelection) override { listRefreshes.append(keepSelection); }
    void refreshSummary() override { ++summaryRefreshes; }
    void updateCommandStates() override {}

    void setStartEnabled(bool enabled) override { startEnabled = enabled; }
    void setStopFinishEnabled(bool enabled) override { stopFinishEnabled = enabled; }
    void setFinishHighlighted(bool highlighted) override { highlights.append(highlighted); }

    void setTrackingCaption(const QString &text) override { caption = text; }
    QString trackingCaption() const override { return caption; }
    void setCurrentTaskText(const QString &text, bool asLink) override
    {
        currentTask = text;
        currentTaskIsLink = asLink;
    }
    void setStatusText(const QString &text) override { status = text; }
    void setPanelColours(const QColor &, const QColor &state) override { stateColour = state; }

    void flashTaskbar() override { ++flashes; }
    void showTrackedTask() override { ++trackedTaskShown; }
    void showMainWindow() override { ++mainWindowShown; }

    // The selection the test sets up.
    int rows = 0;
    qint32 taskId = 0;
    QString subject;
    QString timeNeeded;
    QString timeDone;
    QString listKey = QStringLiteral("05032024");
    int sortColumn = 2;

    // What the controller did.
    QList<QPair<qint32, QString>> rowRefreshes;
    QList<bool> listRefreshes;
    int summaryRefreshes = 0;
    bool startEnabled = true;
    bool stopFinishEnabled = false;
    QList<bool> highlights;
    QString caption;
    QString currentTask;
    bool currentTaskIsLink = false;
    QString status;
    QColor stateColour;
    int flashes = 0;
    int trackedTaskShown = 0;
    int mainWindowShown = 0;
};

} // namespace cdk::test
