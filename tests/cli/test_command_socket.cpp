// The window's command socket against clients that misbehave and against
// another user of the machine: the real window program and the real command
// line, beside clients of the test's own making. Another user is played by
// this program itself, started as `nobody` (see stranger() below).

#include "CliProcess.h"

#include "cli/WindowLink.h"
#include "store/Sql.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"

#include <QCoreApplication>
#include <QDate>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

using namespace cdk;
using namespace cdk::test;

namespace {

sockaddr_un addressOf(const QByteArray &path)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(),
                std::min(size_t(path.size()), sizeof(address.sun_path) - 1));
    return address;
}

// A connection that never waits: -1 when the window does not take it now.
int connectNow(const QByteArray &path)
{
    const sockaddr_un address = addressOf(path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) == 0)
        return fd;
    ::close(fd);
    return -1;
}

// ---- the other user -------------------------------------------------------

void say(const char *format, const char *text = "")
{
    std::printf(format, text);
    std::fflush(stdout);
}

// Makes the socket's name first, in a folder of its own making when the
// user's window has not made one, and answers every command as the window
// would, printing what it was sent.
int squat(const char *path)
{
    ::umask(0);
    ::mkdir(QFileInfo(QFile::decodeName(path)).path().toLocal8Bit().constData(), 0777);
    const sockaddr_un address = addressOf(path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) != 0
        || ::listen(fd, 8) != 0) {
        say("cannot listen: %s\n", std::strerror(errno));
        return 1;
    }
    say("listening\n");
    for (;;) {
        const int client = ::accept(fd, nullptr, nullptr);
        if (client < 0)
            continue;
        say("connected\n");
        pollfd wait {client, POLLIN, 0};
        char request[4096] = {};
        if (::poll(&wait, 1, 3000) > 0 && ::recv(client, request, sizeof(request) - 1, 0) > 0)
            say("received %s\n", request);
        const char reply[] = "{\"exit\":0,\"out\":\"Added task 1\\n\",\"err\":\"\"}\n";
        ::send(client, reply, sizeof(reply) - 1, MSG_NOSIGNAL);
        ::close(client);
    }
}

// Sends one request line to the socket and prints the answer.
int sendRequest(const char *path, const char *line)
{
    const sockaddr_un address = addressOf(path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) != 0) {
        say("cannot connect: %s\n", std::strerror(errno));
        return 1;
    }
    const std::string request = std::string(line) + '\n';
    ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    std::string answer;
    char buffer[4096];
    pollfd wait {fd, POLLIN, 0};
    while (::poll(&wait, 1, 5000) > 0) {
        const ssize_t n = ::recv(fd, buffer, sizeof(buffer), 0);
        if (n <= 0)
            break;
        answer.append(buffer, size_t(n));
    }
    say(answer.empty() ? "no answer\n" : "answer: %s\n", answer.c_str());
    return 0;
}

int stranger(int argc, char *argv[])
{
    if (argc == 2 && std::strcmp(argv[0], "squat") == 0)
        return squat(argv[1]);
    if (argc == 3 && std::strcmp(argv[0], "send") == 0)
        return sendRequest(argv[1], argv[2]);
    return 2;
}

// ---- the user's side ------------------------------------------------------

// A program of the test's with everything it prints collected.
class Running
{
public:
    QProcess process;

    ~Running()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(3000);
        }
    }
    QByteArray output()
    {
        m_output += process.readAll();
        return m_output;
    }
    bool waitForOutput(const QByteArray &text, int ms)
    {
        const QDeadlineTimer deadline(ms);
        while (!output().contains(text)) {
            if (deadline.hasExpired() || process.state() == QProcess::NotRunning)
                return output().contains(text);
            process.waitForReadyRead(50);
        }
        return true;
    }

private:
    QByteArray m_output;
};

