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

// Opens the file for reading only, for a command that only reads, on a folder
// or disk that cannot take a write. Nothing is written, not even the journal.
sql::Database openForReading(const QString &path, const QByteArray &vfs = {});

// Creates the file with its tables and default content when nothing sits
// under its name yet. Safe against other processes doing the same at once:
// the file appears under its name complete, or not at all, and a file that
// another process put there first is left as it is.
void createIfMissing(const QString &path, const QByteArray &vfs = {});

// Folds the write-ahead journal into the file; throws sql::Error when a reader
// holds it up.
void checkpoint(sql::Database &db, const QString &path);

void setBusyTimeout(sql::Database &db);

// Reads the file without writing to it and refuses, with a text ready to
// show, anything that is not an intact task database of exactly the tables,
// columns and indexes the program makes.
void checkRestorable(const QString &path);

// Checks the file at chosen as checkRestorable does and copies it, as it was
// when checked, over the live database through the live connection, in one
// transaction: the live file is at every moment the old database or the new
// one. Throws StoreError (refused) or sql::Error (failed, nothing changed).
void restoreInto(sql::Database &live, const QString &livePath, const QString &chosen,
                 const QByteArray &vfs = {});

// Rewrites the open database at livePath compactly, by way of a compacted
// copy beside it ("<file>.temp", removed again); the live file changes in one
// transaction. Throws sql::Error and leaves the file as it was.
void compact(sql::Database &live, const QString &livePath, const QByteArray &vfs = {});

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
