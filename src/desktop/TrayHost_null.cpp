#include "desktop/TrayHost.h"

namespace cdk {

bool xembedTrayPresent() { return false; }

QColor xembedTrayForeground() { return {}; }

} // namespace cdk
