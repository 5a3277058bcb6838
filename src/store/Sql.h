#pragma once

#include "store/StoreError.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace cdk::sql {

// A failure of the database engine: the extended SQLite result code and its
// message, with the statement or file it concerns. It is a StoreError, so
// nothing of the engine's own leaves the store.
class Error : public StoreError
{
public:
    Error(int code, const QString &message) : StoreError(message, code) {}
};

class Statement;

// An open SQLite connection. Move-only; closes on destruction.
class Database
{
public:
    Database() = default;
    ~Database();
    Database(Database &&other) noexcept;
    Database &operator=(Database &&other) noexcept;
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Opens (create = true: creates when missing) the file read-write,
    // through the named SQLite VFS (empty: the platform's).
    static Database open(const QString &path, bool create, const QByteArray &vfs = {});
    // Opens the file for reading only; nothing is ever written to it.
    // Immutable: the engine takes no locks and reads no journal, for a file
    // on a medium nobody can write to.
    enum class Immutable { No, Yes };
    static Database openReadOnly(const QString &path, const QByteArray &vfs = {},
                                 Immutable immutable = Immutable::No);

    bool isOpen() const { return m_db != nullptr; }
    void close();
    void exec(const QString &sql);
    // First column of the first row, or an invalid QVariant when no row.
    QVariant scalar(const QString &sql);
    Statement prepare(const QString &sql);
    int changes() const;
    sqlite3 *handle() const { return m_db; }

private:
    static Database openWith(const QByteArray &file, int flags, const QByteArray &vfs);

    sqlite3 *m_db = nullptr;
};

// A prepared statement. Bind with 1-based indexes, step() until false.
class Statement
{
public:
    Statement() = default;
    Statement(sqlite3 *db, const QString &sql);
    ~Statement();
    Statement(Statement &&other) noexcept;
    Statement &operator=(Statement &&other) noexcept;
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool isValid() const { return m_stmt != nullptr; }
    Statement &bind(int index, qint64 value);
    Statement &bind(int index, int value) { return bind(index, static_cast<qint64>(value)); }
    Statement &bind(int index, const QString &value);
    Statement &bindNull(int index);
    // Steps once; true while a row is available. Throws Error on failure.
    bool step();
    // Steps to completion (for statements that return no rows).
    void run();
    void reset(); // also clears the bindings
    bool isNull(int column) const;
    qint64 int64(int column) const;
    qint32 int32(int column) const { return static_cast<qint32>(int64(column)); }
    QString text(int column) const;

private:
    sqlite3_stmt *m_stmt = nullptr;
    sqlite3 *m_db = nullptr;
};

// Commits on commit(), rolls back when destroyed without it.
class Transaction
{
public:
    explicit Transaction(Database &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit();

private:
    Database &m_db;
    bool m_done = false;
};

// A step that must be whole on its own and inside the caller's transaction
// alike: it joins the transaction that is open, else makes its own. Kept on
// release(), undone when destroyed without it.
class Savepoint
{
public:
    explicit Savepoint(Database &db);
    ~Savepoint();
    Savepoint(const Savepoint &) = delete;
    Savepoint &operator=(const Savepoint &) = delete;
    void release();

private:
    Database &m_db;
    bool m_done = false;
};

} // namespace cdk::sql
