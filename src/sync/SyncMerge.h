#pragma once

#include "sync/SyncTask.h"

namespace cdk::sync {

// Whether two versions of a task say the same; the UID and the time of the
// last change are not part of what a task says.
bool sameContent(const SyncTask &a, const SyncTask &b);

// The three-way merge of a task changed here (local) and on the server
// (remote) since the version both last agreed on (base). A field changed on
// one side only takes that side's value; the time done is the base plus both
// sides' increments (never below 0); any other field changed on both sides
// takes the value of the later lastModified, the local one when they are
// equal or the remote time is unknown.
SyncTask mergeTask(const SyncTask &base, const SyncTask &local, const SyncTask &remote);

} // namespace cdk::sync
