#include "settings/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

#include <system_error>

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

// Where the value of a key is kept: section and key folded, so that a lookup
// ignores case the way the profile functions do.
QString lookupKey(const QString &section, const QString &key)
{
    return section.toCaseFolded() + QLatin1Char('\n') + key.toCaseFolded();
}

// Values are handed out cut to the length the profile functions return.
QString cut(QString value)
{
    if (value.size() > IniFile::MaxValueLength) {
        value.truncate(IniFile::MaxValueLength);
        if (value.back().isHighSurrogate())
            value.chop(1); // never hand out half a character
    }
    return value;
}

// Every value a read can find, under the rules of locate(): the first section
// of a name and the first key within it win, keys outside sections are no one's.
QHash<QString, QString> valuesOf(const QByteArray &content)
{
    QHash<QString, QString> values;
    QSet<QString> sectionsSeen;
    QString section;
    bool counted = false;
    LineReader reader(content);
    LineSpan span;
    while (reader.next(span)) {
        ParsedLine line = parseLine(content, span);
        if (line.kind == LineKind::Section) {
            section = line.name.toCaseFolded();
            counted = !sectionsSeen.contains(section);
            sectionsSeen.insert(section);
        } else if (line.kind == LineKind::Key && counted) {
            const QString where = section + QLatin1Char('\n') + line.name.toCaseFolded();
            if (!values.contains(where))
                values.insert(where, cut(std::move(line.value)));
        }
    }
    return values;
}

std::filesystem::path nativePath(const QString &path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    const QByteArray encoded = QFile::encodeName(path);
    return std::filesystem::path(encoded.constData(), encoded.constData() + encoded.size());
#endif
}

} // namespace

QString IniFile::valueIn(const QByteArray &content, const QString &section, const QString &key)
{
    return valuesOf(content).value(lookupKey(section.trimmed(), key.trimmed()));
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
    // A line that starts with a byte-order mark loses it when read, so a key
    // written that way could never be found again.
    if (trimmedKey.startsWith(QChar(0xFEFF)))
        return false;
    if (name.isEmpty() || name.contains(QLatin1Char(']')) || hasLineBreakChar(name))
        return false;
    if (trimmedKey.isEmpty() || trimmedKey.contains(QLatin1Char('='))
        || trimmedKey.startsWith(QLatin1Char('[')) || trimmedKey.startsWith(QLatin1Char(';'))
        || hasLineBreakChar(trimmedKey))
        return false;
    return !hasLineBreakChar(value);
}

IniFile::IniFile(const QString &path)
{
    setPath(path);
}

void IniFile::setPath(const QString &path)
{
    m_path = path;
    m_nativePath = nativePath(path);
    m_kept = false;
    m_content.clear();
    m_values.clear();
}

IniFile::Stamp IniFile::stamp() const
{
    // Two stats instead of open, read and parse. The modification time keeps
    // the file system's full precision, so an edit in the same second counts.
    Stamp now;
    std::error_code error;
    now.modified = std::filesystem::last_write_time(m_nativePath, error);
    if (error) {
        if (error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory)
            now.kind = Stamp::Kind::Missing;
        return now;
    }
    now.size = std::filesystem::file_size(m_nativePath, error);
    if (!error)
        now.kind = Stamp::Kind::File; // a folder, for one, stays Unknown
    return now;
}

void IniFile::keep(const QByteArray &content, const Stamp &stamp)
{
    m_content = content;
    m_values = valuesOf(content);
    m_stamp = stamp;
    // What cannot be told apart from its next version is read again each time.
    m_kept = stamp.kind != Stamp::Kind::Unknown;
}

IniFile::State IniFile::refresh(IniError *error)
{
    const Stamp now = stamp();
    if (m_kept && now == m_stamp)
        return now.kind == Stamp::Kind::Missing ? State::Missing : State::Read;
    if (now.kind == Stamp::Kind::Missing) {
        keep(QByteArray(), now);
        return State::Missing;
    }
    m_kept = false;
    m_content.clear();
    m_values.clear();
    if (now.kind == Stamp::Kind::File && now.size > std::uintmax_t(MaxFileSize)) {
        fail(error, QFileDevice::ReadError,
             QStringLiteral("the file holds %1 bytes, more than a settings file ever does")
                 .arg(now.size));
        return State::Unreadable;
    }
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(error, file.error(), file.errorString());
        return State::Unreadable;
    }
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        fail(error, file.error(), file.errorString());
        return State::Unreadable;
    }
    keep(content, now);
    return State::Read;
}

std::optional<QString> IniFile::value(const QString &section, const QString &key) const
{
    const auto found = m_values.constFind(lookupKey(section.trimmed(), key.trimmed()));
    if (found == m_values.cend())
        return std::nullopt;
    return *found;
}

bool IniFile::write(const QString &section, const QString &key, const QString &value,
                    IniError *error)
{
    return write(QList<Change> {{section, key, value}}, error);
}

bool IniFile::write(const QList<Change> &changes, IniError *error)
{
    for (const Change &change : changes) {
        if (!isWritable(change.section, change.key, change.value))
            return fail(error, QFileDevice::UnspecifiedError,
                        QStringLiteral("Invalid section, key or value."));
    }

    // Rewriting a file we cannot read would lose its other keys.
    if (refresh(error) == State::Unreadable)
        return false;

    QByteArray updated = m_content;
    for (const Change &change : changes)
        updated = withValue(updated, change.section, change.key, change.value);
    if (updated == m_content)
        return true;

    const QFileInfo info(m_path);
    if (info.exists() && !info.isWritable())
        return fail(error, QFileDevice::PermissionsError,
                    QStringLiteral("The file is read-only."));

    QSaveFile out(m_path);
    // Unbuffered: a buffered write that the disk cuts short (full, or over a
    // file-size limit) reports the part written as success at commit, and
    // the file would be replaced by its first bytes. Written in one call,
    // the short count shows.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(error, out.error(), out.errorString());
    // A new file is for its owner alone; an existing one keeps its mode.
    if (!info.exists())
        out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (const qint64 written = out.write(updated); written != updated.size()) {
        const IniError why {out.error(),
                            written < 0 ? out.errorString()
                                        : QStringLiteral("only %1 of %2 bytes could be written; "
                                                         "the disk may be full")
                                              .arg(written)
                                              .arg(updated.size())};
        out.cancelWriting();
        return fail(error, why.code, why.description);
    }
    if (!out.commit())
        return fail(error, out.error(), out.errorString());
    keep(updated, stamp());
    return true;
}

} // namespace cdk
