#pragma once

#include "cli/Commands.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace cdk::cli {

// The name the running window listens under for one data folder: a socket
// file inside the folder, or, where that path is too long for a socket, a
// short name derived from the folder in the user's runtime folder.
QString commandSocketName(const QString &dataFolder);

// The command line's side, on QtCore alone: one request per connection, a
// JSON line {"args": [...]} answered by {"exit": n, "out": "...", "err": "..."}.
// Nothing when no window listens for the folder; otherwise the window's
// reply, or a data error when it stopped answering.
std::optional<Reply> askWindow(const QString &dataFolder, const QStringList &arguments,
                               int answerTimeoutMs);

} // namespace cdk::cli
