#include "cli/WindowLink.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <QLocalSocket>
#else
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace cdk::cli {

namespace {

// sun_path holds 108 bytes on Linux and 104 on the BSDs and macOS.
constexpr qsizetype kMostSocketPathBytes = 100;
constexpr int kConnectTimeoutMs = 1000;

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
// The window listens on a stream socket at the path; speaking to it
// directly spares the command line QtNetwork and the libraries it pulls in
// at every start.
class UnixConnection
{
public:
    ~UnixConnection()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    bool connect(const QString &path)
    {
        const QByteArray name = QFile::encodeName(path);
        sockaddr_un address {};
        if (name.size() >= qsizetype(sizeof(address.sun_path)))
            return false;
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (m_fd < 0)
            return false;
        // A window that listens accepts at once; a socket left behind by one
        // that is gone is refused at once.
        return ::connect(m_fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) == 0;
    }

    bool send(const QByteArray &bytes)
    {
        qsizetype sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n
                = ::send(m_fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            sent += n;
        }
        return true;
    }

    // One line, or nothing when the window closed or stayed silent.
    std::optional<QByteArray> receiveLine(int timeoutMs)
    {
        QByteArray line;
        char buffer[4096];
        while (!line.endsWith('\n')) {
            pollfd wait {m_fd, POLLIN, 0};
            const int ready = ::poll(&wait, 1, timeoutMs);
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready <= 0)
                return std::nullopt;
            const ssize_t n = ::recv(m_fd, buffer, sizeof(buffer), 0);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return std::nullopt;
            line.append(buffer, n);
        }
        return line;
    }

private:
    int m_fd = -1;
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
    const QString inside = folder + QStringLiteral("/.chronodeck.sock");
    if (QFile::encodeName(inside).size() <= kMostSocketPathBytes)
        return inside;
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        runtime = QDir::tempPath();
    return runtime + QStringLiteral("/chronodeck-") + tag + QStringLiteral(".sock");
#endif
}

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
    Q_UNUSED(kConnectTimeoutMs);
    // No socket file, no window: spare the connection attempt.
    if (!QFileInfo::exists(name))
        return std::nullopt;
    UnixConnection connection;
    if (!connection.connect(name))
        return std::nullopt;
    if (!connection.send(requestLine(arguments)))
        return noAnswer();
    const auto line = connection.receiveLine(answerTimeoutMs);
    if (!line)
        return noAnswer();
    return readAnswer(*line);
#endif
}

} // namespace cdk::cli
