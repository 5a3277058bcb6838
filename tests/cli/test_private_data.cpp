// Nobody else on the machine reads a person's day: the data folder the
// program makes is for its owner alone, and so is every file it makes in a
// folder, even one that others may enter. Checked on the files themselves and,
// where the test runs as root, by another user trying to read them.

#include "CliProcess.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace cdk::test;

namespace {

const QString kSecret = QStringLiteral("PIN for bank card is 4711");

mode_t modeOf(const QString &path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}

// The files the program left in the folder, by name, with their modes.
QStringList filesWithModes(const QString &folder)
{
    QStringList out;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        out << QStringLiteral("%1 %2").arg(name).arg(modeOf(dir.filePath(name)), 4, 8,
                                                      QLatin1Char('0'));
    }
    return out;
}

// What the user "nobody" gets from reading the file: exit code and bytes.
QPair<int, QByteArray> readAsNobody(const QString &path)
{
    QProcess cat;
    cat.start(QStringLiteral("setpriv"),
              {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
               QStringLiteral("--clear-groups"), QStringLiteral("cat"), path});
    if (!cat.waitForFinished(10000))
        cat.kill();
    return {cat.exitStatus() == QProcess::NormalExit ? cat.exitCode() : -1,
            cat.readAllStandardOutput()};
}

} // namespace

class TestPrivateData : public QObject
{
    Q_OBJECT

private:
    // A parent folder that every user may pass through, as a home folder
    // often is.
    QTemporaryDir m_parent;

    void initParent() { QVERIFY(::chmod(QFile::encodeName(m_parent.path()).constData(), 0755) == 0); }

private Q_SLOTS:
    void initTestCase() { initParent(); }

    void aNewFolderIsTheOwnersAlone()
    {
        const QString folder = m_parent.filePath(QStringLiteral("new/data"));
        const CliRun added = runCli(folder, {QStringLiteral("add"), kSecret});
        QCOMPARE(added.exit, 0);
        QCOMPARE(modeOf(folder), mode_t(0700));
        const QStringList files = filesWithModes(folder);
        QVERIFY(files.contains(QStringLiteral("CDKDatabase.cdkd 0600")));
        QVERIFY(files.contains(QStringLiteral("settings.ini 0600")));
        for (const QString &file : files)
            QVERIFY2(file.endsWith(QStringLiteral(" 0600")), qPrintable(files.join(u", ")));
    }

    // A folder that was there before is left as it is, with a warning; what
    // the program makes in it is private all the same.
    void filesInAnOpenFolderAreTheOwnersAlone()
    {
        const QString folder = m_parent.filePath(QStringLiteral("open"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0755) == 0);

        QProcess process;
        QProcessEnvironment env = cliEnvironment();
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("chronodeck.app.warning=true"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(CHRONODECK_EXE),
                      {QStringLiteral("--data-dir"), folder, QStringLiteral("add"), kSecret});
        QVERIFY(process.waitForFinished(20000));
        const CliRun added = collect(process);
        QCOMPARE(added.exit, 0);
        QVERIFY2(added.err.contains(QStringLiteral("can be entered by other users")),
                 qPrintable(added.err));
        QCOMPARE(modeOf(folder), mode_t(0755));
        const QStringList files = filesWithModes(folder);
        QVERIFY(files.size() >= 2);
        for (const QString &file : files)
            QVERIFY2(file.endsWith(QStringLiteral(" 0600")), qPrintable(files.join(u", ")));

        if (::geteuid() != 0)
            QSKIP("another user's view needs root to become that user");
        for (const QString &name : {QStringLiteral("CDKDatabase.cdkd"), QStringLiteral("settings.ini")}) {
            const auto [exit, bytes] = readAsNobody(QDir(folder).filePath(name));
            QVERIFY2(exit != 0, qPrintable(name));
            QVERIFY(bytes.isEmpty());
        }
        // The same user reads it, so the refusal above was the file's mode.
        QVERIFY(readAsNobody(QStringLiteral("/etc/passwd")).first == 0);
    }
};

QTEST_GUILESS_MAIN(TestPrivateData)
#include "test_private_data.moc"
