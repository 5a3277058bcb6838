#include "settings/IniFile.h"

#include "base/Log.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace cdk {

namespace {

const QByteArray &utf8Bom()
{
    static const QByteArray bom("\xEF\xBB\xBF");
    return bom;
}

// Byte offsets of one line of the file.
struct LineSpan
{
    qsizetype begin = 0;   // first byte of the text
    qsizetype textEnd = 0; // end of the text, before the line break
    qsizetype end = 0;     // after the line break; equals the file size on a last line without one
};

// Walks the lines of a file's bytes without copying them. A byte-order mark
// in front of the first line is stepped over and so stays where it is.
class LineReader
{
public:
    explicit LineReader(const QByteArray &content) : m_content(content)
    {
        if (content.startsWith(utf8Bom()))
            m_pos = utf8Bom().size();
    }

    bool next(LineSpan &line)
    {
        if (m_pos >= m_content.size())
            return false;
        const qsizetype newline = m_content.indexOf('\n', m_pos);
        line.begin = m_pos;
        line.end = newline < 0 ? m_content.size() : newline + 1;
        line.textEnd = newline < 0 ? m_content.size() : newline;
        if (line.textEnd > line.begin && m_content.at(line.textEnd - 1) == '\r')
            --line.textEnd;
        m_pos = line.end;
        return true;
    }

private:
    const QByteArray &m_content;
    qsizetype m_pos = 0;
};

enum class LineKind { Other, Section, Key };

struct ParsedLine
{
    LineKind kind = LineKind::Other;
    QString name;  // section name or key
    QString value; // the key's value
};

ParsedLine parseLine(const QByteArray &content, const LineSpan &span)
{
    const QString text =
        QString::fromUtf8(content.constData() + span.begin, span.textEnd - span.begin).trimmed();
    ParsedLine parsed;
    if (text.startsWith(QLatin1Char('['))) {
        const qsizetype close = text.indexOf(QLatin1Char(']'));
        if (close > 0) {
            parsed.kind = LineKind::Section;
            parsed.name = text.mid(1, close - 1).trimmed();
        }
        return parsed;
    }
    if (text.startsWith(QLatin1Char(';')))
        return parsed;
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    if (equals < 0)
        return parsed;
    parsed.kind = LineKind::Key;
    parsed.name = text.left(equals).trimmed();
    parsed.value = text.mid(equals + 1).trimmed();
    return parsed;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Where a key lives in a file, or where it would go.
struct Location
{
    bool sectionFound = false;
    bool keyFound = false;
    LineSpan keyLine;
    LineSpan lastLineOfSection; // header or last key line: a new key goes after it
    QString value;
};

Location locate(const QByteArray &content, const QString &section, const QString &key)
{
    Location where;
    const QString wantedSection = section.trimmed();
    const QString wantedKey = key.trimmed();
    LineReader reader(content);
    LineSpan span;
    while (reader.next(span)) {
        const ParsedLine line = parseLine(content, span);
        if (line.kind == LineKind::Section) {
            if (where.sectionFound)
                break; // only the first section of that name counts
            if (sameName(line.name, wantedSection)) {
                where.sectionFound = true;
                where.lastLineOfSection = span;
            }
            continue;
        }
        if (!where.sectionFound || line.kind != LineKind::Key)
            continue;
        where.lastLineOfSection = span;
        if (sameName(line.name, wantedKey)) {
            where.keyFound = true;
            where.keyLine = span;
            where.value = line.value;
            break;
        }
    }
    return where;
}

QByteArray lineBreakOf(const QByteArray &content)
{
    const qsizetype newline = content.indexOf('\n');
    if (newline > 0 && content.at(newline - 1) == '\r')
        return QByteArrayLiteral("\r\n");
    if (newline >= 0)
        return QByteArrayLiteral("\n");
    return QByteArrayLiteral("\r\n"); // a new file gets the profile functions' line breaks
}

bool hasLineBreak(const QByteArray &content, const LineSpan &span)
{
    return span.end > span.begin && content.at(span.end - 1) == '\n';
}

bool fail(IniError *error, int code, const QString &description)
{
    if (error) {
        error->code = code;
        error->description = description;
    }
    return false;
}

bool hasLineBreakChar(const QString &text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

} // namespace

QString IniFile::valueIn(const QByteArray &content, const QString &section, const QString &key)
{
    const Location where = locate(content, section, key);
    if (!where.keyFound)
        return QString();
    QString value = where.value;
    if (value.size() > MaxValueLength) {
        value.truncate(MaxValueLength);
        if (value.back().isHighSurrogate())
            value.chop(1); // never hand out half a character
    }
    return value;
}

QByteArray IniFile::withValue(const QByteArray &content, const QString &section,
                              const QString &key, const QString &value)
{
    const Location where = locate(content, section, key);
    const QByteArray eol = lineBreakOf(content);
    const QByteArray keyLine = (key.trimmed() + QLatin1Char('=') + value).toUtf8();

    QByteArray result;
    result.reserve(content.size() + keyLine.size() + section.size() + 8);
    if (where.keyFound) {
        // The line's own break (CRLF or LF, or none at the end) stays.
        result.append(content.constData(), where.keyLine.begin);
        result.append(keyLine);
        result.append(content.constData() + where.keyLine.textEnd,
                      content.size() - where.keyLine.textEnd);
        return result;
    }
    if (where.sectionFound) {
        const LineSpan &after = where.lastLineOfSection;
        result.append(content.constData(), after.end);
        if (!hasLineBreak(content, after))
            result.append(eol);
        result.append(keyLine);
        result.append(eol);
        result.append(content.constData() + after.end, content.size() - after.end);
        return result;
    }
    result = content;
    if (!result.isEmpty() && !result.endsWith('\n') && result != utf8Bom())
        result.append(eol);
    result.append('[');
    result.append(section.trimmed().toUtf8());
    result.append(']');
    result.append(eol);
    result.append(keyLine);
    result.append(eol);
    return result;
}

bool IniFile::isWritable(const QString &section, const QString &key, const QString &value)
{
    const QString name = section.trimmed();
    const QString trimmedKey = key.trimmed();
    if (name.isEmpty() || name.contains(QLatin1Char(']')) || hasLineBreakChar(name))
        return false;
    if (trimmedKey.isEmpty() || trimmedKey.contains(QLatin1Char('='))
        || trimmedKey.startsWith(QLatin1Char('[')) || trimmedKey.startsWith(QLatin1Char(';'))
        || hasLineBreakChar(trimmedKey))
        return false;
    return !hasLineBreakChar(value);
}

bool IniFile::read(const QString &section, const QString &key, QString *value,
                   IniError *error) const
{
    if (value)
        value->clear();
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!QFileInfo::exists(m_path))
            return true; // no file yet: every key reads empty
        qCWarning(lcSettings) << "cannot open" << m_path << file.errorString();
        return fail(error, file.error(), file.errorString());
    }
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        qCWarning(lcSettings) << "cannot read" << m_path << file.errorString();
        return fail(error, file.error(), file.errorString());
    }
    if (value)
        *value = valueIn(content, section, key);
    return true;
}

