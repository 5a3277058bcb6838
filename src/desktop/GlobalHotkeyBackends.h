#pragma once

#include "desktop/GlobalHotkey.h"

#include <memory>

namespace cdk {

// The backends createGlobalHotkey() chooses from on Linux; each is null
// where the session does not offer it.

// Key grabs on the application's X11 display connection.
std::unique_ptr<GlobalHotkey> createX11GlobalHotkey(QObject *parent);
// The desktop portal's global shortcuts, when the portal answers on the
// session bus; asks it once, blocking for at most a few seconds.
std::unique_ptr<GlobalHotkey> createPortalGlobalHotkey(QObject *parent);

} // namespace cdk
