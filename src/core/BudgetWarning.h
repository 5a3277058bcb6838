#pragma once

#include <QObject>
#include <QSet>
#include <QString>

namespace cdk {

class TimeTracker;
class clsSettings;

// Warns once per task and budget, while it is tracked, when the task has
// used the share of its budget the settings name (WarnAtPercent) or has no
// more than the minutes they name left (WarnMinutesBefore). Both off, the
// default, warns never. The front end shows the warning; this decides.
class BudgetWarning final : public QObject
{
    Q_OBJECT

public:
    BudgetWarning(TimeTracker &tracker, clsSettings &settings, QObject *parent = nullptr);

    // Whether a task with done of budget minutes is within the warning: the
    // rule alone, for any front end.
    static bool isDue(int percent, int minutesBefore, qint32 budget, qint32 done);
    // "5 minutes left for Write the report".
    static QString text(qint32 minutesLeft, const QString &subject);

Q_SIGNALS:
    void warn(const QString &text);

private:
    void check();

    TimeTracker &m_tracker;
    clsSettings &m_settings;
    // List, ID and budget of every task warned about in this run.
    QSet<QString> m_warned;
};

} // namespace cdk
