#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

namespace cdk {

struct Report;

// How report figures read wherever they are shown: the window's tables and
// the plain-text report agree to the character.
namespace reporttext {

QString minutes(qint64 minutes); // "1:15", as the grid shows a budget
QString share(std::optional<double> share); // "75%", "–" for nothing to compare
QString spread(std::optional<double> low, std::optional<double> high); // "60%–90%"
QString dayLabel(const QDate &first, const QDate &last, const QLocale &locale);

// Column captions and rows of the two tables; the last day row is the total.
QStringList dayColumns();
QList<QStringList> dayRows(const Report &report, const QLocale &locale);
QStringList categoryColumns();
QList<QStringList> categoryRows(const Report &report);

} // namespace reporttext

// The report as plain text in aligned columns: a heading with the period,
// the table of days and the table of categories. For a terminal or a file.
QString formatReportText(const Report &report, const QLocale &locale);

} // namespace cdk
