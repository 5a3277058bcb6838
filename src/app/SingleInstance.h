#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

namespace cdk {

// One running copy per data folder. The copy that holds the lock runs;
// a later copy leaves the restore signal file and ends, and the running copy
// comes forward when that file appears (RestoreSignalWatcher). A crashed copy
// leaves no lock that blocks the next start.
class SingleInstance
{
public:
    explicit SingleInstance(const QString &dataFolder);
    ~SingleInstance();

    // True when this process is now the running copy.
    bool acquire();

    static QString signalFileName() { return QStringLiteral("LACrestoreST$"); }
    QString signalPath() const;

    // Second copy: removes a leftover signal, writes a fresh one.
    bool writeRestoreSignal() const;
    // Running copy: true when a signal was there; it is removed.
    bool takeRestoreSignal() const;

private:
    QString m_folder;
    int m_lockFd = -1; // Unix: the file held under flock()
    std::unique_ptr<QLockFile> m_lock; // elsewhere
};

} // namespace cdk
