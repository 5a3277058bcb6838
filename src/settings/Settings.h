#pragma once

#include "settings/IniFile.h"
#include "settings/SettingKeys.h"

#include <QObject>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace cdk {

class Prompter;

// Flags read at start-up; they follow every write of their keys, so a settings
// dialog that saves them applies them at once.
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

// The preferences in settings.ini. The file is kept in memory and read again
// only when it changed on disk, so another process's edit is seen at the next
// read; every write reaches the file at once and is announced by changed().
// A file that cannot be read or written is no error of the user's: reads see
// empty values, writes are lost and the log says so once. Only a write the
// program itself gets wrong (no section, a line that would break the file)
// shows the standard error box.
class clsSettings final : public QObject
{
    Q_OBJECT

public:
    explicit clsSettings(Prompter &prompter, QObject *parent = nullptr);

    // Whether a first start writes the first-run values. The command line
    // leaves them to the window, whose first start they belong to.
    enum class FirstRun { Write, Leave };
    // SettingsPath := folder + "settings.ini", then CreateAndLoadDefaultSettings.
    // Touches nothing but the file: the caller applies "RunOnStartup".
    void Init(const QString &folder, FirstRun firstRun = FirstRun::Write);
    QString SettingsPath() const { return m_file.path(); }

    // Without the first-run defaults: for tests and tools that only read and
    // write keys.
    void setPath(const QString &path);

    // The keys of the table in SettingKeys.h, each through the accessor of its
    // type; a missing key reads as the table's default.
    QString text(Setting setting);
    qint32 number(Setting setting);
    bool boolean(Setting setting);
    void setText(Setting setting, const QString &value);
    void setNumber(Setting setting, qint32 value);
    void setBoolean(Setting setting, bool value);

    // Any key, for the ones formed at run time; a missing key reads as "", 0, false.
    QString Load(SettingsSection section, const QString &key);
    qint32 LoadLong(SettingsSection section, const QString &key);
    bool LoadBoolean(SettingsSection section, const QString &key);
    void Save(SettingsSection section, const QString &key, const QString &value);
    void SaveNum(SettingsSection section, const QString &key, qint32 value);
    void SaveBoolean(SettingsSection section, const QString &key, bool value);
    // Several keys of one section in one write of the file.
    void Save(SettingsSection section, const QList<std::pair<QString, QString>> &values);

    // The first-run values when the file is missing or unreadable, or holds
    // none of them (a command of the command line made it); then the display
    // flags.
    void CreateAndLoadDefaultSettings(FirstRun firstRun = FirstRun::Write);
    // Whether Init found no settings file, or one without the first-run
    // values: the window's very first start with this folder (a file that
    // exists but cannot be read is no first start).
    bool isFirstRun() const { return m_firstRun; }

    const DisplayFlags &flags() const { return m_flags; }
    DisplayFlags &flags() { return m_flags; }
    GridAppearance gridAppearance(int currentFontSize);

    static QString SectionName(SettingsSection section);

Q_SIGNALS:
    // After every write, whether the file kept it or not; the flags already
    // follow it.
    void changed(cdk::SettingsSection section, const QString &key);

private:
    std::optional<QString> stored(SettingsSection section, const QString &key);
    QString valueOf(const SettingInfo &info, SettingType type);
    void followWrite(SettingsSection section, const QString &key, const QString &value);
    void fileFailed(const char *action, const IniError &error);

    Prompter &m_prompter;
    IniFile m_file;
    DisplayFlags m_flags;
    bool m_fileFailureLogged = false;
    bool m_firstRun = false;
};

} // namespace cdk
