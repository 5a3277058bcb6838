#include "app/RestoreSignalWatcher.h"

#include "app/SingleInstance.h"
#include "base/Log.h"

#include <QFileInfo>

namespace cdk {

RestoreSignalWatcher::RestoreSignalWatcher(const SingleInstance &instance, QObject *parent)
    : QObject(parent)
    , m_instance(instance)
{
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &RestoreSignalWatcher::look);
    m_poll.setInterval(1000);
    connect(&m_poll, &QTimer::timeout, this, &RestoreSignalWatcher::look);
}

void RestoreSignalWatcher::start()
{
    const QString folder = QFileInfo(m_instance.signalPath()).absolutePath();
    if (!m_watcher.addPath(folder)) {
        qCWarning(lcApp) << "cannot watch" << folder
                         << "for the restore signal; looking for it once a second";
        m_poll.start();
    }
    QMetaObject::invokeMethod(this, &RestoreSignalWatcher::look, Qt::QueuedConnection);
}

void RestoreSignalWatcher::look()
{
    // Every change in the folder lands here (the database's journal, the
    // settings file); one existence test tells whether it was the signal.
    // A signal that cannot be removed is answered again at the folder's next
    // change, as the old once-a-second look answered it at its next turn.
    if (m_instance.takeRestoreSignal())
        Q_EMIT restoreRequested();
}

} // namespace cdk
