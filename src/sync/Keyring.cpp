#include "sync/Keyring.h"

#include <qt6keychain/keychain.h>

#include <QEventLoop>

namespace cdk::sync {

namespace {

const QString kService = QStringLiteral("Chronodeck sync");

Keyring::Outcome run(QKeychain::Job &job, QString &error)
{
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.setAutoDelete(false);
    job.start();
    loop.exec();
    switch (job.error()) {
    case QKeychain::NoError:
        error.clear();
        return Keyring::Outcome::Done;
    case QKeychain::EntryNotFound:
        error = QStringLiteral("no password in the keyring");
        return Keyring::Outcome::Missing;
    default:
        error = job.errorString();
        return Keyring::Outcome::Unavailable;
    }
}

} // namespace

Keyring::Keyring(QString account) : m_account(std::move(account)) {}

Keyring::Outcome Keyring::read(QString &password)
{
    QKeychain::ReadPasswordJob job(kService);
    // Never QSettings: a keyring that is not there keeps nothing rather
    // than a password in a file.
    job.setInsecureFallback(false);
    job.setKey(m_account);
    const Outcome outcome = run(job, m_error);
    if (outcome == Outcome::Done)
        password = job.textData();
    return outcome;
}

Keyring::Outcome Keyring::write(const QString &password)
{
    QKeychain::WritePasswordJob job(kService);
    job.setInsecureFallback(false);
    job.setKey(m_account);
    job.setTextData(password);
    return run(job, m_error);
}

Keyring::Outcome Keyring::forget()
{
    QKeychain::DeletePasswordJob job(kService);
    job.setInsecureFallback(false);
    job.setKey(m_account);
    const Outcome outcome = run(job, m_error);
    return outcome == Outcome::Missing ? Outcome::Done : outcome;
}

} // namespace cdk::sync
