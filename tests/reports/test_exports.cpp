#include "reports/TaskExport.h"

#include "common/TaskFixtures.h"
#include "reports/ReportFixture.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

using namespace cdk;
namespace week = cdk::test::reportweek;

namespace {

// The file as another program reads it: Python's csv module and the
// icalendar package, through read_exports.py. Any parse error fails.
QJsonArray readBack(const char *kind, const QString &path)
{
    const QString python = QStringLiteral(CHRONODECK_TEST_PYTHON);
    if (python.isEmpty()) {
        qWarning("no python3 with the icalendar module: scripts/install-deps installs it");
        return {};
    }
    QProcess reader;
    reader.start(python,
                 {QStringLiteral(CHRONODECK_READ_EXPORTS), QString::fromLatin1(kind), path});
    if (!reader.waitForFinished(30000) || reader.exitCode() != 0) {
        qWarning("%s", reader.readAllStandardError().constData());
        return {};
    }
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(reader.readAllStandardOutput(), &error);
    if (error.error != QJsonParseError::NoError || !json.isArray())
        return {};
    return json.array();
}

QString categoryName(qint32 id)
{
    switch (id) {
    case 1:
        return QStringLiteral("Work");
    case 2:
        return QStringLiteral("Home, garden");
    default:
        return QStringLiteral("(none)");
    }
}

QDate dayOf(const TaskRecord &task) { return DateFromListKey(task.List); }

} // namespace

class TestExports final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void csvIsReadBackWithEveryField();
    void iCalendarIsReadBackWithEveryField();
    void emptyPeriodsAndUnwritableFiles();
    void formulaLikeCellsAreWrittenAsText();

private:
    std::unique_ptr<test::StoreFixture> m_f;
    QString write(ExportFormat format, const ReportPeriod &period);
};

void TestExports::init()
{
    m_f = std::make_unique<test::StoreFixture>();
    week::fill(m_f->store);
}

QString TestExports::write(ExportFormat format, const ReportPeriod &period)
{
    const QString path = m_f->dir.filePath(QStringLiteral("tasks.") + exportFileSuffix(format));
    QString error;
    if (!exportTasksToFile(m_f->store, period, format, path,
                           QDateTime({2024, 3, 11}, {8, 30}, Qt::UTC), &error))
        qWarning("%s", qPrintable(error));
    return path;
}

void TestExports::csvIsReadBackWithEveryField()
{
    const QString path = write(ExportFormat::Csv, ReportPeriod::week(week::monday(), QLocale::c()));
    const QJsonArray rows = readBack("csv", path);
    const QList<TaskRecord> tasks = week::tasksOfTheWeek();
    QCOMPARE(rows.size(), tasks.size());
    for (int i = 0; i < tasks.size(); ++i) {
        const TaskRecord &t = tasks[i];
        const QJsonObject row = rows[i].toObject();
        QCOMPARE(row[QStringLiteral("Date")].toString(), dayOf(t).toString(Qt::ISODate));
        QCOMPARE(row[QStringLiteral("Subject")].toString(), t.Subject);
        QCOMPARE(row[QStringLiteral("Category")].toString(), categoryName(t.Category));
        QCOMPARE(row[QStringLiteral("Priority")].toString(), PriorityName(t.Priority));
        QCOMPARE(row[QStringLiteral("State")].toString(), TaskStateName(t.State));
        QCOMPARE(row[QStringLiteral("Budget minutes")].toString(), QString::number(t.Duration));
        QCOMPARE(row[QStringLiteral("Done seconds")].toString(),
                 QString::number(t.FinishedDuration * 60 + t.FinishedSeconds));
    }
}

