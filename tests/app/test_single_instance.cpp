// Two real copies of the program over one data folder: the second must hand
// over to the first and end, and a copy killed outright must not block the
// next start.

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef CHRONODECK_EXE
#error "CHRONODECK_EXE must name the program under test"
#endif

namespace {

const QString kDatabase = QStringLiteral("CDKDatabase.cdkd");
const QString kSignal = QStringLiteral("LACrestoreST$");
const QString kLock = QStringLiteral(".chronodeck.lock");
const QByteArray kAnswered = "restore signal answered";

QByteArray digest(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// One copy of the program with everything it prints collected.
class Copy
{
public:
    explicit Copy(const QString &folder, const QStringList &extra = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QT_LOGGING_RULES"),
                   QStringLiteral("chronodeck.app.info=true\nchronodeck.store.info=true"));
        env.remove(QStringLiteral("CHRONODECK_DATA_DIR"));
        // The program registers itself to start at logon: into a folder of
        // the test's, never the user's own autostart folder.
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
        // Its command socket too, which a killed copy leaves behind.
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(QStringLiteral(CHRONODECK_EXE),
                        QStringList{QStringLiteral("--data-dir"), folder} + extra);
    }
    ~Copy()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }

    QProcess &process() { return m_process; }
    bool running() const { return m_process.state() == QProcess::Running; }

    QByteArray output()
    {
        m_output += m_process.readAll();
        return m_output;
    }
    bool waitForOutput(const QByteArray &text, int ms)
    {
        QDeadlineTimer deadline(ms);
        while (!output().contains(text)) {
            if (deadline.hasExpired() || !running())
                return output().contains(text);
            m_process.waitForReadyRead(50);
        }
        return true;
    }

private:
    QTemporaryDir m_config;
    QTemporaryDir m_runtime;
    QProcess m_process;
    QByteArray m_output;
};

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void secondCopyHandsOverAndAKilledCopyDoesNotBlock()
    {
        QVERIFY2(QFileInfo(QStringLiteral(CHRONODECK_EXE)).isExecutable(), CHRONODECK_EXE);
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        const QString database = folder + kDatabase;

        // The first copy runs hidden, as after a start at logon.
        Copy first(folder, {QStringLiteral("/MINIMIZED")});
        QVERIFY(first.process().waitForStarted(5000));
        // A signal left while it still starts is answered all the same.
        QVERIFY2(first.waitForOutput("created", 5000), first.output().constData());
        QVERIFY(first.running());
        const QByteArray databaseBefore = digest(database);
        QVERIFY(!databaseBefore.isEmpty());

        Copy second(folder);
        QVERIFY(second.process().waitForFinished(5000));
        QCOMPARE(second.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.process().exitCode(), 0);
        // It neither opened nor created the database.
        const QByteArray secondSaid = second.output();
        QVERIFY2(!secondSaid.contains("opened") && !secondSaid.contains("created"),
                 secondSaid.constData());

        // The running copy answers at once and clears the signal.
        QVERIFY2(first.waitForOutput(kAnswered, 2500), first.output().constData());
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(folder + kSignal), 1000);
        QVERIFY(first.running());
        QCOMPARE(first.output().count(kAnswered), 1);
        QCOMPARE(digest(database), databaseBefore);

        // Killed outright, the first copy leaves its lock file behind.
        first.process().kill();
        QVERIFY(first.process().waitForFinished(3000));

        Copy third(folder);
        QVERIFY(third.process().waitForStarted(5000));
        QVERIFY2(third.waitForOutput("opened", 5000), third.output().constData());
        QVERIFY2(!third.process().waitForFinished(700), third.output().constData());
        // It is the running copy now: it answers a signal itself.
        QFile signal(folder + kSignal);
        QVERIFY(signal.open(QIODevice::WriteOnly));
        signal.write("restorE\r\n");
        signal.close();
        QVERIFY2(third.waitForOutput(kAnswered, 2500), third.output().constData());
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(folder + kSignal), 1000);
        QVERIFY(third.running());
    }

    // A copy of this user's that holds the lock but never takes the signal
    // (it hangs): the new start says so instead of ending without a word.
    void aCopyThatDoesNotAnswerIsReported()
    {
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        QFile lock(folder + kLock);
        QVERIFY(lock.open(QIODevice::ReadWrite));
        QVERIFY(lock.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QCOMPARE(::flock(lock.handle(), LOCK_EX | LOCK_NB), 0);

        Copy second(folder);
        QVERIFY(second.process().waitForStarted(5000));
        QVERIFY2(second.waitForOutput("does not answer", 20000), second.output().constData());
        QVERIFY2(second.output().contains(QFile::encodeName(dir.path())),
                 second.output().constData());
    }

    // Another user may enter the data folder, and an earlier version left
    // the lock file open to all: holding that file must not keep the
    // user's window from starting, and the lock the window takes is the
    // user's alone.
    void anotherUserCannotStopTheWindowThroughTheLock()
    {
        if (::geteuid() != 0)
            QSKIP("playing another user (setpriv to nobody) needs root");
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        const QByteArray lockPath = QFile::encodeName(folder + kLock);
        QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
        QFile old(folder + kLock);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.close();
        QCOMPARE(::chmod(lockPath.constData(), 0644), 0);

        const auto nobodyLocks = [&lockPath](QProcess &process, const QString &then) {
            process.setProcessChannelMode(QProcess::MergedChannels);
            process.start(QStringLiteral("setpriv"),
                          {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                           QStringLiteral("--clear-groups"), QStringLiteral("flock"),
                           QStringLiteral("--nonblock"), QStringLiteral("--exclusive"),
                           QFile::decodeName(lockPath), QStringLiteral("sh"), QStringLiteral("-c"),
                           then});
        };
        QProcess holder;
        nobodyLocks(holder, QStringLiteral("echo held; exec sleep 60"));
        QVERIFY(holder.waitForReadyRead(5000));
        QCOMPARE(holder.readAll(), QByteArray("held\n"));

        Copy first(folder, {QStringLiteral("/MINIMIZED")});
        QVERIFY(first.process().waitForStarted(5000));
        QVERIFY2(first.waitForOutput("created", 5000), first.output().constData());
        QVERIFY2(!first.process().waitForFinished(700), first.output().constData());

        struct stat info {};
        QCOMPARE(::lstat(lockPath.constData(), &info), 0);
        QCOMPARE(info.st_uid, ::geteuid());
        QCOMPARE(info.st_mode & 0777, mode_t(0600));
        QProcess again;
        nobodyLocks(again, QStringLiteral("echo held"));
        QVERIFY(again.waitForFinished(5000));
        QVERIFY2(again.exitCode() != 0 && !again.readAll().contains("held"),
                 "nobody took the lock");
        QVERIFY(first.running());
        holder.kill();
        holder.waitForFinished(3000);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_single_instance.moc"
