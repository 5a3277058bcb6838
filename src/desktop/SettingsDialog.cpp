#include "desktop/SettingsDialog.h"

#include "base/Functions.h"
#include "base/Prompter.h"
#include "controls/Icons.h"
#include "desktop/Autostart.h"
#include "desktop/GlobalHotkey.h"
#include "desktop/MainHotkey.h"
#include "desktop/TrackingSettingsPage.h"
#include "settings/Settings.h"
#include "base/Sound.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QVBoxLayout>

namespace cdk {

namespace {

const QStringList kFontSizes
    = {QStringLiteral("8"),  QStringLiteral("9"),  QStringLiteral("10"), QStringLiteral("11"),
       QStringLiteral("12"), QStringLiteral("14"), QStringLiteral("16")};
constexpr int kKeyM = 77;

template<typename T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QCheckBox *checkBox(const QString &caption, const char *name, QWidget *parent)
{
    return named(new QCheckBox(caption, parent), name);
}

bool fileExists(const QString &path) { return !path.isEmpty() && QFileInfo(path).isFile(); }

// The desktop's own sounds are the likeliest home of a WAV file; without
// them the user starts at home.
QString soundFolder()
{
    const QString sounds
        = QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("sounds"),
                                 QStandardPaths::LocateDirectory);
    return sounds.isEmpty() ? QDir::homePath() : sounds;
}

// The letter after the first single '&' of a caption, in capitals: what
// Alt and a letter key report. Null where the caption has none.
QChar mnemonicOf(const QString &caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != QLatin1Char('&'))
            continue;
        if (caption.at(i + 1) != QLatin1Char('&'))
            return caption.at(i + 1).toUpper();
        ++i; // "&&" is a plain ampersand
    }
    return {};
}

// The tab a key of the form Alt+letter stands for, or -1. The letters are
// read from the tab captions, so that every language keeps its own.
int tabOfKey(const QTabWidget *tabs, const QKeyEvent *key)
{
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::AltModifier)
        return -1;
    for (int i = 0; i < tabs->count(); ++i) {
        const QChar letter = mnemonicOf(tabs->tabText(i));
        if (!letter.isNull() && key->key() == int(letter.unicode()))
            return i;
    }
    return -1;
}

} // namespace

QList<SettingsDialog::HotkeyKey> SettingsDialog::hotkeyKeys()
{
    QList<HotkeyKey> keys;
    keys.append({tr("None", "no key"), 0});
    for (int d = 0; d <= 9; ++d)
        keys.append({QString::number(d), '0' + d});
    for (char c = 'a'; c <= 'z'; ++c)
        keys.append({QString(QLatin1Char(c)), c - 'a' + 'A'});
    for (int f = 1; f <= 12; ++f)
        keys.append({QStringLiteral("F%1").arg(f), 111 + f});
    keys.append({tr("HOME", "key"), 36});
    keys.append({tr("INSERT", "key"), 45});
    keys.append({tr("PAGE DOWN", "key"), 34});
    keys.append({tr("PAGE UP", "key"), 33});
    keys.append({tr("END", "key"), 35});
    return keys;
}

