#include "desktop/DesktopIdleSource.h"

namespace cdk {

std::unique_ptr<IdleSource> createDesktopIdleSource() { return std::make_unique<NullIdleSource>(); }

} // namespace cdk
