#pragma once

#include <QObject>
#include <QString>

#include <memory>

namespace cdk {
class Clock;
class TaskOperations;
} // namespace cdk

namespace cdk::cli {

struct Reply;

// The window's side: commands from the command line are carried out here,
// through the window's own operations and tracker, so the grid follows at
// once and tracking counts in the one tracker. It speaks the protocol of
// askWindow() in WindowLink.h: one JSON request line per connection,
// answered by one JSON line.
//
// On Unix it listens on a stream socket of its own, watched by the event
// loop: QtNetwork and the libraries it brings would add milliseconds to
// every start of the window. Elsewhere QLocalServer does the listening.
// The Unix end never waits for a client: a client that does not read its
// answer, or many that say nothing, cost a bounded amount of memory and
// descriptors and hold up nobody else; and it serves this user alone.
class CommandServer final : public QObject
{
    Q_OBJECT

public:
    CommandServer(TaskOperations &operations, Clock &clock, QObject *parent = nullptr);
    ~CommandServer() override;

    // Listens for the data folder. The caller is the running copy for that
    // folder, so a socket left behind by a crashed copy is taken over; a
    // name another process listens under is not, and neither is a socket
    // folder others could have prepared: listen() fails and errorString()
    // says why, in words for the user.
    bool listen(const QString &dataFolder);
    QString errorString() const;

    // The reply line to one request line. A line that is not UTF-8 JSON
    // with the command's arguments is answered with a refusal.
    QByteArray answer(const QByteArray &requestLine);
    // A reply line that refuses the request with the message, for a client
    // the window cannot serve now.
    static QByteArray refusalLine(const QString &message);

    // The platform's end of the connection: it accepts, reads one request
    // line, sends answer()'s reply and hangs up, without ever blocking.
    class Listener : public QObject
    {
    public:
        virtual bool listen(const QString &name) = 0;
        virtual QString errorString() const = 0;
    };

private:
    static std::unique_ptr<Listener> makeListener(CommandServer &server);

    TaskOperations &m_operations;
    Clock &m_clock;
    std::unique_ptr<Listener> m_listener;
};

} // namespace cdk::cli
