#include "base/Functions.h"

#include "base/Prompter.h"
#include "base/Translate.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <limits>

namespace cdk {

namespace {

QString shortForm(qint64 minutes)
{
    return QString::number(minutes / 60) + QLatin1Char(':')
        + QStringLiteral("%1").arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

QString FormatMinutes(qint32 minutes, bool longForm)
{
    const qint32 rest = minutes % 60;
    const qint64 hours = (static_cast<qint64>(minutes) - rest) / 60;
    if (longForm) {
        // English has always said "1 minutes" and "1 hours"; other languages
        // give their own forms for one.
        const auto minutesText = [](qint32 count) {
            return countedText("Functions", QT_TRANSLATE_N_NOOP("Functions", "%n minutes"),
                               "%n minutes", count);
        };
        // Only a damaged or hand-edited file holds a time below zero, and a
        // count below zero has no plural form.
        if (minutes < 0)
            return QCoreApplication::translate("Functions", "%1 minutes", "below zero")
                .arg(minutes);
        if (minutes < 60)
            return minutesText(minutes);
        const QString hoursText = countedText(
            "Functions", QT_TRANSLATE_N_NOOP("Functions", "%n hours"), "%n hours", int(hours));
        if (rest == 0)
            return hoursText;
        return QCoreApplication::translate("Functions", "%1, %2", "hours, then minutes")
            .arg(hoursText, minutesText(rest));
    }
    // A negative time (only a damaged or hand-edited file holds one) reads
    // as a time with a minus in front, never as "0:-10".
    if (minutes < 0)
        return QLatin1Char('-') + shortForm(-qint64(minutes));
    return shortForm(minutes);
}

QString ShownText(const QString &text, qsizetype length)
{
    if (text.size() <= length)
        return text;
    qsizetype cut = qMax<qsizetype>(length, 0);
    if (cut > 0 && text.at(cut - 1).isHighSurrogate())
        --cut;
    return text.left(cut) + QChar(0x2026);
}

QString TerminalText(const QString &text)
{
    const auto acts = [](QChar c) { return ActsOnTerminal(c.unicode()); };
    if (std::none_of(text.cbegin(), text.cend(), acts))
        return text;
    QString out;
    out.reserve(text.size() + 16);
    for (const QChar c : text) {
        if (!acts(c)) {
            out += c;
            continue;
        }
        const char16_t code = c.unicode();
        static constexpr char kLetters[] = "abtnvfr"; // \a is 0x07, \r is 0x0d
        if (code >= 0x07 && code <= 0x0d) {
            out += QLatin1Char('\\');
            out += QLatin1Char(kLetters[code - 0x07]);
        } else if (code == 0x1b) {
            out += QLatin1String("\\e");
        } else if (code < 0x80) {
            out += QStringLiteral("\\x%1").arg(uint(code), 2, 16, QLatin1Char('0'));
        } else {
            out += QStringLiteral("\\u%1").arg(uint(code), 4, 16, QLatin1Char('0'));
        }
    }
    return out;
}

void ShowErrorMessage(Prompter &prompter, const QString &context, int code,
                      const QString &description)
{
    prompter.tell(
        QCoreApplication::translate("Functions", "Error - %1").arg(programName()),
        context + QStringLiteral("\r\n\r\n")
            + QCoreApplication::translate("Functions", "Code: %1").arg(code)
            + QStringLiteral("\r\n")
            + QCoreApplication::translate("Functions", "Description: %1").arg(description),
        MessageIcon::Critical);
}

bool FileExists(const QString &path)
{
    if (path.isEmpty() || QFileInfo(path).isDir())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    file.close();
    return true;
}

QString PathUpToLastSeparator(const QString &text, QChar separator)
{
    const qsizetype at = text.lastIndexOf(separator);
    return at < 0 ? text : text.left(at + 1);
}

int DaysInMonth(int month, int year)
{
    return QDate(year, month, 1).daysInMonth();
}

double BasicVal(const QString &text)
{
    // Collect the characters of a leading number, ignoring blanks as Val does.
    QString number;
    bool digits = false, point = false, exponent = false;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')
                         || text[i] == QLatin1Char('\n') || text[i] == QLatin1Char('\r')))
            ++i;
    };
    skipBlanks();
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        number += text[i++];
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t'))
            continue;
        if (c.isDigit() && c.unicode() < 128) {
            number += c;
            digits = true;
        } else if (c == QLatin1Char('.') && !point && !exponent) {
            number += c;
            point = true;
        } else if ((c == QLatin1Char('e') || c == QLatin1Char('E') || c == QLatin1Char('d')
                    || c == QLatin1Char('D'))
                   && digits && !exponent) {
            // Only an exponent when digits follow (an optional sign first).
            qsizetype j = i + 1;
            while (j < n && text[j] == QLatin1Char(' '))
                ++j;
            if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
                ++j;
            while (j < n && text[j] == QLatin1Char(' '))
                ++j;
            if (j >= n || !text[j].isDigit())
                break;
            number += QLatin1Char('e');
            exponent = true;
            if (text[i + 1] == QLatin1Char('+') || text[i + 1] == QLatin1Char('-'))
                number += text[++i];
        } else {
            break;
        }
    }
    if (!digits)
        return 0.0;
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || std::isnan(value))
        return 0.0;
    return value;
}

qint32 RoundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double lo = std::numeric_limits<qint32>::min();
    constexpr double hi = std::numeric_limits<qint32>::max();
    if (value <= lo)
        return std::numeric_limits<qint32>::min();
    if (value >= hi)
        return std::numeric_limits<qint32>::max();
    return static_cast<qint32>(std::nearbyint(value)); // default rounding mode: to even
}

} // namespace cdk
