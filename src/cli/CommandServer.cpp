#include "cli/CommandServer.h"

#include "base/Clock.h"
#include "cli/CliLog.h"
#include "cli/Commands.h"
#include "cli/WindowLink.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>

namespace cdk::cli {

namespace {

// A request is one short line; anything longer is not from the command line.
constexpr qint64 kMostRequestBytes = 64 * 1024;

QByteArray replyLine(const Reply &reply)
{
    const QJsonObject object {{QStringLiteral("exit"), reply.exit},
                              {QStringLiteral("out"), reply.out},
                              {QStringLiteral("err"), reply.err}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

} // namespace

CommandServer::CommandServer(TaskOperations &operations, Clock &clock, QObject *parent)
    : QObject(parent)
    , m_operations(operations)
    , m_clock(clock)
    , m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &CommandServer::onNewConnection);
}

CommandServer::~CommandServer() = default;

bool CommandServer::listen(const QString &dataFolder)
{
    const QString name = commandSocketName(dataFolder);
    QLocalServer::removeServer(name);
    if (!m_server->listen(name)) {
        qCWarning(lcCli) << "commands from the command line cannot reach this window:"
                         << m_server->errorString();
        return false;
    }
    qCInfo(lcCli) << "listening for commands at" << m_server->fullServerName();
    return true;
}

QString CommandServer::errorString() const { return m_server->errorString(); }

void CommandServer::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        if (socket->canReadLine())
            onReadyRead(socket);
    }
}

void CommandServer::onReadyRead(QLocalSocket *socket)
{
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMostRequestBytes)
            socket->abort();
        return;
    }
    const QJsonObject request = QJsonDocument::fromJson(socket->readLine()).object();
    QStringList arguments;
    for (const QJsonValue &value : request.value(QStringLiteral("args")).toArray())
        arguments << value.toString();

    Reply reply;
    const ParseResult parsed = parseCommandLine(arguments);
    if (!parsed.ok()) {
        reply = Reply::failed(parsed.error);
    } else {
        CommandTarget target {m_operations, m_clock.today(), true};
        reply = runCommand(*parsed.command, target);
    }
    qCInfo(lcCli) << "command" << arguments << "ended with" << reply.exit;
    socket->write(replyLine(reply));
    socket->disconnectFromServer();
}

} // namespace cdk::cli
