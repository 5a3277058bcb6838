#include "sync/VTodo.h"

#include <QTest>

using namespace cdk::sync;

Q_DECLARE_METATYPE(cdk::sync::SyncTask)

namespace cdk::sync {
// What a failed comparison prints.
char *toString(const SyncTask &t)
{
    return QTest::toString(QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9|")
                               .arg(t.uid, t.list, t.subject, t.rule, t.category)
                               .arg(t.budgetMinutes)
                               .arg(t.doneSeconds)
                               .arg(t.state)
                               .arg(t.priority)
                           + t.lastModified.toString(Qt::ISODate));
}
} // namespace cdk::sync

namespace {

QByteArray crlf(QByteArray text) { return text.replace("\n", "\r\n"); }

// The unfolded lines of a resource that start with this name.
QByteArrayList linesNamed(const QByteArray &ical, const QByteArray &name)
{
    QByteArray unfolded = ical;
    unfolded.replace("\r\n ", "");
    QByteArrayList found;
    for (const QByteArray &line : unfolded.split('\n')) {
        if (line.startsWith(QByteArray(name + ':')) || line.startsWith(QByteArray(name + ';')))
            found.append(line.trimmed());
    }
    return found;
}

SyncTask dayTask()
{
    SyncTask task;
    task.uid = QStringLiteral("3f2a9e1c-0b7d-4c55-9a41-1d2e3f4a5b6c");
    task.list = QStringLiteral("07122026");
    task.subject = QStringLiteral("Call Zoë; bring notes, receipts\nand the \"Müller\" file \\ ✓");
    task.category = QStringLiteral("Work, travel; misc");
    task.budgetMinutes = 90;
    task.doneSeconds = 2 * 3600 + 61;
    task.state = 3;
    task.priority = 4;
    task.lastModified = QDateTime(QDate(2026, 12, 6), QTime(21, 15, 7), Qt::UTC);
    return task;
}

} // namespace

