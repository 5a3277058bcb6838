#include "sync/DavXml.h"

#include <QCoreApplication>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace cdk::sync::dav {

namespace {

QString nameOf(const QXmlStreamReader &xml)
{
    return xml.namespaceUri().toString() + xml.name().toString();
}

bool is(const QXmlStreamReader &xml, QStringView ns, QStringView name)
{
    return xml.namespaceUri() == ns && xml.name() == name;
}

// "HTTP/1.1 404 Not Found" -> 404.
int statusCode(const QString &line)
{
    const QStringList parts = line.simplified().split(QLatin1Char(' '));
    return parts.size() >= 2 ? parts.at(1).toInt() : 0;
}

Property readProperty(QXmlStreamReader &xml)
{
    Property p;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement)
            break;
        if (token == QXmlStreamReader::Characters) {
            p.text += xml.text();
        } else if (token == QXmlStreamReader::StartElement) {
            if (is(xml, kDav, u"href")) {
                p.hrefs.append(
                    xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed());
            } else {
                if (is(xml, kCalDav, u"comp"))
                    p.components.append(
                        xml.attributes().value(QLatin1String("name")).toString().toUpper());
                p.children.append(nameOf(xml));
                xml.skipCurrentElement();
            }
        }
    }
    return p;
}

void readPropstat(QXmlStreamReader &xml, Response &response)
{
    QHash<QString, Property> props;
    int status = 0;
    while (xml.readNextStartElement()) {
        if (is(xml, kDav, u"prop")) {
            while (xml.readNextStartElement()) {
                const QString name = nameOf(xml);
                props.insert(name, readProperty(xml));
            }
        } else if (is(xml, kDav, u"status")) {
            status = statusCode(xml.readElementText());
        } else {
            xml.skipCurrentElement();
        }
    }
    if (status >= 200 && status < 300)
        response.props.insert(props);
}

Response readResponse(QXmlStreamReader &xml)
{
    Response response;
    while (xml.readNextStartElement()) {
        if (is(xml, kDav, u"href")) {
            const QString href = xml.readElementText().trimmed();
            if (response.href.isEmpty())
                response.href = href;
        } else if (is(xml, kDav, u"status")) {
            response.status = statusCode(xml.readElementText());
        } else if (is(xml, kDav, u"propstat")) {
            readPropstat(xml, response);
        } else {
            xml.skipCurrentElement();
        }
    }
    return response;
}

void writeQualified(QXmlStreamWriter &w, const QString &qualified)
{
    if (qualified.startsWith(kCalDav))
        w.writeEmptyElement(kCalDav.toString(), qualified.mid(kCalDav.size()));
    else
        w.writeEmptyElement(kDav.toString(), qualified.mid(kDav.size()));
}

QXmlStreamWriter &start(QXmlStreamWriter &w)
{
    w.writeStartDocument();
    w.writeNamespace(kDav.toString(), QStringLiteral("D"));
    w.writeNamespace(kCalDav.toString(), QStringLiteral("C"));
    return w;
}

} // namespace

std::optional<Multistatus> parseMultistatus(const QByteArray &body, QString *error)
{
    QXmlStreamReader xml(body);
    Multistatus result;
    if (!xml.readNextStartElement() || !is(xml, kDav, u"multistatus")) {
        if (error) {
            *error = xml.hasError()
                ? xml.errorString()
                : QCoreApplication::translate("DavXml", "a \"%1\" where a multistatus belongs")
                      .arg(xml.name());
        }
        return std::nullopt;
    }
    while (xml.readNextStartElement()) {
        if (is(xml, kDav, u"response"))
            result.responses.append(readResponse(xml));
        else if (is(xml, kDav, u"sync-token"))
            result.syncToken = xml.readElementText().trimmed();
        else
            xml.skipCurrentElement();
    }
    if (xml.hasError()) {
        if (error)
            *error = QCoreApplication::translate("DavXml", "line %1: %2")
                         .arg(QString::number(xml.lineNumber()), xml.errorString());
        return std::nullopt;
    }
    return result;
}

bool hasPrecondition(const QByteArray &body, const QString &qualifiedName)
{
    QXmlStreamReader xml(body);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && nameOf(xml) == qualifiedName)
            return true;
    }
    return false;
}

QByteArray propfindBody(const QStringList &properties)
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    start(w).writeStartElement(kDav.toString(), QStringLiteral("propfind"));
    w.writeStartElement(kDav.toString(), QStringLiteral("prop"));
    for (const QString &p : properties)
        writeQualified(w, p);
    w.writeEndDocument();
    return out;
}

QByteArray syncCollectionBody(const QString &token)
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    start(w).writeStartElement(kDav.toString(), QStringLiteral("sync-collection"));
    w.writeTextElement(kDav.toString(), QStringLiteral("sync-token"), token);
    w.writeTextElement(kDav.toString(), QStringLiteral("sync-level"), QStringLiteral("1"));
    w.writeStartElement(kDav.toString(), QStringLiteral("prop"));
    writeQualified(w, QStringLiteral("DAV:getetag"));
    w.writeEndDocument();
    return out;
}

QByteArray multigetBody(const QStringList &hrefs)
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    start(w).writeStartElement(kCalDav.toString(), QStringLiteral("calendar-multiget"));
    w.writeStartElement(kDav.toString(), QStringLiteral("prop"));
    writeQualified(w, QStringLiteral("DAV:getetag"));
    writeQualified(w, kCalDav.toString() + QStringLiteral("calendar-data"));
    w.writeEndElement();
    for (const QString &href : hrefs)
        w.writeTextElement(kDav.toString(), QStringLiteral("href"), href);
    w.writeEndDocument();
    return out;
}

QByteArray mkcalendarBody(const QString &displayName)
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    start(w).writeStartElement(kCalDav.toString(), QStringLiteral("mkcalendar"));
    w.writeStartElement(kDav.toString(), QStringLiteral("set"));
    w.writeStartElement(kDav.toString(), QStringLiteral("prop"));
    w.writeTextElement(kDav.toString(), QStringLiteral("displayname"), displayName);
    w.writeStartElement(kCalDav.toString(), QStringLiteral("supported-calendar-component-set"));
    w.writeEmptyElement(kCalDav.toString(), QStringLiteral("comp"));
    w.writeAttribute(QStringLiteral("name"), QStringLiteral("VTODO"));
    w.writeEndDocument();
    return out;
}

} // namespace cdk::sync::dav
