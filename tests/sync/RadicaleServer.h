#pragma once

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include <optional>

// A real CalDAV server for one test: Radicale on a free port of 127.0.0.1,
// with its storage in a temporary folder and one user, stopped on
// destruction. phone() runs a python CalDAV client against it, the way
// another device would change the same calendars.
class RadicaleServer
{
public:
    // https: over TLS with a self-signed certificate that no client trusts.
    explicit RadicaleServer(bool https = false)
        : m_https(https)
    {
        // The distribution's interpreter: that is where the radicale and
        // caldav packages are installed, whatever python3 comes first on PATH.
        m_python = QStringLiteral("/usr/bin/python3");
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, 0)) {
            m_failure = QStringLiteral("no free port");
            return;
        }
        m_port = probe.serverPort();
        probe.close();

        const QString users = m_dir.filePath(QStringLiteral("users"));
        const QString config = m_dir.filePath(QStringLiteral("config"));
        QString tls;
        if (https) {
            const QString certificate = m_dir.filePath(QStringLiteral("cert.pem"));
            const QString key = m_dir.filePath(QStringLiteral("key.pem"));
            QProcess openssl;
            openssl.start(QStringLiteral("openssl"),
                          {QStringLiteral("req"), QStringLiteral("-x509"),
                           QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
                           QStringLiteral("-nodes"), QStringLiteral("-days"),
                           QStringLiteral("2"), QStringLiteral("-subj"),
                           QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-keyout"), key,
                           QStringLiteral("-out"), certificate});
            if (!openssl.waitForFinished(30'000) || openssl.exitCode() != 0) {
                m_failure = QStringLiteral("openssl could not make a certificate");
                return;
            }
            tls = QStringLiteral("ssl = True\ncertificate = %1\nkey = %2\n").arg(certificate, key);
        }
        write(users, m_user + u':' + m_password + u'\n');
        write(config,
              QStringLiteral("[server]\nhosts = 127.0.0.1:%1\n%4"
                             "[auth]\ntype = htpasswd\nhtpasswd_filename = %2\n"
                             "htpasswd_encryption = plain\ndelay = 0\n"
                             "[storage]\nfilesystem_folder = %3\n"
                             "[logging]\nlevel = warning\n")
                  .arg(m_port)
                  .arg(users, m_dir.filePath(QStringLiteral("storage")), tls));
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.start(
            m_python,
            {QStringLiteral("-m"), QStringLiteral("radicale"), QStringLiteral("--config"), config});
        if (!m_process.waitForStarted(10'000)) {
            m_failure = QStringLiteral("radicale did not start: ") + m_process.errorString();
            return;
        }
        // Started means listening once a connection is taken.
        QDeadlineTimer deadline(30'000);
        while (!deadline.hasExpired() && m_process.state() == QProcess::Running) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, m_port);
            if (socket.waitForConnected(500)) {
                m_ready = true;
                return;
            }
            QThread::msleep(100);
        }
        m_failure = QStringLiteral("radicale did not answer on port %1").arg(m_port);
    }

    ~RadicaleServer()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(5'000)) {
            m_process.kill();
            m_process.waitForFinished(5'000);
        }
    }

    RadicaleServer(const RadicaleServer &) = delete;
    RadicaleServer &operator=(const RadicaleServer &) = delete;

    bool ready() const { return m_ready; }
    qint64 processId() const { return m_process.processId(); }
    QString failure() const { return m_failure; }
    QUrl url() const
    {
        return QUrl(QStringLiteral("%1://127.0.0.1:%2/")
                        .arg(m_https ? QStringLiteral("https") : QStringLiteral("http"))
                        .arg(m_port));
    }
    QString user() const { return m_user; }
    QString password() const { return m_password; }

    // Runs a python script with `client` (a caldav.DAVClient signed in as the
    // user) and `principal` defined; its standard output, or nothing with
    // *error set when it fails.
    std::optional<QByteArray> phone(const QString &script, QString *error = nullptr) const
    {
        const QString prelude = QStringLiteral(
            "import os, sys, caldav\n"
            "client = caldav.DAVClient(url=os.environ['DAV_URL'], "
            "username=os.environ['DAV_USER'], password=os.environ['DAV_PASSWORD'])\n"
            "principal = client.principal()\n");
        QProcess python;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DAV_URL"), url().toString());
        env.insert(QStringLiteral("DAV_USER"), m_user);
        env.insert(QStringLiteral("DAV_PASSWORD"), m_password);
        python.setProcessEnvironment(env);
        python.start(m_python, {QStringLiteral("-c"), prelude + script});
        const bool finished = python.waitForFinished(60'000);
        if (!finished || python.exitStatus() != QProcess::NormalExit || python.exitCode() != 0) {
            if (error)
                *error = QString::fromUtf8(python.readAllStandardError()).trimmed();
            return std::nullopt;
        }
        return python.readAllStandardOutput();
    }

private:
    static void write(const QString &path, const QString &text)
    {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(text.toUtf8());
    }

    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_python;
    QString m_user = QStringLiteral("alice");
    QString m_password = QStringLiteral("s3cret-Pass:word");
    quint16 m_port = 0;
    bool m_ready = false;
    bool m_https = false;
    QString m_failure;
};
