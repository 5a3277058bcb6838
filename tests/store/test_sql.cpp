#include "store/Sql.h"

#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

using namespace cdk;

class TestSql final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    sql::Database m_db;

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_db = sql::Database::open(m_dir.filePath(QStringLiteral("t.db")), true);
        m_db.exec(QStringLiteral("DROP TABLE IF EXISTS t"));
        m_db.exec(QStringLiteral("CREATE TABLE t (n INTEGER CHECK (n < 10), s TEXT)"));
    }

    void cleanup() { m_db.close(); }

    void missingFileIsNotCreatedWithoutAsking()
    {
        const QString path = m_dir.filePath(QStringLiteral("absent.db"));
        try {
            sql::Database::open(path, false);
            QFAIL("opening a missing file succeeded");
        } catch (const sql::Error &e) {
            QCOMPARE(e.code() & 0xff, SQLITE_CANTOPEN);
            QVERIFY2(e.message().contains(path), qPrintable(e.message()));
        }
        QVERIFY(!QFile::exists(path));
    }

    void errorsCarryExtendedCodeAndStatement()
    {
        sql::Statement insert = m_db.prepare(QStringLiteral("INSERT INTO t (n) VALUES (?1)"));
        try {
            insert.bind(1, 11).run();
            QFAIL("constraint not enforced");
        } catch (const sql::Error &e) {
            QCOMPARE(e.code(), SQLITE_CONSTRAINT_CHECK);
            QVERIFY2(e.message().contains(QStringLiteral("INSERT INTO t")),
                     qPrintable(e.message()));
        }
        // The statement is usable again after the failure.
        insert.reset();
        insert.bind(1, 3).run();
        QCOMPARE(m_db.changes(), 1);
        QCOMPARE(m_db.scalar(QStringLiteral("SELECT n FROM t")), QVariant(qint64(3)));
    }
};

QTEST_GUILESS_MAIN(TestSql)
#include "test_sql.moc"
