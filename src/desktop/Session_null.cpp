#include "desktop/DesktopIdleSource.h"
#include "desktop/Notifications.h"
#include "desktop/SessionPresence.h"

namespace cdk {

namespace {

class NullSessionPresence final : public SessionPresence
{
public:
    void watch(bool) override {}
};

} // namespace

std::unique_ptr<SessionPresence> createSessionPresence()
{
    return std::make_unique<NullSessionPresence>();
}

std::unique_ptr<IdleSource> createSessionIdleSource()
{
    return std::make_unique<NullIdleSource>();
}

std::unique_ptr<DesktopNotifications> createDesktopNotifications()
{
    return std::make_unique<NullNotifications>();
}

} // namespace cdk
