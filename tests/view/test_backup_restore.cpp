// Backup and restore from the File menu, driven through the real window: the
// files a user ends up with, the data the window shows afterwards, and the
// live database staying usable whatever the chosen file is.
#include "MainWindowHarness.h"

#include "common/FileBytes.h"
#include "core/BackupRestore.h"
#include "store/Sql.h"
#include "view/WidgetPrompter.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>

#include <memory>

using namespace cdk;
using test::fileBytes;
using test::makeTask;
using test::words;
using test::writeFileBytes;

class TestBackupRestore final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<test::MainWindowHarness> h;
    std::unique_ptr<QTemporaryDir> m_backups; // where the user keeps backups

    QString folder() const { return QFileInfo(h->store().DatabasePath()).absolutePath(); }
    QString inFolder(const QString &name) const { return QDir(folder()).filePath(name); }
    QString elsewhere(const char *name) const
    {
        return m_backups->filePath(QString::fromLatin1(name));
    }

    // Subjects of a list as a separate reader of the file finds them.
    static QStringList subjectsInFile(const QString &path, const QString &list)
    {
        sql::Database db = sql::Database::openReadOnly(path);
        sql::Statement q = db.prepare(
            QStringLiteral("SELECT Subject FROM Chronodeck WHERE List = ?1 ORDER BY ID"));
        q.bind(1, list);
        QStringList subjects;
        while (q.step())
            subjects << q.text(0);
        return subjects;
    }
    static qint64 doneInFile(const QString &path, const QString &list, qint32 id)
    {
        sql::Database db = sql::Database::openReadOnly(path);
        sql::Statement q
            = db.prepare(QStringLiteral("SELECT FinishedDuration * 60 + FinishedSeconds FROM "
                                        "Chronodeck WHERE List = ?1 AND ID = ?2"));
        q.bind(1, list).bind(2, id);
        return q.step() ? q.int64(0) : -1;
    }

    void backupTo(const QString &path)
    {
        h->prompter.files << path;
        h->action("mnuCreateBackup")->trigger();
    }
    void restoreFrom(const QString &path)
    {
        h->prompter.answers << Answer::Yes;
        h->prompter.files << path;
        h->action("mnuRestoreBackup")->trigger();
    }
    QStringList texts()
    {
        QStringList shown;
        for (const auto &s : h->takeShown())
            shown << s.text;
        return shown;
    }
    static const QString kRestoreQuestion;

