#pragma once

#include "cli/CommandLine.h"

#include <QDate>
#include <QString>

namespace cdk {
class TaskOperations;
}

namespace cdk::cli {

// Exit status of every command.
enum Exit : int {
    ExitOk = 0,
    ExitUserError = 1, // the command names something that is not there, or reads wrong
    ExitDataError = 2, // the data folder or the database cannot be used
};

// What a command prints and how it ends; the same whether the window or the
// command-line process carried it out.
struct Reply
{
    int exit = ExitOk;
    QString out; // for stdout, whole lines
    QString err; // for stderr, one line without the program's name

    static Reply failed(const QString &message, int exit = ExitUserError)
    {
        return Reply {exit, {}, message};
    }
};

// What a command works on.
struct CommandTarget
{
    TaskOperations &operations;
    QDate today;
    // Only the running window has a tracker that counts; a command-line
    // process on its own refuses to start tracking.
    bool canTrack = false;
};

// Carries out a parsed command (its help and version included). A failure of
// the database comes back as a reply with ExitDataError, a refusal of the
// store's own as ExitUserError; either way nothing was written.
Reply runCommand(const ParsedCommand &command, CommandTarget &target);

QString versionText();

} // namespace cdk::cli
