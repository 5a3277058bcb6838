#include "settings/Settings.h"

#include "base/Functions.h"
#include "base/Log.h"
#include "settings/Autostart.h"

#include <QDir>
#include <QFileDevice>

namespace cdk {

namespace {

QString readErrorText()
{
    return QStringLiteral("Error while reading settings.");
}

QString writeErrorText()
{
    return QStringLiteral("Unable to write settings.");
}

const QString &generalRunOnStartup()
{
    static const QString key = QStringLiteral("RunOnStartup");
    return key;
}

} // namespace

int GridRowHeightForFontSize(int points)
{
    if (points == 10)
        return points + 12;
    return points + (points > 10 ? 15 : 11);
}

clsSettings::clsSettings(Prompter &prompter) : m_prompter(prompter) {}

void clsSettings::Init(const QString &folder, Autostart &autostart)
{
    m_path = QDir(folder).filePath(QStringLiteral("settings.ini"));
    CreateAndLoadDefaultSettings(autostart);
}

QString clsSettings::SectionName(SettingsSection section)
{
    switch (section) {
    case SettingsSection::None:
        break;
    case SettingsSection::General:
        return QStringLiteral("General");
    case SettingsSection::Sort:
        return QStringLiteral("Sort");
    case SettingsSection::WindowPos:
        return QStringLiteral("WindowPos");
    case SettingsSection::Backup:
        return QStringLiteral("Backup");
    case SettingsSection::Columns:
        return QStringLiteral("Columns");
    case SettingsSection::Sounds:
        return QStringLiteral("Sounds");
    case SettingsSection::Hotkeys:
        return QStringLiteral("Hotkeys");
    }
    return QString();
}

QString clsSettings::Load(SettingsSection section, const QString &key)
{
    const QString name = SectionName(section);
    if (name.isNull())
        return QString();
    QString value;
    IniError error;
    if (!IniFile(m_path).read(name, key, &value, &error)) {
        ShowErrorMessage(m_prompter, readErrorText(), error.code, error.description);
        return QString();
    }
    return value;
}

qint32 clsSettings::LoadLong(SettingsSection section, const QString &key)
{
    return ValToInt(Load(section, key));
}

bool clsSettings::LoadBoolean(SettingsSection section, const QString &key)
{
    // Only a stored 1 means yes; "-1", "2" or "true" from a hand-edited file do not.
    return BasicVal(Load(section, key)) == 1.0;
}

void clsSettings::Save(SettingsSection section, const QString &key, const QString &value)
{
    const QString name = SectionName(section);
    IniError error;
    if (name.isNull()) {
        error = {QFileDevice::UnspecifiedError, QStringLiteral("No section given for ") + key};
    } else if (IniFile(m_path).write(name, key, value, &error)) {
        return;
    }
    qCWarning(lcSettings) << "write of" << name << key << "failed:" << error.description;
    ShowErrorMessage(m_prompter, writeErrorText(), error.code, error.description);
}

void clsSettings::SaveNum(SettingsSection section, const QString &key, qint32 value)
{
    Save(section, key, QString::number(value));
}

void clsSettings::SaveBoolean(SettingsSection section, const QString &key, bool value)
{
    Save(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void clsSettings::CreateAndLoadDefaultSettings(Autostart &autostart)
{
    if (!FileExists(m_path)) {
        // The order decides the order of the sections in a new file.
        SaveNum(SettingsSection::Hotkeys, QStringLiteral("MainHKUsed"), 1);
        SaveNum(SettingsSection::Hotkeys, QStringLiteral("MainHKMod"), 3);
        SaveNum(SettingsSection::Hotkeys, QStringLiteral("MainHKKey"), 77);
        SaveNum(SettingsSection::General, generalRunOnStartup(), 0);
        SaveNum(SettingsSection::General, QStringLiteral("TaskViewFontSizeSize"), 9);
        SaveNum(SettingsSection::General, QStringLiteral("TaskViewFontSizeIndex"), 1);
    }

    // Applied at every start so the registration follows the program when it moves.
    applyRunOnStartup(autostart, LoadLong(SettingsSection::General, generalRunOnStartup()));

    m_flags.DisplayDoneTasksAtTheEnd =
        LoadBoolean(SettingsSection::General, QStringLiteral("DisplayDoneTasksAtTheEnd"));
    m_flags.DisableTaskColoring =
        LoadBoolean(SettingsSection::General, QStringLiteral("DisableTaskColoring"));
    m_flags.MarkTasks100PercentWhenCheckedOff =
        LoadBoolean(SettingsSection::General, QStringLiteral("MarkTasks100PercentWhenCheckedOff"));
}

GridAppearance clsSettings::gridAppearance(int currentFontSize)
{
    GridAppearance look;
    const qint32 size = LoadLong(SettingsSection::General, QStringLiteral("TaskViewFontSizeSize"));
    if (size >= 8 && size <= 16 && size != currentFontSize) {
        look.fontSize = size;
        look.rowHeight = GridRowHeightForFontSize(size);
    }
    look.showGridLines = !LoadBoolean(SettingsSection::General, QStringLiteral("HideGridlines"));
    return look;
}

} // namespace cdk
