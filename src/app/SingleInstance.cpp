#include "app/SingleInstance.h"

#include "base/Functions.h"
#include "base/Log.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#endif

namespace cdk {

SingleInstance::SingleInstance(const QString &dataFolder)
    : m_folder(dataFolder)
{
}

SingleInstance::~SingleInstance()
{
#ifdef Q_OS_UNIX
    if (m_lockFd >= 0)
        ::close(m_lockFd);
#endif
}

QString SingleInstance::signalPath() const
{
    return QDir(m_folder).filePath(signalFileName());
}

#ifdef Q_OS_UNIX
namespace {

enum class Fresh { Placed, ModesIgnored, Failed };

// Puts a fresh, empty file for this user alone at the lock's name. Whoever
// holds the old file open keeps only that: the name no longer leads to it.
// A file system that keeps no modes (a FAT memory stick) gets no fresh file:
// there every file is as open as the mount makes it.
Fresh replaceLockFile(const QByteArray &name)
{
    QByteArray fresh = name + ".XXXXXX";
    const int fd = ::mkostemp(fresh.data(), O_CLOEXEC); // made 0600
    if (fd < 0)
        return Fresh::Failed;
    struct stat made {};
    const bool private_ = ::fstat(fd, &made) == 0 && (made.st_mode & 077) == 0;
    ::close(fd);
    if (private_ && ::rename(fresh.constData(), name.constData()) == 0)
        return Fresh::Placed;
    const int error = errno;
    ::unlink(fresh.constData());
    errno = error;
    return private_ ? Fresh::Failed : Fresh::ModesIgnored;
}

} // namespace
#endif

SingleInstance::Lock SingleInstance::acquire()
{
    const QString path = QDir(m_folder).filePath(QStringLiteral(".chronodeck.lock"));
#ifdef Q_OS_UNIX
    // A lock on an open file: the kernel drops it the moment the process
    // ends, however it ends, so no lock is ever stale; and taking it writes
    // nothing, where a lock file's content must be synced to the disk first.
    // flock() needs no more than a file one can open, so the file must be
    // this user's and open to nobody else.
    const QByteArray name = QFile::encodeName(path);
    const QString shownPath = QDir::toNativeSeparators(path);
    // The reason ends a sentence the window shows: "... for the data folder
    // X: the lock file Y is a link."
    const auto refuse = [this](const QString &why) {
        m_error = why;
        return Lock::Refused;
    };
    // A copy starting beside this one may put a fresh file in place of an
    // old one between the open and the lock: then the lock is taken again.
    bool modesIgnored = false;
    for (int attempt = 0; attempt < 5; ++attempt) {
        const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            const int error = errno;
            struct stat there {};
            if (error == ELOOP)
                return refuse(tr("the lock file %1 is a link").arg(shownPath));
            if (::lstat(name.constData(), &there) == 0 && there.st_uid != ::geteuid())
                return refuse(tr("the lock file %1 belongs to another user (uid %2)")
                                  .arg(shownPath, QString::number(there.st_uid)));
            // The folder cannot hold a lock file (read-only, missing): let
            // this copy run; opening the database will tell the user what is
            // wrong.
            qCWarning(lcApp) << "cannot create the instance lock in" << m_folder
                             << qt_error_string(error);
            return Lock::Taken;
        }
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            ::close(fd);
            return refuse(tr("the lock file %1 is not a plain file").arg(shownPath));
        }
        if (info.st_uid != ::geteuid()) {
            ::close(fd);
            return refuse(tr("the lock file %1 belongs to another user (uid %2)")
                              .arg(shownPath, QString::number(info.st_uid)));
        }
        if ((info.st_mode & 077) != 0 && !modesIgnored) {
            // Left open to others by an earlier version: anyone may have it
            // open, and lock it, by now.
            ::close(fd);
            switch (replaceLockFile(name)) {
            case Fresh::Placed:
                break;
            case Fresh::ModesIgnored:
                qCWarning(lcApp) << "the file system of" << m_folder
                                 << "keeps no owner-only files; others may hold its lock";
                modesIgnored = true;
                break;
            case Fresh::Failed:
                return refuse(
                    tr("the lock file %1 is open to other users and cannot be replaced: %2")
                        .arg(shownPath, qt_error_string(errno)));
            }
            continue;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EWOULDBLOCK)
                return Lock::Held;
            qCWarning(lcApp) << "cannot lock" << path << qt_error_string(error);
            return Lock::Taken;
        }
        struct stat now {};
        if (::lstat(name.constData(), &now) == 0 && now.st_dev == info.st_dev
            && now.st_ino == info.st_ino) {
            m_lockFd = fd;
            return Lock::Taken;
        }
        ::close(fd);
    }
    return refuse(tr("the lock file %1 keeps being replaced").arg(shownPath));
#else
    m_lock = std::make_unique<QLockFile>(path);
    // A lock whose process is gone counts as stale at once; a live one never does.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return Lock::Taken;
    if (m_lock->error() == QLockFile::LockFailedError)
        return Lock::Held;
    qCWarning(lcApp) << "cannot create the instance lock in" << m_folder << m_lock->error();
    return Lock::Taken;
#endif
}

bool SingleInstance::writeRestoreSignal() const
{
    const QString path = signalPath();
    if (FileExists(path))
        QFile::remove(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const bool ok = file.write("restorE\r\n") == 9;
    file.close();
    return ok && file.error() == QFileDevice::NoError;
}

bool SingleInstance::waitUntilSignalTaken(int timeoutMs) const
{
    const QDeadlineTimer deadline(timeoutMs);
    while (QFileInfo::exists(signalPath())) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

bool SingleInstance::takeRestoreSignal() const
{
    const QString path = signalPath();
    if (!QFileInfo::exists(path))
        return false;
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QFile::remove(path);
    return true;
}

} // namespace cdk
