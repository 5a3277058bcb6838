#include "ProgramHarness.h"
#include "base/DataFolder.h"
#include "controls/GradientPanel.h"
#include "common/FaultVfs.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScopeGuard>

#include <unistd.h>

using namespace cdk;
using namespace cdk::test;
using namespace Qt::StringLiterals;

class TestApplication : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // A first start in an empty folder makes the files and shows today; the
    // tutorial opens next to the window, and its first button flips between
    // the two pages. Later starts leave it closed.
    void firstStartShowsTodayAndTheTutorialOnce()
    {
        Program p;
        QCOMPARE(p.start(), Application::StartResult::Running);
        QVERIFY(QFileInfo(p.path(kDatabase)).isFile());
        QVERIFY(QFileInfo(p.path(QStringLiteral("settings.ini"))).isFile());
        QVERIFY(p.prompter.shown.isEmpty());
        QVERIFY(p.window()->isVisible());
        QCOMPARE(p.dtpView()->date(), p.clock.today());
        QVERIFY(!p.context->StartingUp);
        QCOMPARE(p.context->CurrentDay, p.clock.today());
        QVERIFY(p.app->dayWatcher()->nextWakeUp().isValid());
        QVERIFY(!p.app->tmrExitApp()->isActive());

        QPointer<QWidget> tutorial = p.window()->findChild<QWidget *>(u"frmTutorial"_s);
        QVERIFY(tutorial);
        QVERIFY(tutorial->isVisible());
        QVERIFY(!tutorial->isModal());
        QCOMPARE(tutorial->windowTitle(), u"Quick Tutorial"_s);

        auto shownText = [&tutorial] {
            QString text;
            for (QLabel *label : tutorial->findChildren<QLabel *>(u"lblInfo"_s))
                if (label->isVisibleTo(tutorial))
                    text += label->text();
            return text;
        };
        auto *part = tutorial->findChild<QPushButton *>(u"cmdOK"_s);
        QCOMPARE(part->text(), u"&Part 2"_s);
        QVERIFY(shownText().contains(u"T (today) button will always bring you"_s));
        QVERIFY(tutorial->findChild<QWidget *>(u"imgExplanation"_s)->isVisibleTo(tutorial));
        QVERIFY(!tutorial->findChild<QWidget *>(u"imgStartTracking"_s)->isVisibleTo(tutorial));
        part->click();
        QCOMPARE(part->text(), u"&Part 1"_s);
        QVERIFY(!shownText().contains(u"date picker"_s));
        QVERIFY(shownText().contains(u"Press Escape key to hide Chronodeck to system tray."_s));
        QVERIFY(tutorial->findChild<QWidget *>(u"imgStartTracking"_s)->isVisibleTo(tutorial));
        part->click();
        QCOMPARE(part->text(), u"&Part 2"_s);
        QVERIFY(shownText().contains(u"date picker"_s));

        // Escape closes it, as Close does.
        tutorial->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(tutorial));
        QTest::keyClick(tutorial, Qt::Key_Escape);
        QTRY_VERIFY(!tutorial);
        QVERIFY(p.exitAndWait());
        QCOMPARE(p.start(), Application::StartResult::Running);
        QVERIFY(!p.window()->findChild<QWidget *>(u"frmTutorial"_s));
    }

    // A command typed before the window's first start makes the settings
    // file; the window's first start is still one: the tutorial, the
    // first-run values beside the command's key.
    void firstStartAfterTheCommandLineCameFirst()
    {
        Program p;
        {
            test::RecordingPrompter quiet;
            clsSettings commandLine(quiet);
            commandLine.Init(p.folder(), clsSettings::FirstRun::Leave);
            commandLine.setBoolean(Setting::DisplayDoneTasksAtTheEnd, true);
        }
        QVERIFY(QFile::exists(p.path(u"settings.ini"_s)));
        QCOMPARE(p.start(), Application::StartResult::Running);
        QVERIFY(p.window()->findChild<QWidget *>(u"frmTutorial"_s));
        QCOMPARE(p.context->settings.number(Setting::MainHKKey), 77);
        QVERIFY(p.context->settings.boolean(Setting::DisplayDoneTasksAtTheEnd));
        // Started minimised and ended without ever showing, it is not asked again.
        QVERIFY(p.exitAndWait());
        QCOMPARE(p.start(true), Application::StartResult::Running);
        QVERIFY(!p.window()->findChild<QWidget *>(u"frmTutorial"_s));
    }

    // The start-at-logon choice in the file is applied at every start, once
    // the window is up, the first run's value included (what each value does
    // is the autostart test's).
    void runOnStartupIsAppliedAtStart_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("first run") << QByteArray() << QStringList{u"set user"_s};
        const QByteArray general = "[General]\r\nRunOnStartup=";
        QTest::newRow("1") << QByteArray(general + '1') << QStringList{u"set all users"_s};
        QTest::newRow("missing reads 0") << QByteArray("[Sort]\r\nColumn=4\r\n")
                                         << QStringList{u"set user"_s};
    }
    void runOnStartupIsAppliedAtStart()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, calls);
        Program p;
        if (!file.isEmpty())
            QVERIFY(writeFileBytes(p.path(u"settings.ini"_s), file));
        QCOMPARE(p.start(), Application::StartResult::Running);
        QTRY_COMPARE(p.autostart.calls, calls);
    }

    // Running past midnight copies the day's templates into the new day once,
    // refills the grid and leaves the day the user is looking at alone.
    void dayRollOver_data()
    {
        QTest::addColumn<int>("shownOffset"); // day picked by the user, from the start day
        QTest::newRow("looking at the start day") << 0;
        QTest::newRow("looking back a week") << -7;
    }
    void dayRollOver()
    {
        QFETCH(int, shownOffset);
        Program p;
        const QDate first = p.clock.today();
        const QDate next = first.addDays(1);
        seed(p.folder(), {task(recurrentListKey(), 1, QStringLiteral("0]Water plants")),
                          task(recurrentListKey(), 2, QStringLiteral("2]Weekend chores"))});
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(p.start(), Application::StartResult::Running);
        TaskStore &store = p.context->store;
        QCOMPARE(store.tasksOfList(DayListKey(first)).size(), 1);

        const QDate shown = first.addDays(shownOffset);
        p.dtpView()->setDate(shown);
        QCOMPARE(subjectsShown(p.window()).size(), shownOffset == 0 ? 1 : 0);

        // Wake-ups on the same day copy nothing.
        p.checkDay();
        QCOMPARE(store.tasksOfList(DayListKey(first)).size(), 1);
        QVERIFY(store.tasksOfList(DayListKey(next)).isEmpty());

        p.clock.setToday(next); // 6 March 2024, a Wednesday
        for (int wakeUp = 0; wakeUp < 3; ++wakeUp) {
            p.checkDay();
            const QList<TaskRecord> copies = store.tasksOfList(DayListKey(next));
            QCOMPARE(copies.size(), 1);
            QCOMPARE(copies.first().Subject, QStringLiteral("Water plants"));
        }
        QCOMPARE(store.tasksOfList(DayListKey(first)).size(), 1);
        QCOMPARE(p.context->CurrentDay, next);
        QCOMPARE(p.dtpView()->date(), shown);
        const QStringList expected = shownOffset == 0 ? QStringList{QStringLiteral("Water plants")}
                                                      : QStringList{};
        QCOMPARE(subjectsShown(p.window()), expected);
        // The summary follows at once: the day shown is no longer today.
        const auto *infos = p.window()->findChild<GradientPanel *>(QStringLiteral("gpInfos"));
        QVERIFY2(!infos->caption().contains(QStringLiteral("Today")), qPrintable(infos->caption()));
    }

    // A second start leaves the signal file; the running copy answers it
    // within a second, here one started hidden that finds a signal left over
    // from earlier.
    void restoreSignalBringsTheWindowBack()
    {
        Program p;
        QVERIFY(writeFileBytes(p.path(kSignal), "restorE\r\n"));
        QCOMPARE(p.start(true), Application::StartResult::Running);
        MainWindow *w = p.window();
        QSignalSpy finished(p.app.get(), &Application::finished);
        QVERIFY(!w->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(w->isVisible(), 1000);
        QVERIFY(!w->isMinimized());
        QVERIFY(!QFileInfo::exists(p.path(kSignal)));
        QCOMPARE(finished.count(), 0);
    }

    // The orderly exit, while a task is tracked and with a stale file under
    // the temporary name: every row survives compaction, which leaves no
    // temporary or journal file behind.
    void exitCompactsTheDatabase()
    {
        Program p;
        QCOMPARE(p.start(), Application::StartResult::Running);
        TaskStore &store = p.context->store;

        // Deleted rows leave free pages behind that only compaction returns.
        QMap<QString, QList<TaskRecord>> kept;
        const QString filler(200, QLatin1Char('x'));
        QStringList lists;
        for (int day = 0; day < 4; ++day) {
            const QString list = DayListKey(p.clock.today().addDays(day - 2));
            lists.append(list);
            for (qint32 id = 1; id <= 100; ++id) {
                const TaskRecord t
                    = task(list, id, QStringLiteral("Task %1 \u00e9\u4e2d ").arg(id) + filler);
                QVERIFY(store.SaveTask(t, true, list, id));
                if (id % 4 == 0)
                    kept[list].append(t);
            }
        }
        for (const QString &list : lists)
            for (qint32 id = 1; id <= 100; ++id)
                if (id % 4 != 0)
                    QVERIFY(store.DeleteTask(id, list));
        // Number 20: not started yet, so tracking moves it to "In Progress".
        const QString today = DayListKey(p.clock.today());
        TaskRecord &t = kept[today][4];
        QCOMPARE(t.ID, 20);
        QCOMPARE(t.State, int(NotStarted));
        QVERIFY(p.context->tracker.start(today, t.ID));
        p.clock.advance(10'000);
        p.context->tracker.TrackTick();
        t = *store.findTask(today, t.ID);
        QCOMPARE(t.State, int(InProgress));
        const int rowsBefore =
            store.database().scalar(QStringLiteral("SELECT COUNT(*) FROM Chronodeck")).toInt();
        store.checkpoint();
        const qint64 sizeBefore = QFileInfo(p.path(kDatabase)).size();

        QVERIFY(writeFileBytes(p.path(kTemporary), QByteArray(5000, 'j')));

        QVERIFY(p.exitAndWait());
        QVERIFY(p.context->Exiting);
        QVERIFY(!p.window()->isVisible());
        QVERIFY(!store.isOpen());

        QVERIFY(!QFileInfo::exists(p.path(kTemporary)));
        QVERIFY(!QFileInfo::exists(p.path(kDatabase + QStringLiteral("-wal"))));
        QVERIFY(!QFileInfo::exists(p.path(kDatabase + QStringLiteral("-journal"))));
        // Left in WAL mode (header bytes 18 and 19), so that the next start
        // need not rewrite and sync the header before it can read.
        const QByteArray header = fileBytes(p.path(kDatabase)).left(20);
        QCOMPARE(header.mid(18, 2), QByteArray("\x02\x02"));
        const qint64 sizeAfter = QFileInfo(p.path(kDatabase)).size();
        QVERIFY2(sizeAfter < sizeBefore / 2,
                 qPrintable(QStringLiteral("%1 -> %2 bytes").arg(sizeBefore).arg(sizeAfter)));

        TaskStore reopened(p.folder());
        reopened.OpenTaskDatabase();
        int rows = 0;
        for (auto it = kept.cbegin(); it != kept.cend(); ++it) {
            QCOMPARE(reopened.tasksOfList(it.key()), it.value());
            rows += it.value().size();
        }
        QCOMPARE(rows, 100);
        QCOMPARE(reopened.categories().size(), 8);
        QCOMPARE(reopened.NextTaskID(lists.last()), 101);
        // The lists above and the version row, nothing more and nothing less.
        QCOMPARE(
            reopened.database().scalar(QStringLiteral("SELECT COUNT(*) FROM Chronodeck")).toInt(),
            rowsBefore);
        QCOMPARE(reopened.database().scalar(QStringLiteral("PRAGMA integrity_check")).toString(),
                 QStringLiteral("ok"));
    }

    // A temporary name that cannot be cleared stops the compaction, not the
    // exit, and the database stays as it was.
    void exitWhenCompactionIsImpossible()
    {
        Program p;
        QCOMPARE(p.start(), Application::StartResult::Running);
        const QString list = DayListKey(p.clock.today());
        for (qint32 id = 1; id <= 20; ++id)
            QVERIFY(p.context->store.SaveTask(task(list, id, QStringLiteral("Kept %1").arg(id)),
                                              true, list, id));
        QVERIFY(QDir().mkpath(p.path(kTemporary + QStringLiteral("/inside"))));

        QVERIFY(p.exitAndWait());
        QVERIFY(!p.context->store.isOpen());
        QVERIFY(QFileInfo(p.path(kTemporary)).isDir());
        TaskStore reopened(p.folder());
        reopened.OpenTaskDatabase();
        QCOMPARE(reopened.tasksOfList(list).size(), 20);
        QCOMPARE(reopened.findTask(list, 20)->Subject, QStringLiteral("Kept 20"));
    }

    // The exit writes the window's state and, unless a dialog is open over
    // it, its position.
    void exitSavesThePlacement_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("dialogs");
        QTest::addColumn<QString>("wasMaximized"); // empty: not checked
        QTest::addColumn<QString>("x");            // empty: not checked
        QTest::newRow("maximized") << "maximized" << 0 << "1" << "";
        QTest::newRow("normal, moved") << "normal" << 0 << "0" << "210";
        QTest::newRow("minimized keeps the value") << "minimized" << 0 << "1" << "";
        QTest::newRow("dialog open keeps the position") << "normal" << 1 << "" << "7";
    }
    void exitSavesThePlacement()
    {
        QFETCH(QString, state);
        QFETCH(int, dialogs);
        QFETCH(QString, wasMaximized);
        QFETCH(QString, x);
        Program p;
        QCOMPARE(p.start(), Application::StartResult::Running);
        MainWindow *w = p.window();
        if (state == QLatin1String("maximized"))
            w->showMaximized();
        else if (state == QLatin1String("minimized"))
            w->showMinimized();
        // Let the window's own saving of a resize run first, then lay values
        // that only the exit can change.
        QTest::qWait(400);
        const auto save = [&p](const char *key, const QString &value) {
            p.context->settings.Save(SettingsSection::WindowPos, QLatin1String(key), value);
        };
        save("frmMainWasMaximized", state == QLatin1String("maximized") ? u"0"_s : u"1"_s);
        save("frmMainX", u"7"_s);
        if (state == QLatin1String("normal"))
            w->move(210, 130);
        p.context->ModalDialogDepth = dialogs;

        QVERIFY(p.exitAndWait());
        if (!wasMaximized.isEmpty())
            QCOMPARE(p.setting(SettingsSection::WindowPos, u"frmMainWasMaximized"_s), wasMaximized);
        if (!x.isEmpty())
            QCOMPARE(p.setting(SettingsSection::WindowPos, u"frmMainX"_s), x);
        // The database is compacted all the same.
        QVERIFY(!QFileInfo::exists(p.path(kTemporary)));
    }

    // A settings file of 10 MB of random bytes (a disk fault, a wrong file
    // under the name) is read as no settings: the window starts, nothing is
    // asked and the file is left as it is. How long reading it takes is a
    // figure of bench_settings.
    void hugeRandomSettingsFileIsReadAsNone()
    {
        Program p;
        QByteArray noise(10 * 1024 * 1024, Qt::Uninitialized);
        QRandomGenerator random(20240305);
        random.fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
        QVERIFY(writeFileBytes(p.path(u"settings.ini"_s), noise));

        QCOMPARE(p.start(), Application::StartResult::Running);
        QVERIFY(p.window()->isVisible());
        QVERIFY(p.prompter.shown.isEmpty());
        QCOMPARE(fileBytes(p.path(u"settings.ini"_s)), noise);
    }

    // A data folder the database cannot be made in ends the start-up with one
    // message that names the folder and says what to do; no part of a
    // database is left behind to be refused at the next start. A full disk is
    // tried at every write the creation makes.
    void folderWithoutRoomForTheDatabaseStopsTheStart_data()
    {
        QTest::addColumn<int>("failingWrite"); // 0: a read-only folder
        QTest::newRow("read-only folder") << 0;
        for (int nth = 1; nth <= 8; ++nth)
            QTest::addRow("disk full at write %d", nth) << nth;
    }
    void folderWithoutRoomForTheDatabaseStopsTheStart()
    {
        QFETCH(int, failingWrite);
        Program p;
        const QString folder = QDir::toNativeSeparators(QDir(p.folder()).absolutePath());
        if (failingWrite == 0) {
            if (::geteuid() == 0)
                QSKIP("permissions do not bind the superuser; the full-disk rows do");
            QVERIFY(QFile::setPermissions(p.folder(), QFile::ReadOwner | QFile::ExeOwner));
        } else {
            p.storeVfs = FaultVfs::name();
            FaultVfs::instance().arm(FaultVfs::Kind::Write, failingWrite, SQLITE_FULL, true);
        }
        const auto lift = [&p] {
            FaultVfs::instance().lift();
            QFile::setPermissions(p.folder(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        };
        const auto restore = qScopeGuard(lift);

        QCOMPARE(p.start(), Application::StartResult::Failed);
        QCOMPARE(p.prompter.shown.size(), 1);
        const RecordingPrompter::Shown &message = p.prompter.shown.first();
        QVERIFY2(message.text.contains(u'"' + folder + u'"'), qPrintable(message.text));
        QVERIFY2(message.text.contains(u"can be written"_s), qPrintable(message.text));
        QCOMPARE(message.icon, MessageIcon::Critical);
        QVERIFY(!message.question);
        QVERIFY(!p.window() || !p.window()->isVisible());
        QVERIFY(!p.context->store.isOpen());
        QVERIFY(!p.context->StartingUp);

        const QStringList left = QDir(p.folder()).entryList(QDir::Files | QDir::Hidden);
        for (const QString &name : left)
            QVERIFY2(!name.startsWith(kDatabase), qPrintable(name));
        // Once there is room again, the next start makes the database.
        lift();
        p.app.reset();
        p.context.reset();
        p.instance.reset();
        p.prompter.shown.clear();
        p.storeVfs.clear();
        QCOMPARE(p.start(), Application::StartResult::Running);
        QVERIFY(p.prompter.shown.isEmpty());
    }

    void choosesTheFirstAvailableFolder()
    {
        QTemporaryDir program, user, chosen;
        const QStringList plain = {QStringLiteral("chronodeck")};
        const QString withSep = QDir(chosen.path()).absolutePath() + QLatin1Char('/');

        QCOMPARE(resolveDataFolder(plain + QStringList{QStringLiteral("--data-dir"), chosen.path()},
                                   user.path(), program.path(), user.path()),
                 withSep);
        QCOMPARE(
            resolveDataFolder(plain + QStringList {QStringLiteral("--data-dir=") + chosen.path()},
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
        QTest::addColumn<QString>("arguments"); // separated by blanks
        QTest::addColumn<bool>("minimized");
        QTest::newRow("none") << "chronodeck" << false;
        QTest::newRow("plain") << "chronodeck minimized" << true;
        QTest::newRow("slash capitals") << "chronodeck /MINIMIZED" << true;
        QTest::newRow("inside a word") << "chronodeck --startMinimizedNow" << true;
        QTest::newRow("program name does not count") << "/opt/minimized/chronodeck" << false;
        QTest::newRow("other words") << "chronodeck minimize" << false;
    }
    void minimizedAnywhereInAnyCase()
    {
        QFETCH(QString, arguments);
        QFETCH(bool, minimized);
        QCOMPARE(commandLineSaysMinimized(arguments.split(u' ')), minimized);
    }
};

QTEST_MAIN(TestApplication)
#include "test_application.moc"
