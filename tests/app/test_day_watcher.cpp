// The day roll-over's wake-up: it signals each new calendar day once, and it
// is armed for the moment the next local day begins, whatever the length of
// the day in between.

#include "app/DayWatcher.h"
#include "common/FakeClock.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimeZone>

#include <ctime>

using namespace cdk;
using namespace cdk::test;

namespace {

// The process's local zone for the length of one test.
class LocalZone
{
public:
    explicit LocalZone(const QByteArray &zone)
        : m_had(qEnvironmentVariableIsSet("TZ"))
        , m_old(qgetenv("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~LocalZone()
    {
        if (m_had)
            qputenv("TZ", m_old);
        else
            qunsetenv("TZ");
        tzset();
    }
    LocalZone(const LocalZone &) = delete;
    LocalZone &operator=(const LocalZone &) = delete;

private:
    bool m_had;
    QByteArray m_old;
};

QDateTime utc(const QString &iso) { return QDateTime::fromString(iso, Qt::ISODate).toUTC(); }

} // namespace

class TestDayWatcher : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Past midnight, and after the clock was set back a day: one signal each,
    // however often the wake-up comes.
    void signalsEachNewDayOnce()
    {
        FakeClock clock;
        const QDate first = clock.today();
        DayWatcher watcher(clock);
        QSignalSpy changed(&watcher, &DayWatcher::dayChanged);
        watcher.start(first);

        watcher.check();
        QCOMPARE(changed.count(), 0);

        clock.setToday(first.addDays(1));
        watcher.check();
        watcher.check();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toDate(), first.addDays(1));
        QCOMPARE(watcher.lastDay(), first.addDays(1));

        clock.setToday(first);
        watcher.check();
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(1).at(0).toDate(), first);
        // The wake-up stays armed after every look.
        QVERIFY(watcher.nextWakeUp().isValid());
    }

    void nextLocalMidnight_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QString>("now"); // local time, ISO
        QTest::addColumn<QString>("expected"); // the instant, ISO with offset
        QTest::newRow("plain day") << QByteArray("Europe/Berlin") << "2024-01-10T15:30:00"
                                   << "2024-01-11T00:00:00+01:00";
        QTest::newRow("eve of spring forward")
            << QByteArray("Europe/Berlin") << "2024-03-30T12:00:00"
            << "2024-03-31T00:00:00+01:00";
        QTest::newRow("day of 23 hours") << QByteArray("Europe/Berlin") << "2024-03-31T00:30:00"
                                         << "2024-04-01T00:00:00+02:00";
        QTest::newRow("day of 25 hours, second 2 o'clock")
            << QByteArray("Europe/Berlin") << "2024-10-27T02:30:00+01:00"
            << "2024-10-28T00:00:00+01:00";
        QTest::newRow("a second before midnight")
            << QByteArray("Europe/Berlin") << "2024-10-27T23:59:59"
            << "2024-10-28T00:00:00+01:00";
        QTest::newRow("exactly midnight: the day after")
            << QByteArray("Europe/Berlin") << "2024-06-01T00:00:00"
            << "2024-06-02T00:00:00+02:00";
        // Clocks went from midnight straight to one o'clock.
        QTest::newRow("midnight skipped")
            << QByteArray("America/Sao_Paulo") << "2018-11-03T20:00:00"
            << "2018-11-04T01:00:00-02:00";
    }
    void nextLocalMidnight()
    {
        QFETCH(QByteArray, zone);
        QFETCH(QString, now);
        QFETCH(QString, expected);
        LocalZone local(zone);
        QDateTime at = QDateTime::fromString(now, Qt::ISODate);
        if (at.timeSpec() != Qt::LocalTime)
            at = at.toLocalTime();
        QVERIFY(at.isValid());
        const QDateTime next = DayWatcher::nextLocalMidnight(at);
        QCOMPARE(next.toUTC(), utc(expected));
        QCOMPARE(next.toLocalTime().date(), at.date().addDays(1));
    }

    // What the system holds is the next local midnight of the real clock.
    void armedForTheNextLocalMidnight()
    {
        LocalZone local("Europe/Berlin");
        FakeClock clock;
        DayWatcher watcher(clock);
        QVERIFY(!watcher.nextWakeUp().isValid());
        watcher.start(clock.today());
        const QDateTime expected = DayWatcher::nextLocalMidnight(QDateTime::currentDateTime());
        const QDateTime armed = watcher.nextWakeUp();
        QVERIFY(armed.isValid());
        QVERIFY2(qAbs(armed.msecsTo(expected)) < 1000,
                 qPrintable(armed.toString(Qt::ISODateWithMs) + QStringLiteral(" vs ")
                            + expected.toString(Qt::ISODateWithMs)));
    }
};

QTEST_GUILESS_MAIN(TestDayWatcher)
#include "test_day_watcher.moc"
