#include "cli/CommandServer.h"

#include "base/Clock.h"
#include "cli/CliLog.h"
#include "cli/Commands.h"
#include "cli/WindowLink.h"
#include "core/TaskOperations.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QScopeGuard>

#include <optional>

namespace cdk::cli {

namespace {

QByteArray replyLine(const Reply &reply)
{
    const QJsonObject object {{QStringLiteral("exit"), reply.exit},
                              {QStringLiteral("out"), reply.out},
                              {QStringLiteral("err"), reply.err}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

// The arguments of a request line, or nothing when it is not the command
// line's. Bytes that are not UTF-8 are refused, not repaired: a replacement
// character would put a subject into the database that nobody typed.
std::optional<QStringList> requestArguments(const QByteArray &line)
{
    if (!line.isValidUtf8())
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonValue args = document.object().value(QStringLiteral("args"));
    if (!args.isArray())
        return std::nullopt;
    QStringList arguments;
    for (const QJsonValue &value : args.toArray()) {
        if (!value.isString())
            return std::nullopt;
        arguments << value.toString();
    }
    return arguments;
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

QByteArray CommandServer::refusalLine(const QString &message)
{
    return replyLine(Reply::failed(message, ExitDataError));
}

QByteArray CommandServer::answer(const QByteArray &requestLine)
{
    const std::optional<QStringList> request = requestArguments(requestLine);
    if (!request) {
        qCWarning(lcCli) << "refused a request that is not a line of UTF-8 JSON";
        return replyLine(Reply::failed(QStringLiteral(
            "the request is not a line of UTF-8 JSON with the command's arguments")));
    }
    const QStringList &arguments = *request;

    Reply reply;
    const ParseResult parsed = parseCommandLine(arguments);
    if (!parsed.ok()) {
        reply = Reply::failed(parsed.error);
    } else {
        // The window's undo is for what its user did there.
        const bool recording = m_operations.isRecording();
        m_operations.setRecording(false);
        const auto restore = qScopeGuard([&] { m_operations.setRecording(recording); });
        CommandTarget target {m_operations, m_clock.today(), true};
        reply = runCommand(*parsed.command, target);
    }
    qCInfo(lcCli) << "command" << arguments << "ended with" << reply.exit;
    return replyLine(reply);
}

} // namespace cdk::cli
