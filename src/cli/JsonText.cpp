#include "cli/JsonText.h"

#include "base/Functions.h"

namespace cdk::cli {

QString jsonString(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        default:
            // Beyond what JSON requires, DEL, the C1 controls and the
            // bidirectional overrides are escaped too: the same text, and
            // nothing a terminal showing the output would act on.
            if (ActsOnTerminal(c.unicode()))
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

void JsonObjectText::key(const char *key)
{
    if (m_text.size() > 1)
        m_text += QLatin1Char(',');
    m_text += QLatin1Char('"') + QLatin1String(key) + QLatin1String("\":");
}

JsonObjectText &JsonObjectText::add(const char *name, const QString &value)
{
    key(name);
    m_text += jsonString(value);
    return *this;
}

JsonObjectText &JsonObjectText::add(const char *name, qint64 value)
{
    key(name);
    m_text += QString::number(value);
    return *this;
}

JsonObjectText &JsonObjectText::add(const char *name, bool value)
{
    key(name);
    m_text += value ? QLatin1String("true") : QLatin1String("false");
    return *this;
}

JsonObjectText &JsonObjectText::addJson(const char *name, const QString &value)
{
    key(name);
    m_text += value;
    return *this;
}

} // namespace cdk::cli
