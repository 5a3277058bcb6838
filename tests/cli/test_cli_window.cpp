// The command line while the window runs: the command is carried out by the
// window, so its grid shows the change at once and tracking happens in the
// window's own tracker.

#include "CliProcess.h"

#include "cli/CommandServer.h"
#include "view/MainWindowHarness.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace cdk;
using namespace cdk::test;

class TestCliWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindowHarness> h;
    std::unique_ptr<cli::CommandServer> server;

    QString folder() { return h->context().ProgramFolder; }

    // The window answers from its event loop, so the wait must keep it turning.
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

        const CliRun done = run({QStringLiteral("done"), QStringLiteral("1")});
        QCOMPARE(done.exit, 0);
        QCOMPARE(h->grid().cellText(1, ColTaskState), QStringLiteral("Finished"));
    }

    void startStatusDoneStop()
    {
        CliRun start = run({QStringLiteral("start"), QStringLiteral("1")});
        QCOMPARE(start.exit, 0);
        QVERIFY(h->tracker().isTracked(h->today(), 1));
        QVERIFY(h->tracker().tmrTracker()->isActive());

        // A counted minute is what the status line reports.
        h->clock.advance(60'000);
        QCOMPARE(h->tracker().TrackTick(), TickResult::MinuteBoundary);
        const CliRun status = run({QStringLiteral("status"), QStringLiteral("--json")});
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
        start = run({QStringLiteral("start"), QStringLiteral("9")});
        QCOMPARE(start.exit, 1);
        QVERIFY2(start.err.contains(QStringLiteral("no task 9 on 2024-03-05")),
                 qPrintable(start.err));
        QVERIFY(h->tracker().isTracked(h->today(), 1));

        // Where the window would ask, the command line stops tracking, and
        // no question box appears.
        QCOMPARE(run({QStringLiteral("done"), QStringLiteral("1")}).exit, 0);
        QVERIFY(!h->tracker().TrackingActive);
        QCOMPARE(h->stored(h->today(), 1)->State, int(TaskState::Finished));
        QCOMPARE(run({QStringLiteral("status"), QStringLiteral("--json")}).out,
                 QStringLiteral("{}\n"));

        QCOMPARE(
            run({QStringLiteral("add"), QStringLiteral("Next"), QStringLiteral("--start")}).exit,
            0);
        QVERIFY(h->tracker().isTracked(h->today(), 2));
        const CliRun stop = run({QStringLiteral("stop")});
        QCOMPARE(stop.out, QStringLiteral("Stopped tracking task 2: Next\n"));
        QVERIFY(!h->tracker().TrackingActive);
    }
};

QTEST_MAIN(TestCliWindow)
#include "test_cli_window.moc"
