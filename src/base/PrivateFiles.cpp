#include "base/PrivateFiles.h"

#include "base/Log.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace cdk {

namespace {

QString systemReason() { return QString::fromLocal8Bit(std::strerror(errno)); }

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace

bool makePrivateFolder(const QString &folder, QString *error)
{
    const QString path = QDir::cleanPath(QDir(folder).absolutePath());
    const QFileInfo info(path);
    if (info.isDir()) {
#ifdef Q_OS_UNIX
        struct stat st {};
        if (::stat(QFile::encodeName(path).constData(), &st) == 0 && (st.st_mode & 077) != 0) {
            static bool warned = false;
            if (!warned)
                qCWarning(lcApp).noquote().nospace()
                    << "the data folder " << QDir::toNativeSeparators(path)
                    << " can be entered by other users (mode " << Qt::oct << (st.st_mode & 0777)
                    << "); its files are made for you alone, but consider: chmod 700 "
                    << QDir::toNativeSeparators(path);
            warned = true;
        }
#endif
        return true;
    }
    const QString parent = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(parent)) {
        setError(error, QStringLiteral("the folder %1 cannot be made")
                            .arg(QDir::toNativeSeparators(parent)));
        return false;
    }
#ifdef Q_OS_UNIX
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST) {
        setError(error, systemReason());
        return false;
    }
#else
    if (!QDir().mkdir(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)
        && !QFileInfo(path).isDir()) {
        setError(error, QStringLiteral("the folder %1 cannot be made")
                            .arg(QDir::toNativeSeparators(path)));
        return false;
    }
#endif
    return true;
}

bool createPrivateFile(const QString &path, QString *error)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        setError(error, systemReason());
        return false;
    }
    ::close(fd);
    return true;
#else
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                   QFile::ReadOwner | QFile::WriteOwner)) {
        setError(error, file.errorString());
        return false;
    }
    return true;
#endif
}

QString uniqueSiblingName(const QString &path, const QString &suffix)
{
    static QAtomicInteger<quint32> counter;
    return path + suffix + QLatin1Char('-') + QString::number(QCoreApplication::applicationPid())
        + QLatin1Char('-') + QString::number(counter.fetchAndAddRelaxed(1));
}

bool syncFile(const QString &path)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fdatasync(fd) == 0;
    ::close(fd);
    return synced;
#else
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.flush();
#endif
}

} // namespace cdk