SettingsDialog::SettingsDialog(clsSettings &settings, GlobalHotkey *hotkey, Autostart &autostart,
                               Prompter &prompter, Sound &sound, QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_hotkey(hotkey)
    , m_autostart(autostart)
    , m_prompter(prompter)
    , m_sound(sound)
{
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(tr("Settings"));
    setWindowIcon(iconForKey(QStringLiteral("WRENCH")));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setModal(true);

    m_tabs = named(new QTabWidget(this), "TStrip");
    // The focus goes to the tab bar, which reads the page names; the frame
    // around the pages would be one more stop a screen reader cannot name.
    m_tabs->setFocusPolicy(Qt::NoFocus);
    m_tabs->addTab(buildGeneralPage(), iconForKey(QStringLiteral("SETTINGS")), tr("&General"));
    m_tabs->addTab(buildTaskListPage(), iconForKey(QStringLiteral("CHECKBOX")),
                   tr("&Task List View"));
    m_tabs->addTab(buildSoundsPage(), iconForKey(QStringLiteral("PLAY")), tr("&Sounds"));
    m_trackingPage = new TrackingSettingsPage(this);
    m_tabs->addTab(m_trackingPage, iconForKey(QStringLiteral("CLOCK")), tr("Trac&king"));
    const QStringList tabKeys = {QStringLiteral("GENERAL"), QStringLiteral("TASKLISTVIEW"),
                                 QStringLiteral("SOUNDS"), QStringLiteral("TRACKING")};
    for (int i = 0; i < m_tabs->count(); ++i) {
        m_tabs->widget(i)->setObjectName(QStringLiteral("gpSettings(%1)").arg(i));
        m_tabs->tabBar()->setTabData(i, tabKeys.at(i));
    }

    auto *cmdOK = named(new QPushButton(tr("&OK"), this), "cmdOK");
    auto *cmdCancel = named(new QPushButton(tr("Cancel"), this), "cmdCancel");
    cmdOK->setDefault(true);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(cmdOK, QDialogButtonBox::AcceptRole);
    buttons->addButton(cmdCancel, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SettingsDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);

    // Alt and a tab's letter (Alt+G, Alt+T, Alt+S, Alt+K in English) pick
    // that tab wherever the focus is, before the mnemonics of the controls on
    // the pages ("Hide &Gridlines") see them.
    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
}

QWidget *SettingsDialog::buildGeneralPage()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);

    auto *startup = new QGroupBox(tr("Start at logon"), page);
    auto *startupLayout = new QVBoxLayout(startup);
    m_optForCurrentUser = named(
        new QRadioButton(tr("Start &Chronodeck For Current User at System Startup"), startup),
        "optForCurrentUser");
    m_optAllUsers
        = named(new QRadioButton(tr("Start Chronodeck &For All Users at System Startup"), startup),
                "optAllUsers");
    m_optDonststart
        = named(new QRadioButton(tr("&Do Not Start Chronodeck at Windows Startup"), startup),
                "optDonststart");
    m_startup = new QButtonGroup(this);
    m_startup->addButton(m_optForCurrentUser, int(RunOnStartupChoice::CurrentUser));
    m_startup->addButton(m_optAllUsers, int(RunOnStartupChoice::AllUsers));
    m_startup->addButton(m_optDonststart, int(RunOnStartupChoice::DoNotStart));
    for (QAbstractButton *option : m_startup->buttons())
        startupLayout->addWidget(option);
    layout->addWidget(startup);

    auto *hotkey = new QGroupBox(tr("Global hotkey"), page);
    auto *hotkeyLayout = new QVBoxLayout(hotkey);
    m_chkUseHotkey = checkBox(tr("&Use the following hotkey"), "chkUseHotkey", hotkey);
    hotkeyLayout->addWidget(m_chkUseHotkey);
    auto *combination = new QHBoxLayout;
    m_chkControl = checkBox(tr("&Control", "modifier key"), "chkControl", hotkey);
    m_chkAlt = checkBox(tr("&Alt", "modifier key"), "chkAlt", hotkey);
    m_chkShift = checkBox(tr("S&hift", "modifier key"), "chkShift", hotkey);
    m_chkWin = checkBox(tr("&Win", "modifier key"), "chkWin", hotkey);
    m_cmbKey = named(new QComboBox(hotkey), "cmbKey");
    m_cmbKey->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_cmbKey->setMaxVisibleItems(16);
    for (QWidget *part : {static_cast<QWidget *>(m_chkControl), static_cast<QWidget *>(m_chkAlt),
                          static_cast<QWidget *>(m_chkShift), static_cast<QWidget *>(m_chkWin)}) {
        combination->addWidget(part);
        combination->addWidget(new QLabel(QStringLiteral("+"), hotkey));
    }
    combination->addWidget(m_cmbKey);
    combination->addStretch(1);
    hotkeyLayout->addLayout(combination);
    m_lblHotkeyUnavailable = named(new QLabel(hotkey), "lblHotkeyUnavailable");
    m_lblHotkeyUnavailable->setWordWrap(true);
    m_lblHotkeyUnavailable->setTextFormat(Qt::PlainText);
    showHotkeyState();
    // The desktop portal answers a registration later, and its user may
    // rebind the keys while the dialog is open.
    if (m_hotkey)
        connect(m_hotkey, &GlobalHotkey::registrationChanged, this,
                &SettingsDialog::showHotkeyState);
    hotkeyLayout->addWidget(m_lblHotkeyUnavailable);
    layout->addWidget(hotkey);
    layout->addStretch(1);

    connect(m_chkUseHotkey, &QCheckBox::clicked, this, &SettingsDialog::chkUseHotkey_Click);
    return page;
}

