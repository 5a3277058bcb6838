#pragma once

#include <QString>

#include <stdexcept>

namespace cdk {

// A failure of the task store that the user has to be told about. Engine
// failures carry the extended SQLite result code; refusals of the store's
// own (a value the columns cannot hold, a list that is full) carry 0 and a
// text that is ready to show as it is. An engine failure the store has put
// in words of its own (a database that cannot be opened) has both.
class StoreError : public std::runtime_error
{
public:
    explicit StoreError(const QString &message, int code = 0)
        : std::runtime_error(message.toStdString()), m_message(message), m_code(code),
          m_readyToShow(code == 0)
    {
    }
    struct ReadyToShow {};
    StoreError(ReadyToShow, const QString &message, int code)
        : StoreError(message, code)
    {
        m_readyToShow = true;
    }
    int code() const { return m_code; }
    QString message() const { return m_message; }
    QString userMessage() const { return m_message; }
    // The message is meant for the user as it stands; otherwise it is the
    // engine's and wants a sentence of context around it.
    bool isReadyToShow() const { return m_readyToShow; }

private:
    QString m_message;
    int m_code;
    bool m_readyToShow;
};

// A list (or the category table) already holds the number 32767: no further
// number can be given. Callers refuse the new task, move or category.
class IdOverflow : public StoreError
{
public:
    using StoreError::StoreError;
};

} // namespace cdk
