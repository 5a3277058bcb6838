#pragma once

#include "store/Sql.h"
#include "store/TaskRecord.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>
#include <stdexcept>
#include <utility>

namespace cdk {

// A store failure the user has to be told about: the text is ready to show.
class StoreError : public std::runtime_error
{
public:
    explicit StoreError(const QString &userMessage)
        : std::runtime_error(userMessage.toStdString()), m_message(userMessage)
    {
    }
    QString userMessage() const { return m_message; }

private:
    QString m_message;
};

// A list (or the category table) already holds the number 32767: no further
// number can be given. Callers refuse the new task, move or category.
class IdOverflow : public StoreError
{
public:
    using StoreError::StoreError;
};

// Owns the task database "CDKDatabase.cdkd" in the data folder for the life of
// the process: the tasks and templates (table Chronodeck), the categories
// (CategoryList) and the unused ProjectList. Every change of a task row goes
// through here. Failures of the engine are thrown as sql::Error.
class TaskStore
{
public:
    // dataFolder: the folder that holds the database; with or without a
    // trailing separator.
    explicit TaskStore(const QString &dataFolder);
    ~TaskStore();
    TaskStore(const TaskStore &) = delete;
    TaskStore &operator=(const TaskStore &) = delete;

    static QString databaseFileName() { return QStringLiteral("CDKDatabase.cdkd"); }

    // Opens the database, or creates it with its default content when the file
    // is missing. A file that is locked, damaged or not a database throws
    // StoreError naming the file and what to do; the file is never touched.
    void OpenTaskDatabase();
    // Checkpoints the journal into the file and releases it.
    void Close();
    bool isOpen() const;
    QString DatabasePath() const { return m_path; }
    // Folds the write-ahead journal into the database file, so that a copy of
    // the file is complete.
    void checkpoint();
    // The open connection, for callers that keep statements of their own.
    sql::Database &database();

    // Writes a compacted copy of source to destination (VACUUM INTO); the
    // source is untouched. Throws sql::Error.
    static void CompactDatabase(const QString &source, const QString &destination);
    // The file at path has just been written by a compaction, which read the
    // source whole: the next open may trust it without checking every page,
    // as long as nothing has touched it since.
    static void markVerified(const QString &path);

    // ---- Lists and lookups
    std::optional<TaskRecord> findTask(const QString &list, qint32 id);
    // The tasks of one list in the order they were stored.
    QList<TaskRecord> tasksOfList(const QString &list);
    // Largest ID of the list plus 1 (1 for an empty list). Throws IdOverflow
    // when the largest ID is 32767.
    qint32 NextTaskID(const QString &list);

    // ---- Categories
    QString GetCategoryName(qint32 id);                 // "(none)" when missing
    // (text colour, background colour), each -1 when unset or not above -1;
    // (-1, -1) for a category that does not exist.
    std::pair<qint32, qint32> GetCategoryColours(qint32 id);
    qint32 NextCategoryID();                            // throws IdOverflow
    QList<CategoryRecord> categories();                 // table order
    void AddCategory(const CategoryRecord &category);
    bool UpdateCategory(const CategoryRecord &category); // by ID
    bool DeleteCategory(qint32 id);

    // ---- Task operations
    // Writes the record as a new row (isNew) or over the row (list, id).
    // Editing clamps the time done to a shortened budget. The reserved columns
    // are written as '', '', 0, false. Returns false when the row to edit is
    // missing (nothing written).
    bool SaveTask(const TaskRecord &record, bool isNew, const QString &list, qint32 id);
    // Fills ID, List, Subject, Duration, FinishedDuration, Category, State,
    // Priority (not FinishedSeconds). False (record untouched) when missing.
    bool LoadTask(TaskRecord &record, qint32 id, const QString &list);
    bool DeleteTask(qint32 id, const QString &list);
    // State 4 with markFull also sets the time done to the whole budget.
    bool SetTaskState(qint32 id, const QString &list, int state, bool markFull);
    bool SetTaskPriority(qint32 id, const QString &list, int priority);
    // Moves a row to another list under a new ID, keeping every other column.
    bool MoveTask(const QString &list, qint32 id, const QString &targetList, qint32 newId);
    // FinishedDuration := 0; seconds and state stay.
    bool ResetTimeDone(const QString &list, qint32 id);

private:
    struct Statements;
    void CreateTaskDatabase();
    void prepareStatements();
    Statements &st();

    QString m_folder;
    QString m_path;
    sql::Database m_db;
    std::unique_ptr<Statements> m_statements;
};

} // namespace cdk
