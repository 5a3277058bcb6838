#pragma once

#include "tracking/TrackingHost.h"

#include <QList>
#include <QPair>

namespace cdk::test {

// A main window reduced to what the tracking display writes: the panel as it
// was left.
class FakeTrackingHost final : public TrackingHost
{
public:
    void setStartEnabled(bool enabled) override { startEnabled = enabled; }
    void setStopFinishEnabled(bool enabled) override { stopFinishEnabled = enabled; }
    void setFinishHighlighted(bool highlighted) override { highlights.append(highlighted); }

    void setTrackingCaption(const QString &text) override { caption = text; }
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

    // What the panel shows.
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
