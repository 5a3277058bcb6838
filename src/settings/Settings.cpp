#include "settings/Settings.h"

#include "base/Functions.h"
#include "base/Log.h"

#include <QDir>
#include <QFileDevice>

namespace cdk {

namespace {

// Only a stored 1 means yes; "-1", "2" or "true" from a hand-edited file do not.
bool isOne(const QString &value)
{
    return BasicVal(value) == 1.0;
}

bool isKeyOf(Setting setting, SettingsSection section, const QString &key)
{
    const SettingInfo &info = settingInfo(setting);
    return info.section == section
        && key.trimmed().compare(info.key, Qt::CaseInsensitive) == 0;
}

} // namespace

int GridRowHeightForFontSize(int points)
{
    if (points == 10)
        return points + 12;
    return points + (points > 10 ? 15 : 11);
}

clsSettings::clsSettings(Prompter &prompter, QObject *parent)
    : QObject(parent)
    , m_prompter(prompter)
{
}

void clsSettings::Init(const QString &folder, FirstRun firstRun)
{
    setPath(QDir(folder).filePath(QStringLiteral("settings.ini")));
    CreateAndLoadDefaultSettings(firstRun);
}

void clsSettings::setPath(const QString &path)
{
    m_file.setPath(path);
    m_fileFailureLogged = false;
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
    case SettingsSection::Tracking:
        return QStringLiteral("Tracking");
    case SettingsSection::Sync:
        return QStringLiteral("Sync");
    }
    return QString();
}

void clsSettings::fileFailed(const char *action, const IniError &error)
{
    // The same fault would otherwise fill the log at every key and resize.
    if (m_fileFailureLogged)
        return;
    m_fileFailureLogged = true;
    const bool reading = qstrcmp(action, "read") == 0;
    qCWarning(lcSettings).nospace().noquote()
        << "cannot " << action << ' ' << QDir::toNativeSeparators(m_file.path()) << ": "
        << error.description << "; "
        << (reading ? "its settings read as empty" : "changes to the settings are lost")
        << ", and further failures of the file are not logged";
}

std::optional<QString> clsSettings::stored(SettingsSection section, const QString &key)
{
    const QString name = SectionName(section);
    if (name.isNull())
        return std::nullopt;
    IniError error;
    if (m_file.refresh(&error) == IniFile::State::Unreadable) {
        fileFailed("read", error);
        return std::nullopt;
    }
    return m_file.value(name, key);
}

QString clsSettings::valueOf(const SettingInfo &info, SettingType type)
{
    Q_ASSERT_X(info.type == type, "clsSettings", "a setting read through another type's accessor");
    Q_UNUSED(type);
    return stored(info.section, info.key).value_or(QString(info.defaultValue));
}

QString clsSettings::text(Setting setting)
{
    return valueOf(settingInfo(setting), SettingType::Text);
}

qint32 clsSettings::number(Setting setting)
{
    return ValToInt(valueOf(settingInfo(setting), SettingType::Number));
}

bool clsSettings::boolean(Setting setting)
{
    return isOne(valueOf(settingInfo(setting), SettingType::Boolean));
}

void clsSettings::setText(Setting setting, const QString &value)
{
    const SettingInfo &info = settingInfo(setting);
    Q_ASSERT(info.type == SettingType::Text);
    Save(info.section, info.key, value);
}

void clsSettings::setNumber(Setting setting, qint32 value)
{
    const SettingInfo &info = settingInfo(setting);
    Q_ASSERT(info.type == SettingType::Number);
    SaveNum(info.section, info.key, value);
}

void clsSettings::setBoolean(Setting setting, bool value)
{
    const SettingInfo &info = settingInfo(setting);
    Q_ASSERT(info.type == SettingType::Boolean);
    SaveBoolean(info.section, info.key, value);
}

QString clsSettings::Load(SettingsSection section, const QString &key)
{
    return stored(section, key).value_or(QString());
}

qint32 clsSettings::LoadLong(SettingsSection section, const QString &key)
{
    return ValToInt(Load(section, key));
}

bool clsSettings::LoadBoolean(SettingsSection section, const QString &key)
{
    return isOne(Load(section, key));
}

