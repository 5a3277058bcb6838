#include "core/BackupRestore.h"

#include "base/Functions.h"
#include "base/Log.h"
#include "base/Prompter.h"
#include "core/TaskOperations.h"
#include "settings/Settings.h"
#include "store/TaskStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace cdk {

namespace {

// Asked for when shown: the language is chosen after static texts are made.
QString saveContext()
{
    return QCoreApplication::translate("BackupRestore", "Error happened while saving file!");
}
QString openContext()
{
    return QCoreApplication::translate("BackupRestore", "Error happened while opening file!");
}

QString supportAddress() { return QStringLiteral("support@chronodeck.org"); }

// Two names of one file: the dialogs may hand back a path spelled otherwise
// than the program keeps it.
bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo first(a), second(b);
    if (first.exists() && second.exists())
        return first.canonicalFilePath() == second.canonicalFilePath();
    return QDir::cleanPath(first.absoluteFilePath()) == QDir::cleanPath(second.absoluteFilePath());
}

} // namespace

BackupRestore::BackupRestore(TaskOperations &operations, clsSettings &settings, Prompter &prompter)
    : m_operations(operations)
    , m_settings(settings)
    , m_prompter(prompter)
{
}

QString BackupRestore::fileFilter()
{
    return QStringLiteral("%1 (*.cdkd)|*.cdkd")
        .arg(QCoreApplication::translate("BackupRestore", "Chronodeck Database"));
}

QString BackupRestore::safetyCopyName(int number)
{
    return QStringLiteral("backup_%1_CDKDatabase.cdkd").arg(number, 2, 10, QLatin1Char('0'));
}

void BackupRestore::rememberChoice(const QString &path)
{
    m_settings.setText(Setting::LastDBSaveDir, PathUpToLastSeparator(path, QLatin1Char('/')));
    // A name without any "." is remembered whole.
    const QString name = QFileInfo(path).fileName();
    m_settings.setText(Setting::LastDBSaveFile, name.section(QLatin1Char('.'), 0, 0));
}

bool BackupRestore::CreateBackup()
{
    const QString live = m_operations.store().DatabasePath();
    QString folder = m_settings.text(Setting::LastDBSaveDir);
    if (folder.isEmpty())
        folder = QFileInfo(live).absolutePath() + QLatin1Char('/');
    const QString name = m_settings.text(Setting::LastDBSaveFile);
    QString path;
    for (;;) {
        path = m_prompter.saveFileName(folder, name, fileFilter());
        if (path.isEmpty())
            return false;
        if (!FileExists(path))
            break;
        if (m_prompter.ask(
                programName(),
                QCoreApplication::translate("BackupRestore", "Do you want to overwrite this file?"),
                MessageIcon::Question)
            == Answer::Yes)
            break;
    }
    bool written = true;
    if (sameFile(path, live)) {
        written = false;
        ShowErrorMessage(m_prompter, saveContext(), 0,
                         QCoreApplication::translate(
                             "BackupRestore", "The database cannot be backed up onto itself."));
    } else {
        try {
            m_operations.backupDatabase(path);
        } catch (const StoreError &e) {
            qCWarning(lcStore) << "backup to" << path << "failed:" << e.code() << e.message();
            written = false;
            m_prompter.tell(
                programName(),
                QCoreApplication::translate("BackupRestore", "Unable to save database to %1!")
                    .arg(path),
                MessageIcon::None);
        }
    }
    rememberChoice(path);
    return written;
}

bool BackupRestore::RestoreBackup()
{
    const QString live = m_operations.store().DatabasePath();
    const QString folder = m_settings.text(Setting::LastDBSaveDir);
    const QString name = m_settings.text(Setting::LastDBSaveFile);
    QString path;
    for (;;) {
        path = m_prompter.openFileName(folder, name, fileFilter());
        if (path.isEmpty())
            return false;
        if (FileExists(path))
            break;
        m_prompter.tell(programName(),
                        QCoreApplication::translate("BackupRestore", "File does not exist!"),
                        MessageIcon::Exclamation);
    }
    if (sameFile(path, live)) {
        m_prompter.tell(programName(),
                        QCoreApplication::translate("BackupRestore",
                                                    "This database is already the default one!"),
                        MessageIcon::Information);
        return false;
    }
    // Nothing is closed or copied for a file that could not take over.
    try {
        m_operations.checkRestorable(path);
    } catch (const StoreError &e) {
        // Such a file fails to open as the task database, and a failure to
        // open is reported in the standard box; what is wrong with it is the
        // description.
        ShowErrorMessage(m_prompter, openContext(), e.code(), e.userMessage());
        return false;
    }

    const QDir programFolder = QFileInfo(live).absoluteDir();
    QString safetyCopy;
    for (int n = 1; n <= kSafetyCopies && safetyCopy.isEmpty(); ++n) {
        const QString candidate = programFolder.filePath(safetyCopyName(n));
        if (!QFileInfo::exists(candidate))
            safetyCopy = candidate;
    }
    if (safetyCopy.isEmpty()) {
        ShowErrorMessage(m_prompter, openContext(), 0,
                         QCoreApplication::translate("BackupRestore",
                                                     "There is no room for another copy of the "
                                                     "current database: %1 to %2 all exist. "
                                                     "Move some of them elsewhere and try again.")
                             .arg(safetyCopyName(1), safetyCopyName(kSafetyCopies)));
        return false;
    }
    try {
        m_operations.backupDatabase(safetyCopy);
    } catch (const StoreError &e) {
        qCWarning(lcStore) << "safety copy" << safetyCopy << "failed:" << e.code() << e.message();
        m_prompter.tell(
            programName(),
            QCoreApplication::translate("BackupRestore", "Copying file %1 to %2 has failed.")
                    .arg(QDir::toNativeSeparators(live), QDir::toNativeSeparators(safetyCopy))
                + QStringLiteral("\r\n\r\n")
                + QCoreApplication::translate("BackupRestore",
                                              "Can not create backup of the current "
                                              "database. Please contact Varnholt "
                                              "support at %1")
                      .arg(supportAddress()),
            MessageIcon::Critical);
        return false;
    }

    bool restored = true;
    try {
        m_operations.replaceDatabase(path);
    } catch (const StoreError &e) {
        restored = false;
        if (e.isReadyToShow())
            m_prompter.tell(programName(), e.userMessage(), MessageIcon::None);
        else
            ShowErrorMessage(m_prompter, openContext(), e.code(), e.message());
    }
    rememberChoice(path);
    return restored;
}

} // namespace cdk
