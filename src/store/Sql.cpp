#include "store/Sql.h"

#include "base/Log.h"

#include <QCoreApplication>
#include <QUrl>

#include <sqlite3.h>

#include <cerrno>

#include <memory>
#include <utility>

namespace cdk::sql {

namespace {

bool diskFull(sqlite3 *db, int code)
{
    const int primary = code & 0xff;
    return primary == SQLITE_FULL
        || ((primary == SQLITE_IOERR || primary == SQLITE_CANTOPEN)
            && sqlite3_system_errno(db) == ENOSPC);
}

// The engine says "disk I/O error" for many writes that a full disk cut short;
// the operating system's own code tells which. A full disk is what the user
// can act on, so it is reported as one, under SQLITE_FULL.
QString engineMessage(sqlite3 *db)
{
    if (!db)
        return QCoreApplication::translate("Sql", "out of memory");
    if (diskFull(db, sqlite3_extended_errcode(db)))
        return QCoreApplication::translate("Sql", "the disk is full");
    return QString::fromUtf8(sqlite3_errmsg(db));
}

int extendedCode(sqlite3 *db, int fallback)
{
    if (!db)
        return fallback;
    const int code = sqlite3_extended_errcode(db);
    return diskFull(db, code) ? SQLITE_FULL : code;
}

QString statementText(sqlite3_stmt *stmt)
{
    const char *text = stmt ? sqlite3_sql(stmt) : nullptr;
    return text ? QString::fromUtf8(text) : QString();
}

[[noreturn]] void throwFor(sqlite3 *db, int rc, const QString &context)
{
    const int code = extendedCode(db, rc);
    throw Error(code, engineMessage(db) % QStringLiteral(" (") % context % QLatin1Char(')'));
}

} // namespace

// ---- Database

Database::~Database() { close(); }

Database::Database(Database &&other) noexcept
    : m_db(std::exchange(other.m_db, nullptr))
{
}

Database &Database::operator=(Database &&other) noexcept
{
    if (this != &other) {
        close();
        m_db = std::exchange(other.m_db, nullptr);
    }
    return *this;
}

Database Database::open(const QString &path, bool create, const QByteArray &vfs)
{
    int flags = SQLITE_OPEN_READWRITE;
    if (create)
        flags |= SQLITE_OPEN_CREATE;
    return openWith(path.toUtf8(), flags, vfs);
}

Database Database::openReadOnly(const QString &path, const QByteArray &vfs, Immutable immutable)
{
    if (immutable == Immutable::No)
        return openWith(path.toUtf8(), SQLITE_OPEN_READONLY, vfs);
    const QByteArray uri = QUrl::fromLocalFile(path).toEncoded() + "?immutable=1";
    return openWith(uri, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, vfs);
}

Database Database::openWith(const QByteArray &file, int flags, const QByteArray &vfs)
{
    sqlite3 *raw = nullptr;
    const QString path = QString::fromUtf8(file);
    const int rc = sqlite3_open_v2(file.constData(), &raw, flags,
                                   vfs.isEmpty() ? nullptr : vfs.constData());
    if (rc != SQLITE_OK) {
        const int code = extendedCode(raw, rc);
        const QString message = engineMessage(raw);
        sqlite3_close_v2(raw);
        throw Error(code, message % QStringLiteral(" (") % path % QLatin1Char(')'));
    }
    sqlite3_extended_result_codes(raw, 1);
    // Every file is opened as if it came from someone else: the schema may
    // not call functions with side effects (trusted_schema off), and nothing
    // can be written that bypasses the engine's own checks (defensive).
    sqlite3_db_config(raw, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(raw, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    Database db;
    db.m_db = raw;
    return db;
}

void Database::close()
{
    if (!m_db)
        return;
    // close_v2 defers the release while a statement is still alive instead of
    // failing; the owner finalises its statements first so the file is free.
    const int rc = sqlite3_close_v2(m_db);
    if (rc != SQLITE_OK)
        qCWarning(lcStore) << "closing the database failed:" << rc;
    m_db = nullptr;
}

void Database::exec(const QString &sql)
{
    if (!m_db)
        throw Error(SQLITE_MISUSE, QStringLiteral("no open database (") % sql % QLatin1Char(')'));
    char *error = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const QString message = error && !diskFull(m_db, extendedCode(m_db, rc))
            ? QString::fromUtf8(error)
            : engineMessage(m_db);
        sqlite3_free(error);
        throw Error(extendedCode(m_db, rc),
                    message % QStringLiteral(" (") % sql % QLatin1Char(')'));
    }
}

QVariant Database::scalar(const QString &sql)
{
    if (!m_db)
        throw Error(SQLITE_MISUSE, QStringLiteral("no open database (") % sql % QLatin1Char(')'));
    // Raw statement: the value keeps its storage class (a number stays a number).
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *raw = nullptr;
    int rc = sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &raw, nullptr);
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> guard(raw, sqlite3_finalize);
    if (rc != SQLITE_OK)
        throwFor(m_db, rc, sql);
    if (!raw)
        return {}; // nothing but blanks or comments
    rc = sqlite3_step(raw);
    if (rc == SQLITE_DONE)
        return {};
    if (rc != SQLITE_ROW)
        throwFor(m_db, rc, sql);
    switch (sqlite3_column_type(raw, 0)) {
    case SQLITE_NULL:
        return QVariant();
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(raw, 0)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(raw, 0));
    default:
        return QVariant(
            QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(raw, 0)),
                              sqlite3_column_bytes(raw, 0)));
    }
}

