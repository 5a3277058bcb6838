#pragma once

namespace cdk {

// Whether an XEmbed system tray (the protocol before StatusNotifierItem)
// owns its selection on the application's X display now; false elsewhere.
bool xembedTrayPresent();

} // namespace cdk
