// `chronodeck`: a command runs here on QtCore alone; without one, the window
// program beside this one takes over the process. Keeping the two apart is
// what spares a command the loading of the widget libraries, which the
// loader maps for any program linked against them.

#include "base/Functions.h"
#include "cli/CommandLine.h"
#include "cli/Program.h"

#include <QCoreApplication>
#include <QLoggingCategory>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The per-user data folder is named after these, as in the window.
    QCoreApplication::setApplicationName(QStringLiteral("Chronodeck"));
    QCoreApplication::setOrganizationName(QStringLiteral("Chronodeck"));
    QCoreApplication::setApplicationVersion(cdk::programVersion());

    const QStringList arguments = QCoreApplication::arguments();
    if (!cdk::cli::wantsCommandLine(arguments.mid(1)))
        return cdk::cli::startWindow(argv);
    // A command reports its failure in one line of its own; the log lines
    // that say the same would break what a script reads from stderr.
    // QT_LOGGING_RULES still turns them on.
    QLoggingCategory::setFilterRules(QStringLiteral("chronodeck.*.warning=false"));
    return cdk::cli::runCommandLine(arguments);
}
