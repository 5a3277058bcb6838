#pragma once

#include "editing/TaskDialogHost.h"

#include <functional>

namespace cdk::test {

// Stands in for the main window: shows a fixed day and counts the modal
// dialogs open.
class FakeTaskDialogHost final : public TaskDialogHost
{
public:
    QString CurrentListKey() const override { return listKey; }
    void openCategoryManager(QWidget *) override
    {
        if (onCategoryManager)
            onCategoryManager();
    }
    int &modalDialogDepth() override { return depth; }

    QString listKey = QStringLiteral("05032024");
    int depth = 0;
    std::function<void()> onCategoryManager;
};

} // namespace cdk::test
