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
class CommandServer final : public QObject
{
    Q_OBJECT

public:
    CommandServer(TaskOperations &operations, Clock &clock, QObject *parent = nullptr);
    ~CommandServer() override;

    // Listens for the data folder. The caller is the running copy for that
    // folder, so a socket left behind by a crashed copy is taken over.
    bool listen(const QString &dataFolder);
    QString errorString() const;

    // The reply line to one request line.
    QByteArray answer(const QByteArray &requestLine);

    // The platform's end of the connection: it accepts, reads one request
    // line, sends answer()'s reply and hangs up.
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
