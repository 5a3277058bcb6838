#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

class QProcess;
class QTimer;

namespace cdk {

class TaskOperations;
class clsSettings;

// The window's side of sync: it runs chronodeck-sync, the program beside it,
// in the background (never in the window's own process, which so loads no
// network or iCalendar code) a few seconds after start-up, every few
// minutes, two seconds after a change and on request, and keeps the state a
// user sees ("Synced 12:04", "Offline: 3 changes waiting", "Sign-in refused").
// chronodeck-sync reports the state in English, as it keeps it in the
// database for `chronodeck status`; the window shows it translated.
class SyncRunner final : public QObject
{
    Q_OBJECT

public:
    // programFolder: where chronodeck-sync is; dataFolder: the folder synced.
    SyncRunner(const QString &programFolder, const QString &dataFolder, clsSettings &settings,
               TaskOperations &operations, QObject *parent = nullptr);
    ~SyncRunner() override;

    bool isSetUp() const;
    bool isRunning() const;
    // The state as the window shows it, in the user's language.
    QString stateText() const { return shownState(m_state); }
    // A state in English, from chronodeck-sync or from this class, as the
    // window shows it; a text it does not know stays as it is.
    static QString shownState(const QString &state);

    // One sync now, or right after the one running.
    void syncNow();
    // One sync unless the server failed lately and its wait is not over.
    void syncWhenDue();
    // Sets up the account and syncs; the outcome arrives as finished().
    void setUp(const QString &server, const QString &user, const QString &password,
               const QString &list, bool create);
    // The password where no keyring keeps it: given to every run of this
    // program's life, never written anywhere.
    void setPassword(const QString &password) { m_password = password; }

Q_SIGNALS:
    // state: as the window shows it (shownState()).
    void stateChanged(const QString &state);
    // A run ended: ok, and its one-line message.
    void finished(bool ok, const QString &message);
    // The keyring holds no password for the account: the window asks once.
    void passwordNeeded();
    // Signing in found several task lists (or none named so): the user picks.
    void listsFound(const QStringList &names);

private:
    void start(const QStringList &arguments, const QString &stdinText);
    void processEnded();
    void setState(const QString &state);
    void changeSeen();
    void scheduleInterval();

    const QString m_program;
    const QString m_dataFolder;
    clsSettings &m_settings;
    TaskOperations &m_operations;
    QProcess *m_process = nullptr;
    QTimer *m_tmrSyncInterval = nullptr;
    QTimer *m_tmrSyncAfterChange = nullptr;
    QString m_state; // in English
    QString m_password;
    bool m_again = false; // another run is due once this one ends
    // After runs that did not reach the server, automatic runs wait longer
    // each time (up to an hour); a user's Sync Now always runs.
    int m_failures = 0;
    QDateTime m_retryAt;
    bool m_askedForPassword = false;
};

} // namespace cdk
