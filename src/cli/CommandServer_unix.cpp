// The window's listening socket on Unix: a stream socket at the path that
// commandSocketName() gives, in a folder of this user's alone, watched by
// the event loop. Nothing here waits: reads and writes are non-blocking, an
// answer a client does not take stays in a buffer of its own until the
// client reads it or its time is up, and the number of connections is
// bounded.
#include "cli/CommandServer.h"

#include "cli/CliLog.h"
#include "cli/WindowLink.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <map>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace cdk::cli {

namespace {

// A request is one short line; anything longer is not from the command line.
constexpr qsizetype kMostRequestBytes = 64 * 1024;
// Commands typed in a terminal come a few at a time. A client that opens
// more connections than this and says nothing on them loses its oldest
// silent one to each newcomer; the window's descriptors are never used up.
constexpr size_t kMostConnections = 32;
// What the answers waiting for slow readers hold together.
constexpr qsizetype kMostHeldBytes = 2 * kMostReplyBytes;
// The command line sends its request as soon as it is connected, and reads
// the answer as it comes: a client that does neither within these times is
// hung up on.
constexpr qint64 kRequestWaitMs = 5'000;
constexpr qint64 kReplyWaitMs = 30'000;
// Taken per turn of the event loop, so that a flood of connections leaves
// the window room to paint and to answer.
constexpr int kMostAcceptsPerTurn = 64;
constexpr int kListenQueue = 64;
// How long the window stops taking connections when it has no descriptor
// left: a waiting connection would otherwise wake the loop again at once.
constexpr int kPauseWhenOutOfFilesMs = 250;

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

class SocketListener final : public CommandServer::Listener
{
public:
    explicit SocketListener(CommandServer &server) : m_server(server)
    {
        m_sweep.setInterval(1000);
        connect(&m_sweep, &QTimer::timeout, this, &SocketListener::sweep);
    }

    ~SocketListener() override
    {
        for (auto &[serial, connection] : m_connections)
            ::close(connection.fd);
        if (m_fd < 0)
            return;
        ::close(m_fd);
        // The socket file goes with the window, unless another copy has put
        // its own at the path since.
        struct stat now {};
        if (::lstat(m_path.constData(), &now) == 0 && now.st_ino == m_inode)
            ::unlink(m_path.constData());
    }

    bool listen(const QString &path) override
    {
        m_path = QFile::encodeName(path);
        sockaddr_un address {};
        if (m_path.size() >= qsizetype(sizeof(address.sun_path)))
            return failed(QStringLiteral("the socket path %1 is too long").arg(path));
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, m_path.constData(), size_t(m_path.size()));

        const QString folder = QFileInfo(path).path();
        if (const QString problem = socketFolderProblem(folder, true); !problem.isEmpty())
            return failed(
                QStringLiteral("the folder for its socket cannot be used: %1").arg(problem));
        if (const QString taken = nameTaken(path, address); !taken.isEmpty())
            return failed(taken);

        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (m_fd < 0)
            return failed(systemError(errno));
        // Made for this user alone before anyone can connect to it.
        const mode_t mask = ::umask(0077);
        const int bound
            = ::bind(m_fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address));
        const int bindError = errno;
        ::umask(mask);
        if (bound != 0)
            return failed(bindError == EADDRINUSE
                              ? QStringLiteral("%1 is already in use by another process").arg(path)
                              : QStringLiteral("%1: %2").arg(path, systemError(bindError)));
        if (::listen(m_fd, kListenQueue) != 0)
            return failed(QStringLiteral("%1: %2").arg(path, systemError(errno)));
        struct stat made {};
        if (::lstat(m_path.constData(), &made) == 0)
            m_inode = made.st_ino;
        m_incoming = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_incoming, &QSocketNotifier::activated, this, &SocketListener::acceptSome);
        return true;
    }

    QString errorString() const override { return m_error; }

