#include "store/TaskFile.h"

#include "base/Functions.h"
#include "base/Log.h"
#include "base/PrivateFiles.h"
#include "store/TaskSchema.h"
#include "store/TaskStore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace cdk::taskfile {

namespace {

// How long a statement waits for another process's write to end. Writes of
// the program take milliseconds, but eight commands at once queue up behind
// each other and a checkpoint; a command refused "busy" would lose the task
// its user just typed.
constexpr int kBusyTimeoutMs = 5000;

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
        return told(
            QCoreApplication::translate("TaskFile",
                                        "The task database \"%1\" is locked by another program. "
                                        "Close the other program (or the other copy of %2) and "
                                        "start %2 again.")
                .arg(file, programName()));
    case SQLITE_NOTADB:
        return told(QCoreApplication::translate(
                        "TaskFile",
                        "The file \"%1\" is not a task database. Restore a backup "
                        "of the database, or move the file elsewhere so that a new, "
                        "empty database is created. The file has not been changed.")
                        .arg(file));
    case SQLITE_FULL:
        return told(
            QCoreApplication::translate("TaskFile",
                                        "The task database \"%1\" cannot be opened: the disk is "
                                        "full. Make room on the disk and start %2 again.")
                .arg(file, programName()));
    case SQLITE_CORRUPT:
        return told(
            QCoreApplication::translate("TaskFile",
                                        "The task database \"%1\" is damaged. Restore a backup of "
                                        "the database, or move the file elsewhere so that a new, "
                                        "empty database is created. The file has not been changed.")
                .arg(file));
    default:
        return told(
            QCoreApplication::translate("TaskFile",
                                        "The task database \"%1\" cannot be opened: %2\n\nCheck "
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

// A file of the program's own making, for the owner alone; throws when it
// exists already or cannot be made.
void createPrivate(const QString &path)
{
    QString why;
    if (!createPrivateFile(path, &why))
        throw sql::Error(SQLITE_CANTOPEN,
                         why % QStringLiteral(" (") % shownPath(path) % QLatin1Char(')'));
}

// A file of an earlier version gets the program's own tables in one step
// under the write lock, whoever of several openers is first.
void addStateTableIfMissing(sql::Database &db, const schema::Schema &parts)
{
    if (schema::hasStateTables(parts))
        return;
    sql::Transaction transaction(db);
    schema::createStateTables(db);
    db.exec(QStringLiteral("PRAGMA user_version = ") % QString::number(schema::kUserVersion));
    transaction.commit();
}

// The tables the program reads must be there; code it never makes (a
// trigger, a view) must not be, since it would run on the program's writes.
void checkParts(sql::Database &db, const QString &path, const schema::Schema &parts)
{
    const QString missing = schema::missingParts(parts);
    if (!missing.isEmpty()) {
        qCWarning(lcStore) << shownPath(path) << "lacks" << missing;
        throw sql::Error(SQLITE_NOTADB, missing);
    }
    const QString foreign = schema::foreignParts(parts, schema::Strictness::CodeOnly);
    if (!foreign.isEmpty()) {
        qCWarning(lcStore) << shownPath(path) << "holds" << foreign;
        throw sql::Error(SQLITE_NOTADB, foreign);
    }
    const qint64 version = db.scalar(QStringLiteral("PRAGMA user_version")).toLongLong();
    if (version != schema::kUserVersion)
        qCInfo(lcStore) << shownPath(path) << "has schema version" << version;
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
            throw StoreError(
                QCoreApplication::translate("TaskFile",
                                            "The task database \"%1\" can only be read, not "
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
        const schema::Schema parts = schema::readSchema(db);
        checkParts(db, path, parts);
        setConnectionPragmas(db, path);
        addStateTableIfMissing(db, parts);
    } catch (const sql::Error &e) {
        throw describeOpenFailure(path, e);
    }
    return db;
}

sql::Database openForReading(const QString &path, const QByteArray &vfs)
{
    sql::Database db;
    try {
        db = sql::Database::openReadOnly(path, vfs);
        setBusyTimeout(db);
        checkParts(db, path, schema::readSchema(db));
    } catch (const sql::Error &first) {
        // A folder that cannot be written holds no shared-memory index for
        // the journal, and none can be made. A file whose journal was folded
        // in at the last close can still be read as it stands on disk.
        const QFileInfo journal(path + QStringLiteral("-wal"));
        if (journal.exists() && journal.size() > 0)
            throw describeOpenFailure(path, first);
        try {
            db = sql::Database::openReadOnly(path, vfs, sql::Database::Immutable::Yes);
            checkParts(db, path, schema::readSchema(db));
        } catch (const sql::Error &) {
            throw describeOpenFailure(path, first);
        }
    }
    qCInfo(lcStore) << "opened" << shownPath(path) << "for reading only";
    return db;
}

void createIfMissing(const QString &path, const QByteArray &vfs)
{
    // The file is built whole under a name of its own and only then given its
    // real name, in a step that fails when another process was quicker: no
    // process ever opens a half-made database, and none removes another's.
    const QString building = uniqueSiblingName(path, QStringLiteral(".new"));
    const auto cannotCreate = [&path](const QString &why) {
        qCWarning(lcStore) << "cannot create" << shownPath(path) << why;
        // The folder is what the user has to act on, so it is named first.
        return StoreError(
            QCoreApplication::translate("TaskFile",
                                        "The task database cannot be created in the folder "
                                        "\"%1\".\n\nMake sure the folder exists, can be "
                                        "written and its disk has free space, then start %2 "
                                        "again.\n\n(%3)")
                .arg(shownPath(QFileInfo(path).absolutePath()), programName(), why));
    };
    QString why;
    if (!createPrivateFile(building, &why))
        throw cannotCreate(why);
    try {
        // Nobody else knows the file yet and a file cut short is never given
        // its name: no journal and no syncs while it is built, one sync of
        // the whole when it is done. The first start waits for nothing more.
        sql::Database db = sql::Database::open(building, false, vfs);
        db.exec(QStringLiteral("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF"));
        sql::Transaction transaction(db);
        schema::createContent(db);
        transaction.commit();
        // The header tells every later opener to keep a write-ahead journal.
        setConnectionPragmas(db, building);
        db.close();
        if (!syncFile(building))
            throw sql::Error(
                SQLITE_IOERR_FSYNC,
                QCoreApplication::translate("TaskFile", "the new file cannot be synced"));
    } catch (const sql::Error &e) {
        removeCreatedFile(building);
        throw cannotCreate(e.message());
    }
    removeCreatedFile(building + QStringLiteral("-journal"));
#ifdef Q_OS_WIN
    const bool placed = MoveFileExW(reinterpret_cast<LPCWSTR>(building.utf16()),
                                    reinterpret_cast<LPCWSTR>(path.utf16()),
                                    MOVEFILE_WRITE_THROUGH);
    const bool taken = !placed && GetLastError() == ERROR_ALREADY_EXISTS;
    const QString reason = QStringLiteral("error %1").arg(GetLastError());
#else
    const bool placed = ::link(QFile::encodeName(building).constData(),
                               QFile::encodeName(path).constData())
        == 0;
    const bool taken = !placed && errno == EEXIST;
    const QString reason = QString::fromLocal8Bit(std::strerror(errno));
#endif
    removeCreatedFile(building);
    if (placed) {
        qCInfo(lcStore) << "created" << shownPath(path);
    } else if (taken) {
        qCInfo(lcStore) << shownPath(path) << "was created by another process meanwhile";
    } else {
        throw cannotCreate(reason);
    }
}

namespace {

// The last words of every refusal to restore a file.
QString currentUnchanged()
{
    return QCoreApplication::translate("TaskFile", "Your current database has not been changed.");
}

// The checks of a file from outside, on a connection that reads it: intact,
// our tables, and nothing the program does not make itself.
void checkRestorableOn(sql::Database &db, const QString &path)
{
    const QString file = shownPath(path);
    const QString unchanged = currentUnchanged();
    try {
        const QString check = quickCheck(db);
        if (check != QStringLiteral("ok"))
            throw sql::Error(SQLITE_CORRUPT, check);
        const schema::Schema parts = schema::readSchema(db);
        const QString missing = schema::missingParts(parts);
        const QString foreign = schema::foreignParts(parts, schema::Strictness::Exact);
        if (!missing.isEmpty() || !foreign.isEmpty()) {
            qCWarning(lcStore) << "refused to restore" << file << "lacking" << missing
                               << "holding" << foreign;
            const QString what = missing.isEmpty()
                ? QCoreApplication::translate("TaskFile", "it holds %1, which %2 never makes")
                      .arg(foreign, programName())
                : missing;
            throw StoreError(
                QCoreApplication::translate("TaskFile",
                                            "The file \"%1\" is not a %2 database (%3), so it "
                                            "cannot be restored. %4")
                    .arg(file, programName(), what, unchanged));
        }
    } catch (const sql::Error &e) {
        qCWarning(lcStore) << "refused to restore" << file << e.code() << e.message();
        const auto told = [&e](const QString &text) {
            return StoreError(StoreError::ReadyToShow {}, text, e.code());
        };
        switch (e.code() & 0xff) {
        case SQLITE_NOTADB:
            throw told(
                QCoreApplication::translate("TaskFile",
                                            "The file \"%1\" is not a %2 database, so it cannot be "
                                            "restored. %3")
                    .arg(file, programName(), unchanged));
        case SQLITE_CORRUPT:
            throw told(QCoreApplication::translate(
                           "TaskFile", "The file \"%1\" is damaged, so it cannot be restored. %2")
                           .arg(file, unchanged));
        default:
            throw told(
                QCoreApplication::translate("TaskFile", "The file \"%1\" cannot be read: %2\n\n%3")
                    .arg(file, e.message(), unchanged));
        }
    }
}

sql::Database openRestorable(const QString &path, const QByteArray &vfs)
{
    try {
        sql::Database db = sql::Database::openReadOnly(path, vfs);
        setBusyTimeout(db);
        return db;
    } catch (const sql::Error &e) {
        throw StoreError(
            StoreError::ReadyToShow {},
            QCoreApplication::translate("TaskFile", "The file \"%1\" cannot be read: %2\n\n%3")
                .arg(shownPath(path), e.message(), currentUnchanged()),
            e.code());
    }
}

int pageSize(sql::Database &db)
{
    return int(db.scalar(QStringLiteral("PRAGMA page_size")).toLongLong());
}

// Copies every page of source over target in one write transaction of the
// target; throws sql::Error and leaves the target as it was on failure.
void copyPages(sql::Database &source, sql::Database &target)
{
    sqlite3_backup *backup = sqlite3_backup_init(target.handle(), "main", source.handle(), "main");
    if (!backup)
        throw sql::Error(sqlite3_extended_errcode(target.handle()),
                         QString::fromUtf8(sqlite3_errmsg(target.handle())));
    const int stepped = sqlite3_backup_step(backup, -1);
    const int rc = sqlite3_backup_finish(backup);
    if (stepped != SQLITE_DONE || rc != SQLITE_OK)
        throw sql::Error(sqlite3_extended_errcode(target.handle()),
                         QString::fromUtf8(sqlite3_errmsg(target.handle())));
}

} // namespace

void checkRestorable(const QString &path)
{
    sql::Database db = openRestorable(path, {});
    checkRestorableOn(db, path);
}

void restoreInto(sql::Database &live, const QString &livePath, const QString &chosen,
                 const QByteArray &vfs)
{
    sql::Database source = openRestorable(chosen, vfs);
    // One read transaction: the pages copied are the pages checked, whatever
    // another program does to the chosen file meanwhile.
    source.exec(QStringLiteral("BEGIN"));
    checkRestorableOn(source, chosen);

    // A journal in write-ahead mode keeps the page size of its database. A
    // file of another page size is first rewritten in ours, as a private
    // copy beside the live file.
    QString converted;
    const auto removeConverted = qScopeGuard([&converted] {
        if (!converted.isEmpty())
            removeCreatedFile(converted);
    });
    if (pageSize(source) != pageSize(live)) {
        converted = uniqueSiblingName(livePath, QStringLiteral(".restore"));
        createPrivate(converted);
        sql::Database copy = sql::Database::open(converted, false, vfs);
        copyPages(source, copy);
        copy.exec(QStringLiteral("PRAGMA page_size = ") % QString::number(pageSize(live)));
        copy.exec(QStringLiteral("VACUUM"));
        source = std::move(copy);
    }

    // The pages go in through the live connection in one transaction of its
    // own journal: a kill at any moment leaves the old database or the
    // restored one, and other processes on the file see one or the other.
    copyPages(source, live);
    source.close();
    addStateTableIfMissing(live, schema::readSchema(live));
}

void compact(sql::Database &live, const QString &livePath, const QByteArray &vfs)
{
    // The compacted copy is made under the name ".temp" beside the file (a
    // copy a killed exit left there goes first) and its pages then take the
    // place of the live ones through the live connection, in one transaction:
    // a kill at any moment leaves the old file or the compacted one, and a
    // process that has the file open meanwhile keeps working on it.
    const QString temporary = livePath + QStringLiteral(".temp");
    for (const QString &stale : QStringList {temporary, temporary + QStringLiteral("-journal")}) {
        if (QFileInfo::exists(stale)) {
            QFile::setPermissions(stale, QFile::ReadOwner | QFile::WriteOwner);
            if (!QFile::remove(stale))
                throw sql::Error(
                    SQLITE_CANTOPEN,
                    QCoreApplication::translate("TaskFile", "the file \"%1\" cannot be deleted")
                        .arg(shownPath(stale)));
        }
    }
    const auto removeTemporary = qScopeGuard([&temporary] { removeCreatedFile(temporary); });
    createPrivate(temporary);
    sql::Statement vacuum = live.prepare(QStringLiteral("VACUUM INTO ?1"));
    vacuum.bind(1, temporary);
    vacuum.run();
    vacuum = sql::Statement();
    sql::Database compacted = sql::Database::openReadOnly(temporary, vfs);
    copyPages(compacted, live);
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
        createPrivate(partial);
        sql::Database target = sql::Database::open(partial, false, vfs);
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
        throw sql::Error(
            SQLITE_CANTOPEN,
            QCoreApplication::translate("TaskFile", "the file \"%1\" cannot be replaced: %2")
                .arg(shownPath(destination), QString::fromLocal8Bit(error.message())));
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
    const QString notePath = verifiedNotePath(path);
    QFile::remove(notePath);
    QFile note(notePath);
    if (!createPrivateFile(notePath) || !note.open(QIODevice::WriteOnly)
        || note.write(fileStamp(path)) < 0)
        qCInfo(lcStore) << "cannot leave the verified note beside" << shownPath(path);
}

void checkpoint(sql::Database &db, const QString &path)
{
    sql::Statement stmt = db.prepare(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    // One row: busy flag, frames in the journal, frames copied.
    if (stmt.step() && stmt.int64(0) != 0)
        throw sql::Error(SQLITE_BUSY,
                         QCoreApplication::translate("TaskFile",
                                                     "the journal of %1 could not be folded in: "
                                                     "the database is in use")
                             .arg(shownPath(path)));
}

} // namespace cdk::taskfile
