#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QList>
#include <QPair>
#include <QProcess>
#include <QTest>

// The test's target defines CHRONODECK_TEST_PYTHON: the distribution's
// Python, where python3-dbusmock is installed.
namespace cdk::test {

// One python-dbusmock service, gone with the object.
class DbusMock
{
public:
    DbusMock(const QStringList &arguments, const QString &name, const QString &path,
                bool systemBus)
        : m_path(path), m_systemBus(systemBus)
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // The distribution's Python, where python3-dbusmock is installed.
        m_process.start(QStringLiteral(CHRONODECK_TEST_PYTHON),
                        QStringList {QStringLiteral("-m"), QStringLiteral("dbusmock")} + arguments);
        m_service = name;
    }
    // Waits until the service answers on the bus.
    bool up()
    {
        QDeadlineTimer deadline(10'000);
        while (!bus().interface()->isServiceRegistered(m_service).value()) {
            if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning)
                return false;
            QTest::qWait(20);
        }
        return true;
    }
    ~DbusMock()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

    QDBusConnection bus() const
    {
        return m_systemBus ? QDBusConnection::systemBus() : QDBusConnection::sessionBus();
    }

    void emitSignal(const QString &interface, const QString &name, const QString &signature,
                    const QVariantList &arguments)
    {
        QVariantList wrapped;
        for (const QVariant &argument : arguments)
            wrapped << QVariant::fromValue(QDBusVariant(argument));
        mock(QStringLiteral("EmitSignal"), {interface, name, signature, QVariant::fromValue(wrapped)});
    }

    // The methods called on the mock so far, each with its arguments.
    QList<QPair<QString, QVariantList>> calls()
    {
        const QDBusMessage reply = mock(QStringLiteral("GetCalls"), {});
        QList<QPair<QString, QVariantList>> result;
        const QDBusArgument list = reply.arguments().value(0).value<QDBusArgument>();
        list.beginArray();
        while (!list.atEnd()) {
            quint64 when = 0;
            QString method;
            QVariantList arguments;
            list.beginStructure();
            list >> when >> method;
            list.beginArray();
            while (!list.atEnd()) {
                QDBusVariant value;
                list >> value;
                arguments << value.variant();
            }
            list.endArray();
            list.endStructure();
            result.append({method, arguments});
        }
        list.endArray();
        return result;
    }
    QList<QVariantList> callsOf(const QString &method)
    {
        QList<QVariantList> found;
        for (const auto &[name, arguments] : calls())
            if (name == method)
                found << arguments;
        return found;
    }

    // A method of the mock's own interface (org.freedesktop.DBus.Mock).
    QDBusMessage mock(const QString &method, const QVariantList &arguments)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(m_service, m_path,
                                                           QStringLiteral("org.freedesktop.DBus.Mock"), method);
        call.setArguments(arguments);
        const QDBusMessage reply = bus().call(call);
        if (reply.type() != QDBusMessage::ReplyMessage)
            qWarning("%s: %s", qPrintable(method), qPrintable(reply.errorMessage()));
        return reply;
    }

private:
    QProcess m_process;
    QString m_service;
    QString m_path;
    bool m_systemBus;
};

} // namespace cdk::test
