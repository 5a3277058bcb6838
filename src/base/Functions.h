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
