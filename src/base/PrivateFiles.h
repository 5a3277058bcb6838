#pragma once

#include <QString>

// The data folder holds a person's working day: nobody else on the machine
// may read it. New folders are made for the owner alone (0700) and every file
// the program makes in them for the owner alone (0600), whatever the umask.
namespace cdk {

// Makes the folder (and missing parents) when it is not there, the folder
// itself for the owner alone. An existing folder is left as it is; when
// others may enter it, a warning goes to the log once. False, with the
// system's reason in *error, when the folder cannot be made.
bool makePrivateFolder(const QString &folder, QString *error = nullptr);

// Creates the file, which must not exist yet, empty and for the owner alone.
// False, with the system's reason in *error, when it exists or cannot be made.
bool createPrivateFile(const QString &path, QString *error = nullptr);

// A name beside path that no other process uses: path + suffix + a number of
// this process and call.
QString uniqueSiblingName(const QString &path, const QString &suffix);

// Flushes the file's content to the disk; false when the disk refuses.
bool syncFile(const QString &path);

} // namespace cdk
