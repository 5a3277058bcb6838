#include "common/TaskFixtures.h"
#include "core/Recurrence.h"

#include <memory>

using namespace cdk;

// Monday 4 March 2024 .. Sunday 10 March 2024.
static QDate march2024(int day)
{
    return QDate(2024, 3, day);
}

class TestRecurrence : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<test::StoreFixture> f;

    TaskRecord addTemplate(const QString &subject, qint32 duration = 30, qint32 state = 0)
    {
        TaskRecord t = test::makeTask(f->store.NextTaskID(recurrentListKey()), subject, duration,
                                      10, state, 4, recurrentListKey());
        t.Category = 3;
        t.FinishedSeconds = 30;
        f->add(t);
        return t;
    }
    QList<TaskRecord> dayList(const QDate &date) { return f->store.tasksOfList(DayListKey(date)); }
    QString general(const QString &key) { return f->settings.Load(SettingsSection::General, key); }
    int inject(const QDate &date) { return InjectRecurrentTasks(f->store, f->settings, date); }

private Q_SLOTS:
    void init() { f = std::make_unique<test::StoreFixture>(); }
    void cleanup()
    {
        QVERIFY2(f->prompter.shown.isEmpty(), qPrintable(f->prompter.lastText()));
        f.reset();
    }

    // Day rules over every day of 2024: each weekday many times, 29 February too.
    void weekRulesMatchTheirWeekdays_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("mondayToSunday");
        QTest::newRow("workdays") << "1]" << "1111100";
        QTest::newRow("weekend") << "2]" << "0000011";
        QTest::newRow("Mon, Wed, Fri") << "31010100]" << "1010100";
        QTest::newRow("Sunday only") << "30000001]" << "0000001";
        QTest::newRow("no day chosen") << "30000000]" << "0000000";
        QTest::newRow("every day") << "0]" << "1111111";
        QTest::newRow("no code") << "" << "1111111";
        QTest::newRow("unknown rule") << "7]" << "1111111";
    }
    void weekRulesMatchTheirWeekdays()
    {
        QFETCH(QString, code);
        QFETCH(QString, mondayToSunday);
        for (QDate d(2024, 1, 1); d.year() == 2024; d = d.addDays(1))
            QVERIFY2(RecurrenceMatchesDate(code, d)
                         == (mondayToSunday.at(d.dayOfWeek() - 1) == u'1'),
                     qPrintable(d.toString(Qt::ISODate)));
    }

    void monthRulesHitExactlyOneDayPerMonth_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("expectedDay"); // 0: the last day of the month
        QTest::newRow("first") << "400]" << 1;
        QTest::newRow("15th") << "414]" << 15;
        QTest::newRow("28th") << "427]" << 28;
        QTest::newRow("last day") << "428]" << 0;
    }

    void monthRulesHitExactlyOneDayPerMonth()
    {
        QFETCH(QString, code);
        QFETCH(int, expectedDay);
        // Every month of a common and a leap year.
        for (QDate month(2023, 1, 1); month.year() < 2025; month = month.addMonths(1)) {
            QList<int> hits;
            for (int day = 1; day <= month.daysInMonth(); ++day) {
                if (RecurrenceMatchesDate(code, QDate(month.year(), month.month(), day)))
                    hits.append(day);
            }
            const int want = expectedDay ? expectedDay : month.daysInMonth();
            QVERIFY2(hits == QList<int>{want},
                     qPrintable(month.toString(QStringLiteral("MMM yyyy"))));
        }
    }

    void codeAndSubjectSplitAtFirstBracket_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("rest");
        QTest::newRow("every day") << "0]Read mail" << "0]" << "Read mail";
        QTest::newRow("second bracket stays") << "414]Pay [rent]" << "414]" << "Pay [rent]";
        QTest::newRow("no bracket") << "Water plants" << "" << "Water plants";
        QTest::newRow("empty subject") << "2]" << "2]" << "";
    }

    void codeAndSubjectSplitAtFirstBracket()
    {
        QFETCH(QString, subject);
        QFETCH(QString, code);
        QFETCH(QString, rest);
        QCOMPARE(GetRecurrenceCode(subject), code);
        QCOMPARE(GetRecurrentSubject(subject), rest);
    }

    void ruleNames_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("name");
        // The five rules' names are read off the recurrent task manager's list.
        QTest::newRow("not a digit") << "Plain" << "Every day";
        QTest::newRow("unknown digit") << "7]x" << "";
    }

    void ruleNames()
    {
        QFETCH(QString, subject);
        QFETCH(QString, name);
        QCOMPARE(RecurrenceName(subject), name);
    }

    void lastInjectionDateRollsOver_data()
    {
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QDate>("date");
        QTest::newRow("plain") << "5" << "3" << "2024" << QDate(2024, 3, 5);
        QTest::newRow("all empty") << "" << "" << "" << QDate(1999, 11, 30);
        QTest::newRow("day past month end") << "31" << "2" << "2024" << QDate(2024, 3, 2);
        QTest::newRow("day 0") << "0" << "1" << "2025" << QDate(2024, 12, 31);
        QTest::newRow("month 13") << "5" << "13" << "2024" << QDate(2025, 1, 5);
        QTest::newRow("month 0") << "5" << "0" << "2024" << QDate(2023, 12, 5);
    }

    void lastInjectionDateRollsOver()
    {
        QFETCH(QString, day);
        QFETCH(QString, month);
        QFETCH(QString, year);
        QFETCH(QDate, date);
        QCOMPARE(LastInjectionDate(day, month, year), date);
    }

    void injectsOncePerDay()
    {
        addTemplate(QStringLiteral("0]Daily"));
        addTemplate(QStringLiteral("1]Workday"));
        addTemplate(QStringLiteral("2]Weekend"));
        addTemplate(QStringLiteral("No rule at all"));
        const QDate tuesday = march2024(5);

        QCOMPARE(inject(tuesday), 3);
        QCOMPARE(general(QStringLiteral("LastRecurrentInjectDay")), QStringLiteral("5"));
        QCOMPARE(general(QStringLiteral("LastRecurrentInjectMonth")), QStringLiteral("3"));
        QCOMPARE(general(QStringLiteral("LastRecurrentInjectYear")), QStringLiteral("2024"));

        // A second start on the same day copies nothing.
        QCOMPARE(inject(tuesday), 0);
        const QList<TaskRecord> tasks = dayList(tuesday);
        QCOMPARE(tasks.size(), 3);
        QCOMPARE(tasks.at(0).Subject, QStringLiteral("Daily"));
        QCOMPARE(tasks.at(1).Subject, QStringLiteral("Workday"));
        QCOMPARE(tasks.at(2).Subject, QStringLiteral("No rule at all"));
        QCOMPARE(tasks.at(0).ID, 1);
        QCOMPARE(tasks.at(2).ID, 3);
        // The templates themselves stay as they were.
        QCOMPARE(f->store.tasksOfList(recurrentListKey()).size(), 4);
    }

    void copiesKeepTheTemplatesValues()
    {
        const TaskRecord templ = addTemplate(QStringLiteral("0]Stretch"), 45, InProgress);
        QCOMPARE(inject(march2024(5)), 1);
        const QList<TaskRecord> tasks = dayList(march2024(5));
        QCOMPARE(tasks.size(), 1);
        const TaskRecord &copy = tasks.first();
        QCOMPARE(copy.List, QStringLiteral("05032024"));
        QCOMPARE(copy.Subject, QStringLiteral("Stretch"));
        QCOMPARE(copy.State, int(InProgress));
        QCOMPARE(copy.Duration, 45);
        QCOMPARE(copy.FinishedDuration, templ.FinishedDuration);
        QCOMPARE(copy.FinishedSeconds, quint8(0));
        QCOMPARE(copy.Category, templ.Category);
        QCOMPARE(copy.Priority, templ.Priority);
    }

    void missedDaysFillOnlyToday()
    {
        addTemplate(QStringLiteral("0]Daily"));
        QCOMPARE(inject(march2024(5)), 1);
        QCOMPARE(inject(march2024(8)), 1);
        QVERIFY(dayList(march2024(6)).isEmpty());
        QVERIFY(dayList(march2024(7)).isEmpty());
        QCOMPARE(dayList(march2024(8)).size(), 1);
        QCOMPARE(general(QStringLiteral("LastRecurrentInjectDay")), QStringLiteral("8"));
    }

    void dateSetBackInjectsAgain()
    {
        addTemplate(QStringLiteral("0]Daily"));
        QCOMPARE(inject(march2024(5)), 1);
        QCOMPARE(inject(march2024(4)), 1);
        QCOMPARE(dayList(march2024(4)).size(), 1);
        // ... and forward again to a day already done: a new run, a second copy.
        QCOMPARE(inject(march2024(5)), 1);
        QCOMPARE(dayList(march2024(5)).size(), 2);
    }

    void copiesFollowTheDaysLargestId()
    {
        const TaskRecord existing = test::makeTask(7, QStringLiteral("Already there"));
        f->add(existing);
        addTemplate(QStringLiteral("0]One"));
        addTemplate(QStringLiteral("0]Two"));

        QCOMPARE(inject(march2024(5)), 2);
        QVERIFY(f->store.findTask(existing.List, 8).has_value());
        QCOMPARE(f->store.findTask(existing.List, 8)->Subject, QStringLiteral("One"));
        QCOMPARE(f->store.findTask(existing.List, 9)->Subject, QStringLiteral("Two"));
    }

};

QTEST_GUILESS_MAIN(TestRecurrence)
#include "test_recurrence.moc"