private Q_SLOTS:
    void init()
    {
        h = std::make_unique<test::MainWindowHarness>();
        m_backups = std::make_unique<QTemporaryDir>();
    }
    void cleanup() { test::MainWindowHarness::finish(h); }

    // A backup taken while a minute of tracking sits in the journal holds
    // it; restoring it later stops the tracking, shows the backed-up day and
    // keeps the replaced data in the first safety copy.
    void roundTripWhileTracking()
    {
        h->addTasks(
            h->today(),
            {makeTask(1, QStringLiteral("Alpha"), 60), makeTask(2, QStringLiteral("Bravo"), 60)});
        h->showWindow();
        h->startTracking(2);
        h->clock.advance(61'000);
        QTRY_COMPARE(h->stored(h->today(), 2)->FinishedDuration, 1);
        // No checkpoint has run: the minute is in the journal only.
        h->context().operations.checkpointTimer()->stop();

        const QString copy = elsewhere("tasks.cdkd");
        backupTo(copy);
        QCOMPARE(texts(), QStringList {QStringLiteral("Database backed up successfully.")});
        QVERIFY(!QFile::exists(copy + QStringLiteral("-wal")));
        QCOMPARE(doneInFile(copy, h->today(), 2), 61);
        QCOMPARE(subjectsInFile(copy, h->today()), words("Alpha Bravo"));
        QCOMPARE(h->settings().Load(SettingsSection::Backup, QStringLiteral("LastDBSaveDir")),
                 m_backups->path() + QLatin1Char('/'));
        QCOMPARE(h->settings().Load(SettingsSection::Backup, QStringLiteral("LastDBSaveFile")),
                 QStringLiteral("tasks"));
        QVERIFY(h->tracker().TrackingActive);

        // Changes after the backup, then the window on another day with a
        // selection.
        h->context().operations.deleteTasks(h->today(), {1});
        h->addTask(h->dayKey(1), makeTask(1, QStringLiteral("Tomorrow")));
        h->action("actNextDay")->trigger();
        QCOMPARE(h->shownSubjects(), words("Tomorrow"));

        restoreFrom(copy);
        const QList<test::RecordingPrompter::Shown> shown = h->takeShown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.at(0).text, kRestoreQuestion);
        QCOMPARE(shown.at(0).icon, MessageIcon::Exclamation);
        QCOMPARE(shown.at(1).text, QStringLiteral("Database successfully restored."));
        QCOMPARE(h->prompter.dialogs.last(),
                 (QStringList {m_backups->path() + QLatin1Char('/'), QStringLiteral("tasks"),
                               QStringLiteral("Chronodeck Database (*.cdkd)|*.cdkd")}));

        QVERIFY(!h->tracker().TrackingActive);
        QVERIFY(!h->tracker().tmrTracker()->isActive());
        QCOMPARE(h->shownSubjects(), QStringList()); // the backup has no task tomorrow
        QCOMPARE(h->label("gpCurTaskLbl"), QStringLiteral("No task selected"));
        h->action("actToday")->trigger();
        QCOMPARE(h->shownSubjects(), words("Alpha Bravo"));
        QCOMPARE(h->grid().cellText(2, ColTimeDone), QStringLiteral("0:01"));

        const QString safety = inFolder(QStringLiteral("backup_01_CDKDatabase.cdkd"));
        QCOMPARE(subjectsInFile(safety, h->today()), words("Bravo"));
        QCOMPARE(subjectsInFile(safety, h->dayKey(1)), words("Tomorrow"));
        // The restored database takes changes and keeps them across a restart.
        h->context().operations.addTask(
            makeTask(0, QStringLiteral("After"), 30, 0, NotStarted, 2, h->today()));
        h->close();
        QCOMPARE(h->store().tasksOfList(h->today()).size(), 3);
    }

    // The save dialog comes back after No to overwriting; Yes replaces the
    // file; a cancelled dialog shows nothing.
    void overwriteQuestionAndCancel()
    {
        h->addTask(h->today(), makeTask(1, QStringLiteral("Alpha")));
        h->showWindow();
        const QString existing = elsewhere("old.cdkd");
        QVERIFY(writeFileBytes(existing, "not a database yet"));
        h->prompter.files << existing << existing;
        h->prompter.answers << Answer::No << Answer::Yes;
        h->action("mnuCreateBackup")->trigger();
        QCOMPARE(texts(),
                 (QStringList {QStringLiteral("Do you want to overwrite this file?"),
                               QStringLiteral("Do you want to overwrite this file?"),
                               QStringLiteral("Database backed up successfully.")}));
        QCOMPARE(h->prompter.dialogs.size(), 2);
        // The first dialog of a fresh program starts in the program folder.
        QCOMPARE(h->prompter.dialogs.first().at(0), folder() + QLatin1Char('/'));
        QCOMPARE(subjectsInFile(existing, h->today()), words("Alpha"));

        h->action("mnuCreateBackup")->trigger();
        h->prompter.answers << Answer::Yes;
        h->action("mnuRestoreBackup")->trigger();
        QCOMPARE(texts(), QStringList {kRestoreQuestion});
        // The live database itself is not restored over itself.
        restoreFrom(h->store().DatabasePath());
        QCOMPARE(texts(),
                 (QStringList {kRestoreQuestion,
                               QStringLiteral("This database is already the default one!")}));
        QVERIFY(!QFile::exists(inFolder(QStringLiteral("backup_01_CDKDatabase.cdkd"))));
    }

    // A file that cannot take over is refused before anything is closed:
    // tracking goes on, the live rows stay, no safety copy is made.
    void unusableFileRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("not SQLite")
            << QStringLiteral("text") << QStringLiteral("is not a Chronodeck database");
        QTest::newRow("other tables")
            << QStringLiteral("tables") << QStringLiteral("is not a Chronodeck database");
        QTest::newRow("damaged pages") << QStringLiteral("damaged") << QStringLiteral("is damaged");
        QTest::newRow("missing") << QStringLiteral("missing")
                                 << QStringLiteral("File does not exist!");
    }
    void unusableFileRefused()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        h->addTasks(
            h->today(),
            {makeTask(1, QStringLiteral("Alpha"), 60), makeTask(2, QStringLiteral("Bravo"), 60)});
        h->showWindow();
        h->startTracking(1);
        const QString chosen = elsewhere("chosen.cdkd");
        if (kind == QStringLiteral("text")) {
            const QByteArray csv("Subject;Duration\nAlpha;60\n");
            QVERIFY(writeFileBytes(chosen, csv.repeated(200)));
        } else if (kind == QStringLiteral("tables")) {
            sql::Database other = sql::Database::open(chosen, true);
            other.exec(QStringLiteral("CREATE TABLE Notes (Text TEXT)"));
        } else if (kind == QStringLiteral("damaged")) {
            // Many rows, so the damage lands in a table's pages, not the header.
            TaskStore big(m_backups->path());
            big.OpenTaskDatabase();
            for (int i = 1; i <= 400; ++i)
                big.SaveTask(makeTask(i, QStringLiteral("Row %1 with some length").arg(i), 30, 0,
                                      NotStarted, 2, h->today()),
                             true, h->today(), i);
            big.Close();
            QFile::rename(big.DatabasePath(), chosen);
            QFile f(chosen);
            QVERIFY(f.open(QIODevice::ReadWrite));
            const qint64 size = f.size();
            for (qint64 at = 4096 * 2; at + 512 < size; at += 4096 * 3) {
                f.seek(at);
                f.write(QByteArray(300, '\x5a'));
            }
        }
        restoreFrom(chosen);
        const QString title = h->prompter.shown.last().title;
        QCOMPARE(title, kind == QStringLiteral("missing") ? QStringLiteral("Chronodeck")
                                                         : QStringLiteral("Error - Chronodeck"));
        const QStringList shown = texts();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.first(), kRestoreQuestion);
        QVERIFY2(shown.last().contains(message), qPrintable(shown.last()));
        if (kind != QStringLiteral("missing")) {
            // The standard box of a file that does not open, with what is
            // wrong with it as the description.
            QVERIFY2(shown.last().startsWith(
                         QStringLiteral("Error happened while opening file!\r\n\r\nCode: ")),
                     qPrintable(shown.last()));
            QVERIFY2(shown.last().contains(
                         QStringLiteral("Your current database has not been changed.")),
                     qPrintable(shown.last()));
        }

        QVERIFY(h->tracker().TrackingActive);
        QCOMPARE(h->shownSubjects(), words("Alpha Bravo"));
        QVERIFY(!QFile::exists(inFolder(QStringLiteral("backup_01_CDKDatabase.cdkd"))));
        h->clock.advance(61'000);
        QTRY_COMPARE(h->stored(h->today(), 1)->FinishedDuration, 1);
    }

    // The open dialog hands back a name that does not exist, so the restore
    // can say "File does not exist!" itself.
    void openDialogLetsAMissingNameThrough()
    {
        const QString missing = elsewhere("gone.cdkd");
        QVERIFY(!QFile::exists(missing));
        WidgetPrompter prompter;
        QTimer::singleShot(0, [missing] {
            QFileDialog *dialog = nullptr;
            QVERIFY(QTest::qWaitFor([&] {
                dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
                return dialog != nullptr;
            }));
            // Whatever the dialog puts up on refusing the name is closed,
            // and the dialog with it, so a refusal fails instead of hanging.
            QTimer::singleShot(200, dialog, [dialog] {
                if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                    box->reject();
                QTimer::singleShot(0, dialog, &QFileDialog::reject);
            });
            dialog->selectFile(missing);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        QCOMPARE(QFileInfo(prompter.openFileName(m_backups->path(), QStringLiteral("tasks"),
                                                 BackupRestore::fileFilter()))
                     .absoluteFilePath(),
                 QFileInfo(missing).absoluteFilePath());
    }

    // Nothing is replaced without a safety copy, and the program goes on with
    // its database open and tracking: safety copies are numbered on, the
    // hundredth is still made and the next restore is refused; a copy that
    // cannot be written refuses it too.
    void noRestoreWithoutASafetyCopy_data()
    {
        QTest::addColumn<bool>("hundredCopies");
        QTest::newRow("a hundred copies") << true;
        QTest::newRow("the copy cannot be written") << false;
    }
    void noRestoreWithoutASafetyCopy()
    {
        QFETCH(bool, hundredCopies);
        h->addTask(h->today(), makeTask(1, QStringLiteral("Alpha"), 60));
        h->showWindow();
        const QString copy = elsewhere("copy.cdkd");
        backupTo(copy);
        if (hundredCopies) {
            for (int n = 1; n <= 99; ++n)
                QVERIFY(writeFileBytes(inFolder(BackupRestore::safetyCopyName(n)), "kept"));
            h->takeShown();
            restoreFrom(copy);
            QCOMPARE(texts().last(), QStringLiteral("Database successfully restored."));
            const QString hundredth = inFolder(QStringLiteral("backup_100_CDKDatabase.cdkd"));
            QCOMPARE(subjectsInFile(hundredth, h->today()), words("Alpha"));
        } else {
            // The copy is written under a name of its own before it takes the
            // first free one: a folder is in the way (permissions would not
            // stop a test run as root).
            const QString part = BackupRestore::safetyCopyName(1) + QStringLiteral(".part");
            QVERIFY(QDir(folder()).mkdir(part));
        }
        h->takeShown();
        h->startTracking(1);

        restoreFrom(copy);
        const QList<test::RecordingPrompter::Shown> shown = h->takeShown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.last().icon, MessageIcon::Critical);
        const QString text = shown.last().text;
        if (hundredCopies) {
            QVERIFY2(shown.last().title.startsWith(QStringLiteral("Error - ")),
                     qPrintable(shown.last().title));
            QVERIFY2(text.startsWith(QStringLiteral("Error happened while opening file!")),
                     qPrintable(text));
            QCOMPARE(QDir(folder()).entryList({QStringLiteral("backup_*_CDKDatabase.cdkd")}).size(),
                     100);
            // The first one was never touched.
            QCOMPARE(fileBytes(inFolder(BackupRestore::safetyCopyName(1))),
                     QByteArray("kept"));
        } else {
            const QString live = QDir::toNativeSeparators(h->store().DatabasePath());
            QVERIFY2(
                text.startsWith(QStringLiteral("Copying file ") + live + QStringLiteral(" to ")),
                qPrintable(text));
            QVERIFY(text.contains(
                QStringLiteral(" has failed.\r\n\r\nCan not create backup of the current database. "
                               "Please contact Varnholt support at ")));
        }
        QVERIFY(h->tracker().TrackingActive);
        h->context().operations.addTask(
            makeTask(0, QStringLiteral("Bravo"), 30, 0, NotStarted, 2, h->today()));
        QCOMPARE(h->shownSubjects(), words("Alpha Bravo"));
    }

    // Another process reads the database, its snapshot in the journal,
    // while it is restored: the restore takes its place all the same, and
    // the old pages in the journal never come back.
    void restoreBesideAReader()
    {
        h->addTask(h->today(), makeTask(1, QStringLiteral("Old")));
        h->showWindow();
        const QString copy = elsewhere("copy.cdkd");
        {
            TaskStore other(m_backups->path());
            other.OpenTaskDatabase();
            other.SaveTask(
                makeTask(1, QStringLiteral("Restored"), 30, 0, NotStarted, 2, h->today()), true,
                h->today(), 1);
            other.Close();
            QFile::rename(other.DatabasePath(), copy);
        }
        // The reader's snapshot keeps the old pages in the journal.
        h->context().operations.addTask(
            makeTask(0, QStringLiteral("Written late"), 30, 0, NotStarted, 2, h->today()));
        h->context().operations.checkpointTimer()->stop();
        sql::Database reader = sql::Database::openReadOnly(h->store().DatabasePath());
        reader.exec(QStringLiteral("BEGIN"));
        QCOMPARE(reader
                     .scalar(QStringLiteral("SELECT COUNT(*) FROM Chronodeck WHERE List = '")
                             + h->today() + QStringLiteral("'"))
                     .toInt(),
                 2);

        restoreFrom(copy);
        QCOMPARE(texts().last(), QStringLiteral("Database successfully restored."));
        QCOMPARE(h->shownSubjects(), words("Restored"));
        reader.exec(QStringLiteral("COMMIT"));
        reader.close();
        h->close();
        QCOMPARE(h->store().tasksOfList(h->today()).size(), 1);
        QCOMPARE(h->store().findTask(h->today(), 1)->Subject, QStringLiteral("Restored"));
    }
};

const QString TestBackupRestore::kRestoreQuestion
    = QStringLiteral("This will overwrite your current database (copy of it will be created "
                     "though).\r\n\r\nDo you really want to continue?");

QTEST_MAIN(TestBackupRestore)
#include "test_backup_restore.moc"
