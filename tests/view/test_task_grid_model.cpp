#include "view/TaskGridModel.h"
#include "core/DaySummary.h"
#include "core/PercentDone.h"

#include "common/DarkPalette.h"
#include "common/TaskFixtures.h"
#include "controls/Contrast.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPalette>
#include <QStyle>
#include <QTest>

#include <memory>

using namespace cdk;
using namespace Qt::StringLiterals;

namespace {

TaskRecord task(qint32 id, const QString &subject, int priority, int state = NotStarted,
                qint32 duration = 30, qint32 done = 0)
{
    return test::makeTask(id, subject, duration, done, state, priority);
}

// Category 1 "Work" in the given colours.
QHash<qint32, CategoryLook> work(qint32 fore = -1, qint32 back = -1)
{
    return {{1, {QStringLiteral("Work"), fore, back}}};
}

QList<qint32> idsInOrder(const TaskGridModel &model)
{
    QList<qint32> ids;
    for (int r = 0; r < model.rowCount(); ++r)
        ids.append(model.index(r, 0).data(TaskGridModel::TaskIdRole).toInt());
    return ids;
}

const QDate kToday(2024, 3, 5);

// The program in the style's own light palette, or in a desktop's dark one,
// while this lives.
class PaletteScope
{
public:
    explicit PaletteScope(bool dark)
        : m_original(QApplication::palette())
    {
        const QPalette light = QApplication::style()->standardPalette();
        QApplication::setPalette(dark ? test::darkPalette(light) : light);
    }
    ~PaletteScope() { QApplication::setPalette(m_original); }

private:
    QPalette m_original;
};

// "done needed/worked" per task, e.g. "0 120/45": open, 120 minutes needed,
// 45 worked.
QList<TaskRecord> rows(const QString &tasks)
{
    QList<TaskRecord> list;
    for (const QString &text : tasks.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const bool finished = text.trimmed().startsWith(QLatin1Char('1'));
        const QStringList minutes = text.trimmed().mid(2).split(QLatin1Char('/'));
        list.append(task(int(list.size()) + 1, QStringLiteral("t"), 2,
                         finished ? Finished : InProgress, minutes.at(0).toInt(),
                         minutes.at(1).toInt()));
    }
    return list;
}

} // namespace

class TestTaskGridModel final : public QObject
{
    Q_OBJECT

    // The default categories with one open task each, then a finished task.
    QHash<qint32, CategoryLook> m_categories;
    std::unique_ptr<TaskGridModel> m_rows;

    void paletteRows(bool withFinished)
    {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<int>("row");
        for (const bool dark : {false, true}) {
            for (int r = 0; r < m_rows->rowCount(); ++r) {
                const bool finished = m_rows->record(r).State == Finished;
                if (finished && !withFinished)
                    continue;
                const QString name = finished ? u"finished"_s : m_rows->cellText(r, ColCategory);
                QTest::addRow("%s %s", qPrintable(name), dark ? "dark" : "light") << dark << r;
            }
        }
    }
    // The colours a subject cell is drawn in: the row's, else the palette's.
    QColor shownText(int row) const
    {
        const QVariant fore = m_rows->index(row, ColSubject - 1).data(Qt::ForegroundRole);
        return fore.isValid() ? fore.value<QBrush>().color()
                              : QApplication::palette().color(QPalette::Text);
    }
    QColor shownBack(int row) const
    {
        const QVariant back = m_rows->index(row, ColSubject - 1).data(Qt::BackgroundRole);
        return back.isValid() ? back.value<QBrush>().color()
                              : QApplication::palette().color(QPalette::Base);
    }

private Q_SLOTS:
    void initTestCase()
    {
        test::StoreFixture fx;
        QList<TaskRecord> tasks;
        for (const CategoryRecord &c : fx.store.categories()) {
            m_categories.insert(c.ID, {c.Name, c.ForeColor, c.BackColor});
            TaskRecord t = task(c.ID, c.Name, 2);
            t.Category = c.ID;
            tasks.append(t);
        }
        QCOMPARE(tasks.size(), 8);
        TaskRecord done = task(9, u"Done"_s, 4, Finished);
        done.Category = 1;
        tasks.append(done);
        m_rows = std::make_unique<TaskGridModel>();
        m_rows->setTasks(tasks, m_categories);
    }

