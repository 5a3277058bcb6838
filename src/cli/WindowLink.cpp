#include "cli/WindowLink.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#ifdef Q_OS_WIN
#include <QLocalSocket>
#else
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace cdk::cli {

namespace {

// sun_path holds 108 bytes on Linux and 104 on the BSDs and macOS.
constexpr qsizetype kMostSocketPathBytes = 100;
// A window that runs takes a connection at once; one that has not done so
// within this time is stuck or swamped, and the command says so rather than
// wait without end.
constexpr int kConnectTimeoutMs = 5000;

Reply noAnswer()
{
    return Reply::failed(QStringLiteral("the Chronodeck window did not answer"), ExitDataError);
}

Reply readAnswer(const QByteArray &line)
{
    const QJsonObject answer = QJsonDocument::fromJson(line).object();
    if (!answer.contains(QStringLiteral("exit")))
        return Reply::failed(QStringLiteral("the Chronodeck window gave no answer that reads"),
                             ExitDataError);
    return Reply {answer.value(QStringLiteral("exit")).toInt(),
                  answer.value(QStringLiteral("out")).toString(),
                  answer.value(QStringLiteral("err")).toString()};
}

QByteArray requestLine(const QStringList &arguments)
{
    const QJsonObject request {{QStringLiteral("args"), QJsonArray::fromStringList(arguments)}};
    return QJsonDocument(request).toJson(QJsonDocument::Compact) + '\n';
}

#ifndef Q_OS_WIN
QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// The window listens on a stream socket at the path; speaking to it
// directly spares the command line QtNetwork and the libraries it pulls in
// at every start. Every wait has a deadline: a connect to a Unix socket
// whose queue is full, and a read from a window that is stuck, would
// otherwise never return.
class UnixConnection
{
public:
    enum class Outcome { Connected, NoWindow, Failed };

    ~UnixConnection()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    int fd() const { return m_fd; }
    QString errorString() const { return m_error; }

    Outcome connect(const QString &path, const QDeadlineTimer &deadline)
    {
        const QByteArray name = QFile::encodeName(path);
        sockaddr_un address {};
        if (name.size() >= qsizetype(sizeof(address.sun_path)))
            return Outcome::NoWindow;
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (m_fd < 0)
            return failed(systemError(errno));
        for (;;) {
            if (::connect(m_fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) == 0)
                return Outcome::Connected;
            int error = errno;
            if (error == EINPROGRESS) {
                if (!waitFor(POLLOUT, deadline))
                    return Outcome::Failed;
                socklen_t size = sizeof(error);
                if (::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
                    error = errno;
                if (error == 0)
                    return Outcome::Connected;
            }
            switch (error) {
            case EINTR:
                continue;
            case ENOENT:
            case ECONNREFUSED:
                // A socket left behind by a window that is gone.
                return Outcome::NoWindow;
            case EAGAIN:
                // Linux: the window's queue of new connections is full. It
                // is busy, not gone: try again shortly.
                if (deadline.hasExpired())
                    return failed(QStringLiteral("the Chronodeck window did not take the "
                                                 "connection within %1 seconds")
                                      .arg(kConnectTimeoutMs / 1000));
                ::poll(nullptr, 0, 20);
                continue;
            default:
                return failed(QStringLiteral("the Chronodeck window cannot be reached: %1")
                                  .arg(systemError(error)));
            }
        }
    }

    bool send(const QByteArray &bytes, const QDeadlineTimer &deadline)
    {
        qsizetype sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n
                = ::send(m_fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno == EAGAIN) {
                if (!waitFor(POLLOUT, deadline))
                    return false;
                continue;
            }
            if (n <= 0)
                return false;
            sent += n;
        }
        return true;
    }

    // One line, or nothing when the window closed, stayed silent until the
    // deadline or sent more than any answer holds.
    std::optional<QByteArray> receiveLine(const QDeadlineTimer &deadline)
    {
        QByteArray line;
        char buffer[64 * 1024];
        while (!line.endsWith('\n')) {
            const ssize_t n = ::recv(m_fd, buffer, sizeof(buffer), 0);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno == EAGAIN) {
                if (!waitFor(POLLIN, deadline))
                    return std::nullopt;
                continue;
            }
            if (n <= 0 || line.size() + n > kMostReplyBytes)
                return std::nullopt;
            line.append(buffer, n);
        }
        return line;
    }

private:
    Outcome failed(const QString &error)
    {
        m_error = error;
        return Outcome::Failed;
    }

    bool waitFor(short events, const QDeadlineTimer &deadline)
    {
        for (;;) {
            pollfd wait {m_fd, events, 0};
            const int ready = ::poll(&wait, 1, int(deadline.remainingTime()));
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready > 0)
                return true;
            m_error = ready == 0
                ? QStringLiteral("the Chronodeck window did not answer in time")
                : QStringLiteral("the Chronodeck window cannot be reached: %1")
                      .arg(systemError(errno));
            return false;
        }
    }

    int m_fd = -1;
    QString m_error;
};
#endif

} // namespace

