#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <chrono>
#include <memory>
#include <optional>

namespace cdk::sync {

struct DavError
{
    enum Kind {
        None,
        Offline,
        SignInRefused, // 401
        Forbidden, // 403
        NotFound, // 404 of the collection
        Conflict, // 412: changed on the server meanwhile
        Server, // 5xx
        BadReply, // cut short, malformed XML
        Certificate,
        TooLarge,
        Timeout,
    };
    Kind kind = None;
    int http = 0;
    QString message; // one line for a user; never holds the password
};

struct TaskList
{
    QUrl url;
    QString name;
};

struct Resource
{
    QString href; // the path as the server names it
    QString etag;
    QByteArray ical; // empty where only the ETag was asked for
};

struct Changes
{
    QList<Resource> changed; // hrefs and ETags, no data
    QStringList deleted; // hrefs
    QString token;
    // The token could not be used, or the server keeps none: this is the
    // whole collection, and whatever is not in it is gone.
    bool full = false;
};

// A CalDAV account. Blocking calls, one at a time, for a worker thread: each
// request waits in a nested event loop, with a time limit and a cap on the
// reply's size. https only, except http to this machine; certificate errors
// are never ignored.
class CalDavClient
{
public:
    CalDavClient(const QUrl &server, const QString &user, const QString &password);
    ~CalDavClient();
    CalDavClient(const CalDavClient &) = delete;
    CalDavClient &operator=(const CalDavClient &) = delete;

    const DavError &lastError() const;
    // How long a request may go without a byte moving either way before it is
    // given up as Timeout; 30 s unless a caller needs a shorter wait.
    void setStallLimit(std::chrono::milliseconds limit);

    // RFC 6764's /.well-known/caldav, current-user-principal and
    // calendar-home-set, then the collections whose
    // supported-calendar-component-set has VTODO.
    std::optional<QList<TaskList>> taskLists();
    // MKCALENDAR in the calendar home, for VTODO only.
    std::optional<QUrl> createTaskList(const QString &name);
    // What changed since token (empty: everything), by sync-collection
    // (RFC 6578), else by the collection's ETags.
    std::optional<Changes> changes(const QUrl &collection, const QString &token);
    // calendar-multiget of these hrefs.
    std::optional<QList<Resource>> fetch(const QUrl &collection, const QStringList &hrefs);
    // PUT; an empty ifMatch creates only (If-None-Match: *). The new ETag,
    // empty when the server gave none. A 412 is nothing with Conflict.
    std::optional<QString> put(const QUrl &collection, const QString &href, const QByteArray &ical,
                               const QString &ifMatch);
    // DELETE; a resource already gone counts as done.
    bool remove(const QUrl &collection, const QString &href, const QString &ifMatch);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace cdk::sync
