#pragma once

#include <QString>
#include <QtGlobal>

namespace cdk::cli {

// JSON objects written straight as text, members in the order they are
// added. A day of a thousand tasks costs a fraction of what building a
// QJsonObject per task and serialising the document costs, and the order of
// the members stays the documented one.
class JsonObjectText
{
public:
    JsonObjectText &add(const char *key, const QString &value);
    JsonObjectText &add(const char *key, qint64 value);
    JsonObjectText &add(const char *key, int value) { return add(key, qint64(value)); }
    JsonObjectText &add(const char *key, bool value);
    // value is JSON already (an object or array made here).
    JsonObjectText &addJson(const char *key, const QString &value);
    QString text() const { return m_text + QLatin1Char('}'); }

private:
    void key(const char *key);
    QString m_text = QStringLiteral("{");
};

// The text as a JSON string, quotes included.
QString jsonString(const QString &text);

} // namespace cdk::cli
