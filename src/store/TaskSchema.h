#pragma once

#include "store/Sql.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// The tables of the task database, their default content and the checks run
// when an existing file is opened. Private to the store.
namespace cdk::schema {

// Written to PRAGMA user_version when a file is created. Version 2 added the
// table ProgramState, version 3 the table SyncState; an older file gets them
// when first opened.
constexpr int kUserVersion = 3;

// Value ranges of the column types the file format promises.
constexpr qint64 kLongMin = -2147483648LL;
constexpr qint64 kLongMax = 2147483647LL;
constexpr qint64 kIntegerMin = -32768;
constexpr qint64 kIntegerMax = 32767;

QStringList taskColumns();
QStringList categoryColumns();
QStringList projectColumns();
QStringList syncStateColumns();

// Creates the three tables, the version row and the default categories.
// Runs inside the caller's transaction.
void createContent(sql::Database &db);

// What a file holds: every object of its schema and the columns of every
// table, read in two statements.
struct Schema
{
    struct Object
    {
        QString type;
        QString name;
        QString table;
        QString sql;
    };
    QList<Object> objects;
    QMap<QString, QStringList> columns; // by table
};
Schema readSchema(sql::Database &db);

// Empty when the three tables exist with their columns (and SyncState, where
// the file has it, with its own); otherwise a short description of what is
// missing.
QString missingParts(const Schema &schema);

// Parts of the file that the program never makes, as a short description;
// empty when there are none. Code (triggers, views, virtual tables) is always
// named; Exact also names every other table, column and index of its own.
enum class Strictness { CodeOnly, Exact };
QString foreignParts(const Schema &schema, Strictness strictness);

// The program's own tables beside the task data: ProgramState, facts about
// the file (the day of the last copy of the recurrent templates, the sync
// server's collection and token), and SyncState, which server resource each
// task is. Made when missing; needs the write lock.
void createStateTables(sql::Database &db);
bool hasStateTables(const Schema &schema);

} // namespace cdk::schema
