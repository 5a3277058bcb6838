#include "desktop/Autostart.h"

#include "desktop/DesktopLog.h"

namespace cdk {

Autostart::Autostart(QObject *parent)
    : QObject(parent)
{
}

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
    qCDebug(lcDesktop) << "RunOnStartup" << choice << "leaves the registration unchanged";
}

} // namespace cdk
