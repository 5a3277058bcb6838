#include "settings/Autostart.h"

#include "base/Log.h"

namespace cdk {

void applyRunOnStartup(Autostart &autostart, int choice)
{
    switch (static_cast<RunOnStartupChoice>(choice)) {
    case RunOnStartupChoice::CurrentUser:
        autostart.setRunOnStartup(false);
        return;
    case RunOnStartupChoice::AllUsers:
        autostart.setRunOnStartup(true);
        return;
    case RunOnStartupChoice::DoNotStart:
        autostart.removeRunOnStartup();
        return;
    }
    // A hand-edited or future value: better to keep what is registered.
    qCDebug(lcSettings) << "RunOnStartup" << choice << "leaves the registration unchanged";
}

} // namespace cdk