QWidget *SettingsDialog::buildTaskListPage()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    m_chkDisplayDoneTasksAtTheEnd = checkBox(tr("&Display Done Tasks Always At The End"),
                                             "chkDisplayDoneTasksAtTheEnd", page);
    m_chkHideGridlines = checkBox(tr("Hide &Gridlines"), "chkHideGridlines", page);
    m_chkDisableTaskColoring
        = checkBox(tr("Disable Task &Coloring"), "chkDisableTaskColoring", page);
    m_chkMark100PercentDoneWhenCheckedOff = checkBox(tr("&Mark Tasks 100% Done When Checked Off"),
                                                     "chkMark100PercentDoneWhenCheckedOff", page);
    for (QCheckBox *box : {m_chkDisplayDoneTasksAtTheEnd, m_chkHideGridlines,
                           m_chkDisableTaskColoring, m_chkMark100PercentDoneWhenCheckedOff})
        layout->addWidget(box);

    auto *fontRow = new QHBoxLayout;
    auto *lblFontSize = named(new QLabel(tr("&Font size:"), page), "lblFontSize");
    m_cmbFontSize = named(new QComboBox(page), "cmbFontSize");
    m_cmbFontSize->addItems(kFontSizes);
    lblFontSize->setBuddy(m_cmbFontSize);
    fontRow->addWidget(lblFontSize);
    fontRow->addWidget(m_cmbFontSize);
    fontRow->addStretch(1);
    layout->addSpacing(6);
    layout->addLayout(fontRow);
    layout->addStretch(1);
    return page;
}

QWidget *SettingsDialog::buildSoundsPage()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    m_chkCustomTaskDoneSound = checkBox(tr("&Play Custom WAV Sound When Task Is Finished"),
                                        "chkCustomTaskDoneSound", page);
    layout->addWidget(m_chkCustomTaskDoneSound);

    auto *fileRow = new QHBoxLayout;
    m_lblSound = named(new QLabel(tr("(no sound selected)"), page), "lblSound");
    m_lblSound->setTextFormat(Qt::PlainText);
    m_lblSound->setFrameShape(QFrame::StyledPanel);
    m_lblSound->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long path must not widen the dialog; the tooltip shows all of it.
    m_lblSound->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_lblSound->setMinimumWidth(160);
    m_cmdBrowse = named(new QPushButton(tr("&Browse..."), page), "cmdBrowse");
    m_cmdPlay = named(new QPushButton(page), "cmdPlay");
    m_cmdPlay->setIcon(iconForKey(QStringLiteral("PLAY")));
    m_cmdPlay->setToolTip(tr("Play"));
    m_cmdPlay->setAccessibleName(m_cmdPlay->toolTip());
    m_cmdPlay->setEnabled(false);
    for (QPushButton *button : {m_cmdBrowse, m_cmdPlay})
        button->setAutoDefault(false);
    fileRow->addWidget(m_lblSound, 1);
    fileRow->addWidget(m_cmdBrowse);
    fileRow->addWidget(m_cmdPlay);
    layout->addLayout(fileRow);
    layout->addStretch(1);

    connect(m_chkCustomTaskDoneSound, &QCheckBox::clicked, this,
            &SettingsDialog::chkCustomTaskDoneSound_Click);
    connect(m_cmdBrowse, &QPushButton::clicked, this, &SettingsDialog::cmdBrowse_Click);
    connect(m_cmdPlay, &QPushButton::clicked, this, &SettingsDialog::cmdPlay_Click);
    return page;
}

