#include "view/TaskGridModel.h"
#include "view/DaySummary.h"

#include "common/TaskFixtures.h"

#include <QAbstractItemModelTester>
#include <QGuiApplication>
#include <QPalette>
#include <QTest>

using namespace cdk;

namespace {

TaskRecord task(qint32 id, const QString &subject, int priority, int state = NotStarted,
                qint32 duration = 30, qint32 done = 0)
{
    return test::makeTask(id, subject, duration, done, state, priority);
}

TaskGridRow row(const TaskRecord &t, const DisplayFlags &flags = {}, bool ascending = true,
                std::pair<qint32, qint32> colours = {-1, -1})
{
    return makeTaskGridRow(t, QStringLiteral("Work"), colours, flags, ascending);
}

QList<qint32> idsInOrder(const TaskGridModel &model)
{
    QList<qint32> ids;
    for (int r = 0; r < model.rowCount(); ++r)
        ids.append(model.index(r, 0).data(TaskGridModel::TaskIdRole).toInt());
    return ids;
}

const QDate kToday(2024, 3, 5);

// "done needed/worked" per task, e.g. "0 120/45": open, 120 minutes needed,
// 45 worked. The keys carry the grouping prefix, which must not count.
QList<DaySummaryRow> rows(const QString &tasks)
{
    QList<DaySummaryRow> list;
    for (const QString &task : tasks.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const bool finished = task.trimmed().startsWith(QLatin1Char('1'));
        const QString prefix = finished ? QStringLiteral("Z") : QStringLiteral("A");
        const QStringList minutes = task.trimmed().mid(2).split(QLatin1Char('/'));
        auto key = [&prefix](const QString &m) {
            return prefix + m.rightJustified(11, QLatin1Char('0'));
        };
        list.append({finished ? QStringLiteral("CHECK") : QStringLiteral("UNCHECK"),
                     key(minutes.at(0)), key(minutes.at(1))});
    }
    return list;
}

} // namespace

