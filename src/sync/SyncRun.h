#pragma once

#include "store/TaskStore.h"
#include "sync/CalDavClient.h"
#include "sync/SyncEngine.h"
#include "sync/SyncTask.h"

#include <QDateTime>
#include <QHash>
#include <QLoggingCategory>
#include <QSet>

#include <optional>

Q_DECLARE_LOGGING_CATEGORY(lcSyncEngine)

// One run of the sync engine. Private to it: the server side is in
// SyncEngine.cpp, the local side (every write to the task database) in
// SyncLocal.cpp.
namespace cdk::sync {

class SyncRun
{
public:
    SyncRun(TaskStore &store, CalDavClient &client, const QUrl &collection, SyncReport &report);
    void run();
    int waitingChanges();

private:
    // ---- The server side
    bool pull();
    bool push();
    bool pushTask(TaskStore::SyncRow row, QByteArray previous);
    bool pushTombstone(const TaskStore::SyncRow &row);
    // After a write the server refused (412): reads what it holds under href
    // now and merges it in; `ical` gets that copy's text when merged.
    enum class ServerCopy { Unreachable, Gone, Unreadable, Merged };
    ServerCopy takeServerCopy(const QString &href, QByteArray *ical = nullptr);
    bool failed();
    QString plannedHref(const QString &uid) const;
    std::optional<SyncTask> parsed(const Resource &resource);

    // ---- The local side, each call one transaction
    void useCollection();
    // Merges what the server holds into the task of its UID, makes the task
    // when there is none, and records the resource as agreed.
    void applyRemote(const SyncTask &remote, const Resource &resource);
    void applyRemoteDeletion(const QString &href);
    // Gives the task at its place a UID (and its resource's name) when it
    // still has none; the row, or nothing when the task is gone.
    std::optional<TaskStore::SyncRow> identify(const TaskRecord &task);
    // Notes what is about to be sent, or what the server took.
    void markSent(const QString &uid, const SyncTask &sent);
    void markAgreed(const QString &uid, const SyncTask &agreed, const QString &etag);
    // A tombstone done with: the server no longer holds its task.
    void forgetRow(const QString &uid);
    // The task of a row as it travels; nothing when the row has no task.
    std::optional<SyncTask> localTask(const TaskStore::SyncRow &row);

    SyncTask travelling(const TaskRecord &task, const QString &uid);
    qint32 categoryFor(const QString &name);
    void insertLocal(TaskStore::SyncRow &row, SyncTask remote);
    void writeLocal(TaskStore::SyncRow &row, const TaskRecord &current, SyncTask merged);
    SyncTask fallbackBase(const QString &uid, const TaskRecord &local, const SyncTask &remote);
    // The UID a template's copy for a day gets, when the task is one: same
    // subject and a rule that matches the day, the first such template whose
    // copy is not yet taken by another task.
    QString copyUidFor(const TaskRecord &task, const QSet<QString> &taken);
    // The task here that waits for its first sync under this UID (a copy of
    // a template the server already has for that day).
    std::optional<TaskRecord> waitingCopy(const QString &uid);
    void listChanged(const QString &list);
    void loadTemplates();
    void loadTemplates(const QList<TaskStore::SyncedTask> &tasks);
    // Whether the task says what its row's agreed version does not: a
    // change here the server does not have yet.
    bool changedHere(const TaskRecord &task, const TaskStore::SyncRow &row);

    TaskStore &m_store;
    CalDavClient &m_client;
    QUrl m_collection;
    SyncReport &m_report;
    QDateTime m_now;
    QString m_today;
    QList<CategoryRecord> m_categories;
    struct Template
    {
        TaskRecord task;
        QString uid;
    };
    QList<Template> m_templates;
    // Copies waiting for their first sync, by the UID they will get; made
    // when first needed in a pull, after the templates came in.
    std::optional<QHash<QString, std::pair<QString, qint32>>> m_waitingCopies;
};

} // namespace cdk::sync
