#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace cdk {

class SyncRunner;
class clsSettings;

// File, "Sync...": the CalDAV account (server, user name, password), the
// task list synced with, the state of the last sync and "Sync Now". Signing
// in and syncing run in the background; the dialog only shows how they end.
class SyncDialog final : public QDialog
{
    Q_OBJECT

public:
    SyncDialog(SyncRunner &runner, clsSettings &settings, QWidget *parent = nullptr);

    // Fills the fields from the settings; the password field stays empty.
    void load();
    // Shown when the keyring has no password: the user gives it for this run.
    void askForPassword();

private:
    void signIn();
    void runnerFinished(bool ok, const QString &message);
    void showMessage(const QString &message);
    void showLists(const QStringList &lists);
    void updateButtons();

    SyncRunner &m_runner;
    clsSettings &m_settings;
    QLineEdit *m_txtServer = nullptr;
    QLineEdit *m_txtUser = nullptr;
    QLineEdit *m_txtPassword = nullptr;
    QComboBox *m_cmbList = nullptr;
    QPushButton *m_cmdSignIn = nullptr;
    QPushButton *m_cmdSyncNow = nullptr;
    QLabel *m_lblState = nullptr;
    QLabel *m_lblMessage = nullptr;
};

} // namespace cdk
