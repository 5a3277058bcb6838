// The window's listening end on Windows, where the command line reaches it
// through a named pipe: QLocalServer.
#include "cli/CommandServer.h"

#include "cli/CliLog.h"
#include "cli/WindowLink.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace cdk::cli {

namespace {

// A request is one short line; anything longer is not from the command line.
constexpr qint64 kMostRequestBytes = 64 * 1024;

class SocketListener final : public CommandServer::Listener
{
public:
    explicit SocketListener(CommandServer &server) : m_server(server), m_local(new QLocalServer(this))
    {
        m_local->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_local, &QLocalServer::newConnection, this, &SocketListener::acceptAll);
    }

    bool listen(const QString &name) override
    {
        QLocalServer::removeServer(name);
        return m_local->listen(name);
    }
    QString errorString() const override { return m_local->errorString(); }

private:
    void acceptAll()
    {
        while (QLocalSocket *socket = m_local->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
            if (socket->canReadLine())
                readFrom(socket);
        }
    }

    void readFrom(QLocalSocket *socket)
    {
        if (!socket->canReadLine()) {
            if (socket->bytesAvailable() > kMostRequestBytes)
                socket->abort();
            return;
        }
        socket->write(m_server.answer(socket->readLine()));
        socket->disconnectFromServer();
    }

    CommandServer &m_server;
    QLocalServer *m_local;
};

} // namespace

std::unique_ptr<CommandServer::Listener> CommandServer::makeListener(CommandServer &server)
{
    return std::make_unique<SocketListener>(server);
}

} // namespace cdk::cli
