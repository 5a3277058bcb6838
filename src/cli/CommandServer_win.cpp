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

} // namespace

class CommandServer::Listener final : public QObject
{
public:
    explicit Listener(CommandServer &server) : m_server(server), m_local(new QLocalServer(this))
    {
        m_local->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_local, &QLocalServer::newConnection, this, &Listener::acceptAll);
    }

    bool listen(const QString &name)
    {
        QLocalServer::removeServer(name);
        return m_local->listen(name);
    }
    QString errorString() const { return m_local->errorString(); }

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

CommandServer::CommandServer(TaskOperations &operations, Clock &clock, QObject *parent)
    : QObject(parent)
    , m_operations(operations)
    , m_clock(clock)
{
}

CommandServer::~CommandServer() = default;

bool CommandServer::listen(const QString &dataFolder)
{
    m_listener = std::make_unique<Listener>(*this);
    const QString name = commandSocketName(dataFolder);
    if (!m_listener->listen(name)) {
        qCWarning(lcCli) << "commands from the command line cannot reach this window:"
                         << m_listener->errorString();
        return false;
    }
    qCInfo(lcCli) << "listening for commands at" << name;
    return true;
}

QString CommandServer::errorString() const
{
    return m_listener ? m_listener->errorString() : QString();
}

} // namespace cdk::cli
