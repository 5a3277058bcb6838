#pragma once

#include "store/Sql.h"

#include <QString>

// Opening, checking and creating the task database file. Private to the store;
// every failure a user has to act on comes out as StoreError.
namespace cdk::taskfile {

QString shownPath(const QString &path);

// Opens an existing file after checking that it is an intact, unlocked task
// database. Nothing is written to a file that fails a check. Without
// checkWholeFile the pages are left to the statements that read them. vfs
// names the SQLite VFS (empty: the platform's).
sql::Database openChecked(const QString &path, bool checkWholeFile = true,
                          const QByteArray &vfs = {});

// Creates the file with its tables and default content in one transaction. A
// file this call could not finish is removed again.
sql::Database create(const QString &path, const QByteArray &vfs = {});

// Folds the write-ahead journal into the file; throws sql::Error when a reader
// holds it up.
void checkpoint(sql::Database &db, const QString &path);

void setBusyTimeout(sql::Database &db);

// Reads the file without writing to it and refuses, with a text ready to
// show, anything that is not an intact task database.
void checkRestorable(const QString &path);

// A complete, consistent copy of the open database into a new file at
// destination, taken through the engine's online backup, so pages still in
// the write-ahead journal are part of it. Whatever sat under that name
// (with its journal files) is replaced; a copy that fails is removed.
void backupInto(sql::Database &db, const QString &destination, const QByteArray &vfs = {});
// The same from a connection of its own to the file at source: what was
// committed when it starts, journal included. Safe on any thread.
void backupFile(const QString &source, const QString &destination, const QByteArray &vfs = {});

// Notes that the file, as it is on disk now, has been read whole without a
// fault, so that the next open may skip the full check.
void markVerified(const QString &path);

} // namespace cdk::taskfile