void TestExports::iCalendarIsReadBackWithEveryField()
{
    const QString path
        = write(ExportFormat::ICalendar, ReportPeriod::week(week::monday(), QLocale::c()));
    const QJsonArray todos = readBack("ics", path);
    const QList<TaskRecord> tasks = week::tasksOfTheWeek();
    QCOMPARE(todos.size(), tasks.size());
    const QStringList statuses = {QStringLiteral("NEEDS-ACTION"), QStringLiteral("IN-PROCESS"),
                                  QStringLiteral("NEEDS-ACTION"), QStringLiteral("NEEDS-ACTION"),
                                  QStringLiteral("COMPLETED")};
    const int percents[] = {100, 25, 100, 0, 50, 75, 0, 0};
    const int priorities[] = {9, 7, 5, 3, 2, 1}; // by Chronodeck's priority, Very Low first
    QSet<QString> uids;
    for (int i = 0; i < tasks.size(); ++i) {
        const TaskRecord &t = tasks[i];
        const QJsonObject todo = todos[i].toObject();
        QCOMPARE(todo[QStringLiteral("summary")].toString(), t.Subject);
        QCOMPARE(todo[QStringLiteral("due")].toString(), dayOf(t).toString(Qt::ISODate));
        QCOMPARE(todo[QStringLiteral("status")].toString(), statuses[t.State]);
        QCOMPARE(todo[QStringLiteral("percent")].toInt(), percents[i]);
        QCOMPARE(todo[QStringLiteral("priority")].toInt(), priorities[t.Priority]);
        // A deleted category is no category to a calendar.
        const QJsonArray categories = todo[QStringLiteral("categories")].toArray();
        QCOMPARE(categories.size(), t.Category == 3 ? 0 : 1);
        if (!categories.isEmpty())
            QCOMPARE(categories[0].toString(), categoryName(t.Category));
        QCOMPARE(todo[QStringLiteral("state")].toString(), TaskStateName(t.State));
        QCOMPARE(todo[QStringLiteral("budget")].toInt(), t.Duration);
        QCOMPARE(todo[QStringLiteral("done")].toInt(), t.FinishedDuration * 60 + t.FinishedSeconds);
        uids.insert(todo[QStringLiteral("uid")].toString());
    }
    QCOMPARE(uids.size(), tasks.size());
}

void TestExports::emptyPeriodsAndUnwritableFiles()
{
    const ReportPeriod tuesday = ReportPeriod::day(week::monday().addDays(1));
    QBuffer csv;
    csv.open(QIODevice::WriteOnly);
    QCOMPARE(writeTaskExport(m_f->store, tuesday, ExportFormat::Csv, csv, QDateTime()), 0);
    QCOMPARE(csv.data(),
             QByteArray("Date,Subject,Category,Priority,State,Budget minutes,"
                        "Done seconds\r\n"));
    QCOMPARE(readBack("ics", write(ExportFormat::ICalendar, tuesday)).size(), 0);
    QVERIFY(QFile::exists(m_f->dir.filePath(QStringLiteral("tasks.ics"))));

    QString error;
    const QString nowhere = m_f->dir.filePath(QStringLiteral("missing/tasks.csv"));
    QVERIFY(
        !exportTasksToFile(m_f->store, tuesday, ExportFormat::Csv, nowhere, QDateTime(), &error));
    QVERIFY2(error.contains(QStringLiteral("tasks.csv")), qPrintable(error));
}

// A spreadsheet runs a cell that starts like a formula: a subject or a
// category name from anyone must come out as text, the figures as numbers.
void TestExports::formulaLikeCellsAreWrittenAsText()
{
    const QDate tuesday = week::monday().addDays(1);
    CategoryRecord category {1, QStringLiteral("=HYPERLINK(\"http://x\",\"y\")"), -1, -1, {}, {}};
    QVERIFY(m_f->store.UpdateCategory(category));
    const QStringList subjects = {QStringLiteral("=1+2"),     QStringLiteral("+SUM(A1:A9)"),
                                  QStringLiteral("-2+3"),     QStringLiteral("@cmd"),
                                  QStringLiteral("\t=1+2"),   QStringLiteral("\r=1+2"),
                                  QStringLiteral("plain -1"), QStringLiteral("-")};
    for (int i = 0; i < subjects.size(); ++i) {
        TaskRecord t = week::task(1, i + 1, subjects[i], 1, 30, 0, NotStarted);
        if (i == 0) {
            t.Duration = -10; // a damaged file's figures stay figures
            t.FinishedDuration = -1;
        }
        m_f->add(t);
    }
    const QJsonArray rows = readBack("csv", write(ExportFormat::Csv, ReportPeriod::day(tuesday)));
    QCOMPARE(rows.size(), subjects.size());
    for (int i = 0; i < subjects.size(); ++i) {
        const QJsonObject row = rows[i].toObject();
        const QString subject = subjects[i];
        const bool formula = i != 6;
        QCOMPARE(row[QStringLiteral("Subject")].toString(),
                 formula ? QLatin1Char('\'') + subject : subject);
        QCOMPARE(row[QStringLiteral("Category")].toString(), QLatin1Char('\'') + category.Name);
        QCOMPARE(row[QStringLiteral("Priority")].toString(), QStringLiteral("Normal"));
    }
    QCOMPARE(rows[0].toObject()[QStringLiteral("Budget minutes")].toString(),
             QStringLiteral("-10"));
    QCOMPARE(rows[0].toObject()[QStringLiteral("Done seconds")].toString(), QStringLiteral("-60"));
}

QTEST_GUILESS_MAIN(TestExports)
#include "test_exports.moc"