    void rowCellsAndKeys()
    {
        TaskGridModel m;
        TaskRecord gone = task(9, QStringLiteral("y"), 2);
        gone.Category = 77;
        m.setTasks({task(7, QStringLiteral("Write Report"), 5, InProgress, 75, 30),
                    task(8, QStringLiteral("x"), 2, Finished, 30, 30), gone},
                   work());
        QCOMPARE(m.index(0, 0).data(TaskGridModel::TaskIdRole).toInt(), 7);
        QCOMPARE(m.cellIconKey(0, ColCheckbox), QStringLiteral("UNCHECK"));
        QCOMPARE(m.cellText(0, ColTimeNeeded), QStringLiteral("1:15"));
        QCOMPARE(m.cellText(0, ColPercentDone), QStringLiteral("40%"));
        QCOMPARE(m.cellKey(0, ColPercentDone), QStringLiteral("040")); // sorts as a number
        QCOMPARE(m.cellText(0, ColTaskState), QStringLiteral("In Progress"));
        QCOMPARE(m.cellText(0, ColPriority), QStringLiteral("Urgent"));
        QCOMPARE(m.cellIconKey(0, ColPriority), QStringLiteral("URGENTP"));
        QCOMPARE(m.cellIconKey(1, ColPriority), QStringLiteral("NORMALGP"));
        // A deleted category shows as none.
        QCOMPARE(m.cellText(2, ColCategory), QStringLiteral("(none)"));
    }

    // A cell and its tooltip show the start of a long subject: laying out
    // megabytes of text would stall the window for seconds. Copying the
    // subject takes it whole.
    void longSubjectsAreCutOnScreen()
    {
        TaskGridModel m;
        const QString subject = QString(100000, u'w') + u" end"_s;
        m.setTasks({task(1, subject, 2), task(2, u"short"_s, 2)}, work());
        const QString shown = m.index(0, ColSubject - 1).data().toString();
        QVERIFY2(shown.size() < 2000, qPrintable(QString::number(shown.size())));
        QVERIFY(shown.endsWith(QChar(0x2026)));
        QVERIFY(subject.startsWith(shown.chopped(1)));
        QVERIFY(m.index(0, ColSubject - 1).data(Qt::ToolTipRole).toString().size() < 2100);
        QCOMPARE(m.index(1, ColSubject - 1).data().toString(), u"short"_s);
        QCOMPARE(m.cellText(0, ColSubject), subject);
    }

    // The grid shows the share done by the rule the command line and the
    // tracking panel use (its cases: the tracker's test).
    void percentDoneFollowsTheSharedRule()
    {
        const QList<std::pair<int, int>> budgets = {{0, 10}, {200, 1}, {30, 45}, {-10, 17}};
        QList<TaskRecord> tasks;
        for (const auto &[duration, done] : budgets)
            tasks.append(task(int(tasks.size()) + 1, u"Share"_s, 2, InProgress, duration, done));
        TaskGridModel m;
        m.setTasks(tasks, work());
        for (int r = 0; r < m.rowCount(); ++r)
            QCOMPARE(m.cellText(r, ColPercentDone),
                     GetPercentDone(m.record(r).Duration, m.record(r).FinishedDuration));
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
        model.setTasks({task(1, QStringLiteral("b"), 2, NotStarted, 10),
                        task(2, QStringLiteral("a"), 1, NotStarted, 20),
                        task(3, QStringLiteral("B"), 5, NotStarted, 10),
                        task(4, QStringLiteral("A"), 3, NotStarted, 30)},
                       work());
        model.sortRows(column, ascending);
        QCOMPARE(idsInOrder(model), expected);
    }

    void sortIsStable()
    {
        TaskGridModel model;
        QList<TaskRecord> tasks;
        for (int id = 1; id <= 6; ++id)
            tasks.append(task(id, QStringLiteral("same"), 2));
        model.setTasks(tasks, work());
        model.sortRows(ColCategory, false);
        QCOMPARE(idsInOrder(model), (QList<qint32>{1, 2, 3, 4, 5, 6}));
    }

