#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The WebDAV XML the client writes and reads: multistatus replies taken apart
// by namespace, so that whatever prefixes a server picks read the same.
namespace cdk::sync::dav {

inline constexpr QStringView kDav = u"DAV:";
inline constexpr QStringView kCalDav = u"urn:ietf:params:xml:ns:caldav";

// A property as a client needs it: its text, the hrefs in it, the names of
// its child elements ("DAV:collection") and, for a component set, the names
// of the components.
struct Property
{
    QString text;
    QStringList hrefs;
    QStringList children;
    QStringList components;
};

struct Response
{
    QString href;
    int status = 0; // of the response itself (a deleted member); 0 when it has propstats
    QHash<QString, Property> props; // those with a 2xx status, by "namespace" + "name"
};

struct Multistatus
{
    QList<Response> responses;
    QString syncToken;
};

// Nothing, and *error says why, when the reply is not a multistatus.
std::optional<Multistatus> parseMultistatus(const QByteArray &xml, QString *error);
// Whether an error body names this precondition ("DAV:valid-sync-token").
bool hasPrecondition(const QByteArray &xml, const QString &qualifiedName);

// Request bodies. A property is named by its namespace followed by its name:
// "DAV:getetag", "urn:ietf:params:xml:ns:caldavcalendar-data".
QByteArray propfindBody(const QStringList &properties);
QByteArray syncCollectionBody(const QString &token);
QByteArray multigetBody(const QStringList &hrefs);
QByteArray mkcalendarBody(const QString &displayName);

} // namespace cdk::sync::dav