Statement Database::prepare(const QString &sql)
{
    if (!m_db)
        throw Error(SQLITE_MISUSE, QStringLiteral("no open database (") % sql % QLatin1Char(')'));
    return Statement(m_db, sql);
}


int Database::changes() const { return m_db ? sqlite3_changes(m_db) : 0; }

// ---- Statement

Statement::Statement(sqlite3 *db, const QString &sql)
    : m_db(db)
{
    const QByteArray text = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        throwFor(db, rc, sql);
    }
}

Statement::~Statement() { sqlite3_finalize(m_stmt); }

Statement::Statement(Statement &&other) noexcept
    : m_stmt(std::exchange(other.m_stmt, nullptr))
    , m_db(std::exchange(other.m_db, nullptr))
{
}

Statement &Statement::operator=(Statement &&other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_stmt = std::exchange(other.m_stmt, nullptr);
        m_db = std::exchange(other.m_db, nullptr);
    }
    return *this;
}

Statement &Statement::bind(int index, qint64 value)
{
    const int rc = sqlite3_bind_int64(m_stmt, index, value);
    if (rc != SQLITE_OK)
        throwFor(m_db, rc, statementText(m_stmt));
    return *this;
}

Statement &Statement::bind(int index, const QString &value)
{
    // A null QString is stored as empty text: the columns that take text
    // distinguish "no value" only through bindNull.
    const QByteArray utf8 = value.toUtf8();
    const int rc = sqlite3_bind_text64(m_stmt, index, utf8.isNull() ? "" : utf8.constData(),
                                       sqlite3_uint64(utf8.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
    if (rc != SQLITE_OK)
        throwFor(m_db, rc, statementText(m_stmt));
    return *this;
}

Statement &Statement::bindNull(int index)
{
    const int rc = sqlite3_bind_null(m_stmt, index);
    if (rc != SQLITE_OK)
        throwFor(m_db, rc, statementText(m_stmt));
    return *this;
}

bool Statement::step()
{
    if (!m_stmt)
        throw Error(SQLITE_MISUSE, QStringLiteral("step on an empty statement"));
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const int code = extendedCode(m_db, rc);
    const QString message
        = engineMessage(m_db) % QStringLiteral(" (") % statementText(m_stmt) % QLatin1Char(')');
    // Leave the statement ready for the next use; its bindings stay.
    sqlite3_reset(m_stmt);
    throw Error(code, message);
}

void Statement::run()
{
    while (step()) { }
    sqlite3_reset(m_stmt);
}

void Statement::reset()
{
    if (!m_stmt)
        return;
    // The outcome of the last step was reported by step() already.
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

qint64 Statement::int64(int column) const { return sqlite3_column_int64(m_stmt, column); }

QString Statement::text(int column) const
{
    const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    const int size = sqlite3_column_bytes(m_stmt, column);
    return data ? QString::fromUtf8(data, size) : QString();
}

// ---- Transaction

Transaction::Transaction(Database &db)
    : m_db(db)
{
    // Taking the write lock up front keeps a reader from turning into a
    // writer half-way, which could only fail with "busy" late.
    m_db.exec(QStringLiteral("BEGIN IMMEDIATE"));
}

Transaction::~Transaction()
{
    if (m_done || !m_db.isOpen())
        return;
    if (sqlite3_get_autocommit(m_db.handle()))
        return; // the engine rolled back already (after a failed COMMIT)
    try {
        m_db.exec(QStringLiteral("ROLLBACK"));
    } catch (const Error &e) {
        qCWarning(lcStore) << "rollback failed:" << e.message();
    }
}

void Transaction::commit()
{
    m_db.exec(QStringLiteral("COMMIT"));
    m_done = true;
}

Savepoint::Savepoint(Database &db)
    : m_db(db)
{
    m_db.exec(QStringLiteral("SAVEPOINT step"));
}

Savepoint::~Savepoint()
{
    if (m_done || !m_db.isOpen())
        return;
    if (sqlite3_get_autocommit(m_db.handle()))
        return; // the engine rolled the whole transaction back already
    try {
        m_db.exec(QStringLiteral("ROLLBACK TO step; RELEASE step"));
    } catch (const Error &e) {
        qCWarning(lcStore) << "rollback of a step failed:" << e.message();
    }
}

void Savepoint::release()
{
    m_db.exec(QStringLiteral("RELEASE step"));
    m_done = true;
}

} // namespace cdk::sql
