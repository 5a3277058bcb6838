#pragma once

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QTime>

#include <functional>

class QTimer;

namespace cdk {

class clsSettings;
enum class SettingsSection : int;

// When the day's review opens by itself: once a day at the time the setting
// ReviewAtTime names ("HH:MM"), while the program runs. One single-shot
// timer waits for the next such moment, ten minutes at most, so the wall
// clock decides even across a sleep; it is armed again after it fires and
// whenever the setting changes. A start after that time waits for the next
// day.
class ReviewSchedule final : public QObject
{
    Q_OBJECT

public:
    // now: the wall clock; tests pass one of their own.
    explicit ReviewSchedule(clsSettings &settings,
                            std::function<QDateTime()> now = &QDateTime::currentDateTime,
                            QObject *parent = nullptr);

    // The moment the review opens next; invalid while none is set.
    QDateTime nextDue() const { return m_nextDue; }
    QTimer *timer() const { return m_tmrReview; }

    // Signals a review that has come due (at most once a day) and arms the
    // timer for the next one. The timer calls it; a coarse wake-up that
    // comes early only arms again.
    void check();
    // Reads the setting again and arms the timer for it.
    void rearm();

    // "HH:MM" or "H:MM" as a time of day; invalid for anything else.
    static QTime parseTime(const QString &text);
    // The first moment at `at` that is still to come after `now`, not on
    // `openedOn`, the day the review last opened.
    static QDateTime nextDueAfter(const QDateTime &now, const QTime &at, const QDate &openedOn);

Q_SIGNALS:
    void due();

private:
    void settingChanged(cdk::SettingsSection section, const QString &key);

    clsSettings &m_settings;
    std::function<QDateTime()> m_now;
    QTimer *m_tmrReview = nullptr;
    QTime m_at;
    QDateTime m_nextDue;
    QDate m_openedOn;
    QString m_refusedText; // a setting that does not read, logged once
};

} // namespace cdk
