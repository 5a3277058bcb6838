#include "desktop/XdgAutostart.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace cdk;

namespace {

QString execLine(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (const QString &line : lines) {
        if (line.startsWith(QStringLiteral("Exec=")))
            return line;
    }
    return {};
}

} // namespace

// Start at logon as the desktop sees it: the entries in the autostart folders.
class TestAutostart : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString &relative) const { return m_dir->filePath(relative); }

    XdgAutostart::Places places(const QString &program
                                = QStringLiteral("/opt/cdk/chronodeck")) const
    {
        return {program, path(QStringLiteral("config/autostart")),
                path(QStringLiteral("system/autostart"))};
    }

    QString userEntry() const
    {
        return path(QStringLiteral("config/autostart/chronodeck.desktop"));
    }
    QString systemEntry() const
    {
        return path(QStringLiteral("system/autostart/chronodeck.desktop"));
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    // The entry lands where the base directory rules say, names the program
    // quoted as the desktop entry rules want it, and passes the validator.
    void userEntryStartsTheProgramMinimised_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("exec");
        QTest::newRow("plain") << QStringLiteral("/opt/cdk/chronodeck")
                               << QStringLiteral("Exec=\"/opt/cdk/chronodeck\" minimized");
        QTest::newRow("blank") << QStringLiteral("/home/ann/My Apps/chronodeck")
                               << QStringLiteral("Exec=\"/home/ann/My Apps/chronodeck\" minimized");
        QTest::newRow("reserved characters")
            << QStringLiteral("/opt/a \"b\"/$x\\y%z/chronodeck")
            << QStringLiteral(
                   "Exec=\"/opt/a \\\\\"b\\\\\"/\\\\$x\\\\\\\\y%%z/chronodeck\" minimized");
    }
    void userEntryStartsTheProgramMinimised()
    {
        QFETCH(QString, program);
        QFETCH(QString, exec);
        qputenv("XDG_CONFIG_HOME", path(QStringLiteral("config")).toUtf8());
        XdgAutostart::Places where = XdgAutostart::placesOfThisProgram();
        QCOMPARE(where.userFolder, path(QStringLiteral("config/autostart")));
        QCOMPARE(where.systemFolder, QStringLiteral("/etc/xdg/autostart"));
        where.program = program;
        where.systemFolder = path(QStringLiteral("system/autostart"));
        XdgAutostart autostart(where);

        applyRunOnStartup(autostart, 0);

        QCOMPARE(execLine(userEntry()), exec);
        QVERIFY(!QFile::exists(systemEntry()));
        QVERIFY(autostart.isEnabled());

        const QString validator
            = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        if (validator.isEmpty())
            QSKIP("desktop-file-validate is not installed");
        QProcess validate;
        validate.start(validator, {userEntry()});
        QVERIFY(validate.waitForFinished());
        const QString report = QString::fromUtf8(validate.readAll());
        QVERIFY2(validate.exitCode() == 0 && !report.contains(QStringLiteral("error")),
                 qPrintable(report));
    }

    void withoutXdgConfigHomeTheEntryGoesUnderHome_data()
    {
        QTest::addColumn<QByteArray>("configHome");
        QTest::newRow("unset") << QByteArray();
        QTest::newRow("relative, so ignored") << QByteArray("config");
    }
    void withoutXdgConfigHomeTheEntryGoesUnderHome()
    {
        QFETCH(QByteArray, configHome);
        const QByteArray home = qgetenv("HOME");
        qputenv("HOME", path(QStringLiteral("home")).toUtf8());
        if (configHome.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", configHome);
        const QString folder = XdgAutostart::placesOfThisProgram().userFolder;
        qputenv("HOME", home);
        QCOMPARE(folder, path(QStringLiteral("home/.config/autostart")));
    }

    // "RunOnStartup": 0 this user, 1 every user, 2 neither, others unchanged.
    void eachChoiceLeavesOneEntryOrNone()
    {
        XdgAutostart autostart(places());

        applyRunOnStartup(autostart, 1);
        QVERIFY(QFile::exists(systemEntry()));
        QVERIFY(!QFile::exists(userEntry()));

        applyRunOnStartup(autostart, 0);
        QVERIFY(QFile::exists(userEntry()));
        QVERIFY(!QFile::exists(systemEntry()));

        applyRunOnStartup(autostart, 7);
        QVERIFY(QFile::exists(userEntry()));

        applyRunOnStartup(autostart, 2);
        QVERIFY(!QFile::exists(userEntry()));
        QVERIFY(!QFile::exists(systemEntry()));
        QVERIFY(!autostart.isEnabled());
    }

    // A data folder chosen with --data-dir or CHRONODECK_DATA_DIR is where the
    // start at logon opens too; the entry for every user names none, since
    // other users keep data of their own.
    void aChosenDataFolderStartsAtLogonToo()
    {
        XdgAutostart::Places where = places();
        where.dataFolder = QStringLiteral("/home/ann/My Plans/");
        XdgAutostart autostart(where);

        applyRunOnStartup(autostart, 0);
        QCOMPARE(execLine(userEntry()),
                 QStringLiteral("Exec=\"/opt/cdk/chronodeck\" --data-dir \"/home/ann/My Plans/\" "
                                "minimized"));
        applyRunOnStartup(autostart, 1);
        QCOMPARE(execLine(systemEntry()), QStringLiteral("Exec=\"/opt/cdk/chronodeck\" minimized"));
    }

    // Without the right to write the machine's folder the program ends up
    // registered nowhere, and nothing is reported.
    void unwritableMachineFolderLeavesNoEntry()
    {
        QFile blocker(path(QStringLiteral("file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        XdgAutostart::Places where = places();
        where.systemFolder = path(QStringLiteral("file/autostart"));
        XdgAutostart autostart(where);
        applyRunOnStartup(autostart, 0);
        QVERIFY(autostart.isEnabled());

        applyRunOnStartup(autostart, 1);

        QVERIFY(!autostart.isEnabled());
        QVERIFY(!QFile::exists(userEntry()));
    }

    // The entry is looked at every start, so it follows a moved program; a
    // start of the same program leaves the file alone (no write to wait for).
    void aMovedProgramIsStartedFromItsNewPlace()
    {
        XdgAutostart before(places(QStringLiteral("/opt/old/chronodeck")));
        applyRunOnStartup(before, 0);
        const QDateTime longAgo(QDate(2001, 1, 1), QTime(0, 0));
        const auto modified = [this] {
            return QFileInfo(userEntry()).fileTime(QFileDevice::FileModificationTime);
        };
        {
            QFile entry(userEntry());
            QVERIFY(entry.open(QIODevice::ReadWrite));
            QVERIFY(entry.setFileTime(longAgo, QFileDevice::FileModificationTime));
        }
        applyRunOnStartup(before, 0);
        QCOMPARE(modified(), longAgo);
        XdgAutostart after(places(QStringLiteral("/opt/new/chronodeck")));
        applyRunOnStartup(after, 0);
        QCOMPARE(execLine(userEntry()), QStringLiteral("Exec=\"/opt/new/chronodeck\" minimized"));
    }
};

QTEST_GUILESS_MAIN(TestAutostart)
#include "test_autostart.moc"
