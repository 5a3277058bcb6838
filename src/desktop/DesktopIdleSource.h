#pragma once

#include "base/IdleSource.h"

#include <memory>

namespace cdk {

// The desktop's own record of the last input: the X server's screen saver
// extension on X11. Elsewhere (Wayland, Windows, no display) a source that
// cannot tell. Needs the application's display connection, so it is made
// once the QGuiApplication exists.
std::unique_ptr<IdleSource> createDesktopIdleSource();

} // namespace cdk
