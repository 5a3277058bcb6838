#pragma once

#include <QString>

namespace cdk {

class Prompter;
class TaskOperations;
class clsSettings;

// The File menu's backup and restore: which file, the questions on the way,
// and the messages when something fails. The copying itself is done by the
// task operations, so the live database is never half replaced; the folder
// and name last chosen are remembered in the section "Backup".
class BackupRestore final
{
public:
    BackupRestore(TaskOperations &operations, clsSettings &settings, Prompter &prompter);

    // "Chronodeck Database (*.cdkd)|*.cdkd", the filter of both file dialogs.
    static QString fileFilter();
    // "backup_01_CDKDatabase.cdkd" ... "backup_100_CDKDatabase.cdkd".
    static QString safetyCopyName(int number);
    static constexpr int kSafetyCopies = 100;

    // Copies the live database to a file the user chooses; true when written.
    bool CreateBackup();
    // Puts a file the user chooses in the place of the live database, after
    // a numbered safety copy of it; true when the live database was replaced.
    bool RestoreBackup();

private:
    void rememberChoice(const QString &path);

    TaskOperations &m_operations;
    clsSettings &m_settings;
    Prompter &m_prompter;
};

} // namespace cdk
