#include "sync/CalDavClient.h"
#include "sync/VTodo.h"

#include "sync/RadicaleServer.h"

#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QThread>
#include <QTimer>

using namespace cdk::sync;
using namespace Qt::StringLiterals;

namespace {

// A server that answers every request with the same bytes, then hangs up:
// the replies a real server gives only when something breaks. A script
// answers by request line instead ("REPORT /list/"), in order, the last answer
// again; an empty answer is a server that never answers.
class CannedServer
{
public:
    explicit CannedServer(QByteArray reply = {})
        : m_reply(std::move(reply))
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            QTcpSocket *socket = m_server.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                m_request += socket->readAll();
                answer(socket);
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        });
    }
    QUrl url() const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort()));
    }
    void script(const QByteArray &requestLine, const QByteArray &reply)
    {
        m_script[requestLine].append(reply);
    }
    // Sends each answer in pieces, a piece every interval.
    void trickle(int intervalMs) { m_trickleMs = intervalMs; }
    // Each request as "METHOD /path", then "auth" when it carried the
    // password, then the sync-token it asked from.
    const QStringList &seen() const { return m_seen; }

private:
    void answer(QTcpSocket *socket)
    {
        const qsizetype end = m_request.indexOf("\r\n\r\n");
        static const QRegularExpression length(QStringLiteral("content-length: *(\\d+)"),
                                               QRegularExpression::CaseInsensitiveOption);
        const auto declared = length.match(QString::fromLatin1(m_request.left(end)));
        if (end < 0 || m_request.size() < end + 4 + declared.captured(1).toLongLong())
            return;
        const QByteArray line = m_request.left(m_request.indexOf(' ', m_request.indexOf(' ') + 1));
        static const QRegularExpression token(QStringLiteral("sync-token>([^<]*)<"));
        QStringList what {QString::fromLatin1(line)};
        if (m_request.contains("\r\nAuthorization: Basic "))
            what.append(u"auth"_s);
        if (const auto asked = token.match(QString::fromUtf8(m_request)); asked.hasMatch())
            what.append(asked.captured(1));
        m_seen.append(what.join(u' '));
        m_request.clear();
        QList<QByteArray> &queue = m_script[line];
        const QByteArray reply = queue.size() > 1 ? queue.takeFirst() : queue.value(0, m_reply);
        if (reply.isEmpty())
            return;
        if (m_trickleMs <= 0) {
            socket->write(reply);
            socket->disconnectFromHost();
            return;
        }
        auto *pieces = new QTimer(socket);
        QObject::connect(pieces, &QTimer::timeout, socket, [socket, reply, sent = 0]() mutable {
            socket->write(reply.mid(sent, 20));
            sent += 20;
            if (sent >= reply.size())
                socket->disconnectFromHost();
        });
        pieces->start(m_trickleMs);
    }

    QTcpServer m_server;
    QByteArray m_reply;
    QByteArray m_request;
    QHash<QByteArray, QList<QByteArray>> m_script;
    QStringList m_seen;
    int m_trickleMs = 0;
};

