#pragma once

#include <QStringList>

namespace cdk::cli {

// The command-line program: arguments with the program's name first, as
// QCoreApplication::arguments() gives them. Prints the reply and returns the
// exit status.
int runCommandLine(const QStringList &arguments);

// Replaces this process with the window program that lives beside it,
// passing the arguments on; returns only when that cannot be done.
int startWindow(char *argv[]);

} // namespace cdk::cli
