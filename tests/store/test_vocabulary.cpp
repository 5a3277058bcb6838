#include "store/Vocabulary.h"

#include <QTest>

using namespace cdk;

class TestVocabulary final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dayListKey_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("key");
        QTest::newRow("new year") << QDate(2025, 1, 1) << QStringLiteral("01012025");
        QTest::newRow("year end") << QDate(1999, 12, 31) << QStringLiteral("31121999");
        QTest::newRow("leap day") << QDate(2024, 2, 29) << QStringLiteral("29022024");
        QTest::newRow("two-digit year") << QDate(99, 7, 4) << QStringLiteral("040799");
        QTest::newRow("five-digit year") << QDate(10000, 1, 2) << QStringLiteral("020110000");
    }

    void dayListKey()
    {
        QFETCH(QDate, date);
        QFETCH(QString, key);
        QCOMPARE(DayListKey(date), key);
        QCOMPARE(DateFromListKey(key), date);
    }

    void keysThatNameNoDay_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("recurrent") << recurrentListKey();
        QTest::newRow("version row") << QStringLiteral("VER");
        QTest::newRow("empty") << QString();
        QTest::newRow("no such day") << QStringLiteral("30022024");
        QTest::newRow("month 13") << QStringLiteral("01132024");
        QTest::newRow("letter inside") << QStringLiteral("0101202a");
        QTest::newRow("sign") << QStringLiteral("01-12024");
        QTest::newRow("padded year") << QStringLiteral("01010099");
        QTest::newRow("too short") << QStringLiteral("01012");
    }

    void keysThatNameNoDay()
    {
        QFETCH(QString, key);
        QVERIFY(!DateFromListKey(key).isValid());
    }

    void invalidDateHasNoKey() { QCOMPARE(DayListKey(QDate()), QString()); }

    void stateNames()
    {
        QCOMPARE(TaskStateNames(),
                 QStringList({QStringLiteral("Not Started"), QStringLiteral("In Progress"),
                              QStringLiteral("Pending"), QStringLiteral("Delayed"),
                              QStringLiteral("Finished")}));
        QCOMPARE(TaskStateName(Finished), QStringLiteral("Finished"));
        QCOMPARE(TaskStateName(5), QString());
        QCOMPARE(TaskStateName(-1), QString());
    }

    void priorityNames()
    {
        const QStringList highestFirst = PriorityNamesHighestFirst();
        QCOMPARE(highestFirst,
                 QStringList({QStringLiteral("Urgent"), QStringLiteral("Very High"),
                              QStringLiteral("High"), QStringLiteral("Normal"),
                              QStringLiteral("Low"), QStringLiteral("Very Low")}));
        // Position i of the list stands for priority 5 - i.
        for (int i = 0; i < highestFirst.size(); ++i)
            QCOMPARE(PriorityName(5 - i), highestFirst.at(i));
        QCOMPARE(PriorityName(-1), QString());
        QCOMPARE(PriorityName(6), QString());
    }

    void priorityIconKey_data()
    {
        QTest::addColumn<int>("priority");
        QTest::addColumn<bool>("greyed");
        QTest::addColumn<QString>("key");
        QTest::newRow("urgent") << 5 << false << QStringLiteral("URGENTP");
        QTest::newRow("urgent greyed") << 5 << true << QStringLiteral("URGENTGP");
        QTest::newRow("very high") << 4 << false << QStringLiteral("HIGHESTP");
        QTest::newRow("normal") << 2 << false << QStringLiteral("NORMALP");
        QTest::newRow("very low greyed") << 0 << true << QStringLiteral("LOWESTGP");
        QTest::newRow("unknown") << 6 << false << QStringLiteral("P");
        QTest::newRow("unknown greyed") << 6 << true << QStringLiteral("GP");
        QTest::newRow("negative") << -1 << false << QStringLiteral("P");
    }

    void priorityIconKey()
    {
        QFETCH(int, priority);
        QFETCH(bool, greyed);
        QFETCH(QString, key);
        QCOMPARE(PriorityIconKey(priority, greyed), key);
    }
};

QTEST_GUILESS_MAIN(TestVocabulary)
#include "test_vocabulary.moc"