bool IniFile::write(const QString &section, const QString &key, const QString &value,
                    IniError *error) const
{
    if (!isWritable(section, key, value)) {
        qCWarning(lcSettings) << "refused to write" << section << key;
        return fail(error, QFileDevice::UnspecifiedError,
                    QStringLiteral("Invalid section, key or value."));
    }

    QByteArray content;
    {
        QFile current(m_path);
        if (current.open(QIODevice::ReadOnly)) {
            content = current.readAll();
            if (current.error() != QFileDevice::NoError)
                return fail(error, current.error(), current.errorString());
        } else if (QFileInfo::exists(m_path)) {
            // Rewriting a file we cannot read would lose its other keys.
            return fail(error, current.error(), current.errorString());
        }
    }

    const QByteArray updated = withValue(content, section, key, value);
    if (updated == content)
        return true;

    const QFileInfo info(m_path);
    if (info.exists() && !info.isWritable())
        return fail(error, QFileDevice::PermissionsError,
                    QStringLiteral("The file is read-only."));

    QSaveFile out(m_path);
    if (!out.open(QIODevice::WriteOnly)) {
        qCWarning(lcSettings) << "cannot write" << m_path << out.errorString();
        return fail(error, out.error(), out.errorString());
    }
    if (out.write(updated) != updated.size()) {
        const IniError why{out.error(), out.errorString()};
        out.cancelWriting();
        return fail(error, why.code, why.description);
    }
    if (!out.commit()) {
        qCWarning(lcSettings) << "cannot replace" << m_path << out.errorString();
        return fail(error, out.error(), out.errorString());
    }
    return true;
}

} // namespace cdk
