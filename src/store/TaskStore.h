#pragma once

#include "store/Sql.h"
#include "store/StoreError.h"
#include "store/TaskRecord.h"

#include <QDate>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace cdk {


// Owns the task database "CDKDatabase.cdkd" in the data folder for the life of
// the process: the tasks and templates (table Chronodeck), the categories
// (CategoryList) and the unused ProjectList. Every change of a task row goes
// through here. Failures of the engine are thrown as sql::Error.
class TaskStore
{
public:
    // dataFolder: the folder that holds the database; with or without a
    // trailing separator. vfs names the SQLite VFS every file of the store
    // goes through; empty means the platform's (tests pass one that fails
    // on purpose).
    explicit TaskStore(const QString &dataFolder, const QByteArray &vfs = {});
    ~TaskStore();
    TaskStore(const TaskStore &) = delete;
    TaskStore &operator=(const TaskStore &) = delete;

    static QString databaseFileName() { return QStringLiteral("CDKDatabase.cdkd"); }

    // Opens the database, or creates it with its default content when the file
    // is missing. A file that is locked, damaged or not a database throws
    // StoreError naming the file and what to do; the file is never touched.
    // WholeFile checks every page first, unless the last clean exit vouched
    // for the file; OnUse leaves damage to be met by the statements that read
    // it, for a short-lived process that reads a few rows.
    enum class OpenCheck { WholeFile, OnUse };
    void OpenTaskDatabase(OpenCheck check = OpenCheck::WholeFile);
    // Opens the existing database for reading only, for a command that only
    // reads, on a folder or a disk that cannot be written. Every write throws.
    void openForReading();
    // Checkpoints the journal into the file and releases it.
    void Close();
    // The same for a process that ends right after: the engine folds the
    // journal in when the last connection to the file closes, and the
    // journal files are kept, empty, for the next process.
    void closeQuickly();
    bool isOpen() const;
    QString DatabasePath() const { return m_path; }
    const QByteArray &vfsName() const { return m_vfs; }
    // Folds the write-ahead journal into the database file, so that a copy of
    // the file is complete; throws when a reader holds it up.
    void checkpoint();
    // The same without waiting for anyone: what cannot be folded in now is
    // folded in next time. Cheap when there is nothing to do.
    void checkpointPassive();
    // A complete copy of the database file at source, journal included,
    // through a connection of its own, so it may run on another thread while
    // this one goes on writing. Throws sql::Error.
    static void backupFile(const QString &source, const QString &destination,
                           const QByteArray &vfs = {});
    // Throws StoreError, with a text ready to show, when the file at path is
    // not an intact task database that could take the place of this one.
    static void checkRestorable(const QString &path);
    // The file at path, checked as checkRestorable does, takes the place of
    // the open database in one transaction: a failure or a kill leaves the
    // database as it was. Throws StoreError.
    void restoreFrom(const QString &path);
    // Rewrites the open database compactly, in place, in one transaction.
    // Throws sql::Error.
    void compact();
    // The open connection, for callers that keep statements of their own.
    sql::Database &database();

    // The file at path has just been read whole without a fault: the next
    // open may trust it without checking every page, as long as nothing has
    // touched it since.
    static void markVerified(const QString &path);

    // ---- Facts about the file
    // The day the recurrent templates were last copied into a day list, as
    // the database records it; invalid when it has no record. Meant to be
    // read and written inside one transaction with the copies.
    QDate lastInjectionDate();
    void setLastInjectionDate(const QDate &day);

    // ---- Lists and lookups
    std::optional<TaskRecord> findTask(const QString &list, qint32 id);
    // The tasks of one list in the order they were stored.
    QList<TaskRecord> tasksOfList(const QString &list);
    // Largest ID of the list plus 1 (1 for an empty list). Throws IdOverflow
    // when the largest ID is 32767.
    qint32 NextTaskID(const QString &list);
    // Visits the tasks of every day list from first to last, day by day and
    // within a day by ID; templates and lists that name no day are never
    // visited. Without subjects the records carry an empty Subject, which
    // spares the text of every row to a caller that only counts.
    using DayTaskVisitor = std::function<void(const QDate &day, const TaskRecord &task)>;
    void forEachTaskOfDays(const QDate &first, const QDate &last, bool withSubjects,
                           const DayTaskVisitor &visit);

    // ---- Categories
    qint32 NextCategoryID();                            // throws IdOverflow
    QList<CategoryRecord> categories();                 // table order
    void AddCategory(const CategoryRecord &category);
    bool UpdateCategory(const CategoryRecord &category); // by ID
    bool DeleteCategory(qint32 id);

