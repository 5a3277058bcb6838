#include "desktop/XdgAutostart.h"

#include "desktop/DesktopLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace cdk {

namespace {

// The Exec key quotes its arguments by one set of rules and is then stored
// as a string value with its own backslash escape; both apply, in this order.
QString execArgument(const QString &program)
{
    QString quoted;
    for (const QChar c : program) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    quoted = u'"' + quoted + u'"';
    quoted.replace(u'\\', QStringLiteral("\\\\"));
    quoted.replace(u'%', QStringLiteral("%%"));
    return quoted;
}

bool writeEntry(const QString &folder, const QString &path, const QByteArray &text)
{
    if (!QDir().mkpath(folder))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(text);
    return file.commit();
}

} // namespace

XdgAutostart::Places XdgAutostart::placesOfThisProgram(const QString &dataFolder)
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    // freedesktop.org's base directory rules ignore a relative XDG_CONFIG_HOME.
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return {QCoreApplication::applicationFilePath(), config + QStringLiteral("/autostart"),
            QStringLiteral("/etc/xdg/autostart"), dataFolder};
}

QString XdgAutostart::entryFileName() { return QStringLiteral(CHRONODECK_DESKTOP_ID ".desktop"); }

QByteArray XdgAutostart::entryText(const QString &program, const QString &dataFolder)
{
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Chronodeck\n"
                                        "Comment=Daily task lists with time budgets\n"
                                        "Exec=")
        + execArgument(program)
        + (dataFolder.isEmpty() ? QString()
                                : QStringLiteral(" --data-dir ") + execArgument(dataFolder))
        + QStringLiteral(" minimized\n"
                         "Icon=" CHRONODECK_DESKTOP_ID "\n"
                         "Terminal=false\n"
                         "X-GNOME-Autostart-enabled=true\n");
    return text.toUtf8();
}

XdgAutostart::XdgAutostart(Places places, QObject *parent)
    : Autostart(parent)
    , m_places(std::move(places))
{
}

QString XdgAutostart::userEntry() const { return m_places.userFolder + u'/' + entryFileName(); }

QString XdgAutostart::systemEntry() const { return m_places.systemFolder + u'/' + entryFileName(); }

void XdgAutostart::setRunOnStartup(bool allUsers)
{
    const QString folder = allUsers ? m_places.systemFolder : m_places.userFolder;
    const QString path = allUsers ? systemEntry() : userEntry();
    const QString other = allUsers ? userEntry() : systemEntry();
    if (QFile::exists(other) && !QFile::remove(other))
        qCInfo(lcDesktop) << "could not remove the autostart entry" << other;
    // Asked at every start: an entry that already names this program is left
    // as it is, so a start does not wait for the disk to write it again.
    const QByteArray text
        = entryText(m_places.program, allUsers ? QString() : m_places.dataFolder);
    QFile current(path);
    if (current.open(QIODevice::ReadOnly) && current.size() == text.size()
        && current.readAll() == text)
        return;
    current.close();
    if (!writeEntry(folder, path, text))
        qCInfo(lcDesktop) << "could not write the autostart entry" << path;
}

void XdgAutostart::removeRunOnStartup()
{
    for (const QString &path : {userEntry(), systemEntry()}) {
        if (QFile::exists(path) && !QFile::remove(path))
            qCInfo(lcDesktop) << "could not remove the autostart entry" << path;
    }
}

bool XdgAutostart::isEnabled() const
{
    return QFile::exists(userEntry()) || QFile::exists(systemEntry());
}

std::unique_ptr<Autostart> createDesktopAutostart(const QString &dataFolder, QObject *parent)
{
    return std::make_unique<XdgAutostart>(XdgAutostart::placesOfThisProgram(dataFolder), parent);
}

} // namespace cdk
