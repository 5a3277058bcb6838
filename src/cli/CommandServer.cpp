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
