#pragma once

#include "editing/TaskDialogHost.h"

#include <functional>

namespace cdk::test {

// Stands in for the main window: counts the modal dialogs open.
class FakeTaskDialogHost final : public TaskDialogHost
{
public:
    void openCategoryManager(QWidget *) override
    {
        if (onCategoryManager)
            onCategoryManager();
    }
    int &modalDialogDepth() override { return depth; }

    int depth = 0;
    std::function<void()> onCategoryManager;
};

} // namespace cdk::test
