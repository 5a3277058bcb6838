#include "common/RecordingPrompter.h"
#include "editing/Recurrence.h"
#include "settings/Settings.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace cdk;

class TestRecurrence : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void matchesDate_data();
    void matchesDate();
    void monthRulesHitExactlyOneDayPerMonth_data();
    void monthRulesHitExactlyOneDayPerMonth();
    void allZeroSpecifiedDaysNeverMatch();
    void codeAndSubjectSplitAtFirstBracket_data();
    void codeAndSubjectSplitAtFirstBracket();
    void ruleNames_data();
    void ruleNames();
    void lastInjectionDateRollsOver_data();
    void lastInjectionDateRollsOver();

    void injectsOncePerDay();
    void copiesKeepTheTemplatesValues();
    void missedDaysFillOnlyToday();
    void dateSetBackInjectsAgain();
    void copiesFollowTheDaysLargestId();
    void emptyDayKeyRunsEvenWithMonthAndYear();

private:
    TaskRecord addTemplate(const QString &subject, qint32 duration = 30, qint32 state = 0);
    QList<TaskRecord> dayList(const QDate &date) { return m_store->tasksOfList(DayListKey(date)); }
    QString general(const QString &key)
    {
        return m_settings->Load(SettingsSection::General, key);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TaskStore> m_store;
    std::unique_ptr<test::RecordingPrompter> m_prompter;
    std::unique_ptr<clsSettings> m_settings;
};

// Monday 4 March 2024 .. Sunday 10 March 2024.
static QDate march2024(int day)
{
    return QDate(2024, 3, day);
}

void TestRecurrence::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_store = std::make_unique<TaskStore>(m_dir->path());
    m_store->OpenTaskDatabase();
    m_prompter = std::make_unique<test::RecordingPrompter>();
    m_settings = std::make_unique<clsSettings>(*m_prompter);
    m_settings->setPath(m_dir->filePath(QStringLiteral("settings.ini")));
}

void TestRecurrence::cleanup()
{
    QVERIFY2(m_prompter->shown.isEmpty(), qPrintable(m_prompter->lastText()));
    m_settings.reset();
    m_store.reset();
    m_dir.reset();
}

TaskRecord TestRecurrence::addTemplate(const QString &subject, qint32 duration, qint32 state)
{
    TaskRecord t;
    t.ID = m_store->NextTaskID(recurrentListKey());
    t.List = recurrentListKey();
    t.Subject = subject;
    t.Category = 3;
    t.Duration = duration;
    t.FinishedDuration = 10;
    t.FinishedSeconds = 30;
    t.State = state;
    t.Priority = 4;
    m_store->SaveTask(t, true, t.List, t.ID);
    return t;
}

void TestRecurrence::matchesDate_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<bool>("matches");

    QTest::newRow("workday on Monday") << "1]" << march2024(4) << true;
    QTest::newRow("workday on Friday") << "1]" << march2024(8) << true;
    QTest::newRow("workday on Saturday") << "1]" << march2024(9) << false;
    QTest::newRow("workday on Sunday") << "1]" << march2024(10) << false;
    QTest::newRow("weekend on Monday") << "2]" << march2024(4) << false;
    QTest::newRow("weekend on Friday") << "2]" << march2024(8) << false;
    QTest::newRow("weekend on Saturday") << "2]" << march2024(9) << true;
    QTest::newRow("weekend on Sunday") << "2]" << march2024(10) << true;
    QTest::newRow("Monday only on Monday") << "31000000]" << march2024(4) << true;
    QTest::newRow("Monday only on Tuesday") << "31000000]" << march2024(5) << false;
    QTest::newRow("Sunday only on Sunday") << "30000001]" << march2024(10) << true;
    QTest::newRow("Sunday only on Saturday") << "30000001]" << march2024(9) << false;
    const bool monWedFri[] = {true, false, true, false, true, false, false};
    for (int day = 0; day < 7; ++day) {
        const QDate date = march2024(4 + day);
        QTest::addRow("Mon-Wed-Fri on %s", qPrintable(date.toString(QStringLiteral("dddd"))))
            << "31010100]" << date << monWedFri[day];
    }
    // The month rules are swept day by day in monthRulesHitExactlyOneDayPerMonth.
    QTest::newRow("15th") << "414]" << QDate(2024, 7, 15) << true;
    QTest::newRow("15th on the 14th") << "414]" << QDate(2024, 7, 14) << false;
    QTest::newRow("every day") << "0]" << march2024(9) << true;
    QTest::newRow("no code") << "" << march2024(6) << true;
    QTest::newRow("unknown rule") << "7]" << march2024(6) << true;
}

