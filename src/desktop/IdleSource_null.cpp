#include "desktop/DesktopIdleSource.h"

namespace cdk {

std::unique_ptr<IdleSource> createDesktopIdleSource() { return createSessionIdleSource(); }

} // namespace cdk
