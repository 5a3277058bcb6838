#pragma once

// The main window shown the way the program shows it at start-up, for the
// benchmarks that measure it at work.

#include "base/Clock.h"
#include "view/AppContext.h"
#include "view/MainWindow.h"

namespace cdk::bench {

inline void showLikeAtStartUp(MainWindow &window, AppContext &context, const Clock &clock)
{
    context.StartingUp = true;
    window.applyGridAppearance();
    window.SetUpGridColumns();
    window.LoadSortSettings();
    window.showDay(clock.today());
    window.show();
    window.RefreshAfterSelection();
    context.StartingUp = false;
}

} // namespace cdk::bench