bool SettingsDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        const int tab = tabOfKey(m_tabs, static_cast<QKeyEvent *>(event));
        if (tab >= 0) {
            event->accept();
            if (event->type() == QEvent::KeyPress)
                m_tabs->setCurrentIndex(tab);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void SettingsDialog::LoadEx()
{
    m_tabs->setCurrentIndex(0);
    FillHotkeyKeyList();
    LoadSettingsIntoDialog();
    showHotkeyState();
}

void SettingsDialog::showHotkeyState()
{
    // Where keys cannot be grabbed, the user learns it here rather than from
    // a question about another program after every OK; where the desktop
    // chooses the keys, the user sees which it chose, or why none.
    QString text;
    if (!m_hotkey)
        text = tr("This desktop gives Chronodeck no global hotkeys.");
    else if (!m_hotkey->isAvailable())
        text = m_hotkey->unavailableReason();
    else if (!m_hotkey->registrationError().isEmpty())
        text = m_hotkey->registrationError();
    else if (m_hotkey->isRegistered() && !m_hotkey->boundTrigger().isEmpty())
        text = tr("Keys the desktop bound to the hotkey: %1").arg(m_hotkey->boundTrigger());
    m_lblHotkeyUnavailable->setText(text);
    m_lblHotkeyUnavailable->setVisible(!text.isEmpty());
}

void SettingsDialog::FillHotkeyKeyList()
{
    m_cmbKey->clear();
    for (const HotkeyKey &key : hotkeyKeys())
        m_cmbKey->addItem(key.text, key.code);
}

void SettingsDialog::LoadSettingsIntoDialog()
{
    // The group is exclusive only once a choice is made; a value outside the
    // three selects none.
    m_startup->setExclusive(false);
    for (QAbstractButton *option : m_startup->buttons())
        option->setChecked(false);
    if (QAbstractButton *option = m_startup->button(m_settings.number(Setting::RunOnStartup)))
        option->setChecked(true);
    m_startup->setExclusive(true);

    const int mods = m_settings.number(Setting::MainHKMod) & 0xFF;
    m_chkAlt->setChecked(mods & GlobalHotkey::Alt);
    m_chkControl->setChecked(mods & GlobalHotkey::Control);
    m_chkShift->setChecked(mods & GlobalHotkey::Shift);
    m_chkWin->setChecked(mods & GlobalHotkey::Win);

    int key = m_settings.number(Setting::MainHKKey);
    if (key < 1 || key >= 124)
        key = kKeyM;
    m_cmbKey->setCurrentIndex(m_cmbKey->findData(key));

    m_chkUseHotkey->setChecked(m_settings.boolean(Setting::MainHKUsed));
    chkUseHotkey_Click();

    m_chkHideGridlines->setChecked(m_settings.boolean(Setting::HideGridlines));
    m_chkDisplayDoneTasksAtTheEnd->setChecked(
        m_settings.boolean(Setting::DisplayDoneTasksAtTheEnd));
    m_chkDisableTaskColoring->setChecked(m_settings.boolean(Setting::DisableTaskColoring));
    m_chkMark100PercentDoneWhenCheckedOff->setChecked(
        m_settings.boolean(Setting::MarkTasks100PercentWhenCheckedOff));

    const int fontIndex = m_settings.number(Setting::TaskViewFontSizeIndex);
    m_cmbFontSize->setCurrentIndex(fontIndex >= 0 && fontIndex < m_cmbFontSize->count() ? fontIndex
                                                                                        : 0);

    const QString soundFile = m_settings.text(Setting::CustomTaskDoneSoundFile);
    if (fileExists(soundFile)) {
        m_lblSound->setText(soundFile);
        m_lblSound->setToolTip(QDir::toNativeSeparators(soundFile));
    }
    m_chkCustomTaskDoneSound->setChecked(m_settings.boolean(Setting::CustomTaskDoneSound));
    chkCustomTaskDoneSound_Click();

    m_trackingPage->load(m_settings);
}

void SettingsDialog::chkUseHotkey_Click()
{
    const bool on = m_chkUseHotkey->isChecked();
    for (QWidget *control : {static_cast<QWidget *>(m_chkControl), static_cast<QWidget *>(m_chkAlt),
                             static_cast<QWidget *>(m_chkWin), static_cast<QWidget *>(m_chkShift),
                             static_cast<QWidget *>(m_cmbKey)})
        control->setEnabled(on);
}

void SettingsDialog::chkCustomTaskDoneSound_Click()
{
    m_cmdBrowse->setEnabled(m_chkCustomTaskDoneSound->isChecked());
    EnablePlayIfFileExists();
}

void SettingsDialog::EnablePlayIfFileExists()
{
    if (fileExists(m_lblSound->text()))
        m_cmdPlay->setEnabled(true);
}

void SettingsDialog::cmdBrowse_Click()
{
    for (;;) {
        const QString file
            = m_prompter.openFileName(soundFolder(), QString(), QStringLiteral("*.wav|*.wav"));
        if (file.isEmpty())
            return;
        if (fileExists(file)) {
            m_lblSound->setText(file);
            m_lblSound->setToolTip(QDir::toNativeSeparators(file));
            EnablePlayIfFileExists();
            return;
        }
        m_prompter.tell(programName(), tr("Selected file does not exist!"),
                        MessageIcon::Exclamation);
    }
}

void SettingsDialog::cmdPlay_Click()
{
    const QString file = m_lblSound->text();
    if (fileExists(file))
        m_sound.playTaskDone(file);
}

int SettingsDialog::ModifierBitsFromDialog() const
{
    return (m_chkAlt->isChecked() ? GlobalHotkey::Alt : 0)
        | (m_chkControl->isChecked() ? GlobalHotkey::Control : 0)
        | (m_chkShift->isChecked() ? GlobalHotkey::Shift : 0)
        | (m_chkWin->isChecked() ? GlobalHotkey::Win : 0);
}

bool SettingsDialog::registerHotkey()
{
    // Without global keys on this desktop no other choice would register
    // either; the line under the key says so, and the rest is saved.
    if (!m_hotkey || !m_hotkey->isAvailable())
        return true;
    // A Pending registration is answered by the desktop later, on the line
    // under the key.
    const auto result = RegisterKeyFromSettings(*m_hotkey, m_settings);
    if (result == GlobalHotkey::RegisterResult::Registered
        || result == GlobalHotkey::RegisterResult::Pending)
        return true;
    const Answer answer = m_prompter.ask(
        programName(),
        tr("Unable to register the specified hotkey. It is probably used by another "
           "application.\r\n\r\nWould you like to change it now?"),
        MessageIcon::Question);
    if (answer == Answer::Yes) {
        m_tabs->setCurrentIndex(0);
        return false;
    }
    return true;
}

bool SettingsDialog::SaveSettingsFromDialog()
{
    if (const int choice = m_startup->checkedId(); choice >= 0) {
        m_settings.setNumber(Setting::RunOnStartup, choice);
        applyRunOnStartup(m_autostart, choice);
    }
    m_settings.setNumber(Setting::MainHKMod, ModifierBitsFromDialog());
    // A stored key the list does not know selects nothing; it is kept as it was.
    if (m_cmbKey->currentIndex() >= 0)
        m_settings.setNumber(Setting::MainHKKey, m_cmbKey->currentData().toInt());
    m_settings.setBoolean(Setting::MainHKUsed, m_chkUseHotkey->isChecked());
    if (!registerHotkey())
        return false;

    m_settings.setBoolean(Setting::HideGridlines, m_chkHideGridlines->isChecked());
    m_settings.setBoolean(Setting::DisplayDoneTasksAtTheEnd,
                          m_chkDisplayDoneTasksAtTheEnd->isChecked());
    m_settings.setBoolean(Setting::DisableTaskColoring, m_chkDisableTaskColoring->isChecked());
    m_settings.setBoolean(Setting::MarkTasks100PercentWhenCheckedOff,
                          m_chkMark100PercentDoneWhenCheckedOff->isChecked());
    m_settings.setNumber(Setting::TaskViewFontSizeIndex, m_cmbFontSize->currentIndex());
    m_settings.setNumber(Setting::TaskViewFontSizeSize, m_cmbFontSize->currentText().toInt());

    const QString soundFile = m_lblSound->text();
    m_settings.setText(Setting::CustomTaskDoneSoundFile,
                       fileExists(soundFile) ? soundFile : QString());
    m_settings.setBoolean(Setting::CustomTaskDoneSound, m_chkCustomTaskDoneSound->isChecked());
    m_trackingPage->save(m_settings);
    return true;
}

void SettingsDialog::accept()
{
    if (SaveSettingsFromDialog())
        QDialog::accept();
}

} // namespace cdk
