// File > Settings.. on the real main window: what the dialog shows, what OK
// leaves in settings.ini, and what the grid, the hotkey and the logon entry
// do about it.
#include "MainWindowHarness.h"

#include "common/FakeGlobalHotkey.h"
#include "desktop/SettingsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QTimer>

#include <functional>
#include <memory>

using namespace cdk;
using test::in;
using test::makeTask;

class TestSettingsDialog final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<test::MainWindowHarness> h;
    std::unique_ptr<test::FakeGlobalHotkey> hotkey;

    void showWindow()
    {
        h->context().hotkey = hotkey.get();
        h->showWindow();
    }

    // Opens the dialog through its menu entry; act runs while it is shown.
    // A dialog act leaves open is cancelled, so no test can hang in it.
    void withDialog(const std::function<void(SettingsDialog &)> &act)
    {
        bool ran = false;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = h->child<SettingsDialog>("frmSettings");
            QVERIFY(dialog && dialog->isVisible());
            ran = true;
            act(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        h->action("mnuSettings")->trigger();
        QVERIFY(ran);
        QCOMPARE(h->context().ModalDialogDepth, 0);
    }

    static void pressOk(SettingsDialog &d) { test::click(&d, "cmdOK"); }
    static int tab(SettingsDialog &d) { return in<QTabWidget>(&d, "TStrip")->currentIndex(); }

    // What settings.ini holds, read by a reader of its own.
    QString inFile(SettingsSection section, const char *key)
    {
        test::RecordingPrompter quiet;
        clsSettings file(quiet);
        file.setPath(h->settings().SettingsPath());
        return file.Load(section, QString::fromLatin1(key));
    }

private Q_SLOTS:
    void init()
    {
        h = std::make_unique<test::MainWindowHarness>();
        hotkey = std::make_unique<test::FakeGlobalHotkey>();
    }
    void cleanup()
    {
        test::MainWindowHarness::finish(h);
        hotkey.reset();
    }

    void firstUseShowsTheDefaultsAndTheKeysPickTabs()
    {
        showWindow();
        withDialog([&](SettingsDialog &d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Settings"));
            QCOMPARE(tab(d), 0);
            QVERIFY(in<QRadioButton>(&d, "optForCurrentUser")->isChecked());
            QVERIFY(in<QCheckBox>(&d, "chkUseHotkey")->isChecked());
            QVERIFY(in<QCheckBox>(&d, "chkControl")->isChecked());
            QVERIFY(in<QCheckBox>(&d, "chkAlt")->isChecked());
            QVERIFY(!in<QCheckBox>(&d, "chkShift")->isChecked());
            QVERIFY(!in<QCheckBox>(&d, "chkWin")->isChecked());
            auto *keys = in<QComboBox>(&d, "cmbKey");
            QCOMPARE(keys->count(), 54);
            QCOMPARE(keys->currentText(), QStringLiteral("m"));
            QVERIFY(keys->isEnabled());
            QVERIFY(in<QLabel>(&d, "lblHotkeyUnavailable")->isHidden());
            QCOMPARE(in<QComboBox>(&d, "cmbFontSize")->currentText(), QStringLiteral("9"));
            QCOMPARE(in<QLabel>(&d, "lblSound")->text(), QStringLiteral("(no sound selected)"));
            QVERIFY(!in<QPushButton>(&d, "cmdBrowse")->isEnabled());
            QVERIFY(!in<QPushButton>(&d, "cmdPlay")->isEnabled());

            // Alt+G reaches the first tab even where "Hide &Gridlines" is shown.
            QTest::keyClick(&d, Qt::Key_S, Qt::AltModifier);
            QCOMPARE(tab(d), 2);
            QTest::keyClick(&d, Qt::Key_T, Qt::AltModifier);
            QCOMPARE(tab(d), 1);
            QTest::keyClick(&d, Qt::Key_G, Qt::AltModifier);
            QCOMPARE(tab(d), 0);
            QVERIFY(!in<QCheckBox>(&d, "chkHideGridlines")->isChecked());

            // Unticking the hotkey greys its keys; Escape throws the change away.
            in<QCheckBox>(&d, "chkUseHotkey")->click();
            QVERIFY(!keys->isEnabled());
            QVERIFY(!in<QCheckBox>(&d, "chkWin")->isEnabled());
            QTest::keyClick(&d, Qt::Key_Escape);
            QVERIFY(!d.isVisible());
        });
        QCOMPARE(inFile(SettingsSection::Hotkeys, "MainHKUsed"), QStringLiteral("1"));
    }

    // "None" names no key: nothing to hold, so no question, though no
    // backend would register it.
    void noneKeyIsSavedAsZeroAndShownAsMNextTime()
    {
        showWindow();
        hotkey->answer = GlobalHotkey::RegisterResult::Unsupported;
        hotkey->held = true;
        withDialog([&](SettingsDialog &d) {
            auto *keys = in<QComboBox>(&d, "cmbKey");
            keys->setCurrentIndex(keys->findText(QStringLiteral("None")));
            in<QCheckBox>(&d, "chkShift")->click();
            pressOk(d);
            QVERIFY(!d.isVisible());
        });
        QCOMPARE(inFile(SettingsSection::Hotkeys, "MainHKKey"), QStringLiteral("0"));
        QCOMPARE(inFile(SettingsSection::Hotkeys, "MainHKMod"), QStringLiteral("7"));
        QVERIFY(hotkey->attempts.isEmpty());
        QVERIFY(!hotkey->isRegistered());
        withDialog([&](SettingsDialog &d) {
            QCOMPARE(in<QComboBox>(&d, "cmbKey")->currentText(), QStringLiteral("m"));
            QVERIFY(in<QCheckBox>(&d, "chkShift")->isChecked());
        });
    }

    void untickedHotkeyAlwaysSucceeds()
    {
        showWindow();
        hotkey->answer = GlobalHotkey::RegisterResult::Taken;
        hotkey->held = true;
        withDialog([&](SettingsDialog &d) {
            in<QCheckBox>(&d, "chkUseHotkey")->click();
            pressOk(d);
            QVERIFY(!d.isVisible());
        });
        QVERIFY(hotkey->attempts.isEmpty());
        QVERIFY(!hotkey->isRegistered());
        QCOMPARE(inFile(SettingsSection::Hotkeys, "MainHKUsed"), QStringLiteral("0"));
    }

    void takenHotkeyAsksWhetherToChangeIt_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::newRow("Yes: back to the key") << Answer::Yes;
        QTest::newRow("No: the rest is saved") << Answer::No;
    }
    void takenHotkeyAsksWhetherToChangeIt()
    {
        QFETCH(Answer, answer);
        showWindow();
        hotkey->answer = GlobalHotkey::RegisterResult::Taken;
        h->prompter.answers = {answer};
        withDialog([&](SettingsDialog &d) {
            in<QCheckBox>(&d, "chkWin")->click();
            QTest::keyClick(&d, Qt::Key_T, Qt::AltModifier);
            in<QCheckBox>(&d, "chkHideGridlines")->click();
            pressOk(d);
            QCOMPARE(d.isVisible(), answer == Answer::Yes);
            if (answer == Answer::Yes)
                QCOMPARE(tab(d), 0);
        });
        const QList<test::RecordingPrompter::Shown> shown = h->takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().title, QStringLiteral("Chronodeck"));
        QCOMPARE(shown.first().text,
                 QStringLiteral("Unable to register the specified hotkey. It is probably used by "
                                "another application.\r\n\r\nWould you like to change it now?"));
        QVERIFY(shown.first().question);
        QCOMPARE(shown.first().icon, MessageIcon::Question);
        // The hotkey's own values are kept either way; what follows it only on No.
        QCOMPARE(inFile(SettingsSection::Hotkeys, "MainHKMod"), QStringLiteral("11"));
        QCOMPARE(inFile(SettingsSection::General, "HideGridlines"),
                 answer == Answer::Yes ? QString() : QStringLiteral("1"));
        QVERIFY(!hotkey->isRegistered());
    }

    void desktopWithoutGlobalKeysSaysWhyAndAsksNothing()
    {
        hotkey->reason = QStringLiteral("A Wayland session lets no program grab keys for itself.");
        showWindow();
        withDialog([&](SettingsDialog &d) {
            auto *why = in<QLabel>(&d, "lblHotkeyUnavailable");
            QVERIFY(why->isVisible());
            QCOMPARE(why->text(), hotkey->reason);
            in<QCheckBox>(&d, "chkAlt")->click();
            pressOk(d);
            QVERIFY(!d.isVisible());
        });
        QCOMPARE(inFile(SettingsSection::Hotkeys, "MainHKMod"), QStringLiteral("2"));
    }

    void gridFollowsOk()
    {
        h->addTasks(h->today(),
                    {makeTask(1, QStringLiteral("a"), 10, 10, Finished),
                     makeTask(2, QStringLiteral("b"), 10)});
        showWindow();
        TaskGridView *view = h->view();
        QVERIFY(view->showGrid());
        QCOMPARE(h->shownSubjects(), QStringList({QStringLiteral("a"), QStringLiteral("b")}));

        // A flag the rows do not show.
        withDialog([&](SettingsDialog &d) {
            in<QCheckBox>(&d, "chkMark100PercentDoneWhenCheckedOff")->click();
            pressOk(d);
        });
        QVERIFY(h->settings().flags().MarkTasks100PercentWhenCheckedOff);

        // Two flags the rows show, grid lines and a font size.
        withDialog([&](SettingsDialog &d) {
            in<QCheckBox>(&d, "chkDisplayDoneTasksAtTheEnd")->click();
            in<QCheckBox>(&d, "chkDisableTaskColoring")->click();
            in<QCheckBox>(&d, "chkHideGridlines")->click();
            auto *sizes = in<QComboBox>(&d, "cmbFontSize");
            sizes->setCurrentIndex(sizes->findText(QStringLiteral("10")));
            pressOk(d);
        });
        QVERIFY(!view->showGrid());
        QCOMPARE(view->font().pointSize(), 10);
        QCOMPARE(view->verticalHeader()->defaultSectionSize(), 22);
        QTRY_COMPARE(h->shownSubjects(), QStringList({QStringLiteral("b"), QStringLiteral("a")}));
        QCOMPARE(inFile(SettingsSection::General, "TaskViewFontSizeSize"), QStringLiteral("10"));
        QCOMPARE(inFile(SettingsSection::General, "TaskViewFontSizeIndex"), QStringLiteral("2"));
    }

    void logonChoiceAndSoundFile()
    {
        QTemporaryDir sounds;
        const QString wav = sounds.filePath(QStringLiteral("done.wav"));
        QFile file(wav);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        h->prompter.files = {sounds.filePath(QStringLiteral("gone.wav")), wav};
        showWindow();
        withDialog([&](SettingsDialog &d) {
            in<QRadioButton>(&d, "optAllUsers")->click();
            in<QCheckBox>(&d, "chkCustomTaskDoneSound")->click();
            QTest::mouseClick(in<QPushButton>(&d, "cmdBrowse"), Qt::LeftButton);
            QCOMPARE(in<QLabel>(&d, "lblSound")->text(), wav);
            QVERIFY(in<QPushButton>(&d, "cmdPlay")->isEnabled());
            QTest::mouseClick(in<QPushButton>(&d, "cmdPlay"), Qt::LeftButton);
            pressOk(d);
        });
        const QList<test::RecordingPrompter::Shown> shown = h->takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().text, QStringLiteral("Selected file does not exist!"));
        QCOMPARE(shown.first().icon, MessageIcon::Exclamation);
        QCOMPARE(h->prompter.dialogs.size(), 2);
        QCOMPARE(h->prompter.dialogs.first().last(), QStringLiteral("*.wav|*.wav"));
        QCOMPARE(h->sound.played, QStringList {wav});
        QCOMPARE(h->autostart.calls, QStringList {QStringLiteral("set all users")});
        QCOMPARE(inFile(SettingsSection::General, "RunOnStartup"), QStringLiteral("1"));
        QCOMPARE(inFile(SettingsSection::Sounds, "CustomTaskDoneSoundFile"), wav);
        QCOMPARE(inFile(SettingsSection::Sounds, "CustomTaskDoneSound"), QStringLiteral("1"));

        // A sound file that has gone is forgotten at the next OK.
        QVERIFY(QFile::remove(wav));
        withDialog([&](SettingsDialog &d) {
            in<QRadioButton>(&d, "optDonststart")->click();
            pressOk(d);
        });
        QCOMPARE(inFile(SettingsSection::Sounds, "CustomTaskDoneSoundFile"), QString());
        QCOMPARE(h->autostart.calls.last(), QStringLiteral("remove"));
    }

    // The tracking tab: its defaults change nothing; what is picked is
    // written, shown again next time, and a hand-written value survives
    // a look at the dialog.
    void trackingTabWritesWhatIsPicked()
    {
        h->settings().setNumber(Setting::WarnMinutesBefore, 7);
        showWindow();
        withDialog([&](SettingsDialog &d) {
            QTest::keyClick(&d, Qt::Key_K, Qt::AltModifier);
            QCOMPARE(tab(d), 3);
            auto *away = in<QComboBox>(&d, "cmbAwayThreshold");
            QCOMPARE(away->currentText(), QStringLiteral("10 minutes"));
            QCOMPARE(in<QComboBox>(&d, "cmbWarnAtPercent")->currentText(), QStringLiteral("Off"));
            QCOMPARE(in<QComboBox>(&d, "cmbWarnMinutesBefore")->currentText(),
                     QStringLiteral("7 minutes"));
            QVERIFY(!in<QTimeEdit>(&d, "tmeReviewAt")->isEnabled());
            away->setCurrentIndex(away->findText(QStringLiteral("Never")));
            auto *percent = in<QComboBox>(&d, "cmbWarnAtPercent");
            percent->setCurrentIndex(percent->findData(90));
            in<QCheckBox>(&d, "chkReviewAt")->click();
            in<QTimeEdit>(&d, "tmeReviewAt")->setTime(QTime(18, 30));
            pressOk(d);
        });
        QCOMPARE(inFile(SettingsSection::Tracking, "AwayThresholdMinutes"), QStringLiteral("0"));
        QCOMPARE(inFile(SettingsSection::Tracking, "WarnAtPercent"), QStringLiteral("90"));
        QCOMPARE(inFile(SettingsSection::Tracking, "WarnMinutesBefore"), QStringLiteral("7"));
        QCOMPARE(inFile(SettingsSection::Tracking, "ReviewAtTime"), QStringLiteral("18:30"));
        withDialog([&](SettingsDialog &d) {
            QCOMPARE(in<QTimeEdit>(&d, "tmeReviewAt")->time(), QTime(18, 30));
            in<QCheckBox>(&d, "chkReviewAt")->click();
            pressOk(d);
        });
        QCOMPARE(inFile(SettingsSection::Tracking, "ReviewAtTime"), QString());
    }
};

QTEST_MAIN(TestSettingsDialog)
#include "test_settings_dialog.moc"