void TestRecurrence::matchesDate()
{
    QFETCH(QString, code);
    QFETCH(QDate, date);
    QFETCH(bool, matches);
    QCOMPARE(RecurrenceMatchesDate(code, date), matches);
}

void TestRecurrence::monthRulesHitExactlyOneDayPerMonth_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("expectedDay"); // 0: the last day of the month
    QTest::newRow("first") << "400]" << 1;
    QTest::newRow("28th") << "427]" << 28;
    QTest::newRow("last day") << "428]" << 0;
}

void TestRecurrence::monthRulesHitExactlyOneDayPerMonth()
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

void TestRecurrence::allZeroSpecifiedDaysNeverMatch()
{
    for (QDate d(2024, 1, 1); d.year() == 2024; d = d.addDays(1))
        QVERIFY2(!RecurrenceMatchesDate(QStringLiteral("30000000]"), d),
                 qPrintable(d.toString(Qt::ISODate)));
}

void TestRecurrence::codeAndSubjectSplitAtFirstBracket_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("rest");
    QTest::newRow("every day") << "0]Read mail" << "0]" << "Read mail";
    QTest::newRow("specified days") << "31010100]Gym" << "31010100]" << "Gym";
    QTest::newRow("second bracket stays") << "414]Pay [rent]" << "414]" << "Pay [rent]";
    QTest::newRow("no bracket") << "Water plants" << "" << "Water plants";
    QTest::newRow("empty subject") << "2]" << "2]" << "";
}

void TestRecurrence::codeAndSubjectSplitAtFirstBracket()
{
    QFETCH(QString, subject);
    QFETCH(QString, code);
    QFETCH(QString, rest);
    QCOMPARE(GetRecurrenceCode(subject), code);
    QCOMPARE(GetRecurrentSubject(subject), rest);
}

void TestRecurrence::ruleNames_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("name");
    QTest::newRow("0") << "0]x" << "Every day";
    QTest::newRow("1") << "1]x" << "Every workday";
    QTest::newRow("2") << "2]x" << "Every Sun and Sat";
    QTest::newRow("3") << "31010100]x" << "Specified days";
    QTest::newRow("4") << "414]x" << "Once a month";
    QTest::newRow("not a digit") << "Plain" << "Every day";
    QTest::newRow("unknown digit") << "7]x" << "";
}

void TestRecurrence::ruleNames()
{
    QFETCH(QString, subject);
    QFETCH(QString, name);
    QCOMPARE(RecurrenceName(subject), name);
}

void TestRecurrence::lastInjectionDateRollsOver_data()
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

void TestRecurrence::lastInjectionDateRollsOver()
{
    QFETCH(QString, day);
    QFETCH(QString, month);
    QFETCH(QString, year);
    QFETCH(QDate, date);
    QCOMPARE(LastInjectionDate(day, month, year), date);
}

void TestRecurrence::injectsOncePerDay()
{
    addTemplate(QStringLiteral("0]Daily"));
    addTemplate(QStringLiteral("1]Workday"));
    addTemplate(QStringLiteral("2]Weekend"));
    addTemplate(QStringLiteral("No rule at all"));
    const QDate tuesday = march2024(5);

    QCOMPARE(InjectRecurrentTasks(*m_store, *m_settings, tuesday), 3);
    QCOMPARE(general(QStringLiteral("LastRecurrentInjectDay")), QStringLiteral("5"));
    QCOMPARE(general(QStringLiteral("LastRecurrentInjectMonth")), QStringLiteral("3"));
    QCOMPARE(general(QStringLiteral("LastRecurrentInjectYear")), QStringLiteral("2024"));

    // A second start on the same day copies nothing.
    QCOMPARE(InjectRecurrentTasks(*m_store, *m_settings, tuesday), 0);
    const QList<TaskRecord> tasks = dayList(tuesday);
    QCOMPARE(tasks.size(), 3);
    QCOMPARE(tasks.at(0).Subject, QStringLiteral("Daily"));
    QCOMPARE(tasks.at(1).Subject, QStringLiteral("Workday"));
    QCOMPARE(tasks.at(2).Subject, QStringLiteral("No rule at all"));
    QCOMPARE(tasks.at(0).ID, 1);
    QCOMPARE(tasks.at(2).ID, 3);
    // The templates themselves stay as they were.
    QCOMPARE(m_store->tasksOfList(recurrentListKey()).size(), 4);
}

