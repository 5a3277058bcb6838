#include "cli/WindowLink.h"

#include "base/Clock.h"
#include "cli/CliLog.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace cdk::cli {

namespace {

// sun_path holds 108 bytes on Linux and 104 on the BSDs and macOS.
constexpr qsizetype kMostSocketPathBytes = 100;
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

QString commandSocketName(const QString &dataFolder)
{
    const QFileInfo info(dataFolder);
    const QString folder = info.canonicalFilePath().isEmpty()
        ? QDir::cleanPath(info.absoluteFilePath())
        : info.canonicalFilePath();
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
        Session session {m_operations, m_clock.today(), true};
        reply = runCommand(*parsed.command, session);
    }
    qCInfo(lcCli) << "command" << arguments << "ended with" << reply.exit;
    socket->write(replyLine(reply));
    socket->disconnectFromServer();
}

std::optional<Reply> askWindow(const QString &dataFolder, const QStringList &arguments,
                               int answerTimeoutMs)
{
    const QString name = commandSocketName(dataFolder);
#ifndef Q_OS_WIN
    // No socket file, no window: spare the connection attempt.
    if (!QFileInfo::exists(name))
        return std::nullopt;
#endif
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(1000))
        return std::nullopt; // a socket left behind by a window that is gone
    const QJsonObject request {{QStringLiteral("args"), QJsonArray::fromStringList(arguments)}};
    socket.write(QJsonDocument(request).toJson(QJsonDocument::Compact) + '\n');
    socket.flush();
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(answerTimeoutMs))
            return Reply::failed(QStringLiteral("the Chronodeck window did not answer"),
                                 ExitDataError);
    }
    const QJsonObject answer = QJsonDocument::fromJson(socket.readLine()).object();
    if (!answer.contains(QStringLiteral("exit")))
        return Reply::failed(QStringLiteral("the Chronodeck window gave no answer that reads"),
                             ExitDataError);
    return Reply {answer.value(QStringLiteral("exit")).toInt(),
                  answer.value(QStringLiteral("out")).toString(),
                  answer.value(QStringLiteral("err")).toString()};
}

} // namespace cdk::cli