QString commandSocketName(const QString &dataFolder)
{
    const QFileInfo info(dataFolder);
    const QString canonical = info.canonicalFilePath();
    const QString folder
        = canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
    const QString tag = QString::fromLatin1(
        QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha256).toHex().left(16));
#ifdef Q_OS_WIN
    return QStringLiteral("chronodeck-") + tag;
#else
    const QString file = QLatin1Char('/') + tag + QStringLiteral(".sock");
    const QString user = QString::number(::geteuid());
    // A runtime folder of another user's (su keeps the variable) is not
    // this user's to use: the temporary folder serves instead.
    QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    // A command started without the variable (cron, sudo) still finds a
    // window of the user's session, whose runtime folder is this one on
    // most systems.
    if (runtime.isEmpty())
        runtime = QStringLiteral("/run/user/") + user;
    struct stat runtimeInfo {};
    if (!QDir::isAbsolutePath(runtime)
        || ::stat(QFile::encodeName(runtime).constData(), &runtimeInfo) != 0
        || !S_ISDIR(runtimeInfo.st_mode) || runtimeInfo.st_uid != ::geteuid())
        runtime.clear();
    QString sockets = !runtime.isEmpty()
        ? QString(QDir::cleanPath(runtime) + QStringLiteral("/chronodeck"))
        : QString(QDir::tempPath() + QStringLiteral("/chronodeck-") + user);
    if (QFile::encodeName(sockets + file).size() > kMostSocketPathBytes)
        sockets = QStringLiteral("/tmp/chronodeck-") + user;
    return sockets + file;
#endif
}

#ifndef Q_OS_WIN
QString socketFolderProblem(const QString &folder, bool create)
{
    const QByteArray path = QFile::encodeName(folder);
    // Made with mkdir alone: a folder another user made first stays theirs,
    // and is refused below instead of being adopted.
    if (create && ::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return QStringLiteral("%1 cannot be made: %2").arg(folder, systemError(errno));
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0)
        return QStringLiteral("%1: %2").arg(folder, systemError(errno));
    if (!S_ISDIR(info.st_mode))
        return QStringLiteral("%1 is not a folder").arg(folder);
    if (info.st_uid != ::geteuid())
        return QStringLiteral("%1 belongs to another user (uid %2)").arg(folder).arg(info.st_uid);
    if ((info.st_mode & 077) != 0)
        return QStringLiteral("%1 is open to other users (mode %2)")
            .arg(folder, QString::number(info.st_mode & 07777, 8));
    return {};
}

QString peerProblem(int fd)
{
#ifdef Q_OS_LINUX
    ucred credentials {};
    socklen_t size = sizeof(credentials);
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0)
        return QStringLiteral("the user at the other end cannot be told: %1")
            .arg(systemError(errno));
    const uid_t user = credentials.uid;
#else
    uid_t user = 0;
    gid_t group = 0;
    if (::getpeereid(fd, &user, &group) != 0)
        return QStringLiteral("the user at the other end cannot be told: %1")
            .arg(systemError(errno));
#endif
    if (user != ::geteuid())
        return QStringLiteral("the other end runs as another user (uid %1)").arg(user);
    return {};
}
#endif

std::optional<Reply> askWindow(const QString &dataFolder, const QStringList &arguments,
                               int answerTimeoutMs)
{
    const QString name = commandSocketName(dataFolder);
#ifdef Q_OS_WIN
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return std::nullopt;
    socket.write(requestLine(arguments));
    socket.flush();
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(answerTimeoutMs))
            return noAnswer();
    }
    return readAnswer(socket.readLine());
#else
    const QString folder = QFileInfo(name).path();
    // No folder, no window: spare the connection attempt.
    if (!QFileInfo::exists(folder))
        return std::nullopt;
    // What is said through a socket in a folder someone else controls may
    // reach that someone: the command is not sent at all.
    if (const QString problem = socketFolderProblem(folder, false); !problem.isEmpty())
        return Reply::failed(
            QStringLiteral("the folder of the window's command socket is not safe: %1; "
                           "the command was not sent")
                .arg(problem),
            ExitDataError);
    if (!QFileInfo::exists(name))
        return std::nullopt;
    UnixConnection connection;
    switch (connection.connect(name, QDeadlineTimer(kConnectTimeoutMs))) {
    case UnixConnection::Outcome::NoWindow:
        return std::nullopt;
    case UnixConnection::Outcome::Failed:
        return Reply::failed(connection.errorString(), ExitDataError);
    case UnixConnection::Outcome::Connected:
        break;
    }
    if (const QString problem = peerProblem(connection.fd()); !problem.isEmpty())
        return Reply::failed(QStringLiteral("the command socket %1 is not the window's: %2; "
                                            "the command was not sent")
                                 .arg(name, problem),
                             ExitDataError);
    const QDeadlineTimer deadline(answerTimeoutMs);
    if (!connection.send(requestLine(arguments), deadline))
        return noAnswer();
    const auto line = connection.receiveLine(deadline);
    if (!line)
        return noAnswer();
    return readAnswer(*line);
#endif
}

} // namespace cdk::cli
