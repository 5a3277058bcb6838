// The command line on a disk that is full and on a folder that cannot be
// written: the commands that only read still show the day, the ones that
// write say what is wrong in words a user can act on, and the database is
// left as it was. A real small file system is mounted for it (as root, in a
// mount namespace of the test's own), so the disk fills as a disk does.

#include "CliProcess.h"

#include "common/FileBytes.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace cdk::test;

namespace {

QStringList words(const char *text) { return QString::fromUtf8(text).split(QLatin1Char(' ')); }

// Fills the file system holding folder to the last block.
void fill(const QString &folder)
{
    QFile filler(QDir(folder).filePath(QStringLiteral("../filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        qFatal("cannot make the filler");
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) { }
    // A block may be left over when the last write was cut short.
    const QByteArray byte(1, 'x');
    while (filler.write(byte) == 1) { }
}

} // namespace

class TestUnwritableData : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_mountPoint;
    bool m_mounted = false;
    QString m_folder;
    QByteArray m_before;

    void expectReadingWorks()
    {
        const CliRun list = runCli(m_folder, {QStringLiteral("list")});
        QCOMPARE(list.exit, 0);
        QVERIFY2(list.out.contains(QStringLiteral("Write the report")), qPrintable(list.err));
        QCOMPARE(runCli(m_folder, {QStringLiteral("status")}).exit, 0);
        const CliRun json = runCli(m_folder, words("list --json"));
        QCOMPARE(json.exit, 0);
        QVERIFY(json.out.contains(QStringLiteral("Call the bank")));
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (::geteuid() != 0)
            QSKIP("a small file system of the test's own needs root");
        QVERIFY(::unshare(CLONE_NEWNS) == 0);
        // What is mounted here stays in this process and its children.
        QVERIFY(::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0);
        QVERIFY(::mount("chronodeck-test", QFile::encodeName(m_mountPoint.path()).constData(),
                        "tmpfs", 0, "size=512k,mode=0755")
                == 0);
        m_mounted = true;
        m_folder = QDir(m_mountPoint.path()).filePath(QStringLiteral("data"));
        QCOMPARE(runCli(m_folder, words("add Write the report")).exit, 0);
        QCOMPARE(runCli(m_folder, words("add Call the bank")).exit, 0);
        m_before = fileBytes(QDir(m_folder).filePath(QStringLiteral("CDKDatabase.cdkd")));
        QVERIFY(!m_before.isEmpty());
    }

    void cleanupTestCase()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_mountPoint.path()).constData(), MNT_DETACH);
    }

    void fullDisk()
    {
        fill(m_folder);
        expectReadingWorks();
        const CliRun add = runCli(m_folder, words("add Lost on a full disk"));
        QCOMPARE(add.exit, 2);
        QVERIFY2(add.err.contains(QStringLiteral("the disk is full")), qPrintable(add.err));
        QCOMPARE(add.err.count(QLatin1Char('\n')), 1);
        QFile::remove(QDir(m_folder).filePath(QStringLiteral("../filler")));
        QCOMPARE(fileBytes(QDir(m_folder).filePath(QStringLiteral("CDKDatabase.cdkd"))),
                 m_before);
    }

    void readOnlyFolder()
    {
        QVERIFY(::mount(nullptr, QFile::encodeName(m_mountPoint.path()).constData(), nullptr,
                        MS_REMOUNT | MS_RDONLY, nullptr)
                == 0);
        expectReadingWorks();
        const CliRun add = runCli(m_folder, words("add Not written"));
        QCOMPARE(add.exit, 2);
        QVERIFY2(add.err.contains(QStringLiteral("can only be read")), qPrintable(add.err));
        QCOMPARE(fileBytes(QDir(m_folder).filePath(QStringLiteral("CDKDatabase.cdkd"))),
                 m_before);
    }
};

QTEST_GUILESS_MAIN(TestUnwritableData)
#include "test_unwritable_data.moc"
