#pragma once

#include "cli/Commands.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class QLocalServer;
class QLocalSocket;

namespace cdk {
class Clock;
class TaskOperations;
} // namespace cdk

namespace cdk::cli {

// The name the running window listens under for one data folder: a socket
// file inside the folder, or, where that path is too long for a socket, a
// short name derived from the folder in the user's runtime folder.
QString commandSocketName(const QString &dataFolder);

// The window's side: commands from the command line are carried out here,
// through the window's own operations and tracker, so the grid follows at
// once and tracking counts in the one tracker. One request per connection:
// a JSON line {"args": [...]} answered by {"exit": n, "out": "...", "err": "..."}.
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

private:
    void onNewConnection();
    void onReadyRead(QLocalSocket *socket);

    TaskOperations &m_operations;
    Clock &m_clock;
    QLocalServer *m_server = nullptr;
};

// The command line's side. Nothing when no window listens for the folder;
// otherwise the window's reply, or a data error when it stopped answering.
std::optional<Reply> askWindow(const QString &dataFolder, const QStringList &arguments,
                               int answerTimeoutMs);

} // namespace cdk::cli
