#pragma once

#include <QString>
#include <QtGlobal>

namespace cdk {

class Prompter;

inline const QString &programName()
{
    static const QString name = QStringLiteral("Chronodeck");
    return name;
}

// The program's version; the build sets it from the project's version.
inline const QString &programVersion()
{
    static const QString version = QStringLiteral(CHRONODECK_VERSION);
    return version;
}

// "1:15" (short form) or "2 hours, 15 minutes" (long form).
QString FormatMinutes(qint32 minutes, bool longForm);

// Standard error box: "Error - Chronodeck", the context text, then the code
// and description of the failure being reported.
void ShowErrorMessage(Prompter &prompter, const QString &context, int code,
                      const QString &description);

// A grid cell, a panel, a tooltip or a status line has no room for the
// whole of a long text, and laying out megabytes of it stalls a window for
// seconds: displays show at most this many characters of a text.
inline constexpr qsizetype kShownTextLength = 1000;
// The text, or its first `length` characters followed by "\u2026" when it is
// longer. A character of two UTF-16 units is never split.
QString ShownText(const QString &text, qsizetype length = kShownTextLength);

// True for what a terminal acts on rather than shows: control characters
// (C0, DEL and C1), line and paragraph separators, and the bidirectional
// embeddings, overrides and isolates that make text read in another order
// than it is stored.
constexpr bool ActsOnTerminal(char16_t c)
{
    return c < 0x20 || (c >= 0x7f && c <= 0x9f) || (c >= 0x2028 && c <= 0x202e)
        || (c >= 0x2066 && c <= 0x2069);
}
// The text as a terminal may print it, the way ls shows file names: \a \b
// \t \n \v \f \r \e for those controls, \xHH for the other ones below 0x80
// and \uHHHH for the rest of ActsOnTerminal. Everything else, backslashes
// included, stays as it is, so the text reads as typed.
QString TerminalText(const QString &text);

bool FileExists(const QString &path);
QString PathUpToLastSeparator(const QString &text, QChar separator);
int DaysInMonth(int month, int year);
inline bool IsNonZero(qint16 value) { return value != 0; }

// The leading number of a text, read as BASIC's Val reads it: leading blanks
// skipped, blanks inside the number ignored, "1.5e2" understood, anything
// that does not start with a number is 0.
double BasicVal(const QString &text);
// Rounds to the nearest whole number, halves to the even neighbour, clamped
// to the 32-bit range.
qint32 RoundHalfEven(double value);
// BasicVal then RoundHalfEven: how numbers typed or stored as text are read.
inline qint32 ValToInt(const QString &text) { return RoundHalfEven(BasicVal(text)); }

} // namespace cdk
