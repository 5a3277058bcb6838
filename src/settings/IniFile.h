#pragma once

#include <QByteArray>
#include <QString>

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
//  - a missing file, section or key reads as "", values are cut at 255
//    characters;
//  - a write changes one key and leaves every other byte of the file as it
//    was (comments, blank lines, duplicates, unknown lines, line endings).
// Nothing is cached: each call opens the file, so another process's edits
// are seen at the next read. Writes replace the file atomically, so a crash
// or a full disk never leaves half a file behind.
class IniFile final
{
public:
    static constexpr int MaxValueLength = 255;

    explicit IniFile(const QString &path) : m_path(path) {}
    const QString &path() const { return m_path; }

    // Stores the value (or "") in *value. False only when the file exists but
    // cannot be read; *error then says why.
    bool read(const QString &section, const QString &key, QString *value,
              IniError *error = nullptr) const;
    // Sets key in section, creating the file and the section when missing.
    // On failure the file on disk is unchanged.
    bool write(const QString &section, const QString &key, const QString &value,
               IniError *error = nullptr) const;

    // The same rules on the bytes of a file.
    static QString valueIn(const QByteArray &content, const QString &section,
                           const QString &key);
    static QByteArray withValue(const QByteArray &content, const QString &section,
                                const QString &key, const QString &value);
    // Whether a section, key and value can be written without breaking the
    // line structure of the file.
    static bool isWritable(const QString &section, const QString &key, const QString &value);

private:
    QString m_path;
};

} // namespace cdk