class TestVTodo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyFieldComesBack_data()
    {
        QTest::addColumn<SyncTask>("task");
        QTest::addColumn<QByteArray>("rrule");

        QTest::newRow("day task") << dayTask() << QByteArray();
        SyncTask plain = dayTask();
        plain.subject = QString(120, u'é'); // folded over several lines
        plain.category.clear();
        plain.state = 0;
        plain.priority = 0;
        plain.budgetMinutes = 0;
        plain.doneSeconds = 0;
        QTest::newRow("long subject, nothing set") << plain << QByteArray();
        for (int state = 0; state <= 4; ++state) {
            SyncTask t = dayTask();
            t.state = state;
            t.priority = 5 - state;
            QTest::addRow("state %d", state) << t << QByteArray();
        }

        const std::pair<const char *, const char *> rules[] = {
            {"0]", "RRULE:FREQ=DAILY"},
            {"1]", "RRULE:FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR"},
            {"2]", "RRULE:FREQ=WEEKLY;BYDAY=SA,SU"},
            {"31010100]", "RRULE:FREQ=WEEKLY;BYDAY=MO,WE,FR"},
            {"30000001]", "RRULE:FREQ=WEEKLY;BYDAY=SU"},
            {"400]", "RRULE:FREQ=MONTHLY;BYMONTHDAY=1"},
            {"427]", "RRULE:FREQ=MONTHLY;BYMONTHDAY=28"},
            {"428]", "RRULE:FREQ=MONTHLY;BYMONTHDAY=-1"},
        };
        for (const auto &[code, rrule] : rules) {
            SyncTask t = dayTask();
            t.list = QStringLiteral("recurrent");
            t.rule = QString::fromLatin1(code);
            t.subject = QStringLiteral("Stand-up, daily");
            QTest::addRow("template %s", code) << t << QByteArray(rrule);
        }
    }
    void everyFieldComesBack()
    {
        QFETCH(SyncTask, task);
        QFETCH(QByteArray, rrule);

        const QByteArray ical = toICalendar(task);
        QString error;
        const auto back = fromICalendar(ical, &error);
        QVERIFY2(back, qPrintable(error));
        QCOMPARE(*back, task);

        // What another client goes by.
        // Folded at 75 octets, and never inside a character.
        for (const QByteArray &line : ical.split('\n')) {
            QVERIFY2(line.size() <= 76, line.constData()); // and the CR
            QVERIFY2(!QString::fromUtf8(line).contains(QChar::ReplacementCharacter),
                     line.constData());
        }
        QCOMPARE(linesNamed(ical, "UID"), QByteArrayList {"UID:" + task.uid.toUtf8()});
        if (rrule.isEmpty()) {
            QCOMPARE(
                linesNamed(ical, "DUE"),
                QByteArrayList {
                    "DUE;VALUE=DATE:"
                    + QDate::fromString(task.list, u"ddMMyyyy").toString(u"yyyyMMdd").toLatin1()});
            QVERIFY(linesNamed(ical, "RRULE").isEmpty());
        } else {
            QVERIFY(linesNamed(ical, "DUE").isEmpty());
            QCOMPARE(linesNamed(ical, "RRULE"), QByteArrayList {rrule});
            QCOMPARE(linesNamed(ical, "DTSTART").size(), 1);
            QCOMPARE(linesNamed(ical, "X-CHRONODECK-RULE"),
                     QByteArrayList {"X-CHRONODECK-RULE:" + task.rule.toLatin1()});
        }
        const QByteArray status = task.state == 4 ? "STATUS:COMPLETED"
            : task.state == 1                     ? "STATUS:IN-PROCESS"
                                                  : "STATUS:NEEDS-ACTION";
        QCOMPARE(linesNamed(ical, "STATUS"), QByteArrayList {status});
        QCOMPARE(linesNamed(ical, "COMPLETED").size(), task.state == 4 ? 1 : 0);
    }

    void anotherClientsDataSurvivesOurWrite()
    {
        const QByteArray previous = crlf("BEGIN:VCALENDAR\n"
                                         "VERSION:2.0\n"
                                         "PRODID:-//Phone//Tasks//EN\n"
                                         "BEGIN:VTODO\n"
                                         "UID:3f2a9e1c-0b7d-4c55-9a41-1d2e3f4a5b6c\n"
                                         "DTSTAMP:20261201T080000Z\n"
                                         "SUMMARY:Old subject\n"
                                         "DESCRIPTION:Notes from the phone\\, kept\n"
                                         "DTSTART;VALUE=DATE:20261210\n"
                                         "DUE;VALUE=DATE:20261210\n"
                                         "STATUS:COMPLETED\n"
                                         "COMPLETED:20261201T090000Z\n"
                                         "CATEGORIES:Errands,Family\n"
                                         "X-PHONE-COLOR:#ff0000\n"
                                         "X-CHRONODECK-BUDGET-MINUTES:10\n"
                                         "BEGIN:VALARM\n"
                                         "ACTION:DISPLAY\n"
                                         "DESCRIPTION:Reminder\n"
                                         "TRIGGER:-PT15M\n"
                                         "END:VALARM\n"
                                         "END:VTODO\n"
                                         "END:VCALENDAR\n");
        SyncTask task = dayTask();
        task.category = QStringLiteral("Home");
        task.state = 0;
        const QByteArray ical = toICalendar(task, previous);

        const auto back = fromICalendar(ical);
        QVERIFY(back);
        QCOMPARE(*back, task);
        QCOMPARE(
            linesNamed(ical, "DESCRIPTION"),
            (QByteArrayList {"DESCRIPTION:Notes from the phone\\, kept", "DESCRIPTION:Reminder"}));
        QCOMPARE(linesNamed(ical, "X-PHONE-COLOR"), QByteArrayList {"X-PHONE-COLOR:#ff0000"});
        QCOMPARE(linesNamed(ical, "TRIGGER"), QByteArrayList {"TRIGGER:-PT15M"});
        QVERIFY(ical.contains("BEGIN:VALARM"));
        // Ours replaced, not added twice; Home takes Errands' place in front.
        QCOMPARE(linesNamed(ical, "SUMMARY").size(), 1);
        QCOMPARE(linesNamed(ical, "DUE"), QByteArrayList {"DUE;VALUE=DATE:20261207"});
        QCOMPARE(linesNamed(ical, "X-CHRONODECK-BUDGET-MINUTES").size(), 1);
        QVERIFY(linesNamed(ical, "COMPLETED").isEmpty()); // reopened here
        // The start after the new due day would make the task invalid.
        QVERIFY(linesNamed(ical, "DTSTART").isEmpty());
        const QByteArray categories = linesNamed(ical, "CATEGORIES").join('|');
        QVERIFY2(categories.indexOf("Home") >= 0
                     && categories.indexOf("Family") > categories.indexOf("Home")
                     && !categories.contains("Errands"),
                 categories.constData());
        QCOMPARE(linesNamed(ical, "PRODID").size(), 1);

        // Unreadable earlier data is no reason to fail a write.
        QCOMPARE(fromICalendar(toICalendar(task, "not a calendar")), task);
    }

    void anotherClientsTaskReadsSensibly_data()
    {
        QTest::addColumn<QByteArray>("todo");
        QTest::addColumn<SyncTask>("expected");

        SyncTask bare;
        bare.uid = QStringLiteral("phone-1");
        QTest::newRow("nothing but a UID") << QByteArray("UID:phone-1\n") << bare;

        SyncTask done = bare;
        done.subject = QStringLiteral("Buy milk");
        done.list = QStringLiteral("03012027");
        done.state = 4;
        done.priority = 5;
        done.lastModified = QDateTime(QDate(2027, 1, 2), QTime(10, 0), Qt::UTC);
        QTest::newRow("completed, urgent, day from DTSTART")
            << QByteArray("UID:phone-1\nSUMMARY:Buy milk\nDTSTART;VALUE=DATE:20270103\n"
                          "STATUS:COMPLETED\nPRIORITY:1\nLAST-MODIFIED:20270102T100000Z\n")
            << done;

        SyncTask ticked = dayTask();
        ticked.uid = QStringLiteral("phone-1");
        ticked.subject = QStringLiteral("Ticked on the phone");
        ticked.category.clear();
        ticked.state = 4;
        ticked.priority = 3;
        ticked.lastModified = {};
        QTest::newRow("ticked off elsewhere: STATUS beats a stale X- state")
            << QByteArray("UID:phone-1\nSUMMARY:Ticked on the phone\nDUE:20261207T170000Z\n"
                          "STATUS:COMPLETED\nPRIORITY:4\nX-CHRONODECK-STATE:Delayed\n"
                          "X-CHRONODECK-BUDGET-MINUTES:90\nX-CHRONODECK-DONE-SECONDS:7261\n"
                          "X-UNKNOWN-THING;FOO=bar:baz\n")
            << ticked;

        SyncTask weekly = bare;
        weekly.list = QStringLiteral("recurrent");
        weekly.rule = QStringLiteral("30101000]");
        weekly.priority = 2;
        QTest::newRow("a weekly repeat of another client becomes a template")
            << QByteArray("UID:phone-1\nDTSTART;VALUE=DATE:20261201\n"
                          "RRULE:FREQ=WEEKLY;BYDAY=TU,TH\nPRIORITY:5\n")
            << weekly;
        SyncTask yearly = bare;
        yearly.list = QStringLiteral("01122026");
        QTest::newRow("a repeat no rule can say stays a day task")
            << QByteArray("UID:phone-1\nDUE;VALUE=DATE:20261201\nRRULE:FREQ=YEARLY\n") << yearly;
    }
    void anotherClientsTaskReadsSensibly()
    {
        QFETCH(QByteArray, todo);
        QFETCH(SyncTask, expected);
        const QByteArray ical
            = crlf("BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//Phone//EN\nBEGIN:VTODO\n" + todo
                   + "END:VTODO\nEND:VCALENDAR\n");
        QString error;
        const auto task = fromICalendar(ical, &error);
        QVERIFY2(task, qPrintable(error));
        QCOMPARE(*task, expected);
    }

    void garbageIsRefusedWithAReason_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("HTML error page") << QByteArray("<html><body>Bad Gateway</body></html>");
        QTest::newRow("binary") << QByteArray("BEGIN:VCALENDAR\0\x01\x02", 18);
        QTest::newRow("an event only")
            << crlf("BEGIN:VCALENDAR\nVERSION:2.0\nBEGIN:VEVENT\nUID:e\nDTSTART:20261201T100000Z\n"
                    "END:VEVENT\nEND:VCALENDAR\n");
        QTest::newRow("a task without UID")
            << crlf("BEGIN:VCALENDAR\nVERSION:2.0\nBEGIN:VTODO\nSUMMARY:x\nEND:VTODO\n"
                    "END:VCALENDAR\n");
        QTest::newRow("cut short") << QByteArray("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VTO");
    }
    void garbageIsRefusedWithAReason()
    {
        QFETCH(QByteArray, data);
        QString error;
        QVERIFY(!fromICalendar(data, &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestVTodo)
#include "test_vtodo.moc"
