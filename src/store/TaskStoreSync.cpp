// The sync state of the task database: which calendar resource each task is.
// Only the sync engine reads and writes these rows, a few hundred times per
// run at most, so the statements are prepared where they are used.

#include "store/TaskStore.h"

#include <QCoreApplication>

namespace cdk {

namespace {

constexpr auto kSyncRowFields = "Uid, List, ID, Href, ETag, Base";

TaskStore::SyncRow readSyncRow(const sql::Statement &q, int first)
{
    TaskStore::SyncRow row;
    row.uid = q.text(first);
    row.list = q.text(first + 1);
    row.id = q.isNull(first + 2) ? 0 : q.int32(first + 2);
    row.href = q.text(first + 3);
    row.etag = q.text(first + 4);
    row.base = q.text(first + 5);
    return row;
}

// Empty text is kept as NULL: "no resource yet", "no ETag", "no agreed version".
sql::Statement &bindText(sql::Statement &q, int index, const QString &value)
{
    return value.isEmpty() ? q.bindNull(index) : q.bind(index, value);
}

} // namespace

QList<TaskStore::SyncedTask> TaskStore::syncedTasks()
{
    sql::Statement q
        = m_db.prepare(QStringLiteral("SELECT t.ID, t.List, t.Subject, t.Category, t.Duration, "
                                      "t.FinishedDuration, t.FinishedSeconds, t.State, t.Priority, "
                                      "s.Uid, s.List, s.ID, s.Href, s.ETag, s.Base "
                                      "FROM Chronodeck AS t LEFT JOIN SyncState AS s "
                                      "ON s.List = t.List AND s.ID = t.ID "
                                      "WHERE t.List <> 'VER' ORDER BY t.rowid"));
    QList<SyncedTask> result;
    while (q.step()) {
        SyncedTask synced;
        synced.task.ID = q.int32(0);
        synced.task.List = q.text(1);
        synced.task.Subject = q.text(2);
        synced.task.Category = q.isNull(3) ? 0 : q.int32(3);
        synced.task.Duration = q.isNull(4) ? 0 : q.int32(4);
        synced.task.FinishedDuration = q.isNull(5) ? 0 : q.int32(5);
        synced.task.FinishedSeconds = static_cast<quint8>(q.int64(6));
        synced.task.State = q.isNull(7) ? 0 : q.int32(7);
        synced.task.Priority = q.isNull(8) ? 0 : q.int32(8);
        if (!q.isNull(9))
            synced.sync = readSyncRow(q, 9);
        result.append(synced);
    }
    return result;
}

QList<TaskStore::SyncRow> TaskStore::syncRows()
{
    sql::Statement q = m_db.prepare(QStringLiteral("SELECT ") % QLatin1String(kSyncRowFields)
                                    % QStringLiteral(" FROM SyncState ORDER BY rowid"));
    QList<SyncRow> rows;
    while (q.step())
        rows.append(readSyncRow(q, 0));
    return rows;
}

std::optional<TaskStore::SyncRow> TaskStore::syncRowByUid(const QString &uid)
{
    sql::Statement q = m_db.prepare(QStringLiteral("SELECT ") % QLatin1String(kSyncRowFields)
                                    % QStringLiteral(" FROM SyncState WHERE Uid = ?1"));
    q.bind(1, uid);
    if (!q.step())
        return std::nullopt;
    return readSyncRow(q, 0);
}

std::optional<TaskStore::SyncRow> TaskStore::syncRowByHref(const QString &href)
{
    sql::Statement q = m_db.prepare(QStringLiteral("SELECT ") % QLatin1String(kSyncRowFields)
                                    % QStringLiteral(" FROM SyncState WHERE Href = ?1 "
                                                     "ORDER BY rowid LIMIT 1"));
    q.bind(1, href);
    if (!q.step())
        return std::nullopt;
    return readSyncRow(q, 0);
}

std::optional<TaskStore::SyncRow> TaskStore::syncRowAt(const QString &list, qint32 id)
{
    sql::Statement q = m_db.prepare(QStringLiteral("SELECT ") % QLatin1String(kSyncRowFields)
                                    % QStringLiteral(" FROM SyncState WHERE List = ?1 AND ID = ?2 "
                                                     "ORDER BY rowid LIMIT 1"));
    q.bind(1, list).bind(2, id);
    if (!q.step())
        return std::nullopt;
    return readSyncRow(q, 0);
}

void TaskStore::putSyncRow(const SyncRow &row)
{
    if (row.uid.isEmpty())
        throw StoreError(QCoreApplication::translate(
            "TaskStore", "A sync record without a UID cannot be stored."));
    sql::Statement q = m_db.prepare(QStringLiteral("INSERT OR REPLACE INTO SyncState (")
                                    % QLatin1String(kSyncRowFields)
                                    % QStringLiteral(") VALUES (?1, ?2, ?3, ?4, ?5, ?6)"));
    q.bind(1, row.uid);
    if (row.isTombstone())
        q.bindNull(2).bindNull(3);
    else
        q.bind(2, row.list).bind(3, row.id);
    bindText(q, 4, row.href);
    bindText(q, 5, row.etag);
    bindText(q, 6, row.base);
    q.run();
}

bool TaskStore::removeSyncRow(const QString &uid)
{
    sql::Statement q = m_db.prepare(QStringLiteral("DELETE FROM SyncState WHERE Uid = ?1"));
    q.bind(1, uid).run();
    return m_db.changes() > 0;
}

void TaskStore::forgetSyncServer()
{
    sql::Savepoint step(m_db);
    m_db.exec(QStringLiteral("DELETE FROM SyncState WHERE List IS NULL"));
    m_db.exec(QStringLiteral("UPDATE SyncState SET Href = NULL, ETag = NULL, Base = NULL"));
    m_db.exec(QStringLiteral("DELETE FROM ProgramState WHERE Name LIKE 'Sync%'"));
    step.release();
}

QString TaskStore::syncValue(const QString &name)
{
    sql::Statement q
        = m_db.prepare(QStringLiteral("SELECT Value FROM ProgramState WHERE Name = ?1"));
    q.bind(1, name);
    return q.step() ? q.text(0) : QString();
}

void TaskStore::setSyncValue(const QString &name, const QString &value)
{
    sql::Statement q = m_db.prepare(
        QStringLiteral("INSERT OR REPLACE INTO ProgramState (Name, Value) VALUES (?1, ?2)"));
    q.bind(1, name);
    bindText(q, 2, value).run();
}

} // namespace cdk
