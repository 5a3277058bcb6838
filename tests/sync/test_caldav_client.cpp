#include "sync/CalDavClient.h"
#include "sync/VTodo.h"

#include "sync/RadicaleServer.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QThread>

using namespace cdk::sync;

namespace {

// A server that answers every request with the same bytes, then hangs up:
// the replies a real server gives only when something breaks.
class CannedServer
{
public:
    explicit CannedServer(QByteArray reply)
        : m_reply(std::move(reply))
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            QTcpSocket *socket = m_server.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                m_request += socket->readAll();
                const qsizetype end = m_request.indexOf("\r\n\r\n");
                if (end < 0)
                    return;
                socket->write(m_reply);
                socket->disconnectFromHost();
                m_request.clear();
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        });
    }
    QUrl url() const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort()));
    }

private:
    QTcpServer m_server;
    QByteArray m_reply;
    QByteArray m_request;
};

SyncTask task(const QString &uid, const QString &subject)
{
    SyncTask t;
    t.uid = uid;
    t.list = QStringLiteral("07122026");
    t.subject = subject;
    t.budgetMinutes = 45;
    t.doneSeconds = 600;
    t.state = 1;
    t.lastModified = QDateTime(QDate(2026, 12, 7), QTime(9, 30), Qt::UTC);
    return t;
}

QStringList hrefsOf(const QList<Resource> &resources)
{
    QStringList hrefs;
    for (const Resource &r : resources)
        hrefs.append(r.href);
    hrefs.sort();
    return hrefs;
}

} // namespace

