// Two-way sync through a real CalDAV server (Radicale): two data folders play
// two machines. What one machine does reaches the other; changes on both
// sides merge; a template copied on both machines on the same day is one
// task; a run killed at any request is completed by the next one, with
// nothing lost and nothing twice.
#include "common/FakeClock.h"
#include "common/TaskFixtures.h"
#include "core/Recurrence.h"
#include "core/TaskOperations.h"
#include "core/TimeTracker.h"
#include "store/TaskStore.h"
#include "sync/CalDavClient.h"
#include "sync/RadicaleServer.h"
#include "sync/SyncEngine.h"
#include "sync/VTodo.h"

#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <limits>

using namespace cdk;
using namespace cdk::sync;
using namespace Qt::StringLiterals;
using test::kDay;
using test::kNextDay;
using test::makeTask;

namespace {

const QDate kDate(2024, 3, 5);

struct Machine : test::StoreFixture
{
    test::FakeClock clock;
    TimeTracker tracker {store, clock};
    TaskOperations ops {store, settings, tracker};

    SyncReport sync(const QUrl &server, const QUrl &collection, const RadicaleServer &radicale)
    {
        CalDavClient client(server, radicale.user(), radicale.password());
        SyncEngine engine(store, client, collection);
        return engine.run();
    }
    // "subject done/budget state priority category" per task of a list, sorted.
    QStringList tasks(const QString &list)
    {
        QStringList out;
        const QList<CategoryRecord> categories = store.categories();
        for (const TaskRecord &t : store.tasksOfList(list)) {
            QString category;
            for (const CategoryRecord &c : categories)
                category = c.ID == t.Category ? c.Name : category;
            out << u"%1 %2s/%3 s%4 p%5 %6"_s.arg(t.Subject)
                       .arg(qint64(t.FinishedDuration) * 60 + t.FinishedSeconds)
                       .arg(t.Duration)
                       .arg(t.State)
                       .arg(t.Priority)
                       .arg(category);
        }
        out.sort();
        return out;
    }
    // The tasks of another machine come in the server's order: found by subject.
    qint32 idOf(const QString &list, const QString &subject)
    {
        for (const TaskRecord &t : store.tasksOfList(list)) {
            if (t.Subject == subject)
                return t.ID;
        }
        return 0;
    }
    QString uidOf(const QString &list, qint32 id)
    {
        const auto row = store.syncRowAt(list, id);
        return row ? row->uid : QString();
    }
    void addSeconds(const QString &list, qint32 id, qint64 seconds)
    {
        TaskRecord t = store.findTask(list, id).value();
        const qint64 done = qint64(t.FinishedDuration) * 60 + t.FinishedSeconds + seconds;
        t.FinishedDuration = qint32(done / 60);
        t.FinishedSeconds = quint8(done % 60);
        QVERIFY(store.rewriteTask(list, id, t));
    }
};

// "UID subject list done" of every task the server holds, sorted.
QStringList serverTasks(const RadicaleServer &radicale, const QUrl &collection)
{
    CalDavClient client(collection.resolved(QUrl(u"/"_s)), radicale.user(), radicale.password());
    const auto changes = client.changes(collection, {});
    if (!changes)
        return {u"error: "_s + client.lastError().message};
    QStringList hrefs;
    for (const Resource &r : changes->changed)
        hrefs << r.href;
    QStringList out;
    for (const Resource &r : client.fetch(collection, hrefs).value_or(QList<Resource>())) {
        const auto t = fromICalendar(r.ical);
        out << (t ? u"%1 %2%3 %4 %5"_s.arg(t->uid, t->rule, t->subject, t->list).arg(t->doneSeconds)
                  : u"unreadable "_s + r.href);
    }
    out.sort();
    return out;
}

QStringList subjectsOf(const QStringList &serverLines)
{
    QStringList out;
    for (const QString &line : serverLines)
        out << line.section(u' ', 1);
    out.sort();
    return out;
}

// Passes a client's requests on to the server, counting them; once the
// server has answered the request numbered killAt, the child process is
// killed before the answer reaches it. Requests run one at a time, so a
// client's bytes after an answer start the next request.
class KillingProxy : public QObject
{
public:
    explicit KillingProxy(quint16 target)
        : m_target(target)
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, &KillingProxy::accept);
    }
    QUrl url() const { return QUrl(u"http://127.0.0.1:%1/"_s.arg(m_server.serverPort())); }
    // Counting starts anew; nothing is killed without a child.
    void arm(QProcess *child, int killAt)
    {
        m_child = child;
        m_killAt = killAt;
        m_requests = 0;
    }
    int requests() const { return m_requests; }

