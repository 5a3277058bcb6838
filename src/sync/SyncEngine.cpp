// The server side of a sync run: what to ask the server, in which order, and
// what to do with its answers.
#include "sync/SyncEngine.h"

#include "store/StoreError.h"
#include "store/Vocabulary.h"
#include "sync/SyncMapping.h"
#include "sync/SyncMerge.h"
#include "sync/SyncRun.h"
#include "sync/VTodo.h"

#include <QCoreApplication>

#include <algorithm>

Q_LOGGING_CATEGORY(lcSyncEngine, "chronodeck.sync.engine")

namespace cdk::sync {

using SyncRow = TaskStore::SyncRow;

namespace {

// Tries of one write that the server keeps refusing because the task keeps
// changing there; what is left waits for the next run.
constexpr int kWriteTries = 4;

bool isTemplate(const SyncTask &task)
{
    return task.list == recurrentListKey() || !task.rule.isEmpty();
}

// Whether the lists of a walk over the tasks are synced ones: the tasks come
// list by list, so the key is read once per list rather than once per task.
class SyncedLists
{
public:
    bool contains(const QString &list)
    {
        if (list != m_last) {
            m_last = list;
            m_synced = isSyncedList(list);
        }
        return m_synced;
    }

private:
    QString m_last;
    bool m_synced = false;
};

} // namespace

SyncEngine::SyncEngine(TaskStore &store, CalDavClient &client, const QUrl &collection)
    : m_store(store)
    , m_client(client)
    , m_collection(collection)
{
}

SyncReport SyncEngine::run()
{
    SyncReport report;
    SyncRun run(m_store, m_client, m_collection, report);
    try {
        run.run();
    } catch (const StoreError &e) {
        // The transaction of the step rolled back: the database is as the
        // last whole step left it.
        qCWarning(lcSyncEngine) << "sync stopped by the task database:" << e.message();
        report.failure = QCoreApplication::translate("SyncEngine",
                                                     "The task database could not be written: %1")
                             .arg(e.userMessage());
        report.failure = report.failure.simplified();
    }
    try {
        report.waiting = run.waitingChanges();
    } catch (const StoreError &e) {
        qCWarning(lcSyncEngine) << "cannot count the changes waiting:" << e.message();
    }
    return report;
}

SyncRun::SyncRun(TaskStore &store, CalDavClient &client, const QUrl &collection, SyncReport &report)
    : m_store(store)
    , m_client(client)
    , m_collection(collection.adjusted(QUrl::NormalizePathSegments))
    , m_report(report)
    , m_now(QDateTime::currentDateTimeUtc())
    , m_today(DayListKey(QDate::currentDate()))
{
    if (!m_collection.path().endsWith(QLatin1Char('/')))
        m_collection.setPath(m_collection.path() + QLatin1Char('/'));
}

void SyncRun::run()
{
    m_categories = m_store.categories();
    useCollection();
    if (pull())
        push();
}

bool SyncRun::failed()
{
    m_report.error = m_client.lastError();
    m_report.failure = m_report.error.message.isEmpty()
        ? QCoreApplication::translate("SyncEngine", "The server did not answer as expected.")
        : m_report.error.message;
    qCInfo(lcSyncEngine) << "sync stopped:" << m_report.failure;
    return false;
}

QString SyncRun::plannedHref(const QString &uid) const
{
    return m_collection.path(QUrl::FullyEncoded) + QString::fromLatin1(QUrl::toPercentEncoding(uid))
        + QStringLiteral(".ics");
}

std::optional<SyncTask> SyncRun::parsed(const Resource &resource)
{
    QString why;
    std::optional<SyncTask> task = fromICalendar(resource.ical, &why);
    if (task && task->uid.isEmpty()) {
        task.reset();
        why = QStringLiteral("it has no UID");
    }
    if (!task) {
        // Another program's data that cannot be read stays as it is there,
        // and nothing here changes for it.
        const QString line = QStringLiteral("%1 was left out: %2").arg(resource.href, why);
        qCWarning(lcSyncEngine) << line;
        m_report.skipped.append(line);
    }
    return task;
}

bool SyncRun::pull()
{
    const std::optional<Changes> changes
        = m_client.changes(m_collection, m_store.syncValue(SyncEngine::tokenKey()));
    if (!changes)
        return failed();
    QStringList wanted;
    QSet<QString> present;
    for (const Resource &r : changes->changed) {
        present.insert(r.href);
        const std::optional<SyncRow> row = m_store.syncRowByHref(r.href);
        if (!row || row->etag != r.etag)
            wanted.append(r.href); // not our own write, nor one seen before
    }
    QStringList gone = changes->deleted;
    if (changes->full) {
        // A resource the server took once and no longer lists is gone.
        for (const SyncRow &row : m_store.syncRows()) {
            if (!row.etag.isEmpty() && !present.contains(row.href))
                gone.append(row.href);
        }
    }
    for (const QString &href : std::as_const(gone))
        applyRemoteDeletion(href);

    if (!wanted.isEmpty()) {
        const std::optional<QList<Resource>> fetched = m_client.fetch(m_collection, wanted);
        if (!fetched)
            return failed();
        QList<std::pair<SyncTask, Resource>> incoming;
        for (const Resource &r : *fetched) {
            if (std::optional<SyncTask> task = parsed(r))
                incoming.append({*task, r});
        }
        // Templates first: a copy of a template is known by the template's UID.
        std::stable_partition(incoming.begin(), incoming.end(),
                              [](const auto &in) { return isTemplate(in.first); });
        loadTemplates();
        // Read again once the templates are in, when any came.
        bool templates = !incoming.isEmpty() && isTemplate(incoming.first().first);
        for (const auto &[task, resource] : std::as_const(incoming)) {
            if (templates && !isTemplate(task)) {
                templates = false;
                loadTemplates();
            }
            applyRemote(task, resource);
        }
    }
    // Our own writes that follow come back under the next token with the
    // ETags they were given, and are passed over then.
    if (!changes->token.isEmpty())
        m_store.setSyncValue(SyncEngine::tokenKey(), changes->token);
    return true;
}

bool SyncRun::push()
{
    m_categories = m_store.categories();
    QList<TaskStore::SyncedTask> tasks = m_store.syncedTasks();
    std::stable_partition(tasks.begin(), tasks.end(), [](const TaskStore::SyncedTask &t) {
        return t.task.List == recurrentListKey();
    });
    loadTemplates(tasks);
    QList<SyncRow> outgoing;
    SyncedLists synced;
    for (const TaskStore::SyncedTask &t : std::as_const(tasks)) {
        if (!synced.contains(t.task.List))
            continue;
        const std::optional<SyncRow> row = t.sync ? t.sync : identify(t.task);
        if (row && changedHere(t.task, *row))
            outgoing.append(*row);
    }
    // What the server holds of the tasks to write: the properties of other
    // programs in it are kept.
    QStringList known;
    for (const SyncRow &row : std::as_const(outgoing)) {
        if (!row.etag.isEmpty())
            known.append(row.href);
    }
    QHash<QString, QByteArray> previous;
    if (!known.isEmpty()) {
        const std::optional<QList<Resource>> fetched = m_client.fetch(m_collection, known);
        if (!fetched)
            return failed();
        for (const Resource &r : *fetched)
            previous.insert(r.href, r.ical);
    }
    for (const SyncRow &row : std::as_const(outgoing)) {
        if (!pushTask(row, previous.value(row.href)))
            return false;
    }
    for (const SyncRow &row : m_store.syncRows()) {
        if (row.isTombstone() && !pushTombstone(row))
            return false;
    }
    return true;
}

bool SyncRun::pushTask(SyncRow row, QByteArray previous)
{
    for (int attempt = 0; attempt < kWriteTries; ++attempt) {
        const std::optional<SyncTask> local = localTask(row);
        if (!local)
            return true; // deleted meanwhile: its tombstone follows
        const AgreedVersion version = fromBaseText(row.base);
        if (version.agreed && sameContent(*local, *version.agreed))
            return true;
        markSent(row.uid, *local);
        const std::optional<QString> etag
            = m_client.put(m_collection, row.href, toICalendar(*local, previous), row.etag);
        if (etag) {
            markAgreed(row.uid, *local, *etag);
            ++m_report.sent;
            return true;
        }
        if (m_client.lastError().kind != DavError::Conflict)
            return failed();
        // Changed there since it was read, or made there by another machine
        // meanwhile: merge with what it holds now and write again.
        switch (takeServerCopy(row.href, &previous)) {
        case ServerCopy::Unreachable:
            return failed();
        case ServerCopy::Gone:
            // Deleted there: the change here beats the delete.
            row.etag.clear();
            previous.clear();
            continue;
        case ServerCopy::Unreadable:
            return true;
        case ServerCopy::Merged:
            break;
        }
        const std::optional<SyncRow> merged = m_store.syncRowByUid(row.uid);
        if (!merged)
            return true;
        row = *merged;
    }
    qCInfo(lcSyncEngine) << row.href << "keeps changing on the server; it waits for the next run";
    return true;
}

void SyncRun::forgetRow(const QString &uid)
{
    sql::Transaction transaction(m_store.database());
    m_store.removeSyncRow(uid);
    transaction.commit();
}

bool SyncRun::pushTombstone(const SyncRow &row)
{
    if (row.etag.isEmpty()) {
        // The server never confirmed it: should it have it after all, the
        // next pull brings it back rather than lose it.
        forgetRow(row.uid);
        return true;
    }
    if (m_client.remove(m_collection, row.href, row.etag)) {
        forgetRow(row.uid);
        ++m_report.sent;
        return true;
    }
    if (m_client.lastError().kind != DavError::Conflict)
        return failed();
    // Changed there since: the change beats the delete, the task comes back.
    switch (takeServerCopy(row.href)) {
    case ServerCopy::Unreachable:
        return failed();
    case ServerCopy::Gone:
        forgetRow(row.uid);
        break;
    case ServerCopy::Unreadable:
    case ServerCopy::Merged:
        break;
    }
    return true;
}

SyncRun::ServerCopy SyncRun::takeServerCopy(const QString &href, QByteArray *ical)
{
    const std::optional<QList<Resource>> now = m_client.fetch(m_collection, {href});
    if (!now)
        return ServerCopy::Unreachable;
    if (now->isEmpty())
        return ServerCopy::Gone;
    const std::optional<SyncTask> remote = parsed(now->first());
    if (!remote)
        return ServerCopy::Unreadable;
    applyRemote(*remote, now->first());
    if (ical)
        *ical = now->first().ical;
    return ServerCopy::Merged;
}

int SyncRun::waitingChanges()
{
    m_categories = m_store.categories();
    int waiting = 0;
    SyncedLists synced;
    for (const TaskStore::SyncedTask &t : m_store.syncedTasks()) {
        if (synced.contains(t.task.List) && (!t.sync || changedHere(t.task, *t.sync)))
            ++waiting;
    }
    for (const SyncRow &row : m_store.syncRows())
        waiting += row.isTombstone() && !row.etag.isEmpty() ? 1 : 0;
    return waiting;
}

} // namespace cdk::sync
