// The command line while the window runs: the command is carried out by the
// window, so its grid shows the change at once and tracking happens in the
// window's own tracker.

#include "CliProcess.h"

#include "cli/CommandServer.h"
#include "cli/WindowLink.h"
#include "view/MainWindowHarness.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

using namespace cdk;
using namespace cdk::test;

class TestCliWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindowHarness> h;
    std::unique_ptr<cli::CommandServer> server;

    QString folder() { return h->context().ProgramFolder; }

    // The window answers from its event loop, so the wait must keep it turning.
    CliRun run(const char *arguments)
    {
        return run(QString::fromUtf8(arguments).split(QLatin1Char(' ')));
    }
    CliRun run(const QStringList &arguments)
    {
        QProcess process;
        QSignalSpy finished(&process, &QProcess::finished);
        startCli(process, folder(), arguments);
        if (!finished.wait(20000))
            process.kill();
        return collect(process);
    }

private Q_SLOTS:
    void init()
    {
        h = std::make_unique<MainWindowHarness>();
        h->addTasks(h->today(), {makeTask(1, QStringLiteral("Existing"), 30, 1)});
        h->showWindow();
        server = std::make_unique<cli::CommandServer>(h->context().operations, h->clock);
        QVERIFY(server->listen(folder()));
    }
    void cleanup()
    {
        server.reset();
        MainWindowHarness::finish(h);
    }

    void addShowsInTheGridAtOnce()
    {
        const CliRun add = run({QStringLiteral("add"), QStringLiteral("From the terminal"),
                                QStringLiteral("--budget"), QStringLiteral("20")});
        QCOMPARE(add.exit, 0);
        // The window's clock decides what "today" is.
        QVERIFY2(add.out.startsWith(QStringLiteral("Added task 2 to 2024-03-05")),
                 qPrintable(add.out));
        QCOMPARE(h->shownSubjects(),
                 QStringList({QStringLiteral("Existing"), QStringLiteral("From the terminal")}));

        const CliRun done = run("done 1");
        QCOMPARE(done.exit, 0);
        QCOMPARE(h->grid().cellText(1, ColTaskState), QStringLiteral("Finished"));
        // What the terminal did is not the window user's to undo.
        QVERIFY(!h->action("mnuUndo")->isEnabled());
    }

    void startStatusDoneStop()
    {
        CliRun start = run("start 1");
        QCOMPARE(start.exit, 0);
        QVERIFY(h->tracker().isTracked(h->today(), 1));
        QVERIFY(h->tracker().tmrTracker()->isActive());

        // A counted minute is what the status line reports.
        h->clock.advance(60'000);
        QCOMPARE(h->tracker().TrackTick(), TickResult::MinuteBoundary);
        const CliRun status = run("status --json");
        QCOMPARE(status.exit, 0);
        const QJsonObject object = QJsonDocument::fromJson(status.out.toUtf8()).object();
        QCOMPARE(object.value(QStringLiteral("subject")).toString(), QStringLiteral("Existing"));
        QCOMPARE(object.value(QStringLiteral("done")).toInt(), 2); // 1 stored + 1 counted
        QCOMPARE(object.value(QStringLiteral("budget")).toInt(), 30);
        QCOMPARE(object.value(QStringLiteral("percent")).toInt(), 7);
        QCOMPARE(object.value(QStringLiteral("finished")).toBool(), false);
        QCOMPARE(run({QStringLiteral("status"), QStringLiteral("--format"),
                      QStringLiteral("{subject} {done}/{budget}")})
                     .out,
                 QStringLiteral("Existing 0:02/0:30\n"));

        // An unknown ID leaves the tracked task tracked.
        start = run("start 9");
        QCOMPARE(start.exit, 1);
        QVERIFY2(start.err.contains(QStringLiteral("no task 9 on 2024-03-05")),
                 qPrintable(start.err));
        QVERIFY(h->tracker().isTracked(h->today(), 1));

        // Where the window would ask, the command line stops tracking, and
        // no question box appears.
        QCOMPARE(run("done 1").exit, 0);
        QVERIFY(!h->tracker().TrackingActive);
        QCOMPARE(h->stored(h->today(), 1)->State, int(TaskState::Finished));
        QCOMPARE(run("status --json").out, QStringLiteral("{}\n"));

        QCOMPARE(run("add Next --start").exit, 0);
        QVERIFY(h->tracker().isTracked(h->today(), 2));
        const CliRun stop = run("stop");
        QCOMPARE(stop.out, QStringLiteral("Stopped tracking task 2: Next\n"));
        QVERIFY(!h->tracker().TrackingActive);

        // A task with its budget used up is not started, as in the window.
        h->addTask(h->today(), test::makeTask(3, QStringLiteral("Spent"), 20, 20));
        start = run("start 3");
        QCOMPARE(start.exit, 1);
        QCOMPARE(start.err, QStringLiteral("chronodeck: task 3 on 2024-03-05 has used up its "
                                           "budget of 0:20; raise it or reset its timer "
                                           "first\n"));
        QVERIFY(!h->tracker().TrackingActive);
    }

#ifdef Q_OS_UNIX
    // The socket is for this user alone, in a folder nobody else may
    // enter; clients that hang up early, send nonsense or never end their
    // line leave it answering the next one.
    void badClientsDoNotStopTheWindowAnswering()
    {
        const QByteArray path = QFile::encodeName(cli::commandSocketName(folder()));
        struct stat info {};
        QCOMPARE(::stat(path.constData(), &info), 0);
        QVERIFY(S_ISSOCK(info.st_mode));
        QCOMPARE(info.st_mode & 0077, mode_t(0));
        QCOMPARE(::lstat(QFile::encodeName(QFileInfo(QFile::decodeName(path)).path()).constData(),
                         &info),
                 0);
        QVERIFY(S_ISDIR(info.st_mode));
        QCOMPARE(info.st_mode & 0777, mode_t(0700));

        const auto connected = [&path] {
            sockaddr_un address {};
            address.sun_family = AF_UNIX;
            std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
            const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            return ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address)
                           == 0
                       ? fd
                       : -1;
        };
        const int silent = connected(); // stays open and says nothing
        QVERIFY(silent >= 0);
        const int gone = connected();
        QVERIFY(gone >= 0);
        QVERIFY(::send(gone, "{\"args\": [\"li", 12, MSG_NOSIGNAL) == 12);
        ::close(gone);
        const int endless = connected();
        QVERIFY(endless >= 0);
        const QByteArray flood(100 * 1024, 'x');
        QVERIFY(::send(endless, flood.constData(), size_t(flood.size()), MSG_NOSIGNAL) > 0);
        // A line that is not JSON, and one whose subject is not UTF-8.
        const QList<QByteArray> malformed {"not json\n", "{\"args\": [\"add\", \"Caf\xe9\"]}\n"};
        QList<int> nonsense;
        for (const QByteArray &line : malformed) {
            nonsense << connected();
            QVERIFY(nonsense.last() >= 0);
            QVERIFY(::send(nonsense.last(), line.constData(), size_t(line.size()), MSG_NOSIGNAL)
                    == line.size());
        }
        QTest::qWait(50);

        const CliRun list = run("list --json");
        QCOMPARE(list.exit, 0);
        QVERIFY2(list.out.contains(QStringLiteral("Existing")), qPrintable(list.out));
        // The nonsense is refused in one line, and nothing was added.
        for (const int fd : nonsense) {
            char answer[4096] = {};
            QVERIFY(::recv(fd, answer, sizeof answer - 1, MSG_WAITALL) > 0);
            const QJsonObject reply = QJsonDocument::fromJson(answer).object();
            QCOMPARE(reply.value(QStringLiteral("exit")).toInt(), 1);
            QCOMPARE(reply.value(QStringLiteral("out")).toString(), QString());
            const QString err = reply.value(QStringLiteral("err")).toString();
            QVERIFY2(!err.isEmpty() && !err.contains(QLatin1Char('\n')), answer);
            ::close(fd);
        }
        QCOMPARE(h->shownSubjects(), QStringList {QStringLiteral("Existing")});
        for (const int fd : {silent, endless})
            ::close(fd);
    }
#endif
};

QTEST_MAIN(TestCliWindow)
#include "test_cli_window.moc"