QByteArray http(const QByteArray &status, const QByteArray &body, const QByteArray &headers = {})
{
    return "HTTP/1.1 " + status + "\r\nContent-Type: application/xml\r\nConnection: close\r\n"
        + headers + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

// A multistatus of members "href etag" ("href" alone: deleted); the
// collection's own response has the status given.
QByteArray multistatus(const QString &collection, const QStringList &members,
                       const QByteArray &token, int collectionStatus = 0)
{
    QByteArray xml = "<?xml version=\"1.0\"?><d:multistatus xmlns:d=\"DAV:\">";
    if (collectionStatus)
        xml += "<d:response><d:href>" + collection.toUtf8() + "</d:href><d:status>HTTP/1.1 "
            + QByteArray::number(collectionStatus) + " X</d:status></d:response>";
    for (const QString &m : members) {
        const QStringList parts = m.split(u' ');
        xml += "<d:response><d:href>" + collection.toUtf8() + parts[0].toUtf8() + "</d:href>";
        xml += parts.size() == 1 ? QByteArray("<d:status>HTTP/1.1 404 Not Found</d:status>")
                                 : "<d:propstat><d:prop><d:getetag>" + parts[1].toUtf8()
                + "</d:getetag></d:prop><d:status>HTTP/1.1 200 OK</d:status>"
                  "</d:propstat>";
        xml += "</d:response>";
    }
    if (!token.isEmpty())
        xml += "<d:sync-token>" + token + "</d:sync-token>";
    return xml + "</d:multistatus>";
}

QString describe(const Changes &c)
{
    QStringList out;
    for (const Resource &r : c.changed)
        out.append(r.href + u' ' + r.etag);
    for (const QString &href : c.deleted)
        out.append(u"gone "_s + href);
    return out.join(u", "_s) + u"; token "_s + c.token + (c.full ? u"; full"_s : u""_s);
}

using Script = QList<std::pair<QByteArray, QByteArray>>;

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

    // What a server does that RadicaleServer never does, each as one script
    // of answers and what the client makes of it: the changes it reports, or
    // the one-line failure, and the requests the server saw.
    void copesWithServerQuirks_data()
    {
        QTest::addColumn<Script>("script");
        QTest::addColumn<int>("trickleMs");
        QTest::addColumn<int>("stallMs");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QStringList>("seen");

        const QByteArray done
            = http("207 Multi-Status", multistatus(u"/list/"_s, {u"a.ics \"1\""_s}, "t1"));
        const QStringList once {u"REPORT /list/ auth t0"_s};
        QTest::newRow("never answers")
            << Script {{"REPORT /list/", {}}} << 0 << 300 << int(DavError::Timeout)
            << u"No answer from 127.0.0.1 within 0.3 seconds"_s << once;
        QTest::newRow("answers slowly but steadily")
            << Script {{"REPORT /list/", done}} << 150 << 1000 << int(DavError::None)
            << u"/list/a.ics \"1\"; token t1"_s << once;
        QTest::newRow("answers in parts (507)")
            << Script {{"REPORT /list/",
                        http("207 Multi-Status",
                             multistatus(u"/list/"_s, {u"a.ics \"1\""_s}, "t1", 507))},
                       {"REPORT /list/",
                        http("207 Multi-Status",
                             multistatus(u"/list/"_s, {u"b.ics \"2\""_s, u"c.ics"_s}, "t2"))}}
            << 0 << 0 << int(DavError::None)
            << u"/list/a.ics \"1\", /list/b.ics \"2\", gone /list/c.ics; token t2"_s
            << QStringList {u"REPORT /list/ auth t0"_s, u"REPORT /list/ auth t1"_s};
        for (const QByteArray status : {"301 Moved Permanently", "308 Permanent Redirect"}) {
            QTest::newRow(status.constData())
                << Script {{"REPORT /list/", http(status, {}, "Location: /moved/\r\n")},
                           {"REPORT /moved/",
                            http("207 Multi-Status",
                                 multistatus(u"/moved/"_s, {u"a.ics \"1\""_s}, "t1"))}}
                << 0 << 0 << int(DavError::None) << u"/moved/a.ics \"1\"; token t1"_s
                << QStringList {u"REPORT /list/ auth t0"_s, u"REPORT /moved/ auth t0"_s};
        }
        QTest::newRow("moved to another server")
            << Script {{"REPORT /list/",
                        http("307 Temporary Redirect", {},
                             "Location: http://127.0.0.1:ELSEWHERE/elsewhere/\r\n")},
                       {"REPORT /elsewhere/", done}}
            << 0 << 0 << int(DavError::None) << u"/list/a.ics \"1\"; token t1"_s
            << QStringList {u"REPORT /list/ auth t0"_s, u"elsewhere: REPORT /elsewhere/ t0"_s};
        QTest::newRow("moved to plain http elsewhere")
            << Script {{"REPORT /list/",
                        http("301 Moved Permanently", {},
                             "Location: http://calendar.example.invalid/list/\r\n")}}
            << 0 << 0 << int(DavError::Certificate)
            << u"Refused to talk to calendar.example.invalid without https"_s << once;
        QTest::newRow("redirected round in circles")
            << Script {{"REPORT /list/", http("302 Found", {}, "Location: /other/\r\n")},
                       {"REPORT /other/", http("302 Found", {}, "Location: /list/\r\n")}}
            << 0 << 0 << int(DavError::BadReply) << u"Too many redirections from 127.0.0.1"_s
            << QStringList {u"REPORT /list/ auth t0"_s, u"REPORT /other/ auth t0"_s,
                            u"REPORT /list/ auth t0"_s, u"REPORT /other/ auth t0"_s,
                            u"REPORT /list/ auth t0"_s, u"REPORT /other/ auth t0"_s};
        const QByteArray listing
            = http("207 Multi-Status",
                   multistatus(u"/list/"_s, {u"a.ics \"1\""_s, u"b.ics \"2\""_s}, {}, 200));
        const QStringList listed {u"REPORT /list/ auth t0"_s, u"PROPFIND /list/ auth"_s};
        QTest::newRow("no sync-collection (501)")
            << Script {{"REPORT /list/", http("501 Not Implemented", {})},
                       {"PROPFIND /list/", listing}}
            << 0 << 0 << int(DavError::None)
            << u"/list/a.ics \"1\", /list/b.ics \"2\"; token ; full"_s << listed;
        QTest::newRow("token refused (403 valid-sync-token)")
            << Script {{"REPORT /list/",
                        http("403 Forbidden",
                             "<?xml version=\"1.0\"?><d:error xmlns:d=\"DAV:\">"
                             "<d:valid-sync-token/></d:error>")},
                       {"PROPFIND /list/", listing}}
            << 0 << 0 << int(DavError::None)
            << u"/list/a.ics \"1\", /list/b.ics \"2\"; token ; full"_s << listed;
    }

    void copesWithServerQuirks()
    {
        QFETCH(Script, script);
        QFETCH(int, trickleMs);
        QFETCH(int, stallMs);
        QFETCH(int, kind);
        QFETCH(QString, outcome);
        QFETCH(QStringList, seen);
        CannedServer server;
        CannedServer elsewhere;
        for (auto [line, reply] : script) {
            reply.replace("ELSEWHERE", QByteArray::number(elsewhere.url().port()));
            server.script(line, reply);
            elsewhere.script(line, reply);
        }
        server.trickle(trickleMs);
        CalDavClient client(server.url(), u"alice"_s, u"secret"_s);
        if (stallMs)
            client.setStallLimit(std::chrono::milliseconds(stallMs));

        const auto changes = client.changes(server.url().resolved(QUrl(u"/list/"_s)), u"t0"_s);
        QCOMPARE(int(client.lastError().kind), kind);
        QCOMPARE(changes ? describe(*changes) : client.lastError().message, outcome);
        QStringList saw = server.seen();
        for (const QString &request : elsewhere.seen())
            saw.append(u"elsewhere: "_s + request);
        QCOMPARE(saw, seen);
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
