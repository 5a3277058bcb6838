#include "view/SyncDialog.h"

#include "settings/Settings.h"
#include "view/SyncRunner.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace cdk {

namespace {

// The list choice's data: a list's name, or one of these.
const QString kCurrentList = QStringLiteral("\x01current");
const QString kFindLists = QStringLiteral("\x01find");
const QString kCreateList = QStringLiteral("\x01create");
const QString kNewListName = QStringLiteral("Chronodeck");

} // namespace

SyncDialog::SyncDialog(SyncRunner &runner, clsSettings &settings, QWidget *parent)
    : QDialog(parent), m_runner(runner), m_settings(settings)
{
    setObjectName(QStringLiteral("frmSync"));
    setWindowTitle(tr("Sync"));
    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(tr("Chronodeck keeps its tasks in a task list of your CalDAV server "
                                "(Nextcloud, Radicale, Baikal, Fastmail, iCloud), where your other "
                                "computers and your phone's tasks app find them."),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto *form = new QFormLayout;
    m_txtServer = new QLineEdit(this);
    m_txtServer->setObjectName(QStringLiteral("txtSyncServer"));
    m_txtServer->setPlaceholderText(QStringLiteral("https://cloud.example.com"));
    m_txtUser = new QLineEdit(this);
    m_txtUser->setObjectName(QStringLiteral("txtSyncUser"));
    m_txtPassword = new QLineEdit(this);
    m_txtPassword->setObjectName(QStringLiteral("txtSyncPassword"));
    m_txtPassword->setEchoMode(QLineEdit::Password);
    m_txtPassword->setPlaceholderText(tr("kept in the desktop's keyring"));
    m_cmbList = new QComboBox(this);
    m_cmbList->setObjectName(QStringLiteral("cmbSyncList"));
    form->addRow(tr("&Server address:"), m_txtServer);
    form->addRow(tr("&User name:"), m_txtUser);
    form->addRow(tr("&Password:"), m_txtPassword);
    form->addRow(tr("&Task list:"), m_cmbList);
    layout->addLayout(form);

    m_lblState = new QLabel(this);
    m_lblState->setObjectName(QStringLiteral("lblSyncState"));
    m_lblMessage = new QLabel(this);
    m_lblMessage->setObjectName(QStringLiteral("lblSyncMessage"));
    m_lblMessage->setWordWrap(true);
    layout->addWidget(m_lblState);
    layout->addWidget(m_lblMessage);

    auto *buttons = new QDialogButtonBox(this);
    m_cmdSignIn = buttons->addButton(tr("S&ign In"), QDialogButtonBox::ActionRole);
    m_cmdSignIn->setObjectName(QStringLiteral("cmdSyncSignIn"));
    m_cmdSyncNow = buttons->addButton(tr("Sync &Now"), QDialogButtonBox::ActionRole);
    m_cmdSyncNow->setObjectName(QStringLiteral("cmdSyncNow"));
    QPushButton *close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("cmdSyncClose"));
    layout->addWidget(buttons);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cmdSignIn, &QPushButton::clicked, this, &SyncDialog::signIn);
    connect(m_cmdSyncNow, &QPushButton::clicked, &m_runner, &SyncRunner::syncNow);
    for (QLineEdit *field : {m_txtServer, m_txtUser, m_txtPassword})
        connect(field, &QLineEdit::textChanged, this, &SyncDialog::updateButtons);

    connect(&m_runner, &SyncRunner::stateChanged, this, [this](const QString &state) {
        m_lblState->setText(tr("State: %1").arg(state));
        updateButtons();
    });
    connect(&m_runner, &SyncRunner::finished, this, &SyncDialog::runnerFinished);
    connect(&m_runner, &SyncRunner::listsFound, this, &SyncDialog::showLists);
    load();
}

void SyncDialog::load()
{
    m_txtServer->setText(m_settings.text(Setting::SyncServer));
    m_txtUser->setText(m_settings.text(Setting::SyncUser));
    m_txtPassword->clear();
    m_cmbList->clear();
    if (m_runner.isSetUp())
        m_cmbList->addItem(tr("The list synced now"), kCurrentList);
    m_cmbList->addItem(tr("Find the account's task lists"), kFindLists);
    m_cmbList->addItem(tr("Make a new list \"%1\"").arg(kNewListName), kCreateList);
    m_lblState->setText(tr("State: %1").arg(m_runner.stateText()));
    showMessage({});
    updateButtons();
}

void SyncDialog::signIn()
{
    const QString choice = m_cmbList->currentData().toString();
    showMessage({});
    if (choice == kCurrentList) {
        // The account stays; only its password is new (or no keyring keeps it).
        m_runner.setPassword(m_txtPassword->text());
        m_runner.syncNow();
        updateButtons();
        return;
    }
    QString list;
    bool create = false;
    if (choice == kCreateList) {
        list = kNewListName;
        create = true;
    } else if (choice != kFindLists) {
        list = choice;
    }
    m_runner.setUp(m_txtServer->text().trimmed(), m_txtUser->text().trimmed(),
                   m_txtPassword->text(), list, create);
    updateButtons();
}

void SyncDialog::showMessage(const QString &message)
{
    m_lblMessage->setText(message);
    // A message can be selected and copied; an empty line is nothing a
    // keyboard or a screen reader should stop at.
    m_lblMessage->setTextInteractionFlags(message.isEmpty() ? Qt::NoTextInteraction
                                                            : Qt::TextSelectableByMouse);
}

void SyncDialog::askForPassword()
{
    load();
    showMessage(tr("No keyring keeps the password of %1: enter it and press Sign In. It "
                   "is kept until Chronodeck ends.")
                    .arg(m_txtUser->text()));
    m_txtPassword->setFocus();
}

void SyncDialog::runnerFinished(bool ok, const QString &message)
{
    showMessage(message);
    if (ok)
        m_txtPassword->clear();
    updateButtons();
}

void SyncDialog::showLists(const QStringList &lists)
{
    m_cmbList->clear();
    for (const QString &name : lists)
        m_cmbList->addItem(name, name);
    m_cmbList->addItem(tr("Make a new list \"%1\"").arg(kNewListName), kCreateList);
    m_cmbList->setFocus();
}

void SyncDialog::updateButtons()
{
    const bool idle = !m_runner.isRunning();
    m_cmdSignIn->setEnabled(idle && !m_txtServer->text().trimmed().isEmpty()
                            && !m_txtUser->text().trimmed().isEmpty()
                            && !m_txtPassword->text().isEmpty());
    m_cmdSyncNow->setEnabled(idle && m_runner.isSetUp());
}

} // namespace cdk
