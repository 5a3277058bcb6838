#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

namespace cdk {

class SingleInstance;

// The running copy's ear for a second copy: the data folder is watched, so the
// process sleeps until a file appears there instead of looking for the
// restore signal every second. Where the folder cannot be watched (no watch
// left, a file system that offers none) it looks once a second instead. Each
// signal file is answered once and removed.
class RestoreSignalWatcher final : public QObject
{
    Q_OBJECT
public:
    explicit RestoreSignalWatcher(const SingleInstance &instance, QObject *parent = nullptr);

    // Begins to watch. A signal left before this call (a second copy that
    // started while this one was starting) is answered on the event loop's
    // next turn.
    void start();

Q_SIGNALS:
    void restoreRequested();

private:
    void look();

    const SingleInstance &m_instance;
    QFileSystemWatcher m_watcher;
    QTimer m_poll; // tmrRestore's once-a-second look, when the watch cannot be set
};

} // namespace cdk
