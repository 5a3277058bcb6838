#include "settings/MainHotkey.h"

#include "settings/Settings.h"

namespace cdk {

GlobalHotkey::RegisterResult RegisterKeyFromSettings(GlobalHotkey &hotkey, clsSettings &settings)
{
    hotkey.unregisterKey();
    if (!settings.boolean(Setting::MainHKUsed))
        return GlobalHotkey::RegisterResult::Registered;
    return hotkey.registerKey(settings.number(Setting::MainHKMod),
                              settings.number(Setting::MainHKKey));
}

} // namespace cdk
