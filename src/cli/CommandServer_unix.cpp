// The window's listening socket on Unix: a stream socket at the path that
// commandSocketName() gives, only for this user, watched by the event loop.
#include "cli/CommandServer.h"

#include "cli/CliLog.h"
#include "cli/WindowLink.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace cdk::cli {

namespace {

// A request is one short line; anything longer is not from the command line.
constexpr qsizetype kMostRequestBytes = 64 * 1024;

QString systemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

class SocketListener final : public CommandServer::Listener
{
public:
    explicit SocketListener(CommandServer &server) : m_server(server) {}
    ~SocketListener() override
    {
        for (auto &[fd, connection] : m_connections)
            ::close(fd);
        if (m_fd < 0)
            return;
        ::close(m_fd);
        // The socket file goes with the window, unless another copy has put
        // its own at the path since.
        struct stat now {};
        if (::stat(m_path.constData(), &now) == 0 && now.st_ino == m_inode)
            ::unlink(m_path.constData());
    }

    bool listen(const QString &path) override
    {
        m_path = QFile::encodeName(path);
        sockaddr_un address {};
        if (m_path.size() >= qsizetype(sizeof(address.sun_path))) {
            m_error = QStringLiteral("the socket path %1 is too long").arg(path);
            return false;
        }
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, m_path.constData(), size_t(m_path.size()));
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (m_fd < 0)
            return failed();
        ::unlink(m_path.constData());
        // Made for this user alone before anyone can connect to it.
        const mode_t mask = ::umask(0077);
        const int bound
            = ::bind(m_fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address));
        ::umask(mask);
        if (bound != 0 || ::listen(m_fd, 16) != 0)
            return failed();
        struct stat made {};
        if (::stat(m_path.constData(), &made) == 0)
            m_inode = made.st_ino;
        auto *incoming = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(incoming, &QSocketNotifier::activated, this, &SocketListener::acceptAll);
        return true;
    }

    QString errorString() const override { return m_error; }

private:
    struct Connection
    {
        QSocketNotifier *notifier = nullptr;
        QByteArray request;
    };

    bool failed()
    {
        m_error = systemError();
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        return false;
    }

    void acceptAll()
    {
        for (;;) {
            const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (fd < 0) {
                if (errno == EINTR)
                    continue;
                return; // EAGAIN: every waiting connection is taken
            }
            auto *notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
            m_connections[fd].notifier = notifier;
            connect(notifier, &QSocketNotifier::activated, this, [this, fd] { readFrom(fd); });
            readFrom(fd);
        }
    }

    void readFrom(int fd)
    {
        const auto it = m_connections.find(fd);
        if (it == m_connections.end())
            return;
        QByteArray &request = it->second.request;
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::recv(fd, buffer, sizeof(buffer), 0);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                break;
            if (n <= 0) {
                drop(fd); // gone before its request was whole
                return;
            }
            request.append(buffer, n);
            if (request.contains('\n'))
                break;
            if (request.size() > kMostRequestBytes) {
                drop(fd);
                return;
            }
        }
        const qsizetype end = request.indexOf('\n');
        if (end < 0)
            return;
        const QByteArray reply = m_server.answer(request.left(end + 1));
        // The command line waits for the whole reply: it is sent in one go.
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        qsizetype sent = 0;
        while (sent < reply.size()) {
            const ssize_t n = ::send(fd, reply.constData() + sent, size_t(reply.size() - sent),
                                     MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                qCInfo(lcCli) << "the command line left before its answer:" << systemError();
                break;
            }
            sent += n;
        }
        drop(fd);
    }

    void drop(int fd)
    {
        const auto it = m_connections.find(fd);
        if (it == m_connections.end())
            return;
        it->second.notifier->setEnabled(false);
        it->second.notifier->deleteLater();
        m_connections.erase(it);
        ::close(fd);
    }

    CommandServer &m_server;
    int m_fd = -1;
    QByteArray m_path;
    ino_t m_inode = 0;
    QString m_error;
    std::map<int, Connection> m_connections;
};

} // namespace

std::unique_ptr<CommandServer::Listener> CommandServer::makeListener(CommandServer &server)
{
    return std::make_unique<SocketListener>(server);
}

} // namespace cdk::cli