    void coloursAndFonts()
    {
        TaskGridModel model;
        QFont base(QStringLiteral("Sans"), 9);
        base.setBold(true);
        model.setBaseFont(base);
        // Category colours as stored (checked through the store on the grid's test).
        model.setTasks({task(1, QStringLiteral("a"), 2), task(2, QStringLiteral("b"), 2),
                        task(3, QStringLiteral("d"), 2, Finished)},
                       work(0x0000ff, 0x00ffff));
        const int subject = ColSubject - 1;
        QVERIFY(model.index(1, subject).data(Qt::ForegroundRole).isValid());
        DisplayFlags plain;
        plain.DisableTaskColoring = true;
        model.setDisplay(plain, true);
        QVERIFY(!model.index(1, subject).data(Qt::ForegroundRole).isValid());

        // A finished row: the grey text (made readable, see below) on the
        // button face.
        QCOMPARE(model.index(2, subject).data(Qt::BackgroundRole).value<QBrush>().color(),
                 QGuiApplication::palette().color(QPalette::Button));
        const QFont struck = model.index(2, subject).data(Qt::FontRole).value<QFont>();
        QVERIFY(struck.strikeOut());
        QVERIFY(!struck.bold());
        QVERIFY(!model.index(0, subject).data(Qt::FontRole).isValid());
        // The check-box cell keeps the grid's look.
        QVERIFY(!model.index(2, ColCheckbox - 1).data(Qt::FontRole).isValid());
        QVERIFY(!model.index(0, ColCheckbox - 1).data(Qt::BackgroundRole).isValid());
    }

    // Every category a new database comes with, and a finished row, as the
    // grid shows them on a light and on a dark palette. The model is made
    // before any palette is set: one changed while the program runs is the
    // one the rows are drawn in.
    void rowsReadOnLightAndDarkPalettes_data() { paletteRows(true); }
    void rowsReadOnLightAndDarkPalettes()
    {
        QFETCH(bool, dark);
        QFETCH(int, row);
        PaletteScope scope(dark);
        const QColor text = shownText(row);
        const QColor under = shownBack(row);
        QVERIFY2(contrastRatio(text, under) >= 4.5,
                 qPrintable(text.name() + u" on "_s + under.name()));
        // The row's text keeps the palette's polarity: light on dark.
        QCOMPARE(relativeLuminance(text) > relativeLuminance(under), dark);
        // The priority picture on the same row: its ink, where it is most
        // opaque, stands out from the row (3:1, as for graphics).
        const QIcon icon
            = m_rows->index(row, ColPriority - 1).data(Qt::DecorationRole).value<QIcon>();
        const QImage image = icon.pixmap(QSize(16, 16)).toImage();
        QRgb ink = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) > qAlpha(ink))
                    ink = image.pixel(x, y);
        QVERIFY(qAlpha(ink) > 200);
        QVERIFY2(contrastRatio(QColor::fromRgb(ink), under) >= 3.0, qPrintable(under.name()));
    }

    // A category keeps its hue; a light palette shows its colour as stored,
    // a dark one a deep shade under the palette's light text instead of a
    // glaring pastel.
    void categoryColoursSuitThePalette_data() { paletteRows(false); }
    void categoryColoursSuitThePalette()
    {
        QFETCH(bool, dark);
        QFETCH(int, row);
        PaletteScope scope(dark);
        const qint32 back = m_categories.value(m_rows->record(row).Category).backColor;
        const QColor stored = TaskGridModel::colourFromValue(back);
        const QColor shown = shownBack(row);
        if (!dark) {
            QCOMPARE(shown, stored);
            return;
        }
        const int turn = qAbs(QColor(shown.rgb()).hslHue() - stored.hslHue());
        QVERIFY2(qMin(turn, 360 - turn) <= 15,
                 qPrintable(shown.name() + u" for "_s + stored.name()));
        // The palette's own light text reads on it.
        QVERIFY2(contrastRatio(shown, QApplication::palette().color(QPalette::Text)) >= 4.5,
                 qPrintable(shown.name()));
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
        model.setTasks({task(1, QStringLiteral("a"), 2), task(2, QStringLiteral("b"), 2)}, work());
        QVERIFY(model.updateTask(task(2, QStringLiteral("b"), 2, Finished)));
        QCOMPARE(model.index(1, 0).data(TaskGridModel::IconKeyRole).toString(),
                 QStringLiteral("CHECK"));
        QVERIFY(model.updateTask(task(1, QStringLiteral("renamed"), 4)));
        QVERIFY(!model.updateTask(task(99, QStringLiteral("not shown"), 4)));
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
};

QTEST_MAIN(TestTaskGridModel)
#include "test_task_grid_model.moc"
