#include "sync/CalDavClient.h"

#include "sync/DavXml.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QHostAddress>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QScopeGuard>
#include <QSslError>
#include <QTimer>
#include <QUuid>

Q_LOGGING_CATEGORY(lcSyncDav, "chronodeck.sync.dav", QtWarningMsg)

namespace cdk::sync {

namespace {

constexpr int kStallMs = 30'000;
constexpr qint64 kMaxReply = 64LL * 1024 * 1024;
constexpr int kMaxRedirects = 5;
constexpr int kMultigetBatch = 100;

const QString kCalDavNs = dav::kCalDav.toString();
QString davName(const char *name) { return QStringLiteral("DAV:") + QLatin1String(name); }
QString calName(const char *name) { return kCalDavNs + QLatin1String(name); }

bool isLoopback(const QString &host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

bool sameOrigin(const QUrl &a, const QUrl &b)
{
    return a.scheme() == b.scheme() && a.host().compare(b.host(), Qt::CaseInsensitive) == 0
        && a.port(a.scheme() == QLatin1String("https") ? 443 : 80)
        == b.port(b.scheme() == QLatin1String("https") ? 443 : 80);
}

QUrl withSlash(QUrl url)
{
    if (!url.path().endsWith(QLatin1Char('/')))
        url.setPath(url.path() + QLatin1Char('/'));
    return url;
}

// A one-line text from a server (reason phrase, error string).
QString oneLine(const QString &text) { return text.simplified().left(200); }

struct Reply
{
    int status = 0;
    QByteArray body;
    QString etag;
    QString location;
    QUrl url; // after redirects
};

} // namespace

struct CalDavClient::Private
{
    QUrl server;
    QByteArray authorization;
    QNetworkAccessManager network;
    DavError error;
    QUrl home;
    std::chrono::milliseconds stallLimit {kStallMs};

    bool fail(DavError::Kind kind, int http, const QString &message)
    {
        error = {kind, http, message};
        // A conflict is part of the merge's work, not trouble.
        if (kind == DavError::Conflict)
            qCInfo(lcSyncDav) << message;
        else
            qCWarning(lcSyncDav) << message;
        return false;
    }
    QString host(const QUrl &url) const { return url.host(); }

    bool allowed(const QUrl &url)
    {
        if (url.scheme() == QLatin1String("https")
            || (url.scheme() == QLatin1String("http") && isLoopback(url.host())))
            return true;
        return fail(
            DavError::Certificate, 0,
            QCoreApplication::translate("CalDavClient", "Refused to talk to %1 without https")
                .arg(url.host()));
    }

    // The status of a finished exchange as a failure of its kind; true for
    // the statuses the caller accepts.
    bool statusOk(const Reply &reply, std::initializer_list<int> accepted)
    {
        for (int ok : accepted) {
            if (reply.status == ok)
                return true;
        }
        const int s = reply.status;
        if (s == 401)
            return fail(
                DavError::SignInRefused, s,
                QCoreApplication::translate("CalDavClient", "Sign-in refused by the server (401)"));
        if (s == 403)
            return fail(
                DavError::Forbidden, s,
                QCoreApplication::translate("CalDavClient", "The server refused access (403)"));
        if (s == 404 || s == 410)
            return fail(
                DavError::NotFound, s,
                QCoreApplication::translate("CalDavClient", "Not found on the server (%1): %2")
                    .arg(QString::number(s), reply.url.path()));
        if (s == 412)
            return fail(DavError::Conflict, s,
                        QCoreApplication::translate("CalDavClient",
                                                    "Changed on the server meanwhile (412)"));
        if (s >= 500)
            return fail(
                DavError::Server, s,
                QCoreApplication::translate("CalDavClient", "The server failed (%1)").arg(s));
        return fail(
            DavError::BadReply, s,
            QCoreApplication::translate("CalDavClient", "Unexpected answer from the server (%1)")
                .arg(s));
    }

