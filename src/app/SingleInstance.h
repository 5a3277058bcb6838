#pragma once

#include <QCoreApplication>
#include <QLockFile>
#include <QString>

#include <memory>

namespace cdk {

// One running copy per data folder. The copy that holds the lock runs;
// a later copy leaves the restore signal file and ends, and the running copy
// comes forward when that file appears (RestoreSignalWatcher). A crashed copy
// leaves no lock that blocks the next start. Only this user can take the
// lock: one that anybody could hold would let another user keep the window
// from starting.
class SingleInstance
{
    Q_DECLARE_TR_FUNCTIONS(SingleInstance)

public:
    explicit SingleInstance(const QString &dataFolder);
    ~SingleInstance();

    enum class Lock {
        Taken, // this process is now the running copy
        Held, // a copy of this user's runs for the folder
        Refused, // the lock cannot be trusted; errorString() says why
    };
    Lock acquire();
    // Why the lock was refused, in the user's language.
    QString errorString() const { return m_error; }

    static QString signalFileName() { return QStringLiteral("LACrestoreST$"); }
    QString signalPath() const;

    // Second copy: removes a leftover signal, writes a fresh one.
    bool writeRestoreSignal() const;
    // Second copy: true once the running copy has taken the signal, false
    // when it has not within the time.
    bool waitUntilSignalTaken(int timeoutMs) const;
    // Running copy: true when a signal was there; it is removed.
    bool takeRestoreSignal() const;

private:
    QString m_folder;
    QString m_error;
    int m_lockFd = -1; // Unix: the file held under flock()
    std::unique_ptr<QLockFile> m_lock; // elsewhere
};

} // namespace cdk