class TestCalDavClient : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void findsAndCreatesTaskLists()
    {
        RadicaleServer server;
        QVERIFY2(server.ready(), qPrintable(server.failure()));
        QString error;
        QVERIFY2(server.phone(
                     QStringLiteral("principal.make_calendar(name='Events', cal_id='events', "
                                    "supported_calendar_component_set=['VEVENT'])\n"
                                    "principal.make_calendar(name='Phone tasks', cal_id='phone', "
                                    "supported_calendar_component_set=['VTODO'])\n"),
                     &error),
                 qPrintable(error));

        CalDavClient client(server.url(), server.user(), server.password());
        const auto created = client.createTaskList(QStringLiteral("Chronodeck <days> & more"));
        QVERIFY2(created, qPrintable(client.lastError().message));

        // From the bare server (the well-known address) and from the
        // principal's own address alike, on a worker thread with no event
        // loop of its own, as the sync runs.
        for (const QString &start : {QStringLiteral("/"), QStringLiteral("/alice/")}) {
            std::optional<QList<TaskList>> lists;
            QString failure;
            std::unique_ptr<QThread> worker(QThread::create([&] {
                CalDavClient fresh(server.url().resolved(QUrl(start)), server.user(),
                                   server.password());
                lists = fresh.taskLists();
                failure = fresh.lastError().message;
            }));
            worker->start();
            QVERIFY(worker->wait(60'000));
            QVERIFY2(lists, qPrintable(failure));
            QMap<QString, QString> found;
            for (const TaskList &l : *lists)
                found.insert(l.name, l.url.path());
            QCOMPARE(found,
                     (QMap<QString, QString> {
                         {QStringLiteral("Chronodeck <days> & more"), created->path()},
                         {QStringLiteral("Phone tasks"), QStringLiteral("/alice/phone/")}}));
        }

        // The phone sees the new list as a task list of its own.
        const auto seen
            = server.phone(QStringLiteral("for c in principal.calendars():\n"
                                          "    print(c.name, c.get_supported_components())\n"));
        QVERIFY(seen);
        QVERIFY2(seen->contains("Chronodeck <days> & more ['VTODO']"), seen->constData());
    }

    void writesAndFollowsChanges()
    {
        RadicaleServer server;
        QVERIFY2(server.ready(), qPrintable(server.failure()));
        CalDavClient client(server.url(), server.user(), server.password());
        const auto list = client.createTaskList(QStringLiteral("Days"));
        QVERIFY2(list, qPrintable(client.lastError().message));

        const auto initial = client.changes(*list, {});
        QVERIFY2(initial, qPrintable(client.lastError().message));
        QVERIFY(initial->changed.isEmpty() && initial->deleted.isEmpty() && !initial->full);
        QVERIFY(!initial->token.isEmpty());

        // Create only: a second create of the same name is a conflict.
        const SyncTask first = task(QStringLiteral("a@b c"), QStringLiteral("Write; report, ✓"));
        const QString href = QStringLiteral("a%40b%20c.ics");
        const auto created = client.put(*list, href, toICalendar(first), {});
        QVERIFY2(created && !created->isEmpty(), qPrintable(client.lastError().message));
        QVERIFY(!client.put(*list, href, toICalendar(first), {}));
        QCOMPARE(client.lastError().kind, DavError::Conflict);
        QCOMPARE(client.lastError().http, 412);
        const auto second = client.put(*list, QStringLiteral("second.ics"),
                                       toICalendar(task(QStringLiteral("second"), {})), {});
        QVERIFY(second);

        // The phone, another client, reads our task and ticks it off.
        QString error;
        const auto phone = server.phone(
            QStringLiteral("cal = [c for c in principal.calendars() if c.name == 'Days'][0]\n"
                           "todo = cal.todo_by_uid('a@b c')\n"
                           "v = todo.vobject_instance.vtodo\n"
                           "print(v.summary.value, v.due.value, v.status.value)\n"
                           "todo.complete()\n"),
            &error);
        QVERIFY2(phone, qPrintable(error));
        QCOMPARE(phone->trimmed(), QByteArray("Write; report, ✓ 2026-12-07 IN-PROCESS"));

        const auto afterPhone = client.changes(*list, initial->token);
        QVERIFY2(afterPhone, qPrintable(client.lastError().message));
        QCOMPARE(afterPhone->changed.size(), 2);
        const auto fetched = client.fetch(*list, hrefsOf(afterPhone->changed));
        QVERIFY2(fetched, qPrintable(client.lastError().message));
        QCOMPARE(fetched->size(), 2);
        Resource ours;
        for (const Resource &r : *fetched) {
            if (r.href.endsWith(href))
                ours = r;
        }
        const auto completed = fromICalendar(ours.ical);
        QVERIFY(completed);
        QCOMPARE(completed->state, 4);
        QCOMPARE(completed->subject, first.subject);
        QCOMPARE(completed->budgetMinutes, first.budgetMinutes); // our fields kept by the phone
        QVERIFY(ours.etag != *created);

        // Writing over the phone's change needs its ETag; the stale one is refused.
        SyncTask edited = *completed;
        edited.doneSeconds += 300;
        QVERIFY(!client.put(*list, ours.href, toICalendar(edited, ours.ical), *created));
        QCOMPARE(client.lastError().kind, DavError::Conflict);
        const auto updated
            = client.put(*list, ours.href, toICalendar(edited, ours.ical), ours.etag);
        QVERIFY2(updated, qPrintable(client.lastError().message));

        // A delete with a stale ETag is refused, then done; gone twice is still done.
        QVERIFY(!client.remove(*list, QStringLiteral("second.ics"), QStringLiteral("\"stale\"")));
        QCOMPARE(client.lastError().kind, DavError::Conflict);
        QVERIFY(client.remove(*list, QStringLiteral("second.ics"), *second));
        QVERIFY(client.remove(*list, QStringLiteral("second.ics"), {}));

        const auto later = client.changes(*list, afterPhone->token);
        QVERIFY2(later, qPrintable(client.lastError().message));
        QVERIFY(!later->full);
        QCOMPARE(later->changed.size(), 1);
        QVERIFY(later->changed.first().href.endsWith(href));
        QCOMPARE(later->changed.first().etag, *updated);
        QCOMPARE(later->deleted.size(), 1);
        QVERIFY(later->deleted.first().endsWith(QLatin1String("/second.ics")));
        const auto final = client.fetch(*list, {later->changed.first().href});
        QVERIFY(final && final->size() == 1);
        QCOMPARE(fromICalendar(final->first().ical)->doneSeconds, edited.doneSeconds);

        // A token the server cannot use: the whole collection, with a fresh token.
        const auto whole = client.changes(*list, QStringLiteral("http://radicale.org/ns/sync/0"));
        QVERIFY2(whole, qPrintable(client.lastError().message));
        QVERIFY(whole->full);
        QCOMPARE(whole->changed.size(), 1);
        QCOMPARE(whole->changed.first().etag, *updated);
        QVERIFY(!whole->token.isEmpty());
        const auto afterWhole = client.changes(*list, whole->token);
        QVERIFY(afterWhole && !afterWhole->full && afterWhole->changed.isEmpty());

        // A list that is not there.
        QUrl missing = *list;
        missing.setPath(QStringLiteral("/alice/nothing-here/"));
        QVERIFY(!client.fetch(missing, {QStringLiteral("/alice/nothing-here/x.ics")}));
        QCOMPARE(client.lastError().kind, DavError::NotFound);
    }

    void failuresAreToldInOneLine()
    {
        RadicaleServer server;
        QVERIFY2(server.ready(), qPrintable(server.failure()));
        QList<DavError> errors;

        CalDavClient wrong(server.url(), server.user(), QStringLiteral("not-the-password"));
        QVERIFY(!wrong.taskLists());
        QCOMPARE(wrong.lastError().kind, DavError::SignInRefused);
        QCOMPARE(wrong.lastError().message, QStringLiteral("Sign-in refused by the server (401)"));
        errors.append(wrong.lastError());

        quint16 closedPort = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            closedPort = probe.serverPort();
        }
        CalDavClient nobody(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(closedPort)),
                            server.user(), server.password());
        QVERIFY(!nobody.taskLists());
        QCOMPARE(nobody.lastError().kind, DavError::Offline);
        QCOMPARE(nobody.lastError().message, QStringLiteral("No answer from 127.0.0.1"));
        errors.append(nobody.lastError());

        // A certificate nobody vouches for is refused, never accepted silently.
        RadicaleServer selfSigned(true);
        QVERIFY2(selfSigned.ready(), qPrintable(selfSigned.failure()));
        CalDavClient untrusted(selfSigned.url(), server.user(), server.password());
        QVERIFY(!untrusted.taskLists());
        QCOMPARE(untrusted.lastError().kind, DavError::Certificate);
        QVERIFY2(untrusted.lastError().message.startsWith(
                     QStringLiteral("The server's certificate is not trusted")),
                 qPrintable(untrusted.lastError().message));
        errors.append(untrusted.lastError());

        // Plain http leaves this machine never: refused before any connection.
        CalDavClient plain(QUrl(QStringLiteral("http://calendar.example.invalid/")), server.user(),
                           server.password());
        QVERIFY(!plain.taskLists());
        QCOMPARE(plain.lastError().kind, DavError::Certificate);
        errors.append(plain.lastError());

        const QByteArray xml = "<?xml version=\"1.0\"?><d:multistatus xmlns:d=\"DAV:\">"
                               "<d:response><d:href>/a.ics</d:href><d:propstat>";
        const std::tuple<const char *, QByteArray, DavError::Kind> broken[] = {
            {"malformed XML",
             "HTTP/1.1 207 Multi-Status\r\nContent-Type: text/xml\r\nContent-Length: "
                 + QByteArray::number(xml.size()) + "\r\n\r\n" + xml,
             DavError::BadReply},
            {"cut short", "HTTP/1.1 207 Multi-Status\r\nContent-Length: 5000\r\n\r\n" + xml,
             DavError::BadReply},
            {"too large", "HTTP/1.1 207 Multi-Status\r\nContent-Length: 100000000\r\n\r\n" + xml,
             DavError::TooLarge},
            {"server failing", "HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\n\r\n",
             DavError::Server},
        };
        for (const auto &[name, reply, kind] : broken) {
            CannedServer canned(reply);
            CalDavClient client(canned.url(), server.user(), server.password());
            QVERIFY2(!client.fetch(canned.url(), {QStringLiteral("/a.ics")}), name);
            QVERIFY2(client.lastError().kind == kind,
                     qPrintable(QLatin1String(name) + u": " + client.lastError().message));
            errors.append(client.lastError());
        }

        for (const DavError &e : errors) {
            QVERIFY(!e.message.isEmpty());
            QVERIFY2(!e.message.contains(u'\n'), qPrintable(e.message));
            QVERIFY2(!e.message.contains(server.password()), qPrintable(e.message));
        }
    }
};

QTEST_GUILESS_MAIN(TestCalDavClient)
#include "test_caldav_client.moc"
