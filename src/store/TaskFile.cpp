#include "store/TaskFile.h"

#include "base/Functions.h"
#include "base/Log.h"
#include "store/TaskSchema.h"
#include "store/TaskStore.h"

#include <QDir>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <filesystem>
#include <system_error>

namespace cdk::taskfile {

namespace {

// Short enough that a start-up next to a busy copy answers at once, long
// enough to ride out a checkpoint of the other side.
constexpr int kBusyTimeoutMs = 250;

StoreError describeOpenFailure(const QString &path, const sql::Error &e)
{
    const QString file = shownPath(path);
    qCWarning(lcStore) << "cannot open" << file << e.code() << e.message();
    const auto told = [&e](const QString &text) {
        return StoreError(StoreError::ReadyToShow {}, text, e.code());
    };
    switch (e.code() & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return told(QStringLiteral("The task database \"%1\" is locked by another program. "
                                   "Close the other program (or the other copy of %2) and "
                                   "start %2 again.")
                        .arg(file, programName()));
    case SQLITE_NOTADB:
        return told(QStringLiteral("The file \"%1\" is not a task database. Restore a backup of "
                                   "the database, or move the file elsewhere so that a new, "
                                   "empty database is created. The file has not been changed.")
                        .arg(file));
    case SQLITE_CORRUPT:
        return told(QStringLiteral("The task database \"%1\" is damaged. Restore a backup of the "
                                   "database, or move the file elsewhere so that a new, empty "
                                   "database is created. The file has not been changed.")
                        .arg(file));
    default:
        return told(QStringLiteral("The task database \"%1\" cannot be opened: %2\n\nCheck "
                                   "that the file and its folder can be read and written.")
                        .arg(file, e.message()));
    }
}

void setConnectionPragmas(sql::Database &db, const QString &path)
{
    const QString mode = db.scalar(QStringLiteral("PRAGMA journal_mode = WAL")).toString();
    if (mode.compare(QStringLiteral("wal"), Qt::CaseInsensitive) != 0)
        qCWarning(lcStore) << "write-ahead journal refused for" << shownPath(path)
                           << "; the engine keeps" << mode;
    db.exec(QStringLiteral("PRAGMA synchronous = NORMAL"));
    // Room for the pages of a database of many years, so that looking back at
    // old days is not a read from the disk each time; taken only as used.
    db.exec(QStringLiteral("PRAGMA cache_size = -16384"));
}

// The structure of every page is checked. Re-evaluating the CHECK constraints
// of every row would cost three times as much and can find nothing: the
// engine enforced them when each row was written. The file is mapped for the
// one pass over all its pages (a third faster than copying them through the
// page cache) and unmapped again, so that the connection itself never depends on
// a mapping of a file on a removable or network drive.
QString quickCheck(sql::Database &db)
{
    struct Restore
    {
        sql::Database &db;
        ~Restore()
        {
            try {
                db.exec(QStringLiteral("PRAGMA mmap_size = 0; "
                                       "PRAGMA ignore_check_constraints = OFF"));
            } catch (const sql::Error &e) {
                qCWarning(lcStore) << "resetting after the check failed:" << e.message();
            }
        }
    } restore {db};
    db.exec(QStringLiteral("PRAGMA ignore_check_constraints = ON; "
                           "PRAGMA mmap_size = 1073741824"));
    return db.scalar(QStringLiteral("PRAGMA quick_check")).toString();
}

// The note left by markVerified: size and modification time of the file it
// vouches for. Hidden beside the database.
QString verifiedNotePath(const QString &path)
{
    const QFileInfo info(path);
    return info.dir().filePath(QLatin1Char('.') + info.fileName() + QStringLiteral(".verified"));
}

QByteArray fileStamp(const QString &path)
{
    const QFileInfo info(path);
    return QByteArray::number(info.size()) + ' '
        + QByteArray::number(info.lastModified().toMSecsSinceEpoch()) + '\n';
}

// True when the note vouches for the file exactly as it is now and no journal
// holds changes beside it. The note is used up either way: once the file is
// open for writing, only a later clean exit may vouch for it again.
bool takeVerifiedNote(const QString &path)
{
    const QString notePath = verifiedNotePath(path);
    QFile note(notePath);
    if (!note.open(QIODevice::ReadOnly))
        return false;
    const QByteArray stamp = note.read(64);
    note.close();
    QFile::remove(notePath);
    const QFileInfo journal(path + QStringLiteral("-wal"));
    if (journal.exists() && journal.size() > 0)
        return false;
    return stamp == fileStamp(path);
}

void removeCreatedFile(const QString &path)
{
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(path + suffix);
}

} // namespace

QString shownPath(const QString &path) { return QDir::toNativeSeparators(path); }

// busy_timeout first: every later statement may meet another program's lock.
void setBusyTimeout(sql::Database &db)
{
    db.exec(QStringLiteral("PRAGMA busy_timeout = ") % QString::number(kBusyTimeoutMs));
}

sql::Database openChecked(const QString &path, bool checkWholeFile, const QByteArray &vfs)
{
    sql::Database db;
    try {
        db = sql::Database::open(path, false, vfs);
        if (sqlite3_db_readonly(db.handle(), "main") == 1)
            throw StoreError(QStringLiteral("The task database \"%1\" can only be read, not "
                                            "written. Make the file and its folder writable "
                                            "and start %2 again.")
                                 .arg(shownPath(path), programName()));
        setBusyTimeout(db);
        // Checked before the journal mode is set: switching it writes to the
        // file, and a damaged file must stay exactly as it is. A file that the
        // last clean exit read whole and left untouched since needs no second
        // pass over every page. Without the check the note stays for the next
        // open that makes it; a write since then has changed the file's stamp.
        if (checkWholeFile && !takeVerifiedNote(path)) {
            const QString check = quickCheck(db);
            if (check != QStringLiteral("ok"))
                throw sql::Error(SQLITE_CORRUPT, check);
        }
        const QString missing = schema::missingParts(db);
        if (!missing.isEmpty()) {
            qCWarning(lcStore) << shownPath(path) << "lacks" << missing;
            throw sql::Error(SQLITE_NOTADB, missing);
        }
        const qint64 version = db.scalar(QStringLiteral("PRAGMA user_version")).toLongLong();
        if (version != schema::kUserVersion)
            qCInfo(lcStore) << shownPath(path) << "has schema version" << version;
        setConnectionPragmas(db, path);
    } catch (const sql::Error &e) {
        throw describeOpenFailure(path, e);
    }
    return db;
}

sql::Database create(const QString &path, const QByteArray &vfs)
{
    sql::Database db;
    try {
        db = sql::Database::open(path, true, vfs);
        setBusyTimeout(db);
        setConnectionPragmas(db, path);
        sql::Transaction transaction(db);
        schema::createContent(db);
        transaction.commit();
    } catch (const sql::Error &e) {
        // Only a file made by this very call is removed: a half-made database
        // would otherwise be refused at every later start.
        db.close();
        removeCreatedFile(path);
        qCWarning(lcStore) << "cannot create" << shownPath(path) << e.code() << e.message();
        // The folder is what the user has to act on, so it is named first.
        throw StoreError(QStringLiteral("The task database cannot be created in the folder "
                                        "\"%1\".\n\nMake sure the folder exists, can be written "
                                        "and its disk has free space, then start %2 again.\n\n"
                                        "(%3)")
                             .arg(shownPath(QFileInfo(path).absolutePath()), programName(),
                                  e.message()));
    }
    return db;
}

void checkRestorable(const QString &path)
{
    const QString file = shownPath(path);
    const QString unchanged = QStringLiteral("Your current database has not been changed.");
    try {
        sql::Database db = sql::Database::openReadOnly(path);
        setBusyTimeout(db);
        const QString check = quickCheck(db);
        if (check != QStringLiteral("ok"))
            throw sql::Error(SQLITE_CORRUPT, check);
        const QString missing = schema::missingParts(db);
        if (!missing.isEmpty())
            throw StoreError(QStringLiteral("The file \"%1\" is not a %2 database (%3), so it "
                                            "cannot be restored. %4")
                                 .arg(file, programName(), missing, unchanged));
    } catch (const sql::Error &e) {
        qCWarning(lcStore) << "refused to restore" << file << e.code() << e.message();
        switch (e.code() & 0xff) {
        case SQLITE_NOTADB:
            throw StoreError(QStringLiteral("The file \"%1\" is not a %2 database, so it cannot "
                                            "be restored. %3")
                                 .arg(file, programName(), unchanged));
        case SQLITE_CORRUPT:
            throw StoreError(QStringLiteral("The file \"%1\" is damaged, so it cannot be "
                                            "restored. %2")
                                 .arg(file, unchanged));
        default:
            throw StoreError(QStringLiteral("The file \"%1\" cannot be read: %2\n\n%3")
                                 .arg(file, e.message(), unchanged));
        }
    }
}

void backupInto(sql::Database &db, const QString &destination, const QByteArray &vfs)
{
    // The copy is written under a name of its own and takes the place of the
    // destination once complete: a copy cut short by a full disk leaves a
    // file of that name as it was.
    const QString partial = destination + QStringLiteral(".part");
    removeCreatedFile(partial);
    QFile::remove(partial + QStringLiteral("-journal"));
    int rc = SQLITE_OK;
    QString message;
    try {
        sql::Database target = sql::Database::open(partial, true, vfs);
        sqlite3_backup *backup = sqlite3_backup_init(target.handle(), "main", db.handle(), "main");
        if (!backup) {
            rc = sqlite3_extended_errcode(target.handle());
            message = QString::fromUtf8(sqlite3_errmsg(target.handle()));
        } else {
            // One step: the source is the program's own connection, so nothing
            // can write between steps anyway, and one pass is the quickest.
            sqlite3_backup_step(backup, -1);
            rc = sqlite3_backup_finish(backup);
            if (rc != SQLITE_OK) {
                rc = sqlite3_extended_errcode(target.handle());
                message = QString::fromUtf8(sqlite3_errmsg(target.handle()));
            }
        }
        target.close();
    } catch (const sql::Error &e) {
        rc = e.code();
        message = e.message();
    }
    if (rc != SQLITE_OK) {
        removeCreatedFile(partial);
        QFile::remove(partial + QStringLiteral("-journal"));
        throw sql::Error(rc, message % QStringLiteral(" (") % shownPath(destination)
                                 % QLatin1Char(')'));
    }
    // Journal files beside an older file of that name would be replayed into
    // the copy when it is opened.
    for (const QString &suffix :
         {QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")}) {
        const QString stale = destination + suffix;
        if (QFileInfo::exists(stale)) {
            QFile::setPermissions(stale, QFile::ReadOwner | QFile::WriteOwner);
            QFile::remove(stale);
        }
    }
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(partial.toStdU16String()),
                            std::filesystem::path(destination.toStdU16String()), error);
    if (error) {
        removeCreatedFile(partial);
        throw sql::Error(SQLITE_CANTOPEN,
                         QStringLiteral("the file \"%1\" cannot be replaced: %2")
                             .arg(shownPath(destination),
                                  QString::fromLocal8Bit(error.message())));
    }
}

void backupFile(const QString &source, const QString &destination, const QByteArray &vfs)
{
    sql::Database db = sql::Database::openReadOnly(source, vfs);
    setBusyTimeout(db);
    backupInto(db, destination, vfs);
}

void markVerified(const QString &path)
{
    QFile note(verifiedNotePath(path));
    if (!note.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || note.write(fileStamp(path)) < 0)
        qCInfo(lcStore) << "cannot leave the verified note beside" << shownPath(path);
}

void checkpoint(sql::Database &db, const QString &path)
{
    sql::Statement stmt = db.prepare(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    // One row: busy flag, frames in the journal, frames copied.
    if (stmt.step() && stmt.int64(0) != 0)
        throw sql::Error(SQLITE_BUSY,
                         QStringLiteral("the journal of ") % shownPath(path)
                             % QStringLiteral(" could not be folded in: the "
                                              "database is in use"));
}

} // namespace cdk::taskfile