    std::optional<Reply> send(const QByteArray &verb, QUrl url, const QByteArray &body,
                              const QList<std::pair<QByteArray, QByteArray>> &headers);
    std::optional<Reply> exchange(const QByteArray &verb, const QUrl &url, const QByteArray &body,
                                  const QList<std::pair<QByteArray, QByteArray>> &headers);
    std::optional<dav::Multistatus> multistatus(const Reply &reply)
    {
        QString why;
        auto parsed = dav::parseMultistatus(reply.body, &why);
        if (!parsed)
            fail(DavError::BadReply, reply.status,
                 QCoreApplication::translate("CalDavClient",
                                             "The reply from %1 could not be read: %2")
                     .arg(host(reply.url), oneLine(why)));
        return parsed;
    }
    std::optional<dav::Multistatus> propfind(const QUrl &url, int depth, const QStringList &props,
                                             QUrl *finalUrl = nullptr)
    {
        const auto reply = send("PROPFIND", url, dav::propfindBody(props),
                                {{"Depth", QByteArray::number(depth)}});
        if (!reply || !statusOk(*reply, {207}))
            return std::nullopt;
        if (finalUrl)
            *finalUrl = reply->url;
        return multistatus(*reply);
    }
    std::optional<QUrl> discoverHome();
    std::optional<Changes> listEtags(const QUrl &collection);
};

std::optional<Reply>
CalDavClient::Private::send(const QByteArray &verb, QUrl url, const QByteArray &body,
                            const QList<std::pair<QByteArray, QByteArray>> &headers)
{
    // Redirects are followed here rather than by the network layer: the same
    // method and body go again, never to plain http, and the password goes
    // only to the server the user named.
    for (int hop = 0; hop <= kMaxRedirects; ++hop) {
        auto reply = exchange(verb, url, body, headers);
        if (!reply)
            return reply;
        const int s = reply->status;
        if (s != 301 && s != 302 && s != 303 && s != 307 && s != 308)
            return reply;
        const QUrl next = url.resolved(QUrl(reply->location));
        if (!next.isValid() || next == url)
            return reply;
        url = next;
    }
    fail(DavError::BadReply, 0,
         QCoreApplication::translate("CalDavClient", "Too many redirections from %1")
             .arg(url.host()));
    return std::nullopt;
}

std::optional<Reply>
CalDavClient::Private::exchange(const QByteArray &verb, const QUrl &url, const QByteArray &body,
                                const QList<std::pair<QByteArray, QByteArray>> &headers)
{
    error = {};
    if (!allowed(url))
        return std::nullopt;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    if (sameOrigin(url, server))
        request.setRawHeader("Authorization", authorization);
    if (!body.isEmpty() && verb != "PUT")
        request.setRawHeader("Content-Type", "application/xml; charset=utf-8");
    for (const auto &[name, value] : headers)
        request.setRawHeader(name, value);

    QNetworkReply *reply = network.sendCustomRequest(request, verb, body);
    QByteArray received;
    bool timedOut = false;
    bool tooLarge = false;
    QString certificate;
    QEventLoop loop;
    QTimer stall;
    stall.setSingleShot(true);
    stall.setInterval(stallLimit);
    QObject::connect(&stall, &QTimer::timeout, reply, [&] {
        timedOut = true;
        reply->abort();
    });
    auto progress = [&stall](qint64, qint64) { stall.start(); };
    QObject::connect(reply, &QNetworkReply::uploadProgress, &stall, progress);
    QObject::connect(reply, &QNetworkReply::downloadProgress, &stall, progress);
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [&] {
        if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > kMaxReply) {
            tooLarge = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [&] {
        received += reply->readAll();
        if (received.size() > kMaxReply) {
            tooLarge = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::sslErrors, reply, [&](const QList<QSslError> &errors) {
        if (!errors.isEmpty() && certificate.isEmpty())
            certificate = errors.first().errorString();
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    stall.start();
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    stall.stop();
    // An aborted reply is closed: nothing more to read from it.
    if (!tooLarge && !timedOut)
        received += reply->readAll();

    Reply result;
    result.url = url;
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.location = QString::fromUtf8(reply->rawHeader("Location"));
    result.etag = QString::fromUtf8(reply->rawHeader("ETag"));
    const QNetworkReply::NetworkError code = reply->error();
    const QString reason = reply->errorString();
    const auto dropReply = qScopeGuard([reply] { reply->deleteLater(); });
    const QString where = url.host();
    if (tooLarge) {
        fail(DavError::TooLarge, result.status,
             QCoreApplication::translate("CalDavClient", "The reply from %1 is larger than 64 MB")
                 .arg(where));
        return std::nullopt;
    }
    if (timedOut) {
        fail(DavError::Timeout, 0,
             QCoreApplication::translate("CalDavClient", "No answer from %1 within %2 seconds")
                 .arg(where, QString::number(stallLimit.count() / 1000.0)));
        return std::nullopt;
    }
    if (!certificate.isEmpty() || code == QNetworkReply::SslHandshakeFailedError) {
        fail(DavError::Certificate, 0,
             QCoreApplication::translate("CalDavClient",
                                         "The server's certificate is not trusted: %1")
                 .arg(oneLine(certificate.isEmpty() ? reason : certificate)));
        return std::nullopt;
    }
    // Errors below 200 are the connection's, above it the HTTP status's,
    // which the callers judge.
    const bool connectionFailed = code != QNetworkReply::NoError && int(code) < 200;
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    const bool shortOfLength = length.isValid() && received.size() < length.toLongLong();
    if ((connectionFailed || shortOfLength) && result.status > 0) {
        fail(DavError::BadReply, result.status,
             QCoreApplication::translate("CalDavClient", "The reply from %1 was cut short")
                 .arg(where));
        return std::nullopt;
    }
    if (connectionFailed || result.status == 0) {
        qCInfo(lcSyncDav) << "no answer:" << reason;
        fail(DavError::Offline, 0,
             QCoreApplication::translate("CalDavClient", "No answer from %1").arg(where));
        return std::nullopt;
    }
    result.body = received;
    return result;
}

std::optional<QUrl> CalDavClient::Private::discoverHome()
{
    if (home.isValid())
        return home;
    QUrl wellKnown = server;
    wellKnown.setPath(QStringLiteral("/.well-known/caldav"));
    const bool bare = server.path().isEmpty() || server.path() == QLatin1String("/");
    const QList<QUrl> candidates
        = bare ? QList<QUrl> {wellKnown, server} : QList<QUrl> {server, wellKnown};
    const QString principalProp = davName("current-user-principal");
    const QString homeProp = calName("calendar-home-set");
    for (const QUrl &candidate : candidates) {
        QUrl at;
        const auto found = propfind(candidate, 0, {principalProp, homeProp}, &at);
        if (!found) {
            const auto kind = error.kind;
            if (kind == DavError::NotFound || kind == DavError::BadReply
                || kind == DavError::Forbidden)
                continue;
            return std::nullopt;
        }
        QString homeHref;
        QString principalHref;
        for (const dav::Response &r : found->responses) {
            homeHref = r.props.value(homeProp).hrefs.value(0, homeHref);
            principalHref = r.props.value(principalProp).hrefs.value(0, principalHref);
        }
        if (homeHref.isEmpty() && !principalHref.isEmpty()) {
            const QUrl principal = at.resolved(QUrl(principalHref));
            const auto set = propfind(principal, 0, {homeProp}, &at);
            if (!set)
                return std::nullopt;
            for (const dav::Response &r : set->responses)
                homeHref = r.props.value(homeProp).hrefs.value(0, homeHref);
        }
        if (!homeHref.isEmpty()) {
            home = withSlash(at.resolved(QUrl(homeHref)));
            return home;
        }
    }
    fail(
        DavError::NotFound, 404,
        QCoreApplication::translate("CalDavClient", "No calendars found at %1").arg(server.host()));
    return std::nullopt;
}

std::optional<Changes> CalDavClient::Private::listEtags(const QUrl &collection)
{
    QUrl at;
    const auto listing = propfind(collection, 1, {davName("getetag"), davName("sync-token")}, &at);
    if (!listing)
        return std::nullopt;
    Changes changes;
    changes.full = true;
    for (const dav::Response &r : listing->responses) {
        const QUrl url = at.resolved(QUrl(r.href));
        if (withSlash(url).path() == withSlash(at).path()) {
            changes.token = r.props.value(davName("sync-token")).text.trimmed();
            continue;
        }
        const QString etag = r.props.value(davName("getetag")).text.trimmed();
        if (!etag.isEmpty())
            changes.changed.append({r.href, etag, {}});
    }
    return changes;
}

CalDavClient::CalDavClient(const QUrl &server, const QString &user, const QString &password)
    : d(std::make_unique<Private>())
{
    d->server = server.adjusted(QUrl::RemoveUserInfo | QUrl::RemoveQuery | QUrl::RemoveFragment);
    d->authorization = "Basic " + (user + QLatin1Char(':') + password).toUtf8().toBase64();
}

CalDavClient::~CalDavClient() = default;

const DavError &CalDavClient::lastError() const { return d->error; }

void CalDavClient::setStallLimit(std::chrono::milliseconds limit) { d->stallLimit = limit; }

std::optional<QList<TaskList>> CalDavClient::taskLists()
{
    const auto home = d->discoverHome();
    if (!home)
        return std::nullopt;
    const QString type = davName("resourcetype");
    const QString name = davName("displayname");
    const QString components = calName("supported-calendar-component-set");
    QUrl at;
    const auto listing = d->propfind(*home, 1, {type, name, components}, &at);
    if (!listing)
        return std::nullopt;
    QList<TaskList> lists;
    for (const dav::Response &r : listing->responses) {
        if (!r.props.value(type).children.contains(calName("calendar")))
            continue;
        // A calendar that names no components takes them all.
        const auto set = r.props.constFind(components);
        if (set != r.props.cend() && !set->components.contains(QLatin1String("VTODO")))
            continue;
        const QUrl url = withSlash(at.resolved(QUrl(r.href)));
        QString shown = r.props.value(name).text.trimmed();
        if (shown.isEmpty())
            shown = url.path().section(QLatin1Char('/'), -2, -2);
        lists.append({url, shown});
    }
    d->error = {};
    return lists;
}

std::optional<QUrl> CalDavClient::createTaskList(const QString &name)
{
    const auto home = d->discoverHome();
    if (!home)
        return std::nullopt;
    const QUrl url
        = home->resolved(QUrl(QUuid::createUuid().toString(QUuid::WithoutBraces) + u'/'));
    const auto reply = d->send("MKCALENDAR", url, dav::mkcalendarBody(name), {});
    if (!reply || !d->statusOk(*reply, {200, 201}))
        return std::nullopt;
    return url;
}

std::optional<Changes> CalDavClient::changes(const QUrl &collection, const QString &token)
{
    Changes changes;
    QString from = token;
    // A server may answer in parts (507 on the collection): ask again from
    // the token each part gives until it is all there.
    for (int part = 0; part < 1000; ++part) {
        const auto reply
            = d->send("REPORT", collection, dav::syncCollectionBody(from), {{"Depth", "0"}});
        if (!reply)
            return std::nullopt;
        if (reply->status != 207) {
            // An unknown token, or no sync-collection at all: the ETags say it.
            if (reply->status == 403 || reply->status == 409 || reply->status == 400
                || reply->status == 405 || reply->status == 501 || reply->status == 415) {
                qCInfo(lcSyncDav) << "sync-collection refused with" << reply->status
                                  << (dav::hasPrecondition(reply->body, davName("valid-sync-token"))
                                          ? "(token unusable)"
                                          : "");
                return d->listEtags(collection);
            }
            d->statusOk(*reply, {});
            return std::nullopt;
        }
        const auto parsed = d->multistatus(*reply);
        if (!parsed)
            return std::nullopt;
        bool partial = false;
        for (const dav::Response &r : parsed->responses) {
            const QUrl url = reply->url.resolved(QUrl(r.href));
            if (withSlash(url).path() == withSlash(reply->url).path()) {
                partial = partial || r.status == 507;
                continue;
            }
            if (r.status == 404) {
                changes.deleted.append(r.href);
                continue;
            }
            const QString etag = r.props.value(davName("getetag")).text.trimmed();
            if (!etag.isEmpty())
                changes.changed.append({r.href, etag, {}});
        }
        changes.token = parsed->syncToken;
        if (!partial || parsed->syncToken.isEmpty() || parsed->syncToken == from)
            return changes;
        from = parsed->syncToken;
    }
    return changes;
}

std::optional<QList<Resource>> CalDavClient::fetch(const QUrl &collection, const QStringList &hrefs)
{
    QList<Resource> resources;
    const QString data = calName("calendar-data");
    for (qsizetype i = 0; i < hrefs.size(); i += kMultigetBatch) {
        const auto reply
            = d->send("REPORT", collection, dav::multigetBody(hrefs.mid(i, kMultigetBatch)),
                      {{"Depth", "1"}});
        if (!reply || !d->statusOk(*reply, {207}))
            return std::nullopt;
        const auto parsed = d->multistatus(*reply);
        if (!parsed)
            return std::nullopt;
        // A member deleted meanwhile answers 404 and is left out.
        for (const dav::Response &r : parsed->responses) {
            const auto found = r.props.constFind(data);
            if (found != r.props.cend())
                resources.append({r.href, r.props.value(davName("getetag")).text.trimmed(),
                                  found->text.toUtf8()});
        }
    }
    return resources;
}

std::optional<QString> CalDavClient::put(const QUrl &collection, const QString &href,
                                         const QByteArray &ical, const QString &ifMatch)
{
    QList<std::pair<QByteArray, QByteArray>> headers {
        {"Content-Type", "text/calendar; charset=utf-8"}};
    if (ifMatch.isEmpty())
        headers.emplaceBack("If-None-Match", "*");
    else
        headers.emplaceBack("If-Match", ifMatch.toUtf8());
    const auto reply = d->send("PUT", withSlash(collection).resolved(QUrl(href)), ical, headers);
    if (!reply || !d->statusOk(*reply, {200, 201, 204}))
        return std::nullopt;
    return reply->etag;
}

bool CalDavClient::remove(const QUrl &collection, const QString &href, const QString &ifMatch)
{
    QList<std::pair<QByteArray, QByteArray>> headers;
    if (!ifMatch.isEmpty())
        headers.emplaceBack("If-Match", ifMatch.toUtf8());
    const auto reply = d->send("DELETE", withSlash(collection).resolved(QUrl(href)), {}, headers);
    if (!reply)
        return false;
    if (reply->status == 404 || reply->status == 410) {
        d->error = {};
        return true;
    }
    return d->statusOk(*reply, {200, 202, 204});
}

} // namespace cdk::sync
