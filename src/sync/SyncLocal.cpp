// The local side of a sync run: every write to the task database, each in a
// transaction of its own that reads the task again first, so that a change
// made meanwhile by the window or a command is merged, never overwritten.
#include "core/Recurrence.h"
#include "store/Vocabulary.h"
#include "sync/SyncMapping.h"
#include "sync/SyncMerge.h"
#include "sync/SyncRun.h"

#include <QUuid>

namespace cdk::sync {

using SyncRow = TaskStore::SyncRow;

void SyncRun::useCollection()
{
    // Another task list: every task is new to it, under the UID it has.
    const QString url = m_collection.toString();
    if (m_store.syncValue(SyncEngine::collectionKey()) == url)
        return;
    sql::Transaction transaction(m_store.database());
    m_store.forgetSyncServer();
    m_store.setSyncValue(SyncEngine::collectionKey(), url);
    transaction.commit();
}

SyncTask SyncRun::travelling(const TaskRecord &task, const QString &uid)
{
    SyncTask t = toSyncTask(task, uid, m_categories);
    t.lastModified = m_now;
    return t;
}

bool SyncRun::changedHere(const TaskRecord &task, const SyncRow &row)
{
    const SyncTask here = travelling(task, row.uid);
    // Most tasks are as they were agreed: their Base is the very text that
    // agreement wrote, and is not read in full.
    if (baseTextAgrees(row.base, here))
        return false;
    const AgreedVersion version = fromBaseText(row.base);
    return !version.agreed || !sameContent(here, *version.agreed);
}

std::optional<SyncTask> SyncRun::localTask(const SyncRow &row)
{
    if (row.isTombstone())
        return std::nullopt;
    const std::optional<TaskRecord> task = m_store.findTask(row.list, row.id);
    if (!task)
        return std::nullopt;
    return travelling(*task, row.uid);
}

void SyncRun::listChanged(const QString &list)
{
    if (!m_report.changedLists.contains(list))
        m_report.changedLists.append(list);
}

qint32 SyncRun::categoryFor(const QString &name)
{
    if (name.isEmpty())
        return 0;
    for (Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        for (const CategoryRecord &c : std::as_const(m_categories)) {
            if (c.Name.compare(name, cs) == 0)
                return c.ID;
        }
    }
    CategoryRecord made;
    made.ID = m_store.NextCategoryID();
    made.Name = name;
    m_store.AddCategory(made);
    m_categories.append(made);
    qCInfo(lcSyncEngine) << "made the category" << name << "that the server's tasks use";
    return made.ID;
}

void SyncRun::insertLocal(SyncRow &row, SyncTask remote)
{
    remote.list = listFor(remote, m_today);
    TaskRecord record;
    record.List = remote.list;
    record.ID = m_store.NextTaskID(remote.list);
    record = toTaskRecord(remote, record, categoryFor(remote.category));
    m_store.SaveTask(record, true, record.List, record.ID);
    row.list = record.List;
    row.id = record.ID;
    listChanged(record.List);
    ++m_report.received;
}

void SyncRun::writeLocal(SyncRow &row, const TaskRecord &current, SyncTask merged)
{
    merged.list = listFor(merged, current.List);
    TaskRecord place = current;
    if (merged.list != current.List) {
        // Another day, same task: the move carries its sync row along.
        place.List = merged.list;
        place.ID = m_store.NextTaskID(merged.list);
        m_store.MoveTask(current.List, current.ID, place.List, place.ID);
        listChanged(current.List);
    }
    const TaskRecord record = toTaskRecord(merged, place, categoryFor(merged.category));
    if (record != place)
        m_store.rewriteTask(place.List, place.ID, record);
    row.list = place.List;
    row.id = place.ID;
    listChanged(place.List);
    ++m_report.received;
}

void SyncRun::loadTemplates() { loadTemplates(m_store.syncedTasks()); }

void SyncRun::loadTemplates(const QList<TaskStore::SyncedTask> &tasks)
{
    m_templates.clear();
    for (const TaskStore::SyncedTask &t : tasks) {
        if (t.task.List == recurrentListKey() && t.sync)
            m_templates.append({t.task, t.sync->uid});
    }
}

QString SyncRun::copyUidFor(const TaskRecord &task, const QSet<QString> &taken)
{
    const QDate day = DateFromListKey(task.List);
    if (!day.isValid())
        return {};
    for (const Template &templ : std::as_const(m_templates)) {
        if (GetRecurrentSubject(templ.task.Subject) != task.Subject
            || !RecurrenceMatchesDate(GetRecurrenceCode(templ.task.Subject), day))
            continue;
        const QString uid = copyUid(templ.uid, task.List);
        if (!taken.contains(uid))
            return uid;
    }
    return {};
}

std::optional<TaskRecord> SyncRun::waitingCopy(const QString &uid)
{
    if (!m_waitingCopies) {
        loadTemplates();
        m_waitingCopies.emplace();
        QSet<QString> taken;
        for (const SyncRow &row : m_store.syncRows())
            taken.insert(row.uid);
        for (const TaskStore::SyncedTask &t : m_store.syncedTasks()) {
            if (t.sync || t.task.List == recurrentListKey())
                continue;
            const QString copy = copyUidFor(t.task, taken);
            if (copy.isEmpty())
                continue;
            taken.insert(copy);
            m_waitingCopies->insert(copy, {t.task.List, t.task.ID});
        }
    }
    const auto found = m_waitingCopies->constFind(uid);
    if (found == m_waitingCopies->cend())
        return std::nullopt;
    // Still there, and still waiting?
    if (m_store.syncRowAt(found->first, found->second))
        return std::nullopt;
    return m_store.findTask(found->first, found->second);
}

SyncTask SyncRun::fallbackBase(const QString &uid, const TaskRecord &local, const SyncTask &remote)
{
    // Both sides copied the same template on the same day: they agree on
    // the copy as it was made.
    for (const Template &templ : std::as_const(m_templates)) {
        if (copyUid(templ.uid, local.List) == uid) {
            SyncTask base = travelling(BuildTemplateCopy(templ.task, local.List, local.ID), uid);
            base.lastModified = QDateTime();
            return base;
        }
    }
    // Nothing agreed yet: whatever differs here is taken as the change.
    return remote;
}

void SyncRun::applyRemote(const SyncTask &remote, const Resource &resource)
{
    sql::Transaction transaction(m_store.database());
    std::optional<SyncRow> row = m_store.syncRowByUid(remote.uid);
    std::optional<TaskRecord> local;
    if (row && !row->isTombstone())
        local = m_store.findTask(row->list, row->id);
    if (!row) {
        if ((local = waitingCopy(remote.uid)))
            row = SyncRow {remote.uid, local->List, local->ID, {}, {}, {}};
    }
    if (!row)
        row = SyncRow {remote.uid, {}, 0, {}, {}, {}};
    const AgreedVersion version = fromBaseText(row->base);
    if (!local && version.agreed && sameContent(*version.agreed, remote)) {
        // Deleted here and unchanged there (known under another name, or
        // our own write seen again): the delete stands.
    } else if (!local) {
        // New there, or deleted here and changed there since: a change
        // beats a delete.
        insertLocal(*row, remote);
    } else {
        // A write of an earlier run that the server took before that run
        // could note it is no change of the server's.
        if (!version.sent || !sameContent(*version.sent, remote)) {
            const SyncTask here = travelling(*local, remote.uid);
            const SyncTask base
                = version.agreed ? *version.agreed : fallbackBase(remote.uid, *local, remote);
            const SyncTask merged = mergeTask(base, here, remote);
            if (!sameContent(here, base) && !sameContent(remote, base))
                ++m_report.merged;
            if (!sameContent(merged, here))
                writeLocal(*row, *local, merged);
        }
    }
    row->href = resource.href;
    row->etag = resource.etag;
    row->base = toBaseText({remote, std::nullopt});
    m_store.putSyncRow(*row);
    transaction.commit();
}

void SyncRun::applyRemoteDeletion(const QString &href)
{
    sql::Transaction transaction(m_store.database());
    std::optional<SyncRow> row = m_store.syncRowByHref(href);
    if (!row)
        return;
    const std::optional<SyncTask> here = localTask(*row);
    const AgreedVersion version = fromBaseText(row->base);
    if (!here || (version.agreed && sameContent(*here, *version.agreed))) {
        if (here) {
            m_store.DeleteTask(row->id, row->list);
            listChanged(row->list);
            ++m_report.received;
        }
        m_store.removeSyncRow(row->uid);
    } else {
        // Changed here since: the change beats the delete, and the task
        // goes back to the server as a new resource.
        row->etag.clear();
        row->base.clear();
        m_store.putSyncRow(*row);
    }
    transaction.commit();
}

std::optional<SyncRow> SyncRun::identify(const TaskRecord &task)
{
    sql::Transaction transaction(m_store.database());
    if (std::optional<SyncRow> row = m_store.syncRowAt(task.List, task.ID))
        return row; // another run was quicker
    if (m_store.findTask(task.List, task.ID) != task)
        return std::nullopt; // changed meanwhile: the next run sees it
    QSet<QString> taken;
    for (const SyncRow &row : m_store.syncRows())
        taken.insert(row.uid);
    QString uid = task.List == recurrentListKey() ? QString() : copyUidFor(task, taken);
    if (uid.isEmpty())
        uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    const SyncRow row {uid, task.List, task.ID, plannedHref(uid), {}, {}};
    m_store.putSyncRow(row);
    transaction.commit();
    if (task.List == recurrentListKey())
        m_templates.append({task, uid});
    return row;
}

void SyncRun::markSent(const QString &uid, const SyncTask &sent)
{
    sql::Transaction transaction(m_store.database());
    std::optional<SyncRow> row = m_store.syncRowByUid(uid);
    if (!row)
        return;
    AgreedVersion version = fromBaseText(row->base);
    version.sent = sent;
    row->base = toBaseText(version);
    m_store.putSyncRow(*row);
    transaction.commit();
}

void SyncRun::markAgreed(const QString &uid, const SyncTask &agreed, const QString &etag)
{
    sql::Transaction transaction(m_store.database());
    std::optional<SyncRow> row = m_store.syncRowByUid(uid);
    if (!row)
        return;
    // The task may have changed or moved meanwhile: that is the next change.
    row->etag = etag;
    row->base = toBaseText({agreed, std::nullopt});
    m_store.putSyncRow(*row);
    transaction.commit();
}

} // namespace cdk::sync
