#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

namespace cdk::sync {

// One task as it travels between Chronodeck and a CalDAV server.
struct SyncTask
{
    QString uid;
    QString list; // day list key "DDMMYYYY", or "recurrent" for a template
    QString subject; // a template's subject without its rule code
    // A template's rule code ("0]", "1]", "2]", "3" + 7 digits + "]", "4" + 2 digits + "]");
    // empty for a day task.
    QString rule;
    QString category; // the category's name; empty for none
    qint32 budgetMinutes = 0;
    qint64 doneSeconds = 0;
    qint32 state = 0; // 0 Not Started, 1 In Progress, 2 Pending, 3 Delayed, 4 Finished
    qint32 priority = 2; // 0 Very Low .. 5 Urgent
    QDateTime lastModified; // UTC; invalid when unknown

    friend bool operator==(const SyncTask &, const SyncTask &) = default;
};

} // namespace cdk::sync
