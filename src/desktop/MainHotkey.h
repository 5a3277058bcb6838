#pragma once

#include "desktop/GlobalHotkey.h"

namespace cdk {

class clsSettings;

// Registers the hotkey "MainHK" as the "Hotkeys" section describes it,
// releasing the combination held before. A hotkey the user does not want
// ("MainHKUsed" unticked) or without a key ("None", 0) counts as Registered:
// nothing is held and nothing failed. After any other result no combination
// is held.
GlobalHotkey::RegisterResult RegisterKeyFromSettings(GlobalHotkey &hotkey, clsSettings &settings);

} // namespace cdk
