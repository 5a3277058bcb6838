#pragma once

#include "store/Sql.h"

#include <QString>
#include <QStringList>

// The tables of the task database, their default content and the checks run
// when an existing file is opened. Private to the store.
namespace cdk::schema {

// Written to PRAGMA user_version when a file is created.
constexpr int kUserVersion = 1;

// Value ranges of the column types the file format promises.
constexpr qint64 kLongMin = -2147483648LL;
constexpr qint64 kLongMax = 2147483647LL;
constexpr qint64 kIntegerMin = -32768;
constexpr qint64 kIntegerMax = 32767;

QStringList taskColumns();
QStringList categoryColumns();
QStringList projectColumns();

// Creates the three tables, the version row and the default categories.
// Runs inside the caller's transaction.
void createContent(sql::Database &db);

// Empty when the three tables exist with their columns; otherwise a short
// description of what is missing.
QString missingParts(sql::Database &db);

} // namespace cdk::schema
