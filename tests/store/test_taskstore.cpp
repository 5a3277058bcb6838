#include "store/TaskStore.h"
#include "store/Vocabulary.h"

#include "common/FileBytes.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace cdk;
using test::fileBytes;

namespace {

TaskRecord task(qint32 id, const QString &list, qint32 duration = 30, qint32 done = 0,
                quint8 seconds = 0)
{
    TaskRecord t;
    t.ID = id;
    t.List = list;
    t.Subject = QStringLiteral("task %1").arg(id);
    t.Category = 2;
    t.Duration = duration;
    t.FinishedDuration = done;
    t.FinishedSeconds = seconds;
    t.State = InProgress;
    t.Priority = 3;
    return t;
}

const QString kDay = QStringLiteral("05032024");
const QString kNextDay = QStringLiteral("06032024");

constexpr const char *kEmptiesTheNextDay
    = "CREATE TRIGGER Tidy AFTER INSERT ON Chronodeck "
      "BEGIN DELETE FROM Chronodeck WHERE List = '06032024'; END";

} // namespace

class TestTaskStore final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TaskStore> m_store;

    QString dbPath() const { return m_dir->filePath(TaskStore::databaseFileName()); }
    sql::Database &db() { return m_store->database(); }
    QVariant value(const QString &sql) { return db().scalar(sql); }

    // Writes a task file that is then damaged or locked; the store is closed.
    void makeFileWithTasks(int count)
    {
        m_store->OpenTaskDatabase();
        for (int i = 1; i <= count; ++i)
            m_store->SaveTask(task(i, kDay), true, {}, 0);
        m_store->Close();
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_store = std::make_unique<TaskStore>(m_dir->path() + QLatin1Char('/'));
    }

    void cleanup()
    {
        m_store.reset();
        m_dir.reset();
    }

    void newFileHasSchemaAndDefaults()
    {
        m_store->OpenTaskDatabase();
        QCOMPARE(m_store->DatabasePath(), dbPath());
        QVERIFY(QFile::exists(dbPath()));
        const auto columns = [this](const char *table) {
            return value(
                       QStringLiteral("SELECT group_concat(name, ' ') FROM pragma_table_info('%1')")
                           .arg(QLatin1String(table)))
                .toString();
        };
        QCOMPARE(
            columns("Chronodeck"),
            QStringLiteral("ID List Subject Category Duration FinishedDuration FinishedSeconds "
                           "State Priority TaskData1 TaskData2 TaskData3 TaskData4"));
        QCOMPARE(columns("CategoryList"),
                 QStringLiteral("ID Name BackColor ForeColor CatData1 CatData2"));
        QCOMPARE(columns("ProjectList"), QStringLiteral("ID Name ProjData1 ProjData2"));
        QCOMPARE(value(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
        QCOMPARE(value(QStringLiteral("PRAGMA user_version")).toInt(), 3);

        // The version row, with NULL in every other column.
        QCOMPARE(
            value(
                QStringLiteral(
                    "SELECT group_concat(quote(ID) || quote(List) || quote(Subject) || "
                    "quote(Category) || quote(Duration) || quote(FinishedDuration) || "
                    "quote(FinishedSeconds) || quote(State) || quote(Priority) || quote(TaskData1) "
                    "|| quote(TaskData2) || quote(TaskData3) || quote(TaskData4)) FROM Chronodeck"))
                .toString(),
            QStringLiteral("-1'VER''1.00'NULLNULLNULLNULLNULLNULLNULLNULLNULLNULL"));
        QCOMPARE(
            value(QStringLiteral("SELECT group_concat(ID || ' ' || Name || ' ' || BackColor || "
                                 "' ' || ForeColor || quote(CatData1) || quote(CatData2), ', ') "
                                 "FROM (SELECT * FROM CategoryList ORDER BY rowid)"))
                .toString(),
            QStringLiteral("1 Work 10020801 -1'''', 2 Personal 10793211 -1'''', "
                           "3 Chore 16762099 -1'''', 4 Health 9105405 -1'''', "
                           "5 Social 15771322 -1'''', 6 Family 10746074 -1'''', "
                           "7 Relaxation 16635824 -1'''', 8 Self Growth 6668284 -1''''"));
        QCOMPARE(m_store->NextCategoryID(), 9);
    }

    void existingFileIsNeverReseeded()
    {
        m_store->OpenTaskDatabase();
        db().exec(QStringLiteral("DELETE FROM CategoryList; DELETE FROM Chronodeck"));
        m_store->Close();
        m_store->OpenTaskDatabase();
        QVERIFY(m_store->categories().isEmpty());
        QCOMPARE(m_store->NextCategoryID(), 1);
        QCOMPARE(value(QStringLiteral("SELECT COUNT(*) FROM Chronodeck")).toInt(), 0);
    }

    void nextTaskId()
    {
        m_store->OpenTaskDatabase();
        QCOMPARE(m_store->NextTaskID(kDay), 1);
        for (qint32 id : {1, 2, 7})
            m_store->SaveTask(task(id, kDay), true, {}, 0);
        m_store->SaveTask(task(50, kNextDay), true, {}, 0);
        QCOMPARE(m_store->NextTaskID(kDay), 8);
        QCOMPARE(m_store->NextTaskID(QStringLiteral("VER")), 1); // only -1 there

        QVERIFY(m_store->DeleteTask(50, kNextDay));
        QCOMPARE(m_store->NextTaskID(kNextDay), 1);

        m_store->SaveTask(task(32767, kNextDay), true, {}, 0);
        QVERIFY_THROWS_EXCEPTION(IdOverflow, m_store->NextTaskID(kNextDay));
        QCOMPARE(m_store->NextTaskID(kDay), 8);
    }

    void categories()
    {
        m_store->OpenTaskDatabase();
        m_store->AddCategory({9, QStringLiteral("Garden"), 255, 65280, {}, {}});
        QCOMPARE(m_store->categories().last().BackColor, 255);
        QCOMPARE(m_store->categories().last().ForeColor, 65280);
        QVERIFY(m_store->UpdateCategory({9, QStringLiteral("Yard "), -1, 7, {}, {}}));
        QVERIFY(!m_store->UpdateCategory({99, QStringLiteral("x"), -1, -1, {}, {}}));
        const CategoryRecord yard = m_store->categories().last();
        QCOMPARE(yard.Name, QStringLiteral("Yard "));
        QCOMPARE(yard.BackColor, -1);
        QCOMPARE(yard.ForeColor, 7);

        m_store->AddCategory({10, QStringLiteral("Kept"), -1, -1, {}, {}});
        QVERIFY(m_store->DeleteCategory(9));
        QVERIFY(!m_store->DeleteCategory(9));
        QCOMPARE(m_store->categories().size(), 9);
        QCOMPARE(m_store->NextCategoryID(), 11);

        m_store->AddCategory({32767, QStringLiteral("Last"), -1, -1, {}, {}});
        QVERIFY_THROWS_EXCEPTION(IdOverflow, m_store->NextCategoryID());
    }

    void editClampsTimeDone_data()
    {
        QTest::addColumn<qint32>("newBudget");
        QTest::addColumn<qint32>("done");
        QTest::addColumn<int>("seconds");
        QTest::newRow("shortened below time done") << 20 << 20 << 0;
        QTest::newRow("shortened to more than done") << 21 << 20 << 40;
    }

    void editClampsTimeDone()
    {
        QFETCH(qint32, newBudget);
        QFETCH(qint32, done);
        QFETCH(int, seconds);
        m_store->OpenTaskDatabase();
        QVERIFY(m_store->SaveTask(task(1, kDay, 30, 20, 40), true, {}, 0));
        TaskRecord edited = task(1, kDay, newBudget, 0, 0); // time done in the record is ignored
        edited.Subject = QStringLiteral("edited");
        QVERIFY(m_store->SaveTask(edited, false, kDay, 1));
        const std::optional<TaskRecord> row = m_store->findTask(kDay, 1);
        QVERIFY(row);
        QCOMPARE(row->Subject, QStringLiteral("edited"));
        QCOMPARE(row->Duration, newBudget);
        QCOMPARE(row->FinishedDuration, done);
        QCOMPARE(int(row->FinishedSeconds), seconds);
    }

    void saveWritesRecordAndReservedColumns()
    {
        m_store->OpenTaskDatabase();
        db().exec(QStringLiteral("INSERT INTO Chronodeck VALUES (3, '05032024', 's', 1, 10, 2, 5, "
                                 "0, 2, 'a', 'b', 9, 1)"));
        TaskRecord edited = task(4, kNextDay, 60);
        edited.State = Pending;
        QVERIFY(m_store->SaveTask(edited, false, kDay, 3)); // may renumber and move
        QVERIFY(!m_store->findTask(kDay, 3));
        QVERIFY(m_store->SaveTask(task(5, kDay, 30, 12, 34), true, {}, 0));
        QVERIFY(!m_store->SaveTask(task(6, kDay), false, kDay, 6));
        QVERIFY(!m_store->findTask(kDay, 6));

        QCOMPARE(value(QStringLiteral("SELECT COUNT(*) FROM Chronodeck WHERE TaskData1 = '' AND "
                                      "TaskData2 = '' AND TaskData3 = 0 AND TaskData4 = 0"))
                     .toInt(),
                 2);
        TaskRecord expected = edited;
        expected.FinishedDuration = 2; // below the new budget: kept
        expected.FinishedSeconds = 5;
        QCOMPARE(*m_store->findTask(kNextDay, 4), expected);
        QCOMPARE(*m_store->findTask(kDay, 5), task(5, kDay, 30, 12, 34));
    }

    void setStateMarksFull_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("markFull");
        QTest::addColumn<qint32>("done");
        QTest::addColumn<int>("seconds");
        QTest::newRow("finished, mark full") << 4 << true << 45 << 0;
        QTest::newRow("finished, keep time") << 4 << false << 10 << 30;
        QTest::newRow("pending, mark full ignored") << 2 << true << 10 << 30;
    }

    void setStateMarksFull()
    {
        QFETCH(int, state);
        QFETCH(bool, markFull);
        QFETCH(qint32, done);
        QFETCH(int, seconds);
        m_store->OpenTaskDatabase();
        m_store->SaveTask(task(1, kDay, 45, 10, 30), true, {}, 0);
        QVERIFY(m_store->SetTaskState(1, kDay, state, markFull));
        const TaskRecord row = *m_store->findTask(kDay, 1);
        QCOMPARE(row.State, state);
        QCOMPARE(row.FinishedDuration, done);
        QCOMPARE(int(row.FinishedSeconds), seconds);
        QVERIFY(!m_store->SetTaskState(2, kDay, state, markFull));
    }

    void moveKeepsEveryOtherColumn()
    {
        m_store->OpenTaskDatabase();
        for (qint32 id : {1, 2, 3})
            m_store->SaveTask(task(id, kDay, 40, 12, 7), true, {}, 0);
        QVERIFY(m_store->SetTaskPriority(2, kDay, 5));
        QVERIFY(m_store->MoveTask(kDay, 2, kNextDay, 9));
        QVERIFY(!m_store->MoveTask(kDay, 2, kNextDay, 10));
        QVERIFY(!m_store->findTask(kDay, 2));
        TaskRecord expected = task(9, kNextDay, 40, 12, 7);
        expected.Subject = QStringLiteral("task 2");
        expected.Priority = 5;
        QCOMPARE(*m_store->findTask(kNextDay, 9), expected);

        QVERIFY(m_store->ResetTimeDone(kNextDay, 9));
        expected.FinishedDuration = 0;
        QCOMPARE(*m_store->findTask(kNextDay, 9), expected); // seconds stay
    }

    void awkwardTextRoundTrips()
    {
        m_store->OpenTaskDatabase();
        const QString list = QStringLiteral("it's");
        TaskRecord t = task(1, list);
        t.Subject
            = QStringLiteral("'; DROP TABLE Chronodeck; -- \"quoted\" \U0001F4C5 \u00fcber\r\n")
            + QString(100000, QChar(u'\u4e2d'));
        QVERIFY(m_store->SaveTask(t, true, {}, 0));
        m_store->Close();
        m_store->OpenTaskDatabase();
        QCOMPARE(*m_store->findTask(list, 1), t);
        QCOMPARE(m_store->NextTaskID(list), 2);
    }

    void refusesValuesOutsideTheColumns()
    {
        m_store->OpenTaskDatabase();
        TaskRecord t = task(1, kDay);
        t.State = 40000;
        QVERIFY_THROWS_EXCEPTION(StoreError, m_store->SaveTask(t, true, {}, 0));
        t = task(1, QString());
        QVERIFY_THROWS_EXCEPTION(StoreError, m_store->SaveTask(t, true, {}, 0));
        m_store->SaveTask(task(1, kDay), true, {}, 0);
        QVERIFY_THROWS_EXCEPTION(StoreError, m_store->SetTaskPriority(1, kDay, -40000));
        QVERIFY_THROWS_EXCEPTION(StoreError, m_store->MoveTask(kDay, 1, QString(), 1));
        QCOMPARE(*m_store->findTask(kDay, 1), task(1, kDay));

        // Writers of their own meet the table's checks too.
        for (const char *bad :
             {"UPDATE Chronodeck SET FinishedSeconds = 256",
              "UPDATE Chronodeck SET Duration = 'ten'",
              "UPDATE Chronodeck SET Duration = 2147483648", "UPDATE Chronodeck SET TaskData4 = 2",
              "UPDATE Chronodeck SET List = ''"}) {
            QVERIFY_THROWS_EXCEPTION(sql::Error, db().exec(QString::fromLatin1(bad)));
        }
        QCOMPARE(*m_store->findTask(kDay, 1), task(1, kDay));
    }

    void unusableFileIsReportedAndLeftAlone_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("says");
        QTest::newRow("not a database")
            << QStringLiteral("text") << QStringLiteral("is not a task database");
        QTest::newRow("damaged") << QStringLiteral("damaged") << QStringLiteral("is damaged");
        // A clean exit vouches for the file only as it was then.
        QTest::newRow("damaged after a clean exit")
            << QStringLiteral("damagedLater") << QStringLiteral("is damaged");
        QTest::newRow("foreign database")
            << QStringLiteral("foreign") << QStringLiteral("is not a task database");
        QTest::newRow("locked") << QStringLiteral("locked")
                                << QStringLiteral("Close the other program");
        // Code in the file would run on the program's own writes.
        QTest::newRow("trigger") << QStringLiteral("trigger")
                                 << QStringLiteral("is not a task database");
    }

    void unusableFileIsReportedAndLeftAlone()
    {
        QFETCH(QString, kind);
        QFETCH(QString, says);
        sql::Database other;
        if (kind == QStringLiteral("text")) {
            QFile file(dbPath());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray("ID;List;Subject\n1;05032024;not a database\n").repeated(200));
        } else if (kind.startsWith(QStringLiteral("damaged"))) {
            makeFileWithTasks(3000);
            if (kind == QStringLiteral("damagedLater"))
                TaskStore::markVerified(dbPath());
            QFile file(dbPath());
            QVERIFY(file.size() > 20 * 4096);
            QVERIFY(file.open(QIODevice::ReadWrite));
            file.seek(8 * 4096);
            file.write(QByteArray(3 * 4096, '\x5a'));
            // The damage comes later than the note, as it would in life.
            file.setFileTime(QDateTime::currentDateTime().addSecs(2),
                             QFileDevice::FileModificationTime);
            file.close();
        } else if (kind == QStringLiteral("foreign")) {
            other = sql::Database::open(dbPath(), true);
            other.exec(QStringLiteral("CREATE TABLE Chronodeck (ID INTEGER, List TEXT)"));
            other.close();
        } else if (kind == QStringLiteral("trigger")) {
            makeFileWithTasks(10);
            other = sql::Database::open(dbPath(), false);
            other.exec(QString::fromLatin1(kEmptiesTheNextDay));
            other.close();
        } else {
            makeFileWithTasks(10);
            other = sql::Database::open(dbPath(), false);
            other.exec(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;"));
        }
        const QByteArray before = fileBytes(dbPath());
        QVERIFY(!before.isEmpty());

        try {
            m_store->OpenTaskDatabase();
            QFAIL("an unusable file was opened");
        } catch (const StoreError &e) {
            QVERIFY2(e.userMessage().contains(dbPath()), qPrintable(e.userMessage()));
            QVERIFY2(e.userMessage().contains(says), qPrintable(e.userMessage()));
        }
        QVERIFY(!m_store->isOpen());
        QCOMPARE(fileBytes(dbPath()), before);

        if (kind == QStringLiteral("locked")) {
            other.exec(QStringLiteral("COMMIT"));
            other.close();
            m_store->OpenTaskDatabase(); // usable again once the other side lets go
            QCOMPARE(m_store->tasksOfList(kDay).size(), 10);
        }
    }

    // A file from outside takes the place of the database only when it holds
    // exactly the tables, columns and indexes the program makes; anything
    // else leaves the database as it was.
    void restoreTakesOnlyOurOwnSchema_data()
    {
        QTest::addColumn<QString>("addition");
        QTest::addColumn<bool>("restored");
        QTest::newRow("our own file") << QString() << true;
        QTest::newRow("trigger") << QString::fromLatin1(kEmptiesTheNextDay) << false;
        QTest::newRow("view") << QStringLiteral("CREATE VIEW Everything AS SELECT * FROM "
                                                "Chronodeck")
                              << false;
        QTest::newRow("table") << QStringLiteral("CREATE TABLE Extra (x)") << false;
        QTest::newRow("column") << QStringLiteral("ALTER TABLE CategoryList ADD COLUMN x TEXT")
                                << false;
        QTest::newRow("index") << QStringLiteral("CREATE INDEX BySubject ON Chronodeck (Subject)")
                               << false;
        QTest::newRow("virtual table")
            << QStringLiteral("CREATE VIRTUAL TABLE Words USING fts5(x)") << false;
    }

    void restoreTakesOnlyOurOwnSchema()
    {
        QFETCH(QString, addition);
        QFETCH(bool, restored);
        QTemporaryDir otherDir;
        {
            TaskStore other(otherDir.path());
            other.OpenTaskDatabase();
            for (int i = 1; i <= 3; ++i)
                other.SaveTask(task(i, kNextDay), true, {}, 0);
            if (!addition.isEmpty()) {
                try {
                    other.database().exec(addition);
                } catch (const sql::Error &e) {
                    QSKIP(qPrintable(QStringLiteral("the engine here cannot make it: ")
                                     + e.message()));
                }
            }
            other.Close();
        }
        const QString chosen = QDir(otherDir.path()).filePath(TaskStore::databaseFileName());
        m_store->OpenTaskDatabase();
        for (int i = 1; i <= 5; ++i)
            m_store->SaveTask(task(i, kNextDay), true, {}, 0);
        try {
            m_store->restoreFrom(chosen);
            QVERIFY2(restored, "a file with parts of its own was restored");
        } catch (const StoreError &e) {
            QVERIFY2(!restored, qPrintable(e.userMessage()));
            QVERIFY2(e.userMessage().contains(QStringLiteral("cannot be restored")),
                     qPrintable(e.userMessage()));
        }
        m_store->Close();
        m_store->OpenTaskDatabase();
        QCOMPARE(m_store->tasksOfList(kNextDay).size(), restored ? 3 : 5);
        QCOMPARE(value(QStringLiteral("SELECT count(*) FROM sqlite_schema WHERE type IN "
                                      "('trigger', 'view')"))
                     .toInt(),
                 0);
    }

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
};

QTEST_GUILESS_MAIN(TestTaskStore)
#include "test_taskstore.moc"
