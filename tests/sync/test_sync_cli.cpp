// `chronodeck sync` as a user runs it: two data folders ("two machines") and
// python-caldav playing the phone, against one real Radicale; the keyring a
// real gnome-keyring on a private session bus.
#include "RadicaleServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Run
{
    int exit = -1;
    QString out;
    QString err;
};

// One data folder with the program's own command line.
class Machine
{
public:
    explicit Machine(QProcessEnvironment environment = QProcessEnvironment::systemEnvironment())
        : m_environment(std::move(environment))
    {
    }

    Run run(const QStringList &arguments, const QString &input = {}) const
    {
        QProcess process;
        process.setProcessEnvironment(m_environment);
        process.start(QCoreApplication::applicationDirPath() + u"/chronodeck"_s,
                      QStringList {u"--data-dir"_s, m_dir.path()} + arguments);
        if (!input.isEmpty())
            process.write(input.toUtf8() + '\n');
        process.closeWriteChannel();
        if (!process.waitForFinished(60'000))
            return {};
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
    Run setUp(const RadicaleServer &server, const QStringList &choice) const
    {
        return run(QStringList {u"sync"_s, u"--setup"_s, server.url().toString(), u"--user"_s,
                                server.user(), u"--password-stdin"_s}
                       + choice,
                   server.password());
    }
    Run sync(const RadicaleServer &server) const
    {
        return run({u"sync"_s, u"--password-stdin"_s}, server.password());
    }
    QString list(const QString &day = u"today"_s) const
    {
        return run({u"list"_s, u"--day"_s, day}).out;
    }
    QString syncState() const
    {
        return QJsonDocument::fromJson(run({u"status"_s, u"--json"_s}).out.toUtf8())
            .object()
            .value(u"sync"_s)
            .toString();
    }
    QString folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QProcessEnvironment m_environment;
};

} // namespace

class TestSyncCli final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // What one machine adds the other and the phone see; what the phone
    // ticks off and adds comes back; the state is where a user looks.
    void twoMachinesAndAPhone()
    {
        RadicaleServer server;
        QVERIFY2(server.ready(), qPrintable(server.failure()));
        Machine desk;
        Machine laptop;
        QCOMPARE(desk.run({u"add"_s, u"Write the report"_s, u"--budget"_s, u"1:30"_s}).exit, 0);
        QCOMPARE(desk.run({u"add"_s, u"Call the bank"_s, u"--budget"_s, u"0:20"_s, u"--day"_s,
                           u"tomorrow"_s})
                     .exit,
                 0);

        // Several lists and no choice: the user is asked to choose.
        QVERIFY(server.phone(u"for name in ('Groceries', 'Garden'):\n"
                             "    principal.make_calendar(name=name, "
                             "supported_calendar_component_set=['VTODO'])\n"_s));
        const Run ask = desk.setUp(server, {});
        QCOMPARE(ask.exit, 1);
        QVERIFY2(ask.err.contains(u"Groceries"_s) && ask.err.contains(u"--create"_s),
                 qPrintable(ask.err));

        const Run first = desk.setUp(server, {u"--create"_s, u"Chronodeck"_s});
        QVERIFY2(first.exit == 0, qPrintable(first.err));
        QVERIFY2(first.out.contains(u"2 sent"_s), qPrintable(first.out));
        const Run second = laptop.setUp(server, {u"--list"_s, u"Chronodeck"_s});
        QVERIFY2(second.exit == 0, qPrintable(second.err));
        QVERIFY2(laptop.list().contains(u"0:00/1:30  0%  Not Started  Write the report"_s),
                 qPrintable(laptop.list()));
        QVERIFY(laptop.list(u"tomorrow"_s).contains(u"Call the bank"_s));
        QVERIFY2(laptop.syncState().startsWith(u"Synced "_s), qPrintable(laptop.syncState()));

        // The phone sees both, ticks one off and adds one of its own.
        QString error;
        const auto phone = server.phone(
            u"cal = [c for c in principal.calendars() if c.name == 'Chronodeck'][0]\n"
            "for t in sorted(cal.todos(), key=lambda t: str(t.vobject_instance.vtodo.summary.value)):\n"
            "    print(t.vobject_instance.vtodo.summary.value)\n"
            "    if t.vobject_instance.vtodo.summary.value == 'Write the report':\n"
            "        t.complete()\n"
            "import datetime\n"
            "cal.save_todo(summary='Buy stamps', due=datetime.date.today())\n"_s,
            &error);
        QVERIFY2(phone, qPrintable(error));
        QCOMPARE(phone->trimmed(), QByteArray("Call the bank\nWrite the report"));

        const Run back = desk.sync(server);
        QVERIFY2(back.exit == 0, qPrintable(back.err));
        const QString today = desk.list();
        QVERIFY2(today.contains(u"Finished     Write the report"_s)
                     && today.contains(u"Buy stamps"_s),
                 qPrintable(today));

        // Both machines synced again: every task is on the server once.
        QCOMPARE(laptop.sync(server).exit, 0);
        const auto onServer = server.phone(
            u"cal = [c for c in principal.calendars() if c.name == 'Chronodeck'][0]\n"
            "print(len(cal.todos(include_completed=True)))\n"_s);
        QCOMPARE(onServer->trimmed(), QByteArray("3"));
    }

    // The password goes into the keyring and nowhere else; the next sync
    // needs none. A wrong one and a server gone are told plainly, and what
    // changed meanwhile waits.
    void keyringAndFailures()
    {
        const QString daemon = QStandardPaths::findExecutable(u"gnome-keyring-daemon"_s);
        if (daemon.isEmpty())
            QSKIP("gnome-keyring-daemon is not installed (scripts/install-deps installs it)");
        // A session bus and a keyring of the test's own.
        QTemporaryDir home;
        QProcess bus;
        bus.start(u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address=1"_s});
        QVERIFY(bus.waitForReadyRead(10'000));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, QString::fromUtf8(bus.readLine().trimmed()));
        environment.insert(u"HOME"_s, home.path());
        environment.insert(u"XDG_RUNTIME_DIR"_s, home.path());
        environment.insert(u"XDG_DATA_HOME"_s, home.path() + u"/data"_s);
        QProcess keyring;
        keyring.setProcessEnvironment(environment);
        keyring.start(daemon, {u"--unlock"_s, u"--components=secrets"_s});
        keyring.write("unlock-me");
        keyring.closeWriteChannel();
        QVERIFY(keyring.waitForFinished(10'000));
        auto stop = qScopeGuard([&bus] {
            bus.kill();
            bus.waitForFinished();
        });

        Machine desk(environment);
        {
            RadicaleServer server;
            QVERIFY2(server.ready(), qPrintable(server.failure()));
            const Run setUp = desk.setUp(server, {u"--create"_s, u"Chronodeck"_s});
            QVERIFY2(setUp.exit == 0, qPrintable(setUp.err));
            QVERIFY2(!setUp.err.contains(u"keyring"_s), qPrintable(setUp.err));
            const Run again = desk.run({u"sync"_s});
            QVERIFY2(again.exit == 0, qPrintable(again.err));
            // Nothing in the data folder holds the password.
            QDirIterator files(desk.folder(), QDir::Files);
            while (files.hasNext()) {
                QFile file(files.next());
                QVERIFY(file.open(QIODevice::ReadOnly));
                QVERIFY2(!file.readAll().contains(server.password().toUtf8()),
                         qPrintable(file.fileName()));
            }
            const Run refused = desk.run({u"sync"_s, u"--password-stdin"_s}, u"wrong"_s);
            QCOMPARE(refused.exit, 1);
            QVERIFY2(refused.err.contains(u"Sign-in refused"_s), qPrintable(refused.err));
            QVERIFY(!refused.err.contains(u"wrong"_s));
            QCOMPARE(desk.syncState(), u"Sign-in refused"_s);
        }
        // The server is gone: the change waits, and says so.
        QCOMPARE(desk.run({u"add"_s, u"Offline work"_s}).exit, 0);
        const Run offline = desk.run({u"sync"_s});
        QCOMPARE(offline.exit, 3);
        QCOMPARE(desk.syncState(), u"Offline: 1 change waiting"_s);
        QVERIFY(desk.list().contains(u"Offline work"_s));
    }
};

QTEST_GUILESS_MAIN(TestSyncCli)
#include "test_sync_cli.moc"
