#pragma once

#include "store/TaskRecord.h"
#include "sync/SyncTask.h"

#include <QList>
#include <QString>

#include <optional>

// Between the rows of the task database and the tasks that travel. Private to
// the sync engine.
namespace cdk::sync {

// The task or template as it travels: a template's rule code is split off its
// subject; the category goes by name ("" for none or one no longer there);
// the time done in seconds.
SyncTask toSyncTask(const TaskRecord &task, const QString &uid,
                    const QList<CategoryRecord> &categories);

// The row that holds what a task says, over the row it was (ID, list and
// reserved columns untouched). Values outside the ranges the database
// accepts are brought into them.
TaskRecord toTaskRecord(const SyncTask &task, TaskRecord row, qint32 categoryId);

// The list a task belongs in: its day, the templates' list for one with a
// rule, else the given day (a task from another program may have no date).
QString listFor(const SyncTask &task, const QString &fallbackDay);

// Whether the list holds tasks that are synced: a day or the templates.
bool isSyncedList(const QString &list);

// The UID of a template's copy for a day: the same on every machine that
// copies the template on that day.
QString copyUid(const QString &templateUid, const QString &dayKey);

// The content of SyncState.Base: the version both sides agreed on, and while
// a write to the server is under way, what was sent (so a run cut off after
// the server took the write knows its own write when it sees it again).
struct AgreedVersion
{
    std::optional<SyncTask> agreed;
    std::optional<SyncTask> sent;
};
QString toBaseText(const AgreedVersion &version);
AgreedVersion fromBaseText(const QString &text);

// Whether the Base text is, word for word, what toBaseText writes for an
// agreed version with the task's content and UID (any time of change) and
// nothing sent: then fromBaseText would give an agreed version that says the
// same as the task. Answers without reading the JSON, so the unchanged tasks
// of a large database cost little on each run; false says nothing, and the
// caller reads the text in full.
bool baseTextAgrees(QStringView base, const SyncTask &task);

} // namespace cdk::sync
