#pragma once

#include "store/Sql.h"

#include <QString>

// Opening, checking and creating the task database file. Private to the store;
// every failure a user has to act on comes out as StoreError.
namespace cdk::taskfile {

QString shownPath(const QString &path);

// Opens an existing file after checking that it is an intact, unlocked task
// database. Nothing is written to a file that fails a check.
sql::Database openChecked(const QString &path, const QByteArray &vfs = {});

// Creates the file with its tables and default content in one transaction. A
// file this call could not finish is removed again.
sql::Database create(const QString &path, const QByteArray &vfs = {});

// Folds the write-ahead journal into the file; throws sql::Error when a reader
// holds it up.
void checkpoint(sql::Database &db, const QString &path);

void setBusyTimeout(sql::Database &db);

// Notes that the file, as it is on disk now, has been read whole without a
// fault, so that the next open may skip the full check.
void markVerified(const QString &path);

} // namespace cdk::taskfile
