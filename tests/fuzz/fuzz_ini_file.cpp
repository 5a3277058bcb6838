// The settings file is whatever the user, another program or a broken disk
// left in it. Reading any bytes must not fault, and a write the writer accepts
// must read back as written, whatever surrounds it.
//
// Input: file content, section, key and value, separated by NUL bytes.

#include "settings/IniFile.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <cstdlib>

namespace {

// A value the file keeps as it is: no blanks at either end (they are not
// part of a value), not longer than a read returns, and the same after a trip
// through UTF-8 (an unpaired surrogate is not).
bool keptAsWritten(const QString &value)
{
    return value == value.trimmed() && value.size() <= cdk::IniFile::MaxValueLength
        && QString::fromUtf8(value.toUtf8()) == value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    QList<QByteArray> parts = input.split('\0');
    while (parts.size() < 4)
        parts.append(QByteArray());
    const QByteArray &content = parts.at(0);
    const QString section = QString::fromUtf8(parts.at(1));
    const QString key = QString::fromUtf8(parts.at(2));
    const QString value = QString::fromUtf8(parts.at(3));

    const QString before = cdk::IniFile::valueIn(content, section, key);
    if (before.size() > cdk::IniFile::MaxValueLength)
        std::abort();
    if (!cdk::IniFile::isWritable(section, key, value))
        return 0;
    const QByteArray written = cdk::IniFile::withValue(content, section, key, value);
    if (keptAsWritten(value) && cdk::IniFile::valueIn(written, section, key) != value)
        std::abort();
    // Writing the same value again changes no byte.
    if (cdk::IniFile::withValue(written, section, key, value) != written)
        std::abort();
    return 0;
}
