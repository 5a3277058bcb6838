#pragma once

#include "settings/IniFile.h"

#include <QString>
#include <QtGlobal>

namespace cdk {

class Prompter;
class Autostart;

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
};

// Flags read once at start-up and changed afterwards only by the settings dialog.
struct DisplayFlags
{
    bool DisplayDoneTasksAtTheEnd = false;
    bool DisableTaskColoring = false;
    bool MarkTasks100PercentWhenCheckedOff = false;
};

// The task grid's look as the settings ask for it at start-up.
struct GridAppearance
{
    int fontSize = 0;        // 8..16, or 0: leave the font alone
    int rowHeight = 0;       // pixels, with fontSize
    bool showGridLines = true;
};

// Row height for a task grid font size: the size plus 12 at 10 points,
// plus 15 above 10 and plus 11 below.
int GridRowHeightForFontSize(int points);

// The preferences in settings.ini. Every read goes to the file and every write
// reaches the file at once; nothing is cached. Failures are reported through
// the standard error box and the program goes on.
class clsSettings
{
public:
    explicit clsSettings(Prompter &prompter);

    // SettingsPath := folder + "settings.ini", then CreateAndLoadDefaultSettings.
    void Init(const QString &folder, Autostart &autostart);
    QString SettingsPath() const { return m_path; }

    // Without the first-run defaults and the start-at-logon step: for tests
    // and tools that only read and write keys.
    void setPath(const QString &path) { m_path = path; }

    QString Load(SettingsSection section, const QString &key);
    qint32 LoadLong(SettingsSection section, const QString &key);
    bool LoadBoolean(SettingsSection section, const QString &key);
    void Save(SettingsSection section, const QString &key, const QString &value);
    void SaveNum(SettingsSection section, const QString &key, qint32 value);
    void SaveBoolean(SettingsSection section, const QString &key, bool value);

    // First-run values when the file is missing, the start-at-logon choice
    // applied, the display flags and grid look read.
    void CreateAndLoadDefaultSettings(Autostart &autostart);

    const DisplayFlags &flags() const { return m_flags; }
    DisplayFlags &flags() { return m_flags; }
    GridAppearance gridAppearance(int currentFontSize);

    static QString SectionName(SettingsSection section);

private:
    Prompter &m_prompter;
    QString m_path;
    DisplayFlags m_flags;
};

} // namespace cdk
