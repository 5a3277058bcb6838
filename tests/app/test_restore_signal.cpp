// The running copy's ear for a second copy: each signal file brings one
// answer and is removed, whoever wrote it and whenever; other files that come
// and go in the data folder bring none.

#include "app/RestoreSignalWatcher.h"
#include "app/SingleInstance.h"
#include "common/FileBytes.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace cdk;
using namespace cdk::test;

class TestRestoreSignal : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void eachSignalFileIsAnsweredOnce()
    {
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        SingleInstance instance(folder);
        const QString signal = instance.signalPath();

        // Left before the running copy began to listen.
        QVERIFY(writeFileBytes(signal, "restorE\r\n"));
        RestoreSignalWatcher watcher(instance);
        QSignalSpy answered(&watcher, &RestoreSignalWatcher::restoreRequested);
        watcher.start();
        QTRY_COMPARE_WITH_TIMEOUT(answered.count(), 1, 1000);
        QVERIFY(!QFileInfo::exists(signal));

        // The folder's other files change all the time.
        QVERIFY(writeFileBytes(folder + QStringLiteral("settings.ini"), "[General]\r\n"));
        QVERIFY(QFile::remove(folder + QStringLiteral("settings.ini")));
        QVERIFY(!QTest::qWaitFor([&answered] { return answered.count() > 1; }, 300));

        // Written by a process of its own, as a second copy does.
        QProcess writer;
        writer.start(QStringLiteral("sh"),
                     {QStringLiteral("-c"), QStringLiteral("printf 'restorE\\r\\n' > \"$1\""),
                      QStringLiteral("sh"), signal});
        QVERIFY(writer.waitForFinished(5000));
        QCOMPARE(writer.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(answered.count(), 2, 1000);
        QVERIFY(!QFileInfo::exists(signal));
        QVERIFY(!QTest::qWaitFor([&answered] { return answered.count() > 2; }, 300));
    }

    // A folder that cannot be watched (here: not there yet when the running
    // copy begins to listen) is looked at once a second instead.
    void answeredWithoutAWatch()
    {
        QTemporaryDir dir;
        const QString folder = dir.path() + QStringLiteral("/later/");
        SingleInstance instance(folder);
        RestoreSignalWatcher watcher(instance);
        QSignalSpy answered(&watcher, &RestoreSignalWatcher::restoreRequested);
        watcher.start();
        QCoreApplication::processEvents(); // its first look, at nothing
        QCOMPARE(answered.count(), 0);
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(writeFileBytes(instance.signalPath(), "restorE\r\n"));
        QTRY_COMPARE_WITH_TIMEOUT(answered.count(), 1, 5000);
        QVERIFY(!QFileInfo::exists(instance.signalPath()));
    }
};

QTEST_GUILESS_MAIN(TestRestoreSignal)
#include "test_restore_signal.moc"
