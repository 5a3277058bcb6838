#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace cdk {

class Autostart;
class clsSettings;
class GlobalHotkey;
class TrackingSettingsPage;
class Prompter;
class Sound;

// "frmSettings": start at logon and the global hotkey, the task list's look,
// and the sound of a finished task. OK writes every value to the settings at
// once; whoever shows what a setting governs follows the settings' change
// signal. Kept between openings: LoadEx fills it afresh each time.
class SettingsDialog final : public QDialog
{
    Q_OBJECT

public:
    struct HotkeyKey
    {
        QString text;
        int code; // Windows virtual-key code, as "MainHKKey" stores it
    };
    // The entries of cmbKey in list order, "None" (0) first.
    static QList<HotkeyKey> hotkeyKeys();

    // hotkey may be null: the desktop then has no global keys at all.
    SettingsDialog(clsSettings &settings, GlobalHotkey *hotkey, Autostart &autostart,
                   Prompter &prompter, Sound &sound, QWidget *parent = nullptr);

    // The first tab, the key list and the stored settings, before every showing.
    void LoadEx();
    // Writes the dialog's values; false when the user chose to correct a
    // hotkey that could not be registered (the dialog then stays open on the
    // first tab).
    bool SaveSettingsFromDialog();

    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildGeneralPage();
    QWidget *buildTaskListPage();
    QWidget *buildSoundsPage();
    void FillHotkeyKeyList();
    void LoadSettingsIntoDialog();
    void chkUseHotkey_Click();
    void showHotkeyState();
    void chkCustomTaskDoneSound_Click();
    void EnablePlayIfFileExists();
    void cmdBrowse_Click();
    void cmdPlay_Click();
    int ModifierBitsFromDialog() const;
    bool registerHotkey();

    clsSettings &m_settings;
    GlobalHotkey *m_hotkey;
    Autostart &m_autostart;
    Prompter &m_prompter;
    Sound &m_sound;

    QTabWidget *m_tabs = nullptr;
    QButtonGroup *m_startup = nullptr;
    QRadioButton *m_optForCurrentUser = nullptr;
    QRadioButton *m_optAllUsers = nullptr;
    QRadioButton *m_optDonststart = nullptr;
    QCheckBox *m_chkUseHotkey = nullptr;
    QCheckBox *m_chkControl = nullptr;
    QCheckBox *m_chkAlt = nullptr;
    QCheckBox *m_chkShift = nullptr;
    QCheckBox *m_chkWin = nullptr;
    QComboBox *m_cmbKey = nullptr;
    QLabel *m_lblHotkeyUnavailable = nullptr;
    QCheckBox *m_chkDisplayDoneTasksAtTheEnd = nullptr;
    QCheckBox *m_chkHideGridlines = nullptr;
    QCheckBox *m_chkDisableTaskColoring = nullptr;
    QCheckBox *m_chkMark100PercentDoneWhenCheckedOff = nullptr;
    QComboBox *m_cmbFontSize = nullptr;
    QCheckBox *m_chkCustomTaskDoneSound = nullptr;
    TrackingSettingsPage *m_trackingPage = nullptr;
    QLabel *m_lblSound = nullptr;
    QPushButton *m_cmdBrowse = nullptr;
    QPushButton *m_cmdPlay = nullptr;
};

} // namespace cdk
