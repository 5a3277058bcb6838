#include "cli/CommandServer.h"

#include "base/Clock.h"
#include "cli/CliLog.h"
#include "cli/Commands.h"
#include "cli/WindowLink.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace cdk::cli {

namespace {

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
{
}

CommandServer::~CommandServer() = default;

bool CommandServer::listen(const QString &dataFolder)
{
    const QString name = commandSocketName(dataFolder);
    m_listener = makeListener(*this);
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

QByteArray CommandServer::answer(const QByteArray &requestLine)
{
    const QJsonObject request = QJsonDocument::fromJson(requestLine).object();
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
    return replyLine(reply);
}

} // namespace cdk::cli