// `nobody`, running this program's stranger() with the arguments.
void startStranger(Running &as, const QStringList &arguments)
{
    as.process.setProcessChannelMode(QProcess::MergedChannels);
    as.process.start(QStringLiteral("setpriv"),
                     QStringList {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                  QStringLiteral("--clear-groups"),
                                  QCoreApplication::applicationFilePath(),
                                  QStringLiteral("--stranger")}
                         + arguments);
}

} // namespace

class TestCommandSocket : public QObject
{
    Q_OBJECT

    // Stands for /tmp: every user may make names in it, none may remove
    // another's. With no runtime folder the sockets go here.
    QTemporaryDir m_shared;
    QTemporaryDir m_config;

    void startWindow(Running &window, const QString &folder, int mostFiles = 0)
    {
        QProcessEnvironment env = cliEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QT_LOGGING_RULES"),
                   QStringLiteral("chronodeck.cli.info=true\nchronodeck.store.info=true"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
        window.process.setProcessEnvironment(env);
        window.process.setProcessChannelMode(QProcess::MergedChannels);
        if (mostFiles > 0) {
            window.process.setChildProcessModifier([mostFiles] {
                const rlimit files {rlim_t(mostFiles), rlim_t(mostFiles)};
                ::setrlimit(RLIMIT_NOFILE, &files);
            });
        }
        window.process.start(QStringLiteral(CHRONODECK_EXE),
                             QStringList {QStringLiteral("--data-dir"), folder});
    }

private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(::chmod(QFile::encodeName(m_shared.path()).constData(), 01777), 0);
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(m_shared.path()));
    }
    void cleanup()
    {
        QDir(m_shared.path() + QStringLiteral("/chronodeck-") + QString::number(::geteuid()))
            .removeRecursively();
    }

    // A client that asks for a long listing and never reads it, and
    // hundreds that connect and say nothing, while the window may open no
    // more than 128 files: a command from a terminal still gets its answer,
    // from the window's own tracker.
    void aClientThatDoesNotReadHoldsUpNoOne()
    {
        QTemporaryDir data;
        {
            TaskStore store(data.path());
            store.OpenTaskDatabase();
            sql::Transaction transaction(store.database());
            TaskRecord task;
            task.List = DayListKey(QDate::currentDate());
            task.Duration = 30;
            for (task.ID = 1; task.ID <= 2000; ++task.ID) {
                task.Subject
                    = QStringLiteral("Task %1 ").arg(task.ID) + QString(200, QLatin1Char('s'));
                QVERIFY(store.SaveTask(task, true, task.List, task.ID));
            }
            transaction.commit();
            store.Close();
        }
        Running window;
        startWindow(window, data.path(), 128);
        QVERIFY2(window.waitForOutput("listening for commands", 15000), window.output());
        QCOMPARE(runCli(data.path(), {QStringLiteral("start"), QStringLiteral("7")}).exit, 0);

        const QByteArray path = QFile::encodeName(cli::commandSocketName(data.path()));
        const int hog = connectNow(path);
        QVERIFY(hog >= 0);
        const QByteArray list = "{\"args\": [\"list\", \"--json\"]}\n";
        QCOMPARE(::send(hog, list.constData(), size_t(list.size()), MSG_NOSIGNAL), list.size());
        std::vector<int> idle;
        for (int i = 0; i < 300; ++i) {
            if (const int fd = connectNow(path); fd >= 0)
                idle.push_back(fd);
        }

        // A command from another process, given far longer than it needs.
        QProcess statusProcess;
        startCli(statusProcess, data.path(), {QStringLiteral("status")});
        QVERIFY2(statusProcess.waitForFinished(20000), "status got no answer in 20 seconds");
        const CliRun status = collect(statusProcess);
        QCOMPARE(status.err, QString());
        QCOMPARE(status.exit, 0);
        QVERIFY2(status.out.startsWith(QStringLiteral("Task 7 sss")), qPrintable(status.out));
        QCOMPARE(window.process.state(), QProcess::Running);
        ::close(hog);
        for (const int fd : idle)
            ::close(fd);
    }

    // Another user who makes the socket's name before the window gets
    // neither the command nor a word of it, and one who finds the socket
    // open is not served.
    void anotherUserGetsNoCommands()
    {
        if (::geteuid() != 0)
            QSKIP("playing another user (setpriv to nobody) needs root");
        QTemporaryDir data;
        const QString name = cli::commandSocketName(data.path());
        const QString sockets = QFileInfo(name).path();
        const QStringList pin {QStringLiteral("add"), QStringLiteral("PIN for bank card is 4711")};

        // Made first, in a folder of the other user's making.
        auto squatter = std::make_unique<Running>();
        startStranger(*squatter, {QStringLiteral("squat"), name});
        QVERIFY2(squatter->waitForOutput("listening", 5000), squatter->output());
        Running window;
        startWindow(window, data.path());
        QVERIFY2(window.waitForOutput("cannot reach this window", 15000), window.output());
        QVERIFY2(window.output().contains("belongs to another user"), window.output());
        CliRun add = runCli(data.path(), pin);
        QCOMPARE(add.exit, 2);
        QCOMPARE(add.out, QString());
        QVERIFY2(add.err.contains(QStringLiteral("not sent"))
                     && add.err.count(QLatin1Char('\n')) == 1,
                 qPrintable(add.err));
        QVERIFY2(!squatter->waitForOutput("received", 300), squatter->output());

        // Made first in a folder that is the user's and closed by now.
        squatter.reset();
        QVERIFY(QDir(sockets).removeRecursively());
        QVERIFY(QDir().mkdir(sockets));
        QCOMPARE(::chmod(QFile::encodeName(sockets).constData(), 0777), 0);
        auto insider = std::make_unique<Running>();
        startStranger(*insider, {QStringLiteral("squat"), name});
        QVERIFY2(insider->waitForOutput("listening", 5000), insider->output());
        QCOMPARE(::chmod(QFile::encodeName(sockets).constData(), 0700), 0);
        add = runCli(data.path(), pin);
        QCOMPARE(add.exit, 2);
        QVERIFY2(add.err.contains(QStringLiteral("not sent")), qPrintable(add.err));
        QVERIFY2(!insider->waitForOutput("received", 300), insider->output());
        insider.reset();
        QVERIFY(QDir(sockets).removeRecursively());
        window.process.kill();
        window.process.waitForFinished(3000);

        // The user's own window, its folder opened to others by mistake.
        Running own;
        startWindow(own, data.path());
        QVERIFY2(own.waitForOutput("listening for commands", 15000), own.output());
        QCOMPARE(::chmod(QFile::encodeName(sockets).constData(), 0711), 0);
        QCOMPARE(::chmod(QFile::encodeName(name).constData(), 0777), 0);
        Running planter;
        startStranger(planter,
                      {QStringLiteral("send"), name,
                       QStringLiteral("{\"args\": [\"add\", \"Planted by another user\"]}")});
        QVERIFY(planter.process.waitForFinished(10000));
        QVERIFY2(planter.output().contains("no answer"), planter.output());
        QCOMPARE(::chmod(QFile::encodeName(sockets).constData(), 0700), 0);
        const CliRun list = runCli(data.path(), {QStringLiteral("list")});
        QCOMPARE(list.exit, 0);
        QVERIFY2(!list.out.contains(QStringLiteral("Planted")), qPrintable(list.out));
        QVERIFY2(own.waitForOutput("refused a command connection", 5000), own.output());
    }
};

int main(int argc, char *argv[])
{
    if (argc >= 2 && std::strcmp(argv[1], "--stranger") == 0)
        return stranger(argc - 2, argv + 2);
    QCoreApplication app(argc, argv);
    TestCommandSocket test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_command_socket.moc"
