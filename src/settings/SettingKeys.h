#pragma once

#include <QString>

#include <cstddef>
#include <iterator>

namespace cdk {

// The sections of settings.ini, by the number every caller passes.
enum class SettingsSection : int {
    None = 0,
    General = 1,
    Sort = 2,
    WindowPos = 3,
    Backup = 4,
    Columns = 5,
    Sounds = 6,
    Hotkeys = 7,
    Tracking = 8,
    Sync = 9,
};

// How a stored text is read: as it stands; as a number (leading numeric
// prefix, rounded half to even); as a yes only when its number is exactly 1.
enum class SettingType { Text, Number, Boolean };

// Every key of settings.ini whose name is fixed. Keys formed at run time (a
// window's position, a grid's columns) are named by section and key instead.
// In the order of kSettings below.
enum class Setting {
    MainHKUsed,
    MainHKMod,
    MainHKKey,
    RunOnStartup,
    TaskViewFontSizeSize,
    TaskViewFontSizeIndex,
    DisplayDoneTasksAtTheEnd,
    DisableTaskColoring,
    MarkTasks100PercentWhenCheckedOff,
    HideGridlines,
    LastRecurrentInjectDay,
    LastRecurrentInjectMonth,
    LastRecurrentInjectYear,
    SortColumn,
    SortDescending,
    frmMainWasMaximized,
    LastDBSaveDir,
    LastDBSaveFile,
    CustomTaskDoneSound,
    CustomTaskDoneSoundFile,
    AwayThresholdMinutes,
    WarnAtPercent,
    WarnMinutesBefore,
    ReviewAtTime,
    FinishNotice,
    ExtendMinutes,
    SyncServer,
    SyncUser,
    SyncCollection,
    SyncIntervalMinutes,
};

struct SettingInfo
{
    Setting setting;
    SettingsSection section;
    QLatin1StringView key;
    SettingType type;
    // What a missing key reads as, spelled as the file would hold it.
    QLatin1StringView defaultValue;
    // Written when the program starts without a settings.ini; null for none.
    QLatin1StringView firstRunValue;
};

namespace settingkeys {
using namespace Qt::Literals::StringLiterals;
using enum Setting;
using enum SettingType;
constexpr SettingsSection General = SettingsSection::General;
constexpr SettingsSection Sort = SettingsSection::Sort;
constexpr SettingsSection WindowPos = SettingsSection::WindowPos;
constexpr SettingsSection Backup = SettingsSection::Backup;
constexpr SettingsSection Sounds = SettingsSection::Sounds;
constexpr SettingsSection Hotkeys = SettingsSection::Hotkeys;
constexpr SettingsSection Tracking = SettingsSection::Tracking;
constexpr SettingsSection Sync = SettingsSection::Sync;
constexpr QLatin1StringView none;

// A first run writes the rows that have a first-run value in the order of this
// table, which is why "Hotkeys" comes first: it is the first section of a new file.
inline constexpr SettingInfo table[] = {
    {MainHKUsed, Hotkeys, "MainHKUsed"_L1, Boolean, ""_L1, "1"_L1},
    {MainHKMod, Hotkeys, "MainHKMod"_L1, Number, ""_L1, "3"_L1}, // Control+Alt
    {MainHKKey, Hotkeys, "MainHKKey"_L1, Number, ""_L1, "77"_L1}, // M
    {RunOnStartup, General, "RunOnStartup"_L1, Number, "0"_L1, "0"_L1}, // current user
    {TaskViewFontSizeSize, General, "TaskViewFontSizeSize"_L1, Number, ""_L1, "9"_L1},
    {TaskViewFontSizeIndex, General, "TaskViewFontSizeIndex"_L1, Number, ""_L1, "1"_L1},
    {DisplayDoneTasksAtTheEnd, General, "DisplayDoneTasksAtTheEnd"_L1, Boolean, "0"_L1, none},
    {DisableTaskColoring, General, "DisableTaskColoring"_L1, Boolean, "0"_L1, none},
    {MarkTasks100PercentWhenCheckedOff, General, "MarkTasks100PercentWhenCheckedOff"_L1, Boolean,
     "0"_L1, none},
    {HideGridlines, General, "HideGridlines"_L1, Boolean, "0"_L1, none},
    {LastRecurrentInjectDay, General, "LastRecurrentInjectDay"_L1, Number, ""_L1, none},
    {LastRecurrentInjectMonth, General, "LastRecurrentInjectMonth"_L1, Number, ""_L1, none},
    {LastRecurrentInjectYear, General, "LastRecurrentInjectYear"_L1, Number, ""_L1, none},
    {SortColumn, Sort, "Column"_L1, Number, ""_L1, none}, // its reader maps 0 and others to 2
    {SortDescending, Sort, "Descending"_L1, Boolean, ""_L1, none},
    {frmMainWasMaximized, WindowPos, "frmMainWasMaximized"_L1, Boolean, "0"_L1, none},
    {LastDBSaveDir, Backup, "LastDBSaveDir"_L1, Text, ""_L1, none},
    {LastDBSaveFile, Backup, "LastDBSaveFile"_L1, Text, ""_L1, none},
    {CustomTaskDoneSound, Sounds, "CustomTaskDoneSound"_L1, Boolean, ""_L1, none},
    {CustomTaskDoneSoundFile, Sounds, "CustomTaskDoneSoundFile"_L1, Text, ""_L1, none},
    // Away from the tracked task this many minutes or more is asked about
    // on return; 0: never.
    {AwayThresholdMinutes, Tracking, "AwayThresholdMinutes"_L1, Number, "10"_L1, none},
    // A warning once a tracked task has used this share of its budget
    // (75, 80 or 90; 0: off) or has this many minutes left (0: off).
    {WarnAtPercent, Tracking, "WarnAtPercent"_L1, Number, "0"_L1, none},
    {WarnMinutesBefore, Tracking, "WarnMinutesBefore"_L1, Number, "0"_L1, none},
    // "HH:MM": the day's review opens by itself at that time; empty: never.
    {ReviewAtTime, Tracking, "ReviewAtTime"_L1, Text, ""_L1, none},
    // How a used-up budget is told: 0 the pop-up, 1 a desktop notification,
    // 2 both. Without a notification server it is always the pop-up.
    {FinishNotice, Tracking, "FinishNotice"_L1, Number, "2"_L1, none},
    // What a notification's "+N minutes" adds to the budget.
    {ExtendMinutes, Tracking, "ExtendMinutes"_L1, Number, "10"_L1, none},
    // The CalDAV account the tasks sync with: the address given at set-up,
    // the user name and the task list (collection) chosen. The password is
    // kept in the desktop's keyring, never here.
    {SyncServer, Sync, "Server"_L1, Text, ""_L1, none},
    {SyncUser, Sync, "User"_L1, Text, ""_L1, none},
    {SyncCollection, Sync, "Collection"_L1, Text, ""_L1, none},
    // The window syncs this often, in minutes; 0: only on request and after changes.
    {SyncIntervalMinutes, Sync, "IntervalMinutes"_L1, Number, "5"_L1, none},
};

constexpr bool rowsInEnumOrder()
{
    for (std::size_t i = 0; i < std::size(table); ++i) {
        if (table[i].setting != static_cast<Setting>(i))
            return false;
    }
    return true;
}
static_assert(rowsInEnumOrder(), "one row per Setting, in the enum's order");
static_assert(std::size(table) == static_cast<std::size_t>(SyncIntervalMinutes) + 1,
              "a Setting without a row");
} // namespace settingkeys

// The table of the fixed keys: section, name, type, default and first-run value.
inline constexpr const auto &kSettings = settingkeys::table;

constexpr const SettingInfo &settingInfo(Setting setting)
{
    return kSettings[static_cast<std::size_t>(setting)];
}

} // namespace cdk
