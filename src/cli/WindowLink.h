#pragma once

#include "cli/Commands.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace cdk::cli {

// The longest answer line either end of the socket holds: far beyond any
// listing or export of real days, and a bound on what one client can make
// the window keep.
constexpr qsizetype kMostReplyBytes = 64 * 1024 * 1024;

// The name the running window listens under for one data folder. On Unix a
// socket in a folder of this user's alone: "chronodeck" in the runtime
// folder ($XDG_RUNTIME_DIR, when it is this user's), else "chronodeck-<uid>"
// in the temporary folder; never in the data folder, which others may be
// able to enter.
QString commandSocketName(const QString &dataFolder);

// The command line's side, on QtCore alone: one request per connection, a
// JSON line {"args": [...]} answered by {"exit": n, "out": "...", "err": "..."}.
// Nothing when no window listens for the folder; otherwise the window's
// reply, or a data error when it could not be reached safely or stopped
// answering. The connection is given a few seconds, the answer
// answerTimeoutMs.
std::optional<Reply> askWindow(const QString &dataFolder, const QStringList &arguments,
                               int answerTimeoutMs);

#ifndef Q_OS_WIN
// Why the folder cannot hold this user's command sockets, or an empty string
// when it can: it must be a folder (not a link to one) owned by this user,
// which group and others can neither enter nor list. With create, a missing
// folder is made first, for the user alone; one that is there is never
// changed, only judged.
QString socketFolderProblem(const QString &folder, bool create);

// Why the process at the other end of a connected socket is not to be
// trusted (it runs as another user), or an empty string.
QString peerProblem(int fd);
#endif

} // namespace cdk::cli