void TestRecurrence::copiesKeepTheTemplatesValues()
{
    const TaskRecord templ = addTemplate(QStringLiteral("0]Stretch"), 45, InProgress);
    QCOMPARE(InjectRecurrentTasks(*m_store, *m_settings, march2024(5)), 1);
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

void TestRecurrence::missedDaysFillOnlyToday()
{
    addTemplate(QStringLiteral("0]Daily"));
    QCOMPARE(InjectRecurrentTasks(*m_store, *m_settings, march2024(5)), 1);
    QCOMPARE(InjectRecurrentTasks(*m_store, *m_settings, march2024(8)), 1);
    QVERIFY(dayList(march2024(6)).isEmpty());
    QVERIFY(dayList(march2024(7)).isEmpty());
    QCOMPARE(dayList(march2024(8)).size(), 1);
    QCOMPARE(general(QStringLiteral("LastRecurrentInjectDay")), QStringLiteral("8"));
}

void TestRecurrence::dateSetBackInjectsAgain()
{
    addTemplate(QStringLiteral("0]Daily"));
    QCOMPARE(InjectRecurrentTasks(*m_store, *m_settings, march2024(5)), 1);
    QCOMPARE(InjectRecurrentTasks(*m_store, *m_settings, march2024(4)), 1);
    QCOMPARE(dayList(march2024(4)).size(), 1);
    // ... and forward again to a day already done: a new run, a second copy.
    QCOMPARE(InjectRecurrentTasks(*m_store, *m_settings, march2024(5)), 1);
    QCOMPARE(dayList(march2024(5)).size(), 2);
}

void TestRecurrence::copiesFollowTheDaysLargestId()
{
    TaskRecord existing;
    existing.ID = 7;
    existing.List = DayListKey(march2024(5));
    existing.Subject = QStringLiteral("Already there");
    m_store->SaveTask(existing, true, existing.List, existing.ID);
    addTemplate(QStringLiteral("0]One"));
    addTemplate(QStringLiteral("0]Two"));

    QCOMPARE(InjectRecurrentTasks(*m_store, *m_settings, march2024(5)), 2);
    QVERIFY(m_store->findTask(existing.List, 8).has_value());
    QCOMPARE(m_store->findTask(existing.List, 8)->Subject, QStringLiteral("One"));
    QCOMPARE(m_store->findTask(existing.List, 9)->Subject, QStringLiteral("Two"));
}

void TestRecurrence::emptyDayKeyRunsEvenWithMonthAndYear()
{
    addTemplate(QStringLiteral("0]Daily"));
    m_settings->Save(SettingsSection::General, QStringLiteral("LastRecurrentInjectMonth"),
                     QStringLiteral("3"));
    m_settings->Save(SettingsSection::General, QStringLiteral("LastRecurrentInjectYear"),
                     QStringLiteral("2024"));
    // Day 0 of March is 29 February, the very day of this run: only the
    // empty day text makes it run.
    QCOMPARE(InjectRecurrentTasks(*m_store, *m_settings, QDate(2024, 2, 29)), 1);
    // Written by hand with leading zeros, the same day still counts as done.
    m_settings->Save(SettingsSection::General, QStringLiteral("LastRecurrentInjectDay"),
                     QStringLiteral("05"));
    m_settings->Save(SettingsSection::General, QStringLiteral("LastRecurrentInjectMonth"),
                     QStringLiteral("03"));
    m_settings->Save(SettingsSection::General, QStringLiteral("LastRecurrentInjectYear"),
                     QStringLiteral("2024"));
    QCOMPARE(InjectRecurrentTasks(*m_store, *m_settings, march2024(5)), 0);
}

QTEST_GUILESS_MAIN(TestRecurrence)
#include "test_recurrence.moc"
