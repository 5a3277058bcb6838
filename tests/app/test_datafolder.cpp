#include "app/DataFolder.h"
#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace cdk;

class TestDataFolder : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void choosesTheFirstAvailableFolder()
    {
        QTemporaryDir program, user, chosen;
        const QStringList plain = {QStringLiteral("chronodeck")};
        const QString withSep = QDir(chosen.path()).absolutePath() + QLatin1Char('/');

        QCOMPARE(resolveDataFolder(plain + QStringList{QStringLiteral("--data-dir"), chosen.path()},
                                   user.path(), program.path(), user.path()),
                 withSep);
        QCOMPARE(resolveDataFolder(plain + QStringList{QStringLiteral("--data-dir=") + chosen.path()},
                                   QString(), program.path(), user.path()),
                 withSep);
        QCOMPARE(resolveDataFolder(plain, chosen.path(), program.path(), user.path()), withSep);
        QCOMPARE(resolveDataFolder(plain, QString(), program.path(), user.path()),
                 QDir(program.path()).absolutePath() + QLatin1Char('/'));
        // A program folder that does not exist (or cannot be written) gives way
        // to the per-user folder.
        QCOMPARE(resolveDataFolder(plain, QString(), program.filePath(QStringLiteral("gone")),
                                   user.path()),
                 QDir(user.path()).absolutePath() + QLatin1Char('/'));
    }

    void minimizedAnywhereInAnyCase_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("minimized");
        QTest::newRow("none") << QStringList{QStringLiteral("chronodeck")} << false;
        QTest::newRow("plain") << QStringList{QStringLiteral("chronodeck"), QStringLiteral("minimized")} << true;
        QTest::newRow("slash capitals") << QStringList{QStringLiteral("chronodeck"), QStringLiteral("/MINIMIZED")} << true;
        QTest::newRow("inside a word") << QStringList{QStringLiteral("chronodeck"), QStringLiteral("--startMinimizedNow")} << true;
        QTest::newRow("program name does not count")
            << QStringList{QStringLiteral("/opt/minimized/chronodeck")} << false;
        QTest::newRow("other words") << QStringList{QStringLiteral("chronodeck"), QStringLiteral("minimize")} << false;
    }
    void minimizedAnywhereInAnyCase()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, minimized);
        QCOMPARE(commandLineSaysMinimized(arguments), minimized);
    }

    void secondCopyLeavesAFreshSignal()
    {
        QTemporaryDir dir;
        SingleInstance first(dir.path());
        QVERIFY(first.acquire());
        SingleInstance second(dir.path());
        QVERIFY(!second.acquire());

        // A leftover signal with other content is replaced, not appended to.
        QFile leftover(second.signalPath());
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.write("something older and longer\r\n");
        leftover.close();
        QVERIFY(second.writeRestoreSignal());
        QFile signal(second.signalPath());
        QVERIFY(signal.open(QIODevice::ReadOnly));
        QCOMPARE(signal.readAll(), QByteArray("restorE\r\n"));
        signal.close();

        QVERIFY(first.restoreSignalPending());
        QVERIFY(first.takeRestoreSignal());
        QVERIFY(!QFile::exists(first.signalPath()));
        QVERIFY(!first.takeRestoreSignal());
    }
};

QTEST_GUILESS_MAIN(TestDataFolder)
#include "test_datafolder.moc"
