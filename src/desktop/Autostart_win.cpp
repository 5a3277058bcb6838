#include "desktop/Autostart.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>

namespace cdk {

namespace {

const QString kRunValue = QStringLiteral("Chronodeck");

QString runKey(bool allUsers)
{
    return (allUsers ? QStringLiteral("HKEY_LOCAL_MACHINE") : QStringLiteral("HKEY_CURRENT_USER"))
        + QStringLiteral("\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
}

// The Run keys of the registry, read by Windows at logon.
class RunKeyAutostart final : public Autostart
{
public:
    RunKeyAutostart(const QString &dataFolder, QObject *parent)
        : Autostart(parent)
        , m_command(u'"' + QDir::toNativeSeparators(QCoreApplication::applicationFilePath())
                    + u'"'
                    + (dataFolder.isEmpty() ? QString()
                                            : QStringLiteral(" --data-dir \"")
                                   + QDir::toNativeSeparators(dataFolder) + u'"')
                    + QStringLiteral(" minimized"))
    {
    }

    void setRunOnStartup(bool allUsers) override
    {
        removeRunOnStartup();
        QSettings key(runKey(allUsers), QSettings::NativeFormat);
        key.setValue(kRunValue, m_command);
    }

    void removeRunOnStartup() override
    {
        for (const bool allUsers : {false, true}) {
            QSettings key(runKey(allUsers), QSettings::NativeFormat);
            key.remove(kRunValue);
        }
    }

    bool isEnabled() const override
    {
        return QSettings(runKey(false), QSettings::NativeFormat).contains(kRunValue)
            || QSettings(runKey(true), QSettings::NativeFormat).contains(kRunValue);
    }

    bool isAvailable() const override { return true; }

private:
    QString m_command;
};

} // namespace

std::unique_ptr<Autostart> createDesktopAutostart(const QString &dataFolder, QObject *parent)
{
    return std::make_unique<RunKeyAutostart>(dataFolder, parent);
}

} // namespace cdk
