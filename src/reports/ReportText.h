#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

namespace cdk {

struct Report;
struct ReportCategory;

// How report figures read wherever they are shown: the window's tables and
// the plain-text report agree to the character, but for their language.
namespace reporttext {

// The window shows a report in the user's language, its counts and shares as
// the locale writes them. The plain-text report goes to a terminal, or to a
// script that reads it: it keeps the English words and plain figures.
enum class Wording { Translated, English };

QString minutes(qint64 minutes); // "1:15", as the grid shows a budget
// "75%", "–" for nothing to compare
QString share(std::optional<double> share, Wording wording = Wording::Translated);
// "60%–90%"
QString spread(std::optional<double> low, std::optional<double> high,
               Wording wording = Wording::Translated);
QString dayLabel(const QDate &first, const QDate &last, const QLocale &locale);
// The category's name, or "(none)" for the tasks whose category was deleted.
QString categoryName(const ReportCategory &category, Wording wording = Wording::Translated);

// Column captions and rows of the two tables; the last day row is the total.
QStringList dayColumns(Wording wording = Wording::Translated);
QList<QStringList> dayRows(const Report &report, const QLocale &locale,
                           Wording wording = Wording::Translated);
QStringList categoryColumns(Wording wording = Wording::Translated);
QList<QStringList> categoryRows(const Report &report, Wording wording = Wording::Translated);

// Parts of a date as the locale orders and separates them; ShortYear is the
// year by its last two digits.
enum DatePart { Weekday = 0x1, Day = 0x2, Month = 0x4, Year = 0x8, ShortYear = 0x10 };
// The locale's date format of that length with only the parts asked for,
// its names and numbers short: from the long format "ddd d MMM yyyy" (en_GB),
// "ddd, MMM d, yyyy" (en_US), "ddd, d. MMM yyyy" (de); Day | Month of the
// short format gives "d/M", "M/d" and "d.M.".
QString dateFormat(const QLocale &locale, QLocale::FormatType type, int parts);

} // namespace reporttext

// The report as plain text in aligned columns: a heading with the period,
// the table of days and the table of categories. For a terminal or a file,
// in English.
QString formatReportText(const Report &report, const QLocale &locale);

} // namespace cdk
