#include "cli/Program.h"

#include "base/DataFolder.h"
#include "base/Clock.h"
#include "base/PrivateFiles.h"
#include "base/Prompter.h"
#include "cli/CliLog.h"
#include "cli/Commands.h"
#include "cli/WindowLink.h"
#include "core/TaskOperations.h"
#include "core/TimeTracker.h"
#include "settings/Settings.h"
#include "store/TaskStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#ifdef Q_OS_UNIX
#include <unistd.h>
#else
#include <QProcess>
#endif

namespace cdk::cli {

namespace {

// Long enough for a window busy with a long step (a compaction, a restore).
constexpr int kAnswerTimeoutMs = 30'000;

void print(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

int finish(const Reply &reply)
{
    print(stdout, reply.out);
    if (!reply.err.isEmpty())
        print(stderr, QStringLiteral("chronodeck: ") + reply.err + QLatin1Char('\n'));
    std::fflush(stdout);
    return reply.exit;
}

// Nobody sits at a dialog here: a question is answered no, a message goes to
// stderr.
class ConsolePrompter final : public Prompter
{
public:
    Answer ask(const QString &, const QString &, MessageIcon) override { return Answer::No; }
    void tell(const QString &, const QString &text, MessageIcon) override
    {
        print(stderr, QStringLiteral("chronodeck: ") + text.simplified() + QLatin1Char('\n'));
    }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    std::optional<qint32> chooseColor(qint32) override { return std::nullopt; }
};

// Commands that only read: they work on a folder or a disk that cannot take
// a write, where they read the database as it stands.
bool onlyReads(const ParsedCommand &command)
{
    static const QStringList readers {QStringLiteral("list"), QStringLiteral("status"),
                                      QStringLiteral("report"), QStringLiteral("export")};
    return command.info && readers.contains(command.info->name);
}

// The database of the folder opened by this process alone, for when no
// window runs.
Reply runOnDatabase(const QString &folder, const ParsedCommand &command)
{
    ConsolePrompter prompter;
    SystemClock clock;
    clsSettings settings(prompter);
    TaskStore store(folder);
    TimeTracker tracker(store, clock);
    TaskOperations operations(store, settings, tracker);
    bool writable = true;
    try {
        // The window checks every page when it starts; a command that reads
        // a few rows meets a damaged page as an error of its statement.
        store.OpenTaskDatabase(TaskStore::OpenCheck::OnUse);
    } catch (const StoreError &e) {
        if (!onlyReads(command) || !QFileInfo::exists(store.DatabasePath()))
            return Reply::failed(e.message().simplified(), ExitDataError);
        try {
            store.openForReading();
            writable = false;
            qCInfo(lcCli) << "the database cannot be written:" << e.message();
        } catch (const StoreError &) {
            return Reply::failed(e.message().simplified(), ExitDataError);
        }
    }
    settings.Init(folder, clsSettings::FirstRun::Leave);
    CommandTarget target {operations, clock.today(), false};
    Reply reply;
    try {
        // What the window does at start: a new day brings its recurrent
        // tasks. A command that only reads still shows the day when they
        // cannot be written.
        if (writable) {
            try {
                operations.injectRecurrentTasks(target.today);
            } catch (const StoreError &e) {
                if (!onlyReads(command))
                    throw;
                print(stderr, QStringLiteral("chronodeck: today's recurrent tasks cannot be "
                                             "added: %1\n")
                                  .arg(e.message().simplified()));
            }
        }
        reply = runCommand(command, target);
        store.closeQuickly();
    } catch (const StoreError &e) {
        reply = Reply::failed(QStringLiteral("the database cannot be used: %1").arg(e.message()),
                              ExitDataError);
    }
    return reply;
}

// The sync needs the network, iCalendar and the keyring: chronodeck-sync
// beside this program has them, and this process becomes it. It works on
// the database itself, the window running or not, and then tells the window
// what changed.
int runSyncProgram(const QString &folder, const QStringList &words)
{
    const QString program
        = QCoreApplication::applicationDirPath() + QStringLiteral("/chronodeck-sync");
    QStringList arguments {program, QStringLiteral("--data-dir"), folder};
    arguments += words.mid(1); // without the word "sync"
#ifdef Q_OS_UNIX
    QList<QByteArray> bytes;
    for (const QString &argument : std::as_const(arguments))
        bytes << QFile::encodeName(argument);
    std::vector<char *> argv;
    for (QByteArray &b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    std::fflush(stdout);
    ::execv(argv.front(), argv.data());
    print(stderr, QStringLiteral("chronodeck: the sync program %1 cannot be started: %2\n")
                      .arg(program, QString::fromLocal8Bit(std::strerror(errno))));
    return ExitDataError;
#else
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setInputChannelMode(QProcess::ForwardedInputChannel);
    process.start(program, arguments.mid(1));
    if (!process.waitForFinished(-1))
        return finish(Reply::failed(QStringLiteral("the sync program %1 cannot be started")
                                        .arg(program),
                                    ExitDataError));
    return process.exitCode();
#endif
}

} // namespace

int runCommandLine(const QStringList &arguments)
{
    const QStringList words = arguments.mid(1);
    const ParseResult parsed = parseCommandLine(words);
    if (!parsed.ok())
        return finish(Reply::failed(parsed.error));
    const ParsedCommand &command = *parsed.command;
    if (command.action == ParsedCommand::Action::Help)
        return finish(Reply {ExitOk, helpText(command.info, commandTable()), {}});
    if (command.action == ParsedCommand::Action::Version)
        return finish(Reply {ExitOk, versionText(), {}});

    const QString folder
        = resolveDataFolder(arguments, qEnvironmentVariable("CHRONODECK_DATA_DIR"),
                            QCoreApplication::applicationDirPath(),
                            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    if (QString why; !makePrivateFolder(folder, &why))
        return finish(Reply::failed(QStringLiteral("the data folder %1 cannot be made: %2")
                                        .arg(QDir::toNativeSeparators(folder), why),
                                    ExitDataError));

    if (command.info->name == QLatin1String("sync"))
        return runSyncProgram(folder, withoutDataDir(words));
    if (const auto reply = askWindow(folder, withoutDataDir(words), kAnswerTimeoutMs))
        return finish(*reply);
    qCInfo(lcCli) << "no window runs for" << folder << "- working on the database";
    return finish(runOnDatabase(folder, command));
}

int startWindow(char *argv[])
{
    const QString window
        = QCoreApplication::applicationDirPath() + QStringLiteral("/chronodeck-window");
#ifdef Q_OS_UNIX
    const QByteArray path = QFile::encodeName(window);
    ::execv(path.constData(), argv);
    print(stderr,
          QStringLiteral("chronodeck: the window program %1 cannot be started: %2\n")
              .arg(window, QString::fromLocal8Bit(std::strerror(errno))));
    return ExitDataError;
#else
    Q_UNUSED(argv);
    if (QProcess::startDetached(window + QStringLiteral(".exe"),
                                QCoreApplication::arguments().mid(1)))
        return ExitOk;
    print(stderr,
          QStringLiteral("chronodeck: the window program %1 cannot be started\n").arg(window));
    return ExitDataError;
#endif
}

} // namespace cdk::cli
