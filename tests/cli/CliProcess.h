#pragma once

// Runs the real `chronodeck` program on a data folder and collects what it
// prints, for tests that check what a user in a terminal sees.

#include <QProcess>
#include <QString>
#include <QStringList>

#ifndef CHRONODECK_EXE
#error "CHRONODECK_EXE must name the program under test"
#endif

namespace cdk::test {

struct CliRun
{
    int exit = -1;
    QString out;
    QString err;
};

inline QProcessEnvironment cliEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("CHRONODECK_DATA_DIR"));
    env.remove(QStringLiteral("QT_LOGGING_RULES"));
    return env;
}

inline void startCli(QProcess &process, const QString &folder, const QStringList &arguments)
{
    process.setProcessEnvironment(cliEnvironment());
    process.start(QStringLiteral(CHRONODECK_EXE),
                  QStringList {QStringLiteral("--data-dir"), folder} + arguments);
}

inline CliRun collect(QProcess &process)
{
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// Waits for the program without an event loop: for a folder no window serves.
inline CliRun runCli(const QString &folder, const QStringList &arguments)
{
    QProcess process;
    startCli(process, folder, arguments);
    if (!process.waitForFinished(20000))
        process.kill();
    return collect(process);
}

} // namespace cdk::test
