#include "app/SingleInstance.h"

#include "base/Functions.h"
#include "base/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace cdk {

SingleInstance::SingleInstance(const QString &dataFolder)
    : m_folder(dataFolder)
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::signalPath() const
{
    return QDir(m_folder).filePath(signalFileName());
}

bool SingleInstance::acquire()
{
    m_lock = std::make_unique<QLockFile>(QDir(m_folder).filePath(QStringLiteral(".chronodeck.lock")));
    // A lock whose process is gone counts as stale at once; a live one never does.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return true;
    if (m_lock->error() == QLockFile::LockFailedError)
        return false;
    // The folder cannot hold a lock file (read-only, missing): let this copy
    // run; opening the database will tell the user what is wrong.
    qCWarning(lcApp) << "cannot create the instance lock in" << m_folder << m_lock->error();
    return true;
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

bool SingleInstance::restoreSignalPending() const
{
    return QFileInfo::exists(signalPath());
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
