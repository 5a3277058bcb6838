#pragma once

#include "sync/CalDavClient.h"

#include <QStringList>
#include <QUrl>

namespace cdk {
class TaskStore;
}

namespace cdk::sync {

struct SyncReport
{
    int received = 0; // tasks added, changed or deleted here from the server
    int sent = 0; // tasks written to or deleted on the server
    int merged = 0; // tasks changed on both sides since they last agreed
    int waiting = 0; // changes made here that the server does not have yet
    QStringList changedLists; // lists changed here, for a window to read again
    QStringList skipped; // resources that could not be read, one line each
    DavError error; // the server's answer that stopped the run; kind None when none did
    QString failure; // one line for a user: why the run did not complete; empty when it did
    bool ok() const { return failure.isEmpty(); }
};

// One two-way sync of the task database with a task list (collection) on a
// CalDAV server: first what changed there since the last run is merged in,
// then what changed here goes out, then the server's sync token is kept.
// Every local step is one transaction, so the database is whole whenever the
// run stops (server gone, kill) and the next run completes what is left,
// neither losing nor duplicating a task. A task here has no time of change:
// a change found here counts as made at the start of the run. Meant for a
// worker thread or a process of its own; the store is that thread's.
class SyncEngine
{
public:
    SyncEngine(TaskStore &store, CalDavClient &client, const QUrl &collection);
    SyncReport run();

    // The names in the database's ProgramState.
    static QString collectionKey() { return QStringLiteral("SyncCollection"); }
    static QString tokenKey() { return QStringLiteral("SyncToken"); }

private:
    TaskStore &m_store;
    CalDavClient &m_client;
    QUrl m_collection;
};

} // namespace cdk::sync
