#pragma once

#include "sync/SyncTask.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace cdk::sync {

// A whole VCALENDAR with one VTODO. previous is the resource as the server
// last had it: the properties Chronodeck does not know (VALARM, DESCRIPTION,
// another client's X- properties) are kept from it, so their data survives
// our write.
QByteArray toICalendar(const SyncTask &task, const QByteArray &previous = {});

// The VTODO of a calendar resource; nothing, and *error says why, when it is
// not iCalendar or holds no VTODO. Missing properties take sensible values
// (see the definition).
std::optional<SyncTask> fromICalendar(const QByteArray &ical, QString *error = nullptr);

} // namespace cdk::sync