class TestTaskGridModel final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rowCellsAndKeys()
    {
        const TaskGridRow r = row(task(7, QStringLiteral("Write Report"), 5, InProgress, 75, 30));
        QCOMPARE(r.id, 7);
        QCOMPARE(r.iconKey[ColCheckbox - 1], QStringLiteral("UNCHECK"));
        QCOMPARE(r.key[ColCheckbox - 1], QStringLiteral("0"));
        QCOMPARE(r.text[ColTimeNeeded - 1], QStringLiteral("1:15"));
        QCOMPARE(r.key[ColTimeDone - 1], QStringLiteral("00000000030"));
        QCOMPARE(r.text[ColPercentDone - 1], QStringLiteral("40%"));
        QCOMPARE(r.key[ColPercentDone - 1], QStringLiteral("040"));
        QCOMPARE(r.text[ColTaskState - 1], QStringLiteral("In Progress"));
        QCOMPARE(r.key[ColTaskState - 1], QStringLiteral("in progress"));
        QCOMPARE(r.key[ColCategory - 1], QStringLiteral("work"));
        QCOMPARE(r.text[ColPriority - 1], QStringLiteral("Urgent"));
        QCOMPARE(r.iconKey[ColPriority - 1], QStringLiteral("URGENTP"));

        const TaskGridRow done = row(task(8, QStringLiteral("x"), 2, Finished, 30, 30));
        QCOMPARE(done.key[ColCheckbox - 1], QStringLiteral("1"));
        QCOMPARE(done.iconKey[ColPriority - 1], QStringLiteral("NORMALGP"));
    }

    void percentDone_data()
    {
        QTest::addColumn<int>("duration");
        QTest::addColumn<int>("done");
        QTest::addColumn<QString>("text");
        QTest::newRow("no budget") << 0 << 10 << QStringLiteral("0%");
        QTest::newRow("third") << 3 << 1 << QStringLiteral("33%");
        QTest::newRow("half rounds up") << 200 << 1 << QStringLiteral("1%");
        QTest::newRow("beyond budget capped") << 30 << 45 << QStringLiteral("100%");
    }
    void percentDone()
    {
        QFETCH(int, duration);
        QFETCH(int, done);
        QFETCH(QString, text);
        QCOMPARE(GridPercentDone(duration, done), text);
    }

    void sortingWithTies_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("ascending");
        QTest::addColumn<QList<qint32>>("expected");
        // 1 "b" normal, 2 "a" low, 3 "b" urgent, 4 "a" high; durations 10, 20, 10, 30
        QTest::newRow("subject asc, ties by priority key")
            << int(ColSubject) << true << QList<qint32>{4, 2, 3, 1};
        QTest::newRow("subject desc, ties still by priority")
            << int(ColSubject) << false << QList<qint32>{3, 1, 4, 2};
        QTest::newRow("duration asc, ties by subject")
            << int(ColTimeNeeded) << true << QList<qint32>{3, 1, 2, 4};
        QTest::newRow("duration desc") << int(ColTimeNeeded) << false << QList<qint32>{4, 2, 3, 1};
        QTest::newRow("priority asc: urgent first")
            << int(ColPriority) << true << QList<qint32>{3, 4, 1, 2};
    }
    void sortingWithTies()
    {
        QFETCH(int, column);
        QFETCH(bool, ascending);
        QFETCH(QList<qint32>, expected);
        TaskGridModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setRows({row(task(1, QStringLiteral("b"), 2, NotStarted, 10)),
                       row(task(2, QStringLiteral("a"), 1, NotStarted, 20)),
                       row(task(3, QStringLiteral("B"), 5, NotStarted, 10)),
                       row(task(4, QStringLiteral("A"), 3, NotStarted, 30))});
        model.sortRows(column, ascending);
        QCOMPARE(idsInOrder(model), expected);
    }

    void sortIsStable()
    {
        TaskGridModel model;
        QList<TaskGridRow> rows;
        for (int id = 1; id <= 6; ++id)
            rows.append(row(task(id, QStringLiteral("same"), 2)));
        model.setRows(rows);
        model.sortRows(ColCategory, false);
        QCOMPARE(idsInOrder(model), (QList<qint32>{1, 2, 3, 4, 5, 6}));
    }

    void sortKeepsSelectionOnItsRows()
    {
        TaskGridModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setRows({row(task(1, QStringLiteral("c"), 2)), row(task(2, QStringLiteral("a"), 2)),
                       row(task(3, QStringLiteral("b"), 2))});
        const QPersistentModelIndex first(model.index(0, 1));
        model.sortRows(ColSubject, true);
        QCOMPARE(first.row(), 2);
        QCOMPARE(first.data(TaskGridModel::TaskIdRole).toInt(), 1);
    }

    void coloursAndFonts()
    {
        TaskGridModel model;
        QFont base(QStringLiteral("Sans"), 9);
        base.setBold(true);
        model.setBaseFont(base);
        DisplayFlags coloured;
        DisplayFlags plain;
        plain.DisableTaskColoring = true;
        const qint32 red = 0x0000ff;    // R + 256 G + 65536 B
        const qint32 yellow = 0x00ffff;
        model.setRows(
            {row(task(1, QStringLiteral("a"), 2), coloured, true, {red, yellow}),
             row(task(2, QStringLiteral("b"), 2), coloured, true, {-1, -1}),
             row(task(3, QStringLiteral("c"), 2), plain, true, {red, yellow}),
             row(task(4, QStringLiteral("d"), 2, Finished), coloured, true, {red, yellow})});
        const int subject = ColSubject - 1;

        QVERIFY(model.index(0, subject).data(Qt::ForegroundRole).isValid());
        // -1 leaves the grid's own colours.
        QVERIFY(!model.index(1, subject).data(Qt::ForegroundRole).isValid());
        QVERIFY(!model.index(1, subject).data(Qt::BackgroundRole).isValid());
        QVERIFY(!model.index(2, subject).data(Qt::ForegroundRole).isValid());

        const QPalette pal = QGuiApplication::palette();
        QCOMPARE(model.index(3, subject).data(Qt::ForegroundRole).value<QBrush>().color(),
                 pal.color(QPalette::Disabled, QPalette::Text));
        QCOMPARE(model.index(3, subject).data(Qt::BackgroundRole).value<QBrush>().color(),
                 pal.color(QPalette::Button));
        const QFont struck = model.index(3, subject).data(Qt::FontRole).value<QFont>();
        QVERIFY(struck.strikeOut());
        QVERIFY(!struck.bold());
        QVERIFY(!model.index(0, subject).data(Qt::FontRole).isValid());
        // The check-box cell keeps the grid's look.
        QVERIFY(!model.index(3, ColCheckbox - 1).data(Qt::FontRole).isValid());
        QVERIFY(!model.index(0, ColCheckbox - 1).data(Qt::BackgroundRole).isValid());
    }

    void sortArrows()
    {
        TaskGridModel model;
        auto headerKey = [&model](int column) {
            return model.headerData(column - 1, Qt::Horizontal, TaskGridModel::IconKeyRole)
                .toString();
        };
        model.setSortIndicator(ColTimeDone, true);
        QCOMPARE(headerKey(ColCheckbox), QStringLiteral("CHECKBOX"));
        QCOMPARE(headerKey(ColTimeDone), QStringLiteral("SORTDOWN"));
        model.setSortIndicator(ColPriority, false);
        QCOMPARE(headerKey(ColTimeDone), QString());
        QCOMPARE(headerKey(ColPriority), QStringLiteral("SORTUP"));
        // Sorting by the check-box column shows no arrow anywhere.
        model.setSortIndicator(ColCheckbox, true);
        for (int c = ColSubject; c <= ColPriority; ++c)
            QCOMPARE(headerKey(c), QString());
        QCOMPARE(headerKey(ColCheckbox), QStringLiteral("CHECKBOX"));
    }

    void rowChangesPassTheModelTester()
    {
        TaskGridModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.appendRow(row(task(1, QStringLiteral("a"), 2)));
        model.appendRow(row(task(2, QStringLiteral("b"), 2)));
        model.setRowChecked(1, true);
        QCOMPARE(model.index(1, 0).data(TaskGridModel::IconKeyRole).toString(),
                 QStringLiteral("CHECK"));
        model.replaceRow(0, row(task(1, QStringLiteral("renamed"), 4)));
        QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("renamed"));
        QCOMPARE(model.rowOfId(2), 1);
        QCOMPARE(model.rowOfId(99), -1);
        model.clear();
        QCOMPARE(model.rowCount(), 0);
    }

    void summary_data()
    {
        QTest::addColumn<QString>("tasks");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("maximum"); // 0: bar and labels hidden
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("done");
        QTest::addColumn<QString>("left");
        QTest::newRow("empty") << "" << "  Today  [No tasks]" << 0 << 0 << "" << "";
        QTest::newRow("finished") << "1 60/60, 1 30/30" << "  Today  [No tasks]" << 90 << 90
                                  << "1 hours, 30 minutes done" << "Everything done!";
        // Work beyond a budget counts up to the budget only.
        QTest::newRow("mixed") << "0 120/45, 1 30/50, 0 15/0" << "  Today  [2 tasks left]" << 165
                               << 75 << "1 hours, 15 minutes done" << "1 hours, 30 minutes left";
        QTest::newRow("nothing done shows a sliver")
            << "0 45/0" << "  Today  [1 tasks left]" << 45 << 1 << "0 minutes done"
            << "45 minutes left";
        QTest::newRow("zero budgets") << "0 0/0, 0 0/5" << "  Today  [2 tasks left]" << 0 << 0 << ""
                                      << "";
    }
    void summary()
    {
        QFETCH(QString, tasks);
        QFETCH(QString, caption);
        QFETCH(int, maximum);
        QFETCH(int, value);
        QFETCH(QString, done);
        QFETCH(QString, left);
        const DaySummary s = computeDaySummary(rows(tasks), kToday, kToday);
        QCOMPARE(s.caption, caption);
        QCOMPARE(s.progressVisible, maximum > 0);
        QCOMPARE(s.labelsVisible, maximum > 0);
        if (maximum > 0) {
            QCOMPARE(s.progressMaximum, maximum);
            QCOMPARE(s.progressValue, value);
            QCOMPARE(s.doneText, done);
            QCOMPARE(s.leftText, left);
        }
    }

    void otherDayUsesTheShortDate()
    {
        const DaySummary s
            = computeDaySummary(rows(QStringLiteral("0 30/0, 0 15/0")), kToday.addDays(1), kToday,
                                QStringLiteral("06/03/2024"));
        QCOMPARE(s.caption, QStringLiteral("  06/03/2024 [2 tasks left]"));
    }
};

QTEST_MAIN(TestTaskGridModel)
#include "test_task_grid_model.moc"