void clsSettings::Save(SettingsSection section, const QString &key, const QString &value)
{
    const QString name = SectionName(section);
    if (name.isNull() || !IniFile::isWritable(name, key, value)) {
        // The program's own mistake, not the machine's: worth a box.
        qCWarning(lcSettings) << "refused to write" << name << key;
        const QString why = name.isNull() ? tr("No section given for %1").arg(key)
                                          : tr("Invalid section, key or value.");
        ShowErrorMessage(m_prompter, tr("Unable to write settings."), QFileDevice::UnspecifiedError,
                         why);
        return;
    }
    IniError error;
    if (!m_file.write(name, key, value, &error))
        fileFailed("write", error);
    followWrite(section, key, value);
}

void clsSettings::Save(SettingsSection section, const QList<std::pair<QString, QString>> &values)
{
    const QString name = SectionName(section);
    QList<IniFile::Change> changes;
    for (const auto &[key, value] : values) {
        if (name.isNull() || !IniFile::isWritable(name, key, value)) {
            Save(section, key, value); // refused, and said so, one by one
            return;
        }
        changes.append({name, key, value});
    }
    IniError error;
    if (!m_file.write(changes, &error))
        fileFailed("write", error);
    for (const auto &[key, value] : values)
        followWrite(section, key, value);
}

void clsSettings::SaveNum(SettingsSection section, const QString &key, qint32 value)
{
    Save(section, key, QString::number(value));
}

void clsSettings::SaveBoolean(SettingsSection section, const QString &key, bool value)
{
    Save(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void clsSettings::followWrite(SettingsSection section, const QString &key, const QString &value)
{
    // The choice holds for this run even when the file could not keep it.
    if (isKeyOf(Setting::DisplayDoneTasksAtTheEnd, section, key))
        m_flags.DisplayDoneTasksAtTheEnd = isOne(value);
    else if (isKeyOf(Setting::DisableTaskColoring, section, key))
        m_flags.DisableTaskColoring = isOne(value);
    else if (isKeyOf(Setting::MarkTasks100PercentWhenCheckedOff, section, key))
        m_flags.MarkTasks100PercentWhenCheckedOff = isOne(value);
    Q_EMIT changed(section, key);
}

void clsSettings::CreateAndLoadDefaultSettings(FirstRun firstRun)
{
    IniError error;
    const IniFile::State state = m_file.refresh(&error);
    if (state == IniFile::State::Unreadable)
        fileFailed("read", error);
    // A file without any of the first-run values was made by the command
    // line before the window ever started; one that holds any is the user's
    // and is never filled up.
    bool anyFirstRunValue = false;
    for (const SettingInfo &info : kSettings) {
        if (!info.firstRunValue.isNull() && m_file.value(SectionName(info.section), info.key))
            anyFirstRunValue = true;
    }
    m_firstRun = state == IniFile::State::Missing
        || (state == IniFile::State::Read && !anyFirstRunValue);
    if (firstRun == FirstRun::Write && (state != IniFile::State::Read || m_firstRun)) {
        // One write for all of them: each write replaces the file and waits
        // for the disk.
        QList<IniFile::Change> changes;
        for (const SettingInfo &info : kSettings) {
            if (!info.firstRunValue.isNull())
                changes.append({SectionName(info.section), info.key, info.firstRunValue});
        }
        IniError error;
        if (!m_file.write(changes, &error))
            fileFailed("write", error);
        for (const SettingInfo &info : kSettings) {
            if (!info.firstRunValue.isNull())
                followWrite(info.section, info.key, info.firstRunValue);
        }
    }

    m_flags.DisplayDoneTasksAtTheEnd = boolean(Setting::DisplayDoneTasksAtTheEnd);
    m_flags.DisableTaskColoring = boolean(Setting::DisableTaskColoring);
    m_flags.MarkTasks100PercentWhenCheckedOff = boolean(Setting::MarkTasks100PercentWhenCheckedOff);
}

GridAppearance clsSettings::gridAppearance(int currentFontSize)
{
    GridAppearance look;
    const qint32 size = number(Setting::TaskViewFontSizeSize);
    if (size >= 8 && size <= 16 && size != currentFontSize) {
        look.fontSize = size;
        look.rowHeight = GridRowHeightForFontSize(size);
    }
    look.showGridLines = !boolean(Setting::HideGridlines);
    return look;
}

} // namespace cdk
