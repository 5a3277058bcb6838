#include "desktop/TrayHost.h"

namespace cdk {

bool xembedTrayPresent() { return false; }

} // namespace cdk
