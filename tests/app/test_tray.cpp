// The program as the desktop sees it: its tray icon and menu, the window that
// goes to the tray and comes back, and the hotkey held from start to exit.
#include "ProgramHarness.h"

#include "common/FakeGlobalHotkey.h"
#include "core/TimeTracker.h"
#include "desktop/SettingsDialog.h"
#include "view/TrackingCommands.h"
#include "view/WindowCommands.h"

#include <QMenu>

using namespace cdk;
using namespace cdk::test;

namespace {

QAction *entry(QMenu *menu, const char *name)
{
    return menu->findChild<QAction *>(QString::fromLatin1(name));
}

} // namespace

class TestTray : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void menuEntriesFollowTheirCommands()
    {
        Program p;
        seed(p.folder(), {task(DayListKey(p.clock.today()), 1, QStringLiteral("write"))});
        QCOMPARE(p.start(), Application::StartResult::Running);
        QVERIFY(p.tray.shown);
        QCOMPARE(p.tray.toolTip, QStringLiteral("Chronodeck"));
        QCOMPARE(p.tray.picture, TrayIcon::Picture::Normal);

        QMenu *menu = p.tray.menu;
        QVERIFY(menu);
        QStringList captions;
        for (QAction *a : menu->actions()) {
            if (!a->isSeparator())
                captions.append(a->text());
        }
        QCOMPARE(captions,
                 QStringList({QStringLiteral("&Show Chronodeck"), QStringLiteral("&Add Task"),
                              QStringLiteral("Review the Da&y..."), QStringLiteral("&Start Timer"), QStringLiteral("St&op Timer"),
                              QStringLiteral("&Settings"), QStringLiteral("&About"),
                              QStringLiteral("E&xit")}));
        QCOMPARE(menu->defaultAction(), entry(menu, "mnuShow"));

        // Row 1 is selected at start: it can be timed, nothing is timed yet.
        QVERIFY(entry(menu, "mnuStartTimer")->isEnabled());
        QVERIFY(!entry(menu, "mnuStopTimer")->isEnabled());
        entry(menu, "mnuStartTimer")->trigger();
        QVERIFY(p.context->tracker.TrackingActive);
        QCOMPARE(p.tray.picture, TrayIcon::Picture::Play);
        QVERIFY(!entry(menu, "mnuStartTimer")->isEnabled());
        QVERIFY(entry(menu, "mnuStopTimer")->isEnabled());
        entry(menu, "mnuStopTimer")->trigger();
        QVERIFY(!p.context->tracker.TrackingActive);
        QCOMPARE(p.tray.picture, TrayIcon::Picture::Normal);

        // An empty day has nothing to time.
        p.window()->showDay(p.clock.today().addDays(1));
        QVERIFY(!entry(menu, "mnuStartTimer")->isEnabled());

        entry(menu, "mnuExit")->trigger();
        QVERIFY(p.app->tmrExitApp()->isActive());
        QVERIFY(p.exitAndWait());
    }

    // With a dialog open the tray menu would start a second one behind it:
    // the window and the dialog come forward instead.
    void menuWhileADialogIsOpenBringsTheWindowBack()
    {
        Program p;
        QCOMPARE(p.start(true), Application::StartResult::Running);
        MainWindow *window = p.window();
        QMenu *menu = p.tray.menu;
        bool checked = false;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = window->findChild<SettingsDialog *>(QStringLiteral("frmSettings"));
            QVERIFY(dialog && dialog->isVisible());
            window->setWindowState(Qt::WindowMinimized);
            menu->popup(QPoint(10, 10));
            QTRY_VERIFY(!menu->isVisible());
            QVERIFY(!window->isMinimized());
            QVERIFY(dialog->isVisible());
            checked = true;
            dialog->reject();
        });
        // Settings from the tray first shows the window the dialog belongs to.
        entry(menu, "mnuSettings")->trigger();
        QVERIFY(checked);

        menu->popup(QPoint(10, 10));
        QVERIFY(menu->isVisible());
        menu->hide();
    }

    // A click brings the window back as it was: a window that was not
    // maximised is not maximised because an earlier run ended maximised.
    void clickRestoresTheWindowAsItWas()
    {
        Program p;
        QVERIFY(writeFileBytes(p.path(QStringLiteral("settings.ini")),
                               "[WindowPos]\r\nfrmMainWasMaximized=1\r\n"));
        QCOMPARE(p.start(), Application::StartResult::Running);
        MainWindow *window = p.window();
        window->showNormal();
        window->windowCommands().mnuHideToSystemTray->trigger();
        QVERIFY(!window->isVisible());
        Q_EMIT p.tray.activated();
        QVERIFY(window->isVisible());
        QVERIFY(!window->isMinimized());
        QVERIFY(!window->isMaximized());
    }

    // Started minimised before the desktop's tray is up (a start at logon):
    // the window waits on the taskbar, and goes to the tray once it appears.
    void trayThatAppearsLater()
    {
        Program p;
        p.tray.available = false;
        QCOMPARE(p.start(true), Application::StartResult::Running);
        MainWindow *window = p.window();
        QVERIFY(window->isVisible());
        QVERIFY(window->isMinimized());

        p.tray.available = true;
        Q_EMIT p.tray.availableChanged(true);
        QVERIFY(!window->isVisible());

        Q_EMIT p.tray.activated();
        QVERIFY(window->isVisible());
        window->close();
        QVERIFY(!window->isVisible());
        QVERIFY(!p.app->tmrExitApp()->isActive());
    }

    void hotkeyHeldFromStartToExit()
    {
        Program p;
        FakeGlobalHotkey hotkey;
        QVERIFY(writeFileBytes(p.path(QStringLiteral("settings.ini")),
                               "[Hotkeys]\r\nMainHKUsed=1\r\nMainHKMod=6\r\nMainHKKey=112\r\n"));
        p.make();
        p.context->hotkey = &hotkey;
        QCOMPARE(p.app->Main(), Application::StartResult::Running);
        QTRY_COMPARE(hotkey.attempts, (QList<QPair<int, int>> {{6, 112}}));
        QVERIFY(hotkey.isRegistered());
        QVERIFY(p.exitAndWait());
        QVERIFY(!hotkey.isRegistered());
    }
};

QTEST_MAIN(TestTray)
#include "test_tray.moc"
