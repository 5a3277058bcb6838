#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace cdk {

// Task state codes.
enum TaskState : int { NotStarted = 0, InProgress = 1, Pending = 2, Delayed = 3, Finished = 4 };

inline const QString &recurrentListKey()
{
    static const QString key = QStringLiteral("recurrent");
    return key;
}

// DDMMYYYY of a calendar day: 05032024 for 5 March 2024.
QString DayListKey(const QDate &date);
// The date a day list key names; invalid for "recurrent", "VER" or junk.
QDate DateFromListKey(const QString &key);

QString TaskStateName(int state);        // "" for an unknown code
QString PriorityName(int priority);      // "" for an unknown code
QString PriorityIconKey(int priority, bool greyed); // "URGENTP", "URGENTGP", "P"
// The six priority names from "Urgent" down to "Very Low" (position i is priority 5 - i).
QStringList PriorityNamesHighestFirst();
QStringList TaskStateNames();

// The same names as the window shows them, in the user's language. The names
// above are what files, the command line and other programs read and write.
QString TaskStateLabel(int state);
QString PriorityLabel(int priority);
QStringList PriorityLabelsHighestFirst();
QStringList TaskStateLabels();

} // namespace cdk
