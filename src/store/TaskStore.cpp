#include "store/TaskStore.h"

#include "base/Log.h"
#include "store/TaskFile.h"
#include "store/TaskSchema.h"
#include "store/Vocabulary.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>

namespace cdk {

namespace {

// The first row of a list with that number, in stored order: the row a search
// by list and number lands on.
#define CDK_TASK_ROW                                                                               \
    "rowid = (SELECT rowid FROM Chronodeck WHERE List = ?1 AND ID = ?2 "                           \
    "ORDER BY rowid LIMIT 1)"
#define CDK_TASK_FIELDS                                                                            \
    "ID, List, Subject, Category, Duration, FinishedDuration, "                                    \
    "FinishedSeconds, State, Priority"

// Releases the statement's read snapshot when the caller is done with it, so
// that a checkpoint is never held up by a forgotten cursor.
class StepScope
{
public:
    explicit StepScope(sql::Statement &stmt)
        : m_stmt(stmt)
    {
    }
    ~StepScope() { m_stmt.reset(); }
    StepScope(const StepScope &) = delete;
    StepScope &operator=(const StepScope &) = delete;

private:
    sql::Statement &m_stmt;
};

TaskRecord readTask(const sql::Statement &row)
{
    TaskRecord task;
    task.ID = row.int32(0);
    task.List = row.text(1);
    task.Subject = row.text(2);
    task.Category = row.int32(3);
    task.Duration = row.int32(4);
    task.FinishedDuration = row.int32(5);
    task.FinishedSeconds = static_cast<quint8>(row.int64(6));
    task.State = row.int32(7);
    task.Priority = row.int32(8);
    return task;
}

CategoryRecord readCategory(const sql::Statement &row)
{
    CategoryRecord c;
    c.ID = row.int32(0);
    c.Name = row.text(1);
    c.BackColor = row.isNull(2) ? -1 : row.int32(2);
    c.ForeColor = row.isNull(3) ? -1 : row.int32(3);
    c.CatData1 = row.text(4);
    c.CatData2 = row.text(5);
    return c;
}

void requireList(const QString &list)
{
    if (list.isEmpty())
        throw StoreError(QCoreApplication::translate(
            "TaskStore", "The task cannot be stored: it does not belong to any list."));
}

// The refusals of a number its column cannot hold, one for each field.
const char *const kStateOutOfRange = QT_TRANSLATE_NOOP(
    "TaskStore", "The task state %1 cannot be stored: it must lie between -32768 and 32767.");
const char *const kPriorityOutOfRange = QT_TRANSLATE_NOOP(
    "TaskStore", "The priority %1 cannot be stored: it must lie between -32768 and 32767.");

void requireSmallNumber(qint64 value, const char *refusal)
{
    if (value < schema::kIntegerMin || value > schema::kIntegerMax)
        throw StoreError(QCoreApplication::translate("TaskStore", refusal).arg(value));
}

// A write the table's constraints refuse is a value the program must not
// store; it is reported instead of leaving a half-understood engine error.
template<typename Write> auto guarded(Write write)
{
    try {
        return write();
    } catch (const sql::Error &e) {
        if ((e.code() & 0xff) == SQLITE_CONSTRAINT)
            throw StoreError(
                QCoreApplication::translate("TaskStore",
                                            "The change was not stored because a value lies "
                                            "outside what the task database accepts.\n\n%1")
                    .arg(e.message()));
        throw;
    }
}

} // namespace

// A statement prepared when it is first used: start-up reads one day and
// should not pay for the statements of commands the user may never give.
class LazyStatement
{
public:
    LazyStatement() = default;
    LazyStatement(sql::Database *db, const char *text) : m_db(db), m_text(text) {}
    operator sql::Statement &()
    {
        if (!m_statement.isValid())
            m_statement = m_db->prepare(QString::fromLatin1(m_text));
        return m_statement;
    }

private:
    sql::Database *m_db = nullptr;
    const char *m_text = nullptr; // a literal: lives as long as the program
    sql::Statement m_statement;
};

struct TaskStore::Statements
{
    LazyStatement findTask;
    LazyStatement tasksOfList;
    LazyStatement tasksOfDay;
    LazyStatement maxTaskId;
    LazyStatement insertTask;
    LazyStatement editTask;
    LazyStatement deleteTask;
    LazyStatement setState;
    LazyStatement setPriority;
    LazyStatement moveTask;
    LazyStatement resetTimeDone;
    LazyStatement setTimeDone;
    LazyStatement setCategory;
    LazyStatement maxCategoryId;
    LazyStatement categories;
    LazyStatement insertCategory;
    LazyStatement updateCategory;
    LazyStatement deleteCategory;
    LazyStatement trackedByRowId;
    LazyStatement trackedByKey;
    LazyStatement writeTrackedSeconds;
    LazyStatement writeTrackedTime;
    LazyStatement storedTask;
    LazyStatement putTask;
    LazyStatement rewriteTask;
    LazyStatement storedCategory;
    LazyStatement putCategory;
    LazyStatement carrySyncRow;
    LazyStatement burySyncRow;
};

TaskStore::TaskStore(const QString &dataFolder, const QByteArray &vfs)
    : m_folder(dataFolder)
    , m_path(QDir(dataFolder).filePath(databaseFileName()))
    , m_vfs(vfs)
{
}

TaskStore::~TaskStore()
{
    try {
        Close();
    } catch (const std::exception &e) {
        qCWarning(lcStore) << "closing the task database failed:" << e.what();
    }
}

void TaskStore::OpenTaskDatabase(OpenCheck check)
{
    Close();
    m_path = QDir(m_folder).filePath(databaseFileName());
    // Whatever sits under the name is opened as it is, never replaced: only a
    // missing file is created.
    if (!QFileInfo::exists(m_path))
        CreateTaskDatabase();
    m_db = taskfile::openChecked(m_path, check == OpenCheck::WholeFile, m_vfs);
    qCInfo(lcStore) << "opened" << taskfile::shownPath(m_path);
    prepareOrClose();
}

void TaskStore::CreateTaskDatabase()
{
    taskfile::createIfMissing(m_path, m_vfs);
}

void TaskStore::openForReading()
{
    Close();
    m_path = QDir(m_folder).filePath(databaseFileName());
    m_db = taskfile::openForReading(m_path, m_vfs);
    prepareOrClose();
}

void TaskStore::prepareOrClose()
{
    try {
        prepareStatements();
    } catch (const sql::Error &e) {
        m_statements.reset();
        m_db.close();
        throw StoreError(
            QCoreApplication::translate("TaskStore", "The task database \"%1\" cannot be used: %2")
                .arg(taskfile::shownPath(m_path), e.message()));
    }
}

void TaskStore::prepareStatements()
{
    auto s = std::make_unique<Statements>();
    auto prep = [this](const char *text) { return LazyStatement(&m_db, text); };
    s->findTask = prep("SELECT " CDK_TASK_FIELDS " FROM Chronodeck WHERE " CDK_TASK_ROW);
    s->tasksOfList = prep("SELECT " CDK_TASK_FIELDS " FROM Chronodeck WHERE List = ?1 "
                          "ORDER BY rowid");
    // The index on (List, ID) hands the rows over in this order without a sort.
    s->tasksOfDay = prep("SELECT " CDK_TASK_FIELDS " FROM Chronodeck WHERE List = ?1 "
                         "ORDER BY ID, rowid");
    s->maxTaskId = prep("SELECT MAX(ID) FROM Chronodeck WHERE List = ?1");
    s->insertTask = prep("INSERT INTO Chronodeck (ID, List, Subject, Category, Duration, "
                         "FinishedDuration, FinishedSeconds, State, Priority, TaskData1, "
                         "TaskData2, TaskData3, TaskData4) "
                         "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, '', '', 0, 0)");
    // Every right-hand side reads the row as it was, so the comparison uses
    // the stored time done against the new budget.
    s->editTask = prep("UPDATE Chronodeck SET ID = ?3, List = ?4, Subject = ?5, Duration = ?6, "
                       "FinishedSeconds = CASE WHEN FinishedDuration >= ?6 THEN 0 "
                       "ELSE FinishedSeconds END, "
                       "FinishedDuration = CASE WHEN FinishedDuration >= ?6 THEN ?6 "
                       "ELSE FinishedDuration END, "
                       "Category = ?7, TaskData1 = '', TaskData2 = '', TaskData3 = 0, "
                       "TaskData4 = 0, State = ?8, Priority = ?9 WHERE " CDK_TASK_ROW);
    s->deleteTask = prep("DELETE FROM Chronodeck WHERE " CDK_TASK_ROW);
    s->setState = prep("UPDATE Chronodeck SET "
                       "FinishedSeconds = CASE WHEN ?4 THEN 0 ELSE FinishedSeconds END, "
                       "FinishedDuration = CASE WHEN ?4 THEN Duration ELSE FinishedDuration END, "
                       "State = ?3 WHERE " CDK_TASK_ROW);
    s->setPriority = prep("UPDATE Chronodeck SET Priority = ?3 WHERE " CDK_TASK_ROW);
    s->moveTask = prep("UPDATE Chronodeck SET List = ?3, ID = ?4 WHERE " CDK_TASK_ROW);
    s->resetTimeDone = prep("UPDATE Chronodeck SET FinishedDuration = 0 WHERE " CDK_TASK_ROW);
    s->setTimeDone = prep("UPDATE Chronodeck SET FinishedSeconds = 0, FinishedDuration = "
                          "CASE WHEN ?3 >= Duration THEN Duration ELSE ?3 END WHERE " CDK_TASK_ROW);
    s->setCategory = prep("UPDATE Chronodeck SET Category = ?3 WHERE " CDK_TASK_ROW);
    s->maxCategoryId = prep("SELECT MAX(ID) FROM CategoryList");
    s->categories = prep("SELECT ID, Name, BackColor, ForeColor, CatData1, CatData2 "
                         "FROM CategoryList ORDER BY rowid");
    s->insertCategory = prep("INSERT INTO CategoryList (ID, Name, BackColor, ForeColor, "
                             "CatData1, CatData2) VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
    s->updateCategory = prep("UPDATE CategoryList SET Name = ?2, BackColor = ?3, ForeColor = ?4 "
                             "WHERE ID = ?1");
    s->deleteCategory = prep("DELETE FROM CategoryList WHERE ID = ?1");
    // The tracked row is looked up by its position first and checked against
    // list and number; the search by list and number is the fallback.
    s->trackedByRowId = prep("SELECT rowid, Duration, FinishedDuration, FinishedSeconds, State, "
                             "Subject FROM Chronodeck WHERE rowid = ?1 AND List = ?2 AND ID = ?3");
    s->trackedByKey = prep("SELECT rowid, Duration, FinishedDuration, FinishedSeconds, State, "
                           "Subject FROM Chronodeck WHERE List = ?1 AND ID = ?2 "
                           "ORDER BY rowid LIMIT 1");
    s->writeTrackedSeconds = prep("UPDATE Chronodeck SET FinishedSeconds = ?1 WHERE rowid = ?2");
    s->writeTrackedTime = prep("UPDATE Chronodeck SET FinishedDuration = ?1, "
                               "FinishedSeconds = ?2 WHERE rowid = ?3");
    // Taking a change back puts a row where it was: at its old place in the
    // table when that is free, so the lists keep their order.
    s->storedTask = prep("SELECT " CDK_TASK_FIELDS ", rowid FROM Chronodeck WHERE List = ?1 "
                         "AND ID = ?2 ORDER BY rowid LIMIT 1");
    s->putTask = prep("INSERT INTO Chronodeck (rowid, ID, List, Subject, Category, Duration, "
                      "FinishedDuration, FinishedSeconds, State, Priority, TaskData1, "
                      "TaskData2, TaskData3, TaskData4) "
                      "VALUES ((SELECT CASE WHEN EXISTS (SELECT 1 FROM Chronodeck WHERE "
                      "rowid = ?10) THEN NULL ELSE ?10 END), "
                      "?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, '', '', 0, 0)");
    s->rewriteTask = prep("UPDATE Chronodeck SET ID = ?3, List = ?4, Subject = ?5, "
                          "Category = ?6, Duration = ?7, FinishedDuration = ?8, "
                          "FinishedSeconds = ?9, State = ?10, Priority = ?11 WHERE " CDK_TASK_ROW);
    s->storedCategory = prep("SELECT ID, Name, BackColor, ForeColor, CatData1, CatData2, rowid "
                             "FROM CategoryList WHERE ID = ?1 ORDER BY rowid LIMIT 1");
    s->putCategory = prep("INSERT INTO CategoryList (rowid, ID, Name, BackColor, ForeColor, "
                          "CatData1, CatData2) VALUES ((SELECT CASE WHEN EXISTS (SELECT 1 FROM "
                          "CategoryList WHERE rowid = ?7) THEN NULL ELSE ?7 END), "
                          "?1, ?2, ?3, ?4, ?5, ?6)");
    // A task keeps its server resource wherever it goes; a deleted one leaves
    // its row behind without a place, so the next sync deletes it there too.
    s->carrySyncRow = prep("UPDATE SyncState SET List = ?3, ID = ?4 WHERE List = ?1 AND ID = ?2");
    s->burySyncRow = prep("UPDATE SyncState SET List = NULL, ID = NULL "
                          "WHERE List = ?1 AND ID = ?2");
    m_statements = std::move(s);
}

#undef CDK_TASK_ROW
#undef CDK_TASK_FIELDS

TaskStore::Statements &TaskStore::st()
{
    if (!m_statements)
        throw sql::Error(SQLITE_MISUSE,
                         QCoreApplication::translate("TaskStore", "the task database is not open"));
    return *m_statements;
}

void TaskStore::Close()
{
    if (!m_db.isOpen())
        return;
    m_statements.reset();
    try {
        checkpoint();
    } catch (const sql::Error &e) {
        // The engine folds the journal in on close as well; the file stays whole.
        qCWarning(lcStore) << "checkpoint before close failed:" << e.message();
    }
    m_db.close();
    qCInfo(lcStore) << "closed" << taskfile::shownPath(m_path);
}

void TaskStore::closeQuickly()
{
    if (!m_db.isOpen())
        return;
    m_statements.reset();
    try {
        // The journal files stay, emptied, for the next process: making and
        // deleting them costs a short-lived process more than its own work.
        // The engine still folds the journal into the file when the last
        // connection to it closes.
        int persist = 1;
        sqlite3_file_control(m_db.handle(), "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
        m_db.exec(QStringLiteral("PRAGMA journal_size_limit = 0"));
    } catch (const sql::Error &e) {
        qCInfo(lcStore) << "the journal goes with the connection:" << e.message();
    }
    m_db.close();
}

bool TaskStore::isOpen() const { return m_db.isOpen(); }

void TaskStore::checkpoint()
{
    if (!m_db.isOpen())
        throw sql::Error(SQLITE_MISUSE,
                         QCoreApplication::translate("TaskStore", "the task database is not open"));
    taskfile::checkpoint(m_db, m_path);
}

void TaskStore::checkpointPassive()
{
    if (!m_db.isOpen())
        return;
    m_db.exec(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"));
}

sql::Database &TaskStore::database() { return m_db; }

void TaskStore::backupFile(const QString &source, const QString &destination,
                           const QByteArray &vfs)
{
    taskfile::backupFile(source, destination, vfs);
}

void TaskStore::checkRestorable(const QString &path)
{
    taskfile::checkRestorable(path);
}

void TaskStore::restoreFrom(const QString &path)
{
    if (!m_db.isOpen())
        throw StoreError(
            QCoreApplication::translate("TaskStore", "The task database is not open."));
    // Statements hold read snapshots between steps; none may span the copy.
    m_statements.reset();
    try {
        taskfile::restoreInto(m_db, m_path, path, m_vfs);
    } catch (...) {
        prepareOrClose();
        throw;
    }
    prepareOrClose();
}

void TaskStore::compact()
{
    if (!m_db.isOpen())
        throw sql::Error(SQLITE_MISUSE,
                         QCoreApplication::translate("TaskStore", "the task database is not open"));
    m_statements.reset();
    try {
        taskfile::compact(m_db, m_path, m_vfs);
    } catch (...) {
        prepareOrClose();
        throw;
    }
    prepareOrClose();
}

QDate TaskStore::lastInjectionDate()
{
    sql::Statement q = m_db.prepare(
        QStringLiteral("SELECT Value FROM ProgramState WHERE Name = 'LastRecurrentInject'"));
    return q.step() ? QDate::fromString(q.text(0), Qt::ISODate) : QDate();
}

void TaskStore::setLastInjectionDate(const QDate &day)
{
    sql::Statement q = m_db.prepare(QStringLiteral(
        "INSERT OR REPLACE INTO ProgramState (Name, Value) VALUES ('LastRecurrentInject', ?1)"));
    q.bind(1, day.toString(Qt::ISODate)).run();
}

void TaskStore::markVerified(const QString &path)
{
    taskfile::markVerified(path);
}

// ---- Lists and lookups

std::optional<TaskRecord> TaskStore::findTask(const QString &list, qint32 id)
{
    sql::Statement &q = st().findTask;
    StepScope scope(q);
    q.bind(1, list).bind(2, id);
    if (!q.step())
        return std::nullopt;
    return readTask(q);
}

QList<TaskRecord> TaskStore::tasksOfList(const QString &list)
{
    sql::Statement &q = st().tasksOfList;
    StepScope scope(q);
    q.bind(1, list);
    QList<TaskRecord> tasks;
    while (q.step())
        tasks.append(readTask(q));
    return tasks;
}

void TaskStore::forEachTaskOfDays(const QDate &first, const QDate &last, bool withSubjects,
                                  const DayTaskVisitor &visit)
{
    if (!first.isValid() || !last.isValid())
        return;
    sql::Statement &q = st().tasksOfDay;
    TaskRecord task;
    for (QDate day = first; day <= last; day = day.addDays(1)) {
        const QString key = DayListKey(day);
        if (key.isEmpty())
            continue;
        StepScope scope(q);
        q.bind(1, key);
        task.List = key;
        while (q.step()) {
            task.ID = q.int32(0);
            task.Subject = withSubjects ? q.text(2) : QString();
            task.Category = q.int32(3);
            task.Duration = q.int32(4);
            task.FinishedDuration = q.int32(5);
            task.FinishedSeconds = static_cast<quint8>(q.int64(6));
            task.State = q.int32(7);
            task.Priority = q.int32(8);
            visit(day, task);
        }
    }
}

qint32 TaskStore::NextTaskID(const QString &list)
{
    sql::Statement &q = st().maxTaskId;
    StepScope scope(q);
    q.bind(1, list);
    // The largest starts at 0, so an empty list (or one holding only negative
    // numbers) begins at 1.
    const qint64 largest = q.step() ? std::max<qint64>(0, q.int64(0)) : 0;
    if (largest >= schema::kIntegerMax)
        throw IdOverflow(
            QCoreApplication::translate("TaskStore",
                                        "The list \"%1\" already holds a task with the highest "
                                        "possible number (32767), so no further task can be "
                                        "added to it.")
                .arg(list));
    return qint32(largest + 1);
}

// ---- Categories

qint32 TaskStore::NextCategoryID()
{
    sql::Statement &q = st().maxCategoryId;
    StepScope scope(q);
    const qint64 largest = q.step() ? std::max<qint64>(0, q.int64(0)) : 0;
    if (largest >= schema::kIntegerMax)
        throw IdOverflow(QCoreApplication::translate(
            "TaskStore",
            "A category already has the highest possible number (32767), so no "
            "further category can be added."));
    return qint32(largest + 1);
}

QList<CategoryRecord> TaskStore::categories()
{
    sql::Statement &q = st().categories;
    StepScope scope(q);
    QList<CategoryRecord> result;
    while (q.step())
        result.append(readCategory(q));
    return result;
}

void TaskStore::AddCategory(const CategoryRecord &category)
{
    sql::Statement &q = st().insertCategory;
    StepScope scope(q);
    q.bind(1, category.ID).bind(2, category.Name).bind(3, category.BackColor);
    q.bind(4, category.ForeColor).bind(5, category.CatData1).bind(6, category.CatData2);
    guarded([&q] { q.run(); });
}

bool TaskStore::UpdateCategory(const CategoryRecord &category)
{
    sql::Statement &q = st().updateCategory;
    StepScope scope(q);
    q.bind(1, category.ID).bind(2, category.Name).bind(3, category.BackColor);
    q.bind(4, category.ForeColor);
    guarded([&q] { q.run(); });
    return m_db.changes() > 0;
}

bool TaskStore::DeleteCategory(qint32 id)
{
    sql::Statement &q = st().deleteCategory;
    StepScope scope(q);
    q.bind(1, id).run();
    return m_db.changes() > 0;
}

// ---- Rows as stored, for taking changes back

std::optional<TaskStore::StoredTask> TaskStore::storedTask(const QString &list, qint32 id)
{
    sql::Statement &q = st().storedTask;
    StepScope scope(q);
    q.bind(1, list).bind(2, id);
    if (!q.step())
        return std::nullopt;
    return StoredTask {q.int64(9), readTask(q)};
}

void TaskStore::putTask(const StoredTask &row)
{
    const TaskRecord &t = row.task;
    requireList(t.List);
    sql::Statement &q = st().putTask;
    StepScope scope(q);
    q.bind(1, t.ID).bind(2, t.List).bind(3, t.Subject).bind(4, t.Category).bind(5, t.Duration);
    q.bind(6, t.FinishedDuration).bind(7, int(t.FinishedSeconds)).bind(8, t.State);
    q.bind(9, t.Priority).bind(10, row.rowId);
    guarded([&q] { q.run(); });
}

bool TaskStore::rewriteTask(const QString &list, qint32 id, const TaskRecord &t)
{
    requireList(t.List);
    sql::Savepoint step(m_db);
    sql::Statement &q = st().rewriteTask;
    StepScope scope(q);
    q.bind(1, list).bind(2, id).bind(3, t.ID).bind(4, t.List).bind(5, t.Subject);
    q.bind(6, t.Category).bind(7, t.Duration).bind(8, t.FinishedDuration);
    q.bind(9, int(t.FinishedSeconds)).bind(10, t.State).bind(11, t.Priority);
    guarded([&q] { q.run(); });
    const bool rewritten = m_db.changes() > 0;
    // Taking a move back puts the task where it was, under the same resource.
    if (rewritten && (t.List != list || t.ID != id))
        carrySyncRow(list, id, t.List, t.ID);
    step.release();
    return rewritten;
}

void TaskStore::carrySyncRow(const QString &list, qint32 id, const QString &targetList,
                             qint32 targetId)
{
    sql::Statement &q = st().carrySyncRow;
    StepScope scope(q);
    q.bind(1, list).bind(2, id).bind(3, targetList).bind(4, targetId).run();
}

std::optional<TaskStore::StoredCategory> TaskStore::storedCategory(qint32 id)
{
    sql::Statement &q = st().storedCategory;
    StepScope scope(q);
    q.bind(1, id);
    if (!q.step())
        return std::nullopt;
    return StoredCategory {q.int64(6), readCategory(q)};
}

void TaskStore::putCategory(const StoredCategory &row)
{
    const CategoryRecord &c = row.category;
    sql::Statement &q = st().putCategory;
    StepScope scope(q);
    q.bind(1, c.ID).bind(2, c.Name).bind(3, c.BackColor).bind(4, c.ForeColor);
    q.bind(5, c.CatData1).bind(6, c.CatData2).bind(7, row.rowId);
    guarded([&q] { q.run(); });
}

// ---- Task operations

bool TaskStore::SaveTask(const TaskRecord &record, bool isNew, const QString &list, qint32 id)
{
    requireList(record.List);
    requireSmallNumber(record.State, kStateOutOfRange);
    requireSmallNumber(record.Priority, kPriorityOutOfRange);
    if (isNew) {
        sql::Statement &q = st().insertTask;
        StepScope scope(q);
        q.bind(1, record.ID).bind(2, record.List).bind(3, record.Subject);
        q.bind(4, record.Category).bind(5, record.Duration).bind(6, record.FinishedDuration);
        q.bind(7, int(record.FinishedSeconds)).bind(8, record.State).bind(9, record.Priority);
        guarded([&q] { q.run(); });
        return true;
    }
    sql::Statement &q = st().editTask;
    StepScope scope(q);
    q.bind(1, list).bind(2, id).bind(3, record.ID).bind(4, record.List).bind(5, record.Subject);
    q.bind(6, record.Duration).bind(7, record.Category).bind(8, record.State);
    q.bind(9, record.Priority);
    guarded([&q] { q.run(); });
    return m_db.changes() > 0;
}

bool TaskStore::DeleteTask(qint32 id, const QString &list)
{
    sql::Savepoint step(m_db);
    sql::Statement &q = st().deleteTask;
    StepScope scope(q);
    q.bind(1, list).bind(2, id).run();
    const bool deleted = m_db.changes() > 0;
    if (deleted) {
        sql::Statement &bury = st().burySyncRow;
        StepScope buryScope(bury);
        bury.bind(1, list).bind(2, id).run();
    }
    step.release();
    return deleted;
}

bool TaskStore::SetTaskState(qint32 id, const QString &list, int state, bool markFull)
{
    requireSmallNumber(state, kStateOutOfRange);
    sql::Statement &q = st().setState;
    StepScope scope(q);
    q.bind(1, list).bind(2, id).bind(3, state).bind(4, (markFull && state == Finished) ? 1 : 0);
    guarded([&q] { q.run(); });
    return m_db.changes() > 0;
}

bool TaskStore::SetTaskPriority(qint32 id, const QString &list, int priority)
{
    requireSmallNumber(priority, kPriorityOutOfRange);
    sql::Statement &q = st().setPriority;
    StepScope scope(q);
    q.bind(1, list).bind(2, id).bind(3, priority);
    guarded([&q] { q.run(); });
    return m_db.changes() > 0;
}

bool TaskStore::MoveTask(const QString &list, qint32 id, const QString &targetList, qint32 newId)
{
    requireList(targetList);
    sql::Savepoint step(m_db);
    sql::Statement &q = st().moveTask;
    StepScope scope(q);
    q.bind(1, list).bind(2, id).bind(3, targetList).bind(4, newId);
    guarded([&q] { q.run(); });
    const bool moved = m_db.changes() > 0;
    if (moved)
        carrySyncRow(list, id, targetList, newId);
    step.release();
    return moved;
}

bool TaskStore::ResetTimeDone(const QString &list, qint32 id)
{
    sql::Statement &q = st().resetTimeDone;
    StepScope scope(q);
    q.bind(1, list).bind(2, id).run();
    return m_db.changes() > 0;
}

bool TaskStore::SetTimeDone(const QString &list, qint32 id, qint64 minutes)
{
    sql::Statement &q = st().setTimeDone;
    StepScope scope(q);
    q.bind(1, list).bind(2, id).bind(3, minutes);
    guarded([&q] { q.run(); });
    return m_db.changes() > 0;
}

bool TaskStore::SetTaskCategory(const QString &list, qint32 id, qint32 category)
{
    sql::Statement &q = st().setCategory;
    StepScope scope(q);
    q.bind(1, list).bind(2, id).bind(3, category);
    guarded([&q] { q.run(); });
    return m_db.changes() > 0;
}

} // namespace cdk

namespace cdk {

// ---- The tracked task

std::optional<TaskStore::TrackedRow> TaskStore::findTrackedRow(const QString &list, qint32 id,
                                                               qint64 rowHint)
{
    auto read = [](const sql::Statement &q) {
        TrackedRow row;
        row.rowId = q.int64(0);
        row.duration = q.isNull(1) ? 0 : q.int32(1);
        row.finishedDuration = q.isNull(2) ? 0 : q.int32(2);
        row.finishedSeconds = q.isNull(3) ? 0 : q.int32(3);
        row.state = q.isNull(4) ? 0 : q.int32(4);
        row.subject = q.text(5);
        return row;
    };
    if (rowHint > 0) {
        sql::Statement &q = st().trackedByRowId;
        StepScope scope(q);
        q.bind(1, rowHint).bind(2, list).bind(3, id);
        if (q.step())
            return read(q);
    }
    sql::Statement &q = st().trackedByKey;
    StepScope scope(q);
    q.bind(1, list).bind(2, id);
    if (!q.step())
        return std::nullopt;
    return read(q);
}

void TaskStore::writeTrackedSeconds(qint64 rowId, qint64 seconds)
{
    sql::Statement &q = st().writeTrackedSeconds;
    StepScope scope(q);
    q.bind(1, seconds).bind(2, rowId).run();
}

void TaskStore::writeTrackedTime(qint64 rowId, qint64 minutes, qint64 seconds)
{
    sql::Statement &q = st().writeTrackedTime;
    StepScope scope(q);
    q.bind(1, minutes).bind(2, seconds).bind(3, rowId).run();
}

} // namespace cdk