    // ---- Rows as stored, with their place in the table, so that a change
    // can be taken back exactly
    struct StoredTask
    {
        qint64 rowId = 0;
        TaskRecord task;
    };
    std::optional<StoredTask> storedTask(const QString &list, qint32 id);
    // Inserts the row at its old place when that is free, else at the end.
    void putTask(const StoredTask &row);
    // Writes every column of the row (list, id), its key included.
    bool rewriteTask(const QString &list, qint32 id, const TaskRecord &record);
    struct StoredCategory
    {
        qint64 rowId = 0;
        CategoryRecord category;
    };
    std::optional<StoredCategory> storedCategory(qint32 id);
    void putCategory(const StoredCategory &row);

    // ---- Task operations
    // Writes the record as a new row (isNew) or over the row (list, id).
    // Editing clamps the time done to a shortened budget. The reserved columns
    // are written as '', '', 0, false. Returns false when the row to edit is
    // missing (nothing written).
    bool SaveTask(const TaskRecord &record, bool isNew, const QString &list, qint32 id);
    bool DeleteTask(qint32 id, const QString &list);
    // State 4 with markFull also sets the time done to the whole budget.
    bool SetTaskState(qint32 id, const QString &list, int state, bool markFull);
    bool SetTaskPriority(qint32 id, const QString &list, int priority);
    // Moves a row to another list under a new ID, keeping every other column.
    bool MoveTask(const QString &list, qint32 id, const QString &targetList, qint32 newId);
    // FinishedDuration := 0; seconds and state stay.
    bool ResetTimeDone(const QString &list, qint32 id);
    // FinishedDuration := minutes, but never more than the task's budget;
    // FinishedSeconds := 0.
    bool SetTimeDone(const QString &list, qint32 id, qint64 minutes);
    bool SetTaskCategory(const QString &list, qint32 id, qint32 category);

    // ---- Sync with a calendar server. Each task that has been given a
    // server identity has a row: its UID, its place (list and ID), the
    // resource's name and ETag on the server, and the version both sides
    // last agreed on (Base, empty while there is none). A row without a
    // place is a task deleted here that the server still holds. Nothing else
    // of the program needs to know: what changed here is found by comparing
    // each task with its Base. Moves and deletes carry the row along.
    struct SyncRow
    {
        QString uid;
        QString list; // empty: deleted here
        qint32 id = 0;
        QString href;
        QString etag;
        QString base;
        bool isTombstone() const { return list.isEmpty(); }
        friend bool operator==(const SyncRow &, const SyncRow &) = default;
    };
    struct SyncedTask
    {
        TaskRecord task;
        std::optional<SyncRow> sync;
    };
    // Every task of a list other than the version row, in table order, with
    // the row at its place.
    QList<SyncedTask> syncedTasks();
    QList<SyncRow> syncRows();
    std::optional<SyncRow> syncRowByUid(const QString &uid);
    std::optional<SyncRow> syncRowByHref(const QString &href);
    std::optional<SyncRow> syncRowAt(const QString &list, qint32 id);
    // Inserts the row, or replaces the one of the same UID.
    void putSyncRow(const SyncRow &row);
    bool removeSyncRow(const QString &uid);
    // Forgets every server identity's resource: rows without a place go,
    // the others lose name, ETag and Base, so a new collection gets every
    // task anew under its old UID. The token goes too.
    void forgetSyncServer();
    // Facts about the sync kept in the file (collection, token), under names
    // that begin with "Sync"; empty when there is none.
    QString syncValue(const QString &name);
    void setSyncValue(const QString &name, const QString &value);
    // The name of the last sync's state as a user reads it ("Synced 12:04").
    static QString syncStateName() { return QStringLiteral("SyncStatus"); }

    // ---- The tracked task: one row, looked up and written every second
    struct TrackedRow
    {
        qint64 rowId = 0;
        qint32 duration = 0;
        qint32 finishedDuration = 0;
        qint32 finishedSeconds = 0;
        qint32 state = 0;
        QString subject;
    };
    // The row of (list, id); rowHint is where it was last seen (0: unknown),
    // checked against list and id, so a moved or rewritten row is found anyway.
    std::optional<TrackedRow> findTrackedRow(const QString &list, qint32 id, qint64 rowHint);
    void writeTrackedSeconds(qint64 rowId, qint64 seconds);
    void writeTrackedTime(qint64 rowId, qint64 minutes, qint64 seconds);

private:
    struct Statements;
    void carrySyncRow(const QString &list, qint32 id, const QString &targetList,
                      qint32 targetId);
    void CreateTaskDatabase();
    void prepareStatements();
    void prepareOrClose();
    Statements &st();

    QString m_folder;
    QString m_path;
    QByteArray m_vfs;
    sql::Database m_db;
    std::unique_ptr<Statements> m_statements;
};

} // namespace cdk
