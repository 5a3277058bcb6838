#include "view/ReviewSchedule.h"

#include "base/Log.h"
#include "settings/Settings.h"

#include <QRegularExpression>
#include <QTimer>


namespace cdk {

namespace {

// The timer counts running time, which stops while the machine sleeps: it
// wakes at least this often to ask the wall clock, so a review due during
// a sleep opens soon after waking, not hours late.
constexpr qint64 kLongestWaitMs = 10 * 60 * 1000;

} // namespace

ReviewSchedule::ReviewSchedule(clsSettings &settings, std::function<QDateTime()> now,
                               QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_now(std::move(now))
{
    m_tmrReview = new QTimer(this);
    m_tmrReview->setObjectName(QStringLiteral("tmrReview"));
    m_tmrReview->setSingleShot(true);
    // Minutes ahead, a coarse timer may be seconds off.
    m_tmrReview->setTimerType(Qt::PreciseTimer);
    connect(m_tmrReview, &QTimer::timeout, this, &ReviewSchedule::check);
    connect(&m_settings, &clsSettings::changed, this, &ReviewSchedule::settingChanged);
    rearm();
}

QTime ReviewSchedule::parseTime(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,2}):(\\d{2})$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return {};
    return QTime(match.captured(1).toInt(), match.captured(2).toInt());
}

QDateTime ReviewSchedule::nextDueAfter(const QDateTime &now, const QTime &at, const QDate &openedOn)
{
    if (!at.isValid())
        return {};
    QDate day = now.date();
    if (day == openedOn || QDateTime(day, at) <= now)
        day = day.addDays(1);
    // A time a daylight-saving change skips falls on the hour after it.
    return QDateTime(day, at);
}

void ReviewSchedule::settingChanged(SettingsSection section, const QString &key)
{
    if (section == settingInfo(Setting::ReviewAtTime).section
        && key == settingInfo(Setting::ReviewAtTime).key)
        rearm();
}

void ReviewSchedule::rearm()
{
    const QString text = m_settings.text(Setting::ReviewAtTime);
    m_at = parseTime(text);
    if (!m_at.isValid() && !text.trimmed().isEmpty() && text != m_refusedText) {
        m_refusedText = text;
        qCWarning(lcView) << "ReviewAtTime" << text
                          << "is no time of day (HH:MM); no review "
                             "opens by itself";
    }
    m_nextDue = nextDueAfter(m_now(), m_at, m_openedOn);
    if (!m_nextDue.isValid()) {
        m_tmrReview->stop();
        return;
    }
    const qint64 wait = qMax<qint64>(0, m_now().msecsTo(m_nextDue));
    m_tmrReview->start(int(qMin<qint64>(wait, kLongestWaitMs)));
}

void ReviewSchedule::check()
{
    const QDateTime now = m_now();
    // A wake-up a suspend held back past the due day opens nothing: the
    // review belongs to its time of day.
    if (m_nextDue.isValid() && now >= m_nextDue && now.date() == m_nextDue.date()
        && m_openedOn != now.date()) {
        m_openedOn = now.date();
        qCInfo(lcView) << "the day's review is due";
        Q_EMIT due();
    }
    rearm();
}

} // namespace cdk
