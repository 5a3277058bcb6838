#include "desktop/MainHotkey.h"

#include "settings/Settings.h"

namespace cdk {

GlobalHotkey::RegisterResult RegisterKeyFromSettings(GlobalHotkey &hotkey, clsSettings &settings)
{
    hotkey.unregisterKey();
    const qint32 key = settings.number(Setting::MainHKKey);
    // The key "None" names no key: there is nothing to press, so nothing is
    // held and nothing failed.
    if (!settings.boolean(Setting::MainHKUsed) || key == 0)
        return GlobalHotkey::RegisterResult::Registered;
    return hotkey.registerKey(settings.number(Setting::MainHKMod), key);
}

} // namespace cdk
