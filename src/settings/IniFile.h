#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <cstdint>
#include <filesystem>
#include <optional>

namespace cdk {

// Why a settings file could not be read or written: a number and a text that
// the error box shows to the user.
struct IniError
{
    int code = 0;
    QString description;
};

// One INI file with the semantics of the classic profile functions:
//  - section names and keys compare without regard to case, surrounding
//    blanks are ignored; the first matching key of the first matching
//    section wins; keys before the first section belong to none;
//  - a missing file, section or key reads as missing, values are cut at 255
//    characters;
//  - a write changes one key and leaves every other byte of the file as it
//    was (comments, blank lines, duplicates, unknown lines, line endings).
// The file's bytes and their values are kept between calls and read again
// only when the file's size or modification time changed, so another
// process's edit is seen at the next read without a file being opened for
// every key. Writes replace the file atomically, so a crash or a full disk
// never leaves half a file behind.
class IniFile final
{
public:
    static constexpr int MaxValueLength = 255;
    // A settings file holds a few kilobytes. One far larger is something
    // else under the name (a damaged disk, a wrong file): it is not read,
    // which would hold up every start, and not rewritten, which would lose it.
    static constexpr qint64 MaxFileSize = 1024 * 1024;

    enum class State {
        Missing,    // no file: every key reads as missing
        Read,       // the kept copy is the file's content
        Unreadable, // the file exists but cannot be read; *error says why
    };

    explicit IniFile(const QString &path = QString());
    const QString &path() const { return m_path; }
    // Points at another file; the kept copy is dropped.
    void setPath(const QString &path);

    // Brings the kept copy up to date with the file.
    State refresh(IniError *error = nullptr);
    // The value of key in section as of the last refresh or write; nullopt
    // when it is missing or the file could not be read.
    std::optional<QString> value(const QString &section, const QString &key) const;
    // Sets key in section, creating the file and the section when missing.
    // On failure the file on disk is unchanged.
    bool write(const QString &section, const QString &key, const QString &value,
               IniError *error = nullptr);
    // Several keys in one replacement of the file: all of them or none.
    struct Change
    {
        QString section;
        QString key;
        QString value;
    };
    bool write(const QList<Change> &changes, IniError *error = nullptr);

    // The same rules on the bytes of a file.
    static QString valueIn(const QByteArray &content, const QString &section,
                           const QString &key);
    static QByteArray withValue(const QByteArray &content, const QString &section,
                                const QString &key, const QString &value);
    // Whether a section, key and value can be written without breaking the
    // line structure of the file.
    static bool isWritable(const QString &section, const QString &key, const QString &value);

private:
    // What tells one version of the file from another without reading it.
    struct Stamp
    {
        enum class Kind { Missing, File, Unknown } kind = Kind::Unknown;
        std::uintmax_t size = 0;
        std::filesystem::file_time_type modified;
        bool operator==(const Stamp &) const = default;
    };
    Stamp stamp() const;
    void keep(const QByteArray &content, const Stamp &stamp);

    QString m_path;
    std::filesystem::path m_nativePath;
    bool m_kept = false; // m_content is the file as of m_stamp
    Stamp m_stamp;
    QByteArray m_content;
    QHash<QString, QString> m_values; // folded section and key -> value, as read
};

} // namespace cdk