private:
    struct Connection
    {
        int fd = -1;
        QSocketNotifier *readable = nullptr;
        QSocketNotifier *writable = nullptr;
        QByteArray request;
        QByteArray reply;
        qsizetype sent = 0;
        bool answering = false; // the command runs: nothing may drop it meanwhile
        bool answered = false;
        QDeadlineTimer deadline;
    };

    bool failed(const QString &error)
    {
        m_error = error;
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        return false;
    }

    // A socket at the name is either one a copy left behind when it ended,
    // which is removed, or one some process still listens on, which is not
    // this window's to take.
    QString nameTaken(const QString &path, const sockaddr_un &address)
    {
        struct stat info {};
        if (::lstat(m_path.constData(), &info) != 0)
            return {};
        if (!S_ISSOCK(info.st_mode))
            return QStringLiteral("%1 is taken by a file that is not a socket").arg(path);
        const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (probe < 0)
            return systemError(errno);
        const int connected
            = ::connect(probe, reinterpret_cast<const sockaddr *>(&address), sizeof(address));
        const int error = errno;
        const QString owner = connected == 0 ? peerProblem(probe) : QString();
        ::close(probe);
        if (connected == 0 || error == EAGAIN || error == EINPROGRESS)
            return QStringLiteral("%1 is already in use by another process%2")
                .arg(path, owner.isEmpty() ? QString() : QStringLiteral(": ") + owner);
        if (error != ECONNREFUSED)
            return QStringLiteral("%1 cannot be checked: %2").arg(path, systemError(error));
        ::unlink(m_path.constData());
        return {};
    }

    void acceptSome()
    {
        for (int i = 0; i < kMostAcceptsPerTurn; ++i) {
            const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (fd < 0) {
                const int error = errno;
                if (error == EINTR)
                    continue;
                if (error == EMFILE || error == ENFILE || error == ENOBUFS || error == ENOMEM) {
                    qCWarning(lcCli) << "cannot take a command connection:" << systemError(error);
                    m_incoming->setEnabled(false);
                    QTimer::singleShot(kPauseWhenOutOfFilesMs, this,
                                       [this] { m_incoming->setEnabled(true); });
                }
                return; // EAGAIN: every waiting connection is taken
            }
            if (const QString stranger = peerProblem(fd); !stranger.isEmpty()) {
                qCWarning(lcCli) << "refused a command connection:" << stranger;
                ::close(fd);
                continue;
            }
            if (!makeRoom()) {
                refuse(fd);
                continue;
            }
            add(fd);
        }
    }

    // Room for one more connection: the oldest one that has not sent its
    // request yet gives way. False when every connection is being answered.
    bool makeRoom()
    {
        if (m_connections.size() < kMostConnections)
            return true;
        // Serials grow with time: the first silent one found is the oldest.
        for (const auto &[serial, connection] : m_connections) {
            if (!connection.answering && !connection.answered) {
                qCInfo(lcCli) << "hung up on a silent command connection to make room";
                drop(serial);
                return true;
            }
        }
        return false;
    }

    void refuse(int fd)
    {
        qCWarning(lcCli) << "refused a command connection: every place is taken";
        // A short line fits the socket's buffer; if not, the close says enough.
        const QByteArray line = CommandServer::refusalLine(
            QStringLiteral("the Chronodeck window is busy with other commands; try again"));
        [[maybe_unused]] const ssize_t sent
            = ::send(fd, line.constData(), size_t(line.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
        ::close(fd);
    }

    void add(int fd)
    {
        const quint64 serial = m_nextSerial++;
        Connection &connection = m_connections[serial];
        connection.fd = fd;
        connection.deadline = QDeadlineTimer(kRequestWaitMs);
        connection.readable = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(connection.readable, &QSocketNotifier::activated, this,
                [this, serial] { readFrom(serial); });
        m_sweep.start();
        readFrom(serial);
    }

    void readFrom(quint64 serial)
    {
        const auto it = m_connections.find(serial);
        if (it == m_connections.end() || it->second.answered || it->second.answering)
            return;
        Connection &connection = it->second;
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::recv(connection.fd, buffer, sizeof(buffer), 0);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                return; // the rest of the line comes later
            if (n <= 0) {
                drop(serial); // gone before its request was whole
                return;
            }
            connection.request.append(buffer, n);
            const qsizetype end = connection.request.indexOf('\n');
            if (end >= 0) {
                answer(serial, connection.request.left(end + 1));
                return;
            }
            if (connection.request.size() > kMostRequestBytes) {
                drop(serial);
                return;
            }
        }
    }

    void answer(quint64 serial, const QByteArray &request)
    {
        {
            Connection &connection = m_connections.at(serial);
            connection.readable->setEnabled(false);
            connection.answering = true;
        }
        QByteArray reply = m_server.answer(request);
        // The command may have run an event loop of its own (a message box):
        // the connection is looked up again, by its serial, never its
        // descriptor, which a newer connection may have by now.
        const auto it = m_connections.find(serial);
        if (it == m_connections.end())
            return;
        Connection &connection = it->second;
        connection.answering = false;
        connection.answered = true;
        if (reply.size() > kMostReplyBytes || m_heldBytes + reply.size() > kMostHeldBytes) {
            qCWarning(lcCli) << "an answer of" << reply.size() << "bytes is not kept for sending";
            reply = CommandServer::refusalLine(
                QStringLiteral("the answer is too large for the Chronodeck window to send now "
                               "(%1 MB); ask for less, or try again")
                    .arg(reply.size() / (1024 * 1024)));
        }
        connection.reply = reply;
        connection.deadline = QDeadlineTimer(kReplyWaitMs);
        m_heldBytes += reply.size();
        sendMore(serial);
    }

    void sendMore(quint64 serial)
    {
        const auto it = m_connections.find(serial);
        if (it == m_connections.end())
            return;
        Connection &connection = it->second;
        while (connection.sent < connection.reply.size()) {
            const ssize_t n = ::send(connection.fd, connection.reply.constData() + connection.sent,
                                     size_t(connection.reply.size() - connection.sent),
                                     MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                // The client reads slower than the window answers: the rest
                // goes out when it has room, and the window goes on meanwhile.
                if (!connection.writable) {
                    connection.writable
                        = new QSocketNotifier(connection.fd, QSocketNotifier::Write, this);
                    connect(connection.writable, &QSocketNotifier::activated, this,
                            [this, serial] { sendMore(serial); });
                }
                connection.writable->setEnabled(true);
                return;
            }
            if (n <= 0) {
                qCInfo(lcCli) << "the command line left before its answer:" << systemError(errno);
                drop(serial);
                return;
            }
            connection.sent += n;
        }
        drop(serial);
    }

    void sweep()
    {
        std::vector<quint64> late;
        for (const auto &[serial, connection] : m_connections) {
            if (!connection.answering && connection.deadline.hasExpired())
                late.push_back(serial);
        }
        for (const quint64 serial : late) {
            qCInfo(lcCli) << "hung up on a command connection that"
                          << (m_connections.at(serial).answered ? "did not read its answer"
                                                                : "sent no request")
                          << "in time";
            drop(serial);
        }
    }

    void drop(quint64 serial)
    {
        const auto it = m_connections.find(serial);
        if (it == m_connections.end())
            return;
        Connection &connection = it->second;
        // Deleted later: one of them may be the notifier whose signal runs now.
        for (QSocketNotifier *notifier : {connection.readable, connection.writable}) {
            if (notifier) {
                notifier->setEnabled(false);
                notifier->deleteLater();
            }
        }
        m_heldBytes -= connection.reply.size();
        ::close(connection.fd);
        m_connections.erase(it);
        if (m_connections.empty())
            m_sweep.stop(); // an idle window sleeps
    }

    CommandServer &m_server;
    int m_fd = -1;
    QByteArray m_path;
    ino_t m_inode = 0;
    QString m_error;
    QSocketNotifier *m_incoming = nullptr;
    // By serial, which grows with each connection: the oldest comes first.
    std::map<quint64, Connection> m_connections;
    quint64 m_nextSerial = 1;
    qsizetype m_heldBytes = 0;
    QTimer m_sweep;
};

} // namespace

std::unique_ptr<CommandServer::Listener> CommandServer::makeListener(CommandServer &server)
{
    return std::make_unique<SocketListener>(server);
}

} // namespace cdk::cli
