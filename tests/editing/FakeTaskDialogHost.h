#pragma once

#include "editing/TaskDialogHost.h"

#include <QStringList>

#include <functional>

namespace cdk::test {

// Stands in for the main window: shows a fixed day, keeps a tracker state the
// test sets, and records every call the dialogs make, in order.
class FakeTaskDialogHost final : public TaskDialogHost
{
public:
    QString CurrentListKey() const override { return listKey; }
    bool showsToday() const override { return today; }
    void addTaskRow(qint32 id) override { calls.append(QStringLiteral("addTaskRow(%1)").arg(id)); }
    void refillSelectedRow() override { calls.append(QStringLiteral("refillSelectedRow")); }
    void selectTaskRowById(qint32 id) override
    {
        calls.append(QStringLiteral("selectTaskRowById(%1)").arg(id));
    }
    bool trackingActive() const override { return tracking; }
    QString trackedList() const override { return trackedListKey; }
    qint32 trackedTaskId() const override { return trackedId; }
    void setTracking(bool on) override
    {
        calls.append(on ? QStringLiteral("setTracking(true)")
                        : QStringLiteral("setTracking(false)"));
        tracking = on;
        if (!on) {
            trackedListKey.clear();
            trackedId = 0;
        }
    }
    void openCategoryManager(QWidget *) override
    {
        calls.append(QStringLiteral("openCategoryManager"));
        if (onCategoryManager)
            onCategoryManager();
    }
    int &modalDialogDepth() override { return depth; }

    QString listKey = QStringLiteral("05032024");
    bool today = true;
    bool tracking = false;
    QString trackedListKey;
    qint32 trackedId = 0;
    int depth = 0;
    QStringList calls;
    std::function<void()> onCategoryManager;
};

} // namespace cdk::test