private:
    void accept()
    {
        QTcpSocket *client = m_server.nextPendingConnection();
        auto *upstream = new QTcpSocket(client);
        auto answered = std::make_shared<bool>(true);
        upstream->connectToHost(QHostAddress::LocalHost, m_target);
        connect(client, &QTcpSocket::readyRead, this, [=, this] {
            if (*answered)
                ++m_requests;
            *answered = false;
            upstream->write(client->readAll());
        });
        connect(upstream, &QTcpSocket::readyRead, this, [=, this] {
            *answered = true;
            const QByteArray reply = upstream->readAll();
            if (m_requests >= m_killAt && m_child && m_child->state() != QProcess::NotRunning)
                ::kill(pid_t(m_child->processId()), SIGKILL);
            else
                client->write(reply);
        });
        connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
    }

    QTcpServer m_server;
    quint16 m_target;
    int m_killAt = 0;
    QProcess *m_child = nullptr;
    int m_requests = 0;
};

// The test program run as a child: one sync of a data folder, nothing else.
int runChildSync(const QStringList &args)
{
    TaskStore store(args.at(0));
    store.OpenTaskDatabase();
    CalDavClient client(QUrl(args.at(1)), args.at(2), args.at(3));
    SyncEngine engine(store, client, QUrl(args.at(4)));
    const SyncReport report = engine.run();
    std::printf("%d sent\n", report.sent);
    return report.ok() ? 0 : 1;
}

} // namespace

class TestSyncEngine final : public QObject
{
    Q_OBJECT

    std::unique_ptr<RadicaleServer> m_radicale;

    QUrl newCollection(const QString &name)
    {
        CalDavClient client(m_radicale->url(), m_radicale->user(), m_radicale->password());
        const auto made = client.createTaskList(name);
        if (!made)
            qWarning("cannot make a task list: %s", qPrintable(client.lastError().message));
        return made.value_or(QUrl());
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_radicale = std::make_unique<RadicaleServer>();
        QVERIFY2(m_radicale->ready(), qPrintable(m_radicale->failure()));
    }

    void cleanupTestCase() { m_radicale.reset(); }

    // A folder's first sync sends every task and template; a second machine
    // receives them as they are. Then each side changes the same tasks.
    void twoMachinesMerge()
    {
        const QUrl collection = newCollection(u"Days"_s);
        QVERIFY(!collection.isEmpty());
        const QUrl server = m_radicale->url();
        Machine a;
        a.add(makeTask(1, u"Write report"_s, 60, 10, InProgress, 3));
        a.add(makeTask(2, u"Call Bob"_s, 15));
        a.add(makeTask(3, u"Water plants"_s, 5));
        a.add(makeTask(1, u"31010100]Gym"_s, 45, 0, NotStarted, 2, recurrentListKey()));
        const SyncReport first = a.sync(server, collection, *m_radicale);
        QVERIFY2(first.ok(), qPrintable(first.failure));
        QCOMPARE(first.sent, 4);
        QCOMPARE(first.waiting, 0);
        QCOMPARE(subjectsOf(serverTasks(*m_radicale, collection)),
                 (QStringList {u"31010100]Gym recurrent 0"_s, u"Call Bob 05032024 0"_s,
                               u"Water plants 05032024 0"_s, u"Write report 05032024 600"_s}));

        Machine b;
        const SyncReport received = b.sync(server, collection, *m_radicale);
        QVERIFY2(received.ok(), qPrintable(received.failure));
        QCOMPARE(received.received, 4);
        QCOMPARE(b.tasks(kDay), a.tasks(kDay));
        QCOMPARE(b.tasks(recurrentListKey()), a.tasks(recurrentListKey()));
        QCOMPARE(b.sync(server, collection, *m_radicale).sent, 0); // nothing went back

        // Here: rename, 5 minutes tracked, plants edited, Bob moved to the next day.
        const QString reportUid = a.uidOf(kDay, 1);
        const QString bobUid = a.uidOf(kDay, 2);
        TaskRecord t = a.store.findTask(kDay, 1).value();
        t.Subject = u"Write the report"_s;
        QVERIFY(a.store.rewriteTask(kDay, 1, t));
        a.addSeconds(kDay, 1, 300);
        QCOMPARE(a.ops.moveTasks(kDay, {2}, kNextDay).size(), 1);
        QVERIFY(a.store.SetTaskPriority(3, kDay, 5));
        // There: 12 minutes tracked, finished, and the plants deleted.
        const qint32 report = b.idOf(kDay, u"Write report"_s);
        b.addSeconds(kDay, report, 720);
        QVERIFY(b.store.SetTaskState(report, kDay, Finished, false));
        QCOMPARE(b.ops.deleteTasks(kDay, {b.idOf(kDay, u"Water plants"_s)}), 1);

        for (Machine *m : {&a, &b, &a}) {
            const SyncReport r = m->sync(server, collection, *m_radicale);
            QVERIFY2(r.ok(), qPrintable(r.failure));
            QCOMPARE(r.waiting, 0);
        }
        const QStringList expected {u"Water plants 0s/5 s0 p5 Work"_s,
                                    u"Write the report 1620s/60 s4 p3 Work"_s};
        QCOMPARE(a.tasks(kDay), expected);
        QCOMPARE(b.tasks(kDay), expected);
        QCOMPARE(b.tasks(kNextDay), (QStringList {u"Call Bob 0s/15 s0 p2 Work"_s}));
        QCOMPARE(a.tasks(kNextDay), b.tasks(kNextDay));
        // The same resources, under the same UIDs.
        QCOMPARE(a.uidOf(kDay, 1), reportUid);
        QCOMPARE(b.uidOf(kNextDay, b.idOf(kNextDay, u"Call Bob"_s)), bobUid);
        QCOMPARE(serverTasks(*m_radicale, collection).size(), 4);
        QVERIFY(serverTasks(*m_radicale, collection).contains(bobUid + u" Call Bob 06032024 0"_s));
    }

