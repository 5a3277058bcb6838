#pragma once

#include <QString>

#include <optional>

namespace cdk::sync {

// The sync password in the desktop's keyring (Secret Service on Linux, the
// credential store on Windows), under the account it belongs to. Blocking:
// each call waits for the keyring in a local event loop.
class Keyring
{
public:
    enum class Outcome {
        Done,
        Missing, // the keyring answers but holds no password for the account
        Unavailable, // no keyring answers: nothing can be kept between runs
    };

    // account: the user name and server, as "user@https://host/path".
    explicit Keyring(QString account);

    Outcome read(QString &password);
    Outcome write(const QString &password);
    Outcome forget();
    // Why the last call did not succeed, for a log or a status line.
    QString lastError() const { return m_error; }

private:
    QString m_account;
    QString m_error;
};

} // namespace cdk::sync
