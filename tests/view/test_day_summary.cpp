#include "view/DaySummary.h"

#include <QTest>

using namespace cdk;

namespace {

const QDate kToday(2024, 3, 5);

DaySummaryRow row(bool finished, qint64 needed, qint64 done, const QString &prefix = {})
{
    auto key = [&prefix](qint64 m) -> QString { return prefix + QStringLiteral("%1").arg(m, 11, 10, QLatin1Char('0')); };
    return {finished ? QStringLiteral("CHECK") : QStringLiteral("UNCHECK"), key(needed), key(done)};
}

} // namespace

class TestDaySummary final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void emptyDay()
    {
        const DaySummary s = computeDaySummary({}, kToday, kToday, QStringLiteral("05/03/2024"));
        QCOMPARE(s.caption, QStringLiteral("  Today  [No tasks]"));
        QVERIFY(!s.progressVisible);
        QVERIFY(!s.labelsVisible);
    }

    void otherDayUsesTheShortDate()
    {
        const DaySummary s = computeDaySummary({row(false, 30, 0), row(false, 15, 0)},
                                               kToday.addDays(1), kToday, QStringLiteral("06/03/2024"));
        QCOMPARE(s.caption, QStringLiteral("  06/03/2024 [2 tasks left]"));
    }

    void finishedDay()
    {
        const DaySummary s = computeDaySummary({row(true, 60, 60), row(true, 30, 30)}, kToday, kToday);
        QCOMPARE(s.caption, QStringLiteral("  Today  [No tasks]"));
        QVERIFY(s.progressVisible);
        QCOMPARE(s.progressMaximum, 90);
        QCOMPARE(s.progressValue, 90);
        QVERIFY(s.labelsVisible);
        QCOMPARE(s.doneText, QStringLiteral("1 hours, 30 minutes done"));
        QCOMPARE(s.leftText, QStringLiteral("Everything done!"));
    }

    void mixedDayCapsWorkBeyondTheBudget()
    {
        // 120 needed / 45 done (counted 45), 30 needed / 50 done (counted 30),
        // 15 needed / 0 done; the grouping prefix must not change the numbers.
        const DaySummary s = computeDaySummary(
            {row(false, 120, 45, QStringLiteral("A")), row(true, 30, 50, QStringLiteral("Z")),
             row(false, 15, 0, QStringLiteral("A"))},
            kToday, kToday);
        QCOMPARE(s.tasksLeft, 2);
        QCOMPARE(s.caption, QStringLiteral("  Today  [2 tasks left]"));
        QCOMPARE(s.totalNeeded, 165);
        QCOMPARE(s.totalDone, 75);
        QCOMPARE(s.progressMaximum, 165);
        QCOMPARE(s.progressValue, 75);
        QCOMPARE(s.doneText, QStringLiteral("1 hours, 15 minutes done"));
        QCOMPARE(s.leftText, QStringLiteral("1 hours, 30 minutes left"));
    }

    void nothingDoneShowsASliver()
    {
        const DaySummary s = computeDaySummary({row(false, 45, 0)}, kToday, kToday);
        QVERIFY(s.progressVisible);
        QCOMPARE(s.progressValue, 1);
        QCOMPARE(s.progressMaximum, 45);
        QVERIFY(s.labelsVisible);
        QCOMPARE(s.doneText, QStringLiteral("0 minutes done"));
        QCOMPARE(s.leftText, QStringLiteral("45 minutes left"));
    }

    void zeroBudgetTasksHideTheBarAndLabels()
    {
        const DaySummary s = computeDaySummary({row(false, 0, 0), row(false, 0, 5)}, kToday, kToday);
        QCOMPARE(s.caption, QStringLiteral("  Today  [2 tasks left]"));
        QVERIFY(!s.progressVisible);
        QVERIFY(!s.labelsVisible);
    }
};

QTEST_GUILESS_MAIN(TestDaySummary)
#include "test_day_summary.moc"
