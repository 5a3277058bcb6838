#pragma once

#include <QColor>

namespace cdk {

// Whether an XEmbed system tray (the protocol before StatusNotifierItem)
// owns its selection on the application's X display now; false elsewhere.
bool xembedTrayPresent();

// The colour the XEmbed tray asks its icons to draw in
// (_NET_SYSTEM_TRAY_COLORS), invalid where it says nothing.
QColor xembedTrayForeground();

} // namespace cdk
