#include "core/BudgetWarning.h"

#include "base/Functions.h"
#include "base/Translate.h"
#include "core/TimeTracker.h"
#include "settings/Settings.h"

namespace cdk {

BudgetWarning::BudgetWarning(TimeTracker &tracker, clsSettings &settings, QObject *parent)
    : QObject(parent), m_tracker(tracker), m_settings(settings)
{
    // A start, a reload after an edit (a new budget) and every counted
    // minute are the moments the answer can change.
    connect(&m_tracker, &TimeTracker::trackingChanged, this, &BudgetWarning::check);
    connect(&m_tracker, &TimeTracker::minuteCounted, this, &BudgetWarning::check);
}

bool BudgetWarning::isDue(int percent, int minutesBefore, qint32 budget, qint32 done)
{
    // A used-up budget has the finish sequence; no budget has nothing to warn of.
    if (budget <= 0 || done >= budget)
        return false;
    const bool byShare = percent > 0 && qint64(done) * 100 >= qint64(budget) * percent;
    const bool byTimeLeft = minutesBefore > 0 && budget - done <= minutesBefore;
    return byShare || byTimeLeft;
}

QString BudgetWarning::text(qint32 minutesLeft, const QString &subject)
{
    return countedText("cdk::BudgetWarning",
                       QT_TRANSLATE_N_NOOP("cdk::BudgetWarning", "%n minutes left for %1"),
                       "1 minute left for %1", minutesLeft)
        .arg(ShownText(subject));
}

void BudgetWarning::check()
{
    if (!m_tracker.TrackingActive)
        return;
    const int percent = m_settings.number(Setting::WarnAtPercent);
    const int before = m_settings.number(Setting::WarnMinutesBefore);
    if (!isDue(percent, before, m_tracker.TrackedDuration, m_tracker.TrackedFinishedDuration))
        return;
    const QString key = QStringLiteral("%1/%2/%3")
                            .arg(m_tracker.TrackedList)
                            .arg(m_tracker.TrackedTaskID)
                            .arg(m_tracker.TrackedDuration);
    if (m_warned.contains(key))
        return;
    m_warned.insert(key);
    Q_EMIT warn(text(m_tracker.TrackedDuration - m_tracker.TrackedFinishedDuration,
                     m_tracker.TrackedSubject));
}

} // namespace cdk
