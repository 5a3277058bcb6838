#pragma once

#include "base/IdleSource.h"

#include <memory>

namespace cdk {

// The desktop's own record of the last input: the X server's screen saver
// extension on X11, else the session's D-Bus services below (Wayland); where
// neither can tell (Windows, no display), a source that never does. Needs
// the application's display connection, so it is made once the
// QGuiApplication exists.
std::unique_ptr<IdleSource> createDesktopIdleSource();

// The session's own idle time over D-Bus, for desktops without an X server
// to ask; one that cannot tell where the program was built without D-Bus.
std::unique_ptr<IdleSource> createSessionIdleSource();

} // namespace cdk
