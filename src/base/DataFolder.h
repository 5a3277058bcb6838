#pragma once

#include <QString>
#include <QStringList>

namespace cdk {

// Where the database, settings.ini, the restore signal and the safety copies
// live: --data-dir DIR, else CHRONODECK_DATA_DIR, else the program's own
// folder when it is writable, else the per-user application data folder.
// The result always ends in a separator.
QString resolveDataFolder(const QStringList &arguments, const QString &environmentValue,
                          const QString &programFolder, const QString &userDataFolder);

// The folder named by --data-dir DIR or --data-dir=DIR, or empty.
QString dataDirArgument(const QStringList &arguments);

// True when the command line (without the program name) contains the word
// "minimized" anywhere, in any letter case.
bool commandLineSaysMinimized(const QStringList &arguments);

} // namespace cdk
