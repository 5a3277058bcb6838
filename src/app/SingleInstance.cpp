#include "app/SingleInstance.h"

#include "base/Functions.h"
#include "base/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
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

bool SingleInstance::acquire()
{
    const QString path = QDir(m_folder).filePath(QStringLiteral(".chronodeck.lock"));
#ifdef Q_OS_UNIX
    // A lock on an open file: the kernel drops it the moment the process
    // ends, however it ends, so no lock is ever stale; and taking it writes
    // nothing, where a lock file's content must be synced to the disk first.
    m_lockFd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (m_lockFd >= 0) {
        if (::flock(m_lockFd, LOCK_EX | LOCK_NB) == 0)
            return true;
        const int error = errno;
        if (error == EWOULDBLOCK)
            return false;
        qCWarning(lcApp) << "cannot lock" << path << qt_error_string(error);
        return true;
    }
    // The folder cannot hold a lock file (read-only, missing): let this copy
    // run; opening the database will tell the user what is wrong.
    qCWarning(lcApp) << "cannot create the instance lock in" << m_folder << qt_error_string(errno);
    return true;
#else
    m_lock = std::make_unique<QLockFile>(path);
    // A lock whose process is gone counts as stale at once; a live one never does.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return true;
    if (m_lock->error() == QLockFile::LockFailedError)
        return false;
    qCWarning(lcApp) << "cannot create the instance lock in" << m_folder << m_lock->error();
    return true;
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
