#pragma once

#include "reports/ReportPeriod.h"

#include <QDateTime>
#include <QString>

#include <optional>

class QIODevice;

namespace cdk {

class TaskStore;

enum class ExportFormat { Csv, ICalendar };

// "csv" or "ics" (any case) as a format; nothing for anything else.
std::optional<ExportFormat> exportFormatFromName(const QString &name);
QString exportFileSuffix(ExportFormat format); // "csv", "ics"
// What a save dialog offers for the format, e.g. "CSV files (*.csv)", in the
// user's language.
QString exportFileFilter(ExportFormat format);

// The tasks of the period's days, one row or entry per task, day by day.
//
// CSV (RFC 4180, UTF-8, CRLF, a header row): Date (YYYY-MM-DD), Subject,
// Category ("(none)" when deleted), Priority, State, Budget minutes, Done
// seconds.
//
// iCalendar (RFC 5545): one VTODO per task with DUE on its day, STATUS,
// PERCENT-COMPLETE, PRIORITY, CATEGORIES (left out for a deleted category),
// and the budget and time done as X-CHRONODECK-BUDGET-MINUTES and
// X-CHRONODECK-DONE-SECONDS, which calendar programs keep as they are.
// stamp is the DTSTAMP of every entry (the time of the export, UTC).
//
// Returns the number of tasks written. Throws StoreError when the database
// cannot be read; a device that refuses the bytes shows in its own error.
qint64 writeTaskExport(TaskStore &store, const ReportPeriod &period, ExportFormat format,
                       QIODevice &device, const QDateTime &stamp);

// The export written to a file that appears whole or not at all. On failure
// returns false with a sentence for the user in error.
bool exportTasksToFile(TaskStore &store, const ReportPeriod &period, ExportFormat format,
                       const QString &path, const QDateTime &stamp, QString *error);

} // namespace cdk
