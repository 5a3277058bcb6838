#include "base/DataFolder.h"

#include <QDir>
#include <QFileInfo>

namespace cdk {

namespace {

QString withSeparator(const QString &folder)
{
    QString out = QDir::cleanPath(QDir(folder).absolutePath());
    if (!out.endsWith(QLatin1Char('/')))
        out += QLatin1Char('/');
    return out;
}

} // namespace

QString dataDirArgument(const QStringList &arguments)
{
    static const QString flag = QStringLiteral("--data-dir");
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (arg == flag && i + 1 < arguments.size())
            return arguments.at(i + 1);
        if (arg.startsWith(flag + QLatin1Char('=')))
            return arg.mid(flag.size() + 1);
    }
    return QString();
}

QString resolveDataFolder(const QStringList &arguments, const QString &environmentValue,
                          const QString &programFolder, const QString &userDataFolder)
{
    const QString fromArgs = dataDirArgument(arguments);
    if (!fromArgs.isEmpty())
        return withSeparator(fromArgs);
    if (!environmentValue.isEmpty())
        return withSeparator(environmentValue);
    const QFileInfo program(programFolder);
    if (!programFolder.isEmpty() && program.isDir() && program.isWritable())
        return withSeparator(programFolder);
    return withSeparator(userDataFolder);
}

bool commandLineSaysMinimized(const QStringList &arguments)
{
    return arguments.mid(1).join(QLatin1Char(' ')).contains(QStringLiteral("minimized"),
                                                              Qt::CaseInsensitive);
}

} // namespace cdk
