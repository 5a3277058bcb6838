#include "sync/SyncMerge.h"

#include <algorithm>

namespace cdk::sync {

namespace {

// A time that is not known is older than any that is.
bool remoteIsLater(const SyncTask &local, const SyncTask &remote)
{
    if (!remote.lastModified.isValid())
        return false;
    return !local.lastModified.isValid() || remote.lastModified > local.lastModified;
}

} // namespace

bool sameContent(const SyncTask &a, const SyncTask &b)
{
    return a.list == b.list && a.subject == b.subject && a.rule == b.rule
        && a.category == b.category && a.budgetMinutes == b.budgetMinutes
        && a.doneSeconds == b.doneSeconds && a.state == b.state && a.priority == b.priority;
}

SyncTask mergeTask(const SyncTask &base, const SyncTask &local, const SyncTask &remote)
{
    const bool remoteWins = remoteIsLater(local, remote);
    SyncTask merged = local;
    const auto take = [&](auto SyncTask::*field) {
        const bool localChanged = local.*field != base.*field;
        const bool remoteChanged = remote.*field != base.*field;
        if (remoteChanged && (!localChanged || remoteWins))
            merged.*field = remote.*field;
    };
    take(&SyncTask::list);
    take(&SyncTask::subject);
    take(&SyncTask::rule);
    take(&SyncTask::category);
    take(&SyncTask::budgetMinutes);
    take(&SyncTask::state);
    take(&SyncTask::priority);
    // Time is only ever added on each side: both sides' tracking counts.
    merged.doneSeconds = std::max<qint64>(0,
                                          base.doneSeconds + (local.doneSeconds - base.doneSeconds)
                                              + (remote.doneSeconds - base.doneSeconds));
    merged.lastModified = remoteWins ? remote.lastModified : local.lastModified;
    return merged;
}

} // namespace cdk::sync
