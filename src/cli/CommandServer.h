#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

namespace cdk {
class Clock;
class TaskOperations;
} // namespace cdk

namespace cdk::cli {

// The window's side: commands from the command line are carried out here,
// through the window's own operations and tracker, so the grid follows at
// once and tracking counts in the one tracker. It speaks the protocol of
// askWindow() in WindowLink.h.
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

} // namespace cdk::cli
