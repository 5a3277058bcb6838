#include "base/Functions.h"

#include <QTemporaryDir>
#include <QTest>

#include <limits>

using namespace cdk;

class TestFunctions : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void formatMinutes_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QString>("shortForm");
        QTest::addColumn<QString>("longForm");
        QTest::newRow("zero") << 0 << QStringLiteral("0:00") << QStringLiteral("0 minutes");
        QTest::newRow("59") << 59 << QStringLiteral("0:59") << QStringLiteral("59 minutes");
        QTest::newRow("60") << 60 << QStringLiteral("1:00") << QStringLiteral("1 hours");
        QTest::newRow("61") << 61 << QStringLiteral("1:01") << QStringLiteral("1 hours, 1 minutes");
        QTest::newRow("120") << 120 << QStringLiteral("2:00") << QStringLiteral("2 hours");
        QTest::newRow("135") << 135 << QStringLiteral("2:15")
                             << QStringLiteral("2 hours, 15 minutes");
        QTest::newRow("1500 not limited to a day")
            << 1500 << QStringLiteral("25:00") << QStringLiteral("25 hours");
        // Only a damaged or hand-edited file holds these; they read as times.
        QTest::newRow("-10") << -10 << QStringLiteral("-0:10") << QStringLiteral("-10 minutes");
        QTest::newRow("-75") << -75 << QStringLiteral("-1:15") << QStringLiteral("-75 minutes");
        QTest::newRow("smallest") << int(std::numeric_limits<qint32>::min())
                                  << QStringLiteral("-35791394:08")
                                  << QStringLiteral("-2147483648 minutes");
    }
    void formatMinutes()
    {
        QFETCH(int, minutes);
        QFETCH(QString, shortForm);
        QFETCH(QString, longForm);
        QCOMPARE(FormatMinutes(minutes, false), shortForm);
        QCOMPARE(FormatMinutes(minutes, true), longForm);
    }

    void basicVal_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("rounded");
        QTest::newRow("plain") << QStringLiteral("77") << 77.0 << 77;
        QTest::newRow("trailing junk") << QStringLiteral(" 12abc") << 12.0 << 12;
        QTest::newRow("blank inside") << QStringLiteral("1 2") << 12.0 << 12;
        QTest::newRow("half to even down") << QStringLiteral("2.5") << 2.5 << 2;
        QTest::newRow("negative half") << QStringLiteral("-2.5") << -2.5 << -2;
        QTest::newRow("exponent") << QStringLiteral("1.5e2") << 150.0 << 150;
        QTest::newRow("e without digits") << QStringLiteral("3e") << 3.0 << 3;
        QTest::newRow("word") << QStringLiteral("abc") << 0.0 << 0;
        QTest::newRow("sign only") << QStringLiteral("-") << 0.0 << 0;
        QTest::newRow("two points") << QStringLiteral("1.2.3") << 1.2 << 1;
        QTest::newRow("huge clamps") << QStringLiteral("99999999999") << 99999999999.0
                                     << std::numeric_limits<qint32>::max();
    }
    void basicVal()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QFETCH(int, rounded);
        QCOMPARE(BasicVal(text), value);
        QCOMPARE(ValToInt(text), rounded);
    }

    void pathsAndFiles()
    {
        QCOMPARE(PathUpToLastSeparator(QStringLiteral("tasks"), QLatin1Char('\\')),
                 QStringLiteral("tasks"));
        QCOMPARE(PathUpToLastSeparator(QStringLiteral("C:\\a\\b.cdkd"), QLatin1Char('\\')),
                 QStringLiteral("C:\\a\\"));
        QCOMPARE(PathUpToLastSeparator(QStringLiteral("/home/u/x.cdkd"), QLatin1Char('/')),
                 QStringLiteral("/home/u/"));
        QTemporaryDir dir;
        QVERIFY(!FileExists(dir.path())); // a folder is no file
        QVERIFY(!FileExists(dir.filePath(QStringLiteral("missing"))));
    }
};

QTEST_GUILESS_MAIN(TestFunctions)
#include "test_functions.moc"