    // Both machines copy the same template into the same day before either
    // syncs: the server ends with one copy, and both machines with it,
    // holding the time tracked on both.
    void templateCopiedOnBothMachinesIsOneTask()
    {
        const QUrl collection = newCollection(u"Copies"_s);
        const QUrl server = m_radicale->url();
        Machine a, b;
        a.add(makeTask(1, u"0]Stretch"_s, 10, 0, NotStarted, 2, recurrentListKey()));
        QVERIFY(a.sync(server, collection, *m_radicale).ok());
        QVERIFY(b.sync(server, collection, *m_radicale).ok());
        for (Machine *m : {&a, &b})
            QCOMPARE(InjectRecurrentTasks(m->store, m->settings, kDate), 1);
        a.addSeconds(kDay, 1, 120);
        b.addSeconds(kDay, 1, 180);
        for (Machine *m : {&a, &b, &a})
            QVERIFY(m->sync(server, collection, *m_radicale).ok());
        QCOMPARE(a.tasks(kDay), (QStringList {u"Stretch 300s/10 s0 p2 Work"_s}));
        QCOMPARE(b.tasks(kDay), a.tasks(kDay));
        QCOMPARE(subjectsOf(serverTasks(*m_radicale, collection)),
                 (QStringList {u"0]Stretch recurrent 0"_s, u"Stretch 05032024 300"_s}));
    }

    // A run killed after the server answered its Nth request, for every N:
    // the next run completes it.
    void killedRunIsCompletedByTheNext()
    {
        const QString program = QCoreApplication::applicationFilePath();
        // Every run of the machine goes through the proxy: it is one server.
        KillingProxy proxy(quint16(m_radicale->url().port()));
        const QUrl server = proxy.url();
        int total = 0;
        // Round 0 runs whole and counts the requests of a run.
        for (int killAt = 0; killAt <= total; ++killAt) {
            const QUrl collection
                = server.resolved(QUrl(newCollection(u"Killed %1"_s.arg(killAt)).path()));
            Machine a;
            a.add(makeTask(1, u"Tracked"_s, 60, 10));
            a.add(makeTask(2, u"Deleted"_s, 15));
            a.add(makeTask(3, u"Moved"_s, 15));
            QVERIFY(a.sync(server, collection, *m_radicale).ok());
            a.addSeconds(kDay, 1, 300);
            QCOMPARE(a.ops.deleteTasks(kDay, {2}), 1);
            QCOMPARE(a.ops.moveTasks(kDay, {3}, kNextDay).size(), 1);
            a.add(makeTask(4, u"New"_s, 20));

            QProcess child;
            proxy.arm(&child, killAt == 0 ? std::numeric_limits<int>::max() : killAt);
            QEventLoop loop;
            connect(&child, &QProcess::finished, &loop, &QEventLoop::quit);
            QTimer::singleShot(60'000, &loop, &QEventLoop::quit);
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            child.start(program,
                        {u"--sync-child"_s, a.dir.path(), proxy.url().toString(),
                         m_radicale->user(), m_radicale->password(), collection.toString()});
            loop.exec();
            QCOMPARE(child.state(), QProcess::NotRunning);
            if (killAt == 0) {
                total = proxy.requests();
                QCOMPARE(child.exitCode(), 0);
            }
            QCOMPARE(child.exitStatus() == QProcess::CrashExit, killAt != 0);
            proxy.arm(nullptr, 0);

            const SyncReport next = a.sync(server, collection, *m_radicale);
            QVERIFY2(next.ok(), qPrintable(next.failure));
            QCOMPARE(next.waiting, 0);
            QCOMPARE(subjectsOf(serverTasks(*m_radicale, collection)),
                     (QStringList {u"Moved 06032024 0"_s, u"New 05032024 0"_s,
                                   u"Tracked 05032024 900"_s}));
            QCOMPARE(a.tasks(kDay),
                     (QStringList {u"New 0s/20 s0 p2 Work"_s, u"Tracked 900s/60 s0 p2 Work"_s}));
            QCOMPARE(a.tasks(kNextDay), (QStringList {u"Moved 0s/15 s0 p2 Work"_s}));
            QCOMPARE(a.store.syncRows().size(), 3);
        }
        QVERIFY2(total >= 4, "a run makes fewer requests than it has changes to send");
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 7 && args.at(1) == u"--sync-child"_s)
        return runChildSync(args.mid(2));
    TestSyncEngine test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_sync_engine.moc"
