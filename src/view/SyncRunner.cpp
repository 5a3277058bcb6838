#include "view/SyncRunner.h"

#include "base/Log.h"
#include "base/Translate.h"
#include "core/TaskOperations.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

namespace cdk {

namespace {

constexpr int kFirstSyncMs = 3000; // after the window is up
constexpr int kAfterChangeMs = 2000;
constexpr int kMsPerMinute = 60'000;
constexpr int kLongestBackoffShift = 6; // 64 minutes

// The states without a value in them, of chronodeck-sync and of this class.
constexpr const char *kFixedStates[] = {
    QT_TRANSLATE_NOOP("cdk::SyncRunner", "Not set up"),
    QT_TRANSLATE_NOOP("cdk::SyncRunner", "Not synced yet"),
    QT_TRANSLATE_NOOP("cdk::SyncRunner", "Syncing..."),
    QT_TRANSLATE_NOOP("cdk::SyncRunner", "Sync unavailable"),
    QT_TRANSLATE_NOOP("cdk::SyncRunner", "Sync failed"),
    QT_TRANSLATE_NOOP("cdk::SyncRunner", "Sign-in refused"),
    QT_TRANSLATE_NOOP("cdk::SyncRunner", "Certificate not trusted"),
    QT_TRANSLATE_NOOP("cdk::SyncRunner", "Password needed"),
};

} // namespace

QString SyncRunner::shownState(const QString &state)
{
    for (const char *fixed : kFixedStates) {
        if (state == QLatin1String(fixed))
            return QCoreApplication::translate("cdk::SyncRunner", fixed);
    }
    // "Synced 12:04": the time as chronodeck-sync wrote it, in the user's
    // locale already.
    static const QRegularExpression synced(QStringLiteral("^Synced (.+)$"));
    if (const QRegularExpressionMatch match = synced.match(state); match.hasMatch())
        return tr("Synced %1", "the time of the last sync").arg(match.captured(1));
    static const QRegularExpression offline(
        QStringLiteral("^Offline: (?:(1) change|([0-9]+) changes) waiting$"));
    if (const QRegularExpressionMatch match = offline.match(state); match.hasMatch()) {
        const bool one = match.hasCaptured(1);
        bool ok = false;
        const int waiting = match.captured(one ? 1 : 2).toInt(&ok);
        if (ok && one == (waiting == 1))
            return countedText(
                "cdk::SyncRunner",
                QT_TRANSLATE_N_NOOP("cdk::SyncRunner", "Offline: %n changes waiting"),
                "Offline: 1 change waiting", waiting);
    }
    return state;
}

SyncRunner::SyncRunner(const QString &programFolder, const QString &dataFolder,
                       clsSettings &settings, TaskOperations &operations, QObject *parent)
    : QObject(parent),
      m_program(QDir(programFolder).filePath(QStringLiteral("chronodeck-sync"))),
      m_dataFolder(dataFolder),
      m_settings(settings),
      m_operations(operations)
{
    m_tmrSyncInterval = new QTimer(this);
    m_tmrSyncInterval->setObjectName(QStringLiteral("tmrSyncInterval"));
    connect(m_tmrSyncInterval, &QTimer::timeout, this, &SyncRunner::syncWhenDue);
    m_tmrSyncAfterChange = new QTimer(this);
    m_tmrSyncAfterChange->setObjectName(QStringLiteral("tmrSyncAfterChange"));
    m_tmrSyncAfterChange->setSingleShot(true);
    m_tmrSyncAfterChange->setInterval(kAfterChangeMs);
    connect(m_tmrSyncAfterChange, &QTimer::timeout, this, &SyncRunner::syncWhenDue);

    // Changes made here go out two seconds later; those a sync brought in
    // (announced as external) do not start another.
    connect(&m_operations, &TaskOperations::listChanged, this, &SyncRunner::changeSeen);
    connect(&m_operations, &TaskOperations::taskChanged, this, &SyncRunner::changeSeen);
    connect(&m_operations, &TaskOperations::categoriesChanged, this, &SyncRunner::changeSeen);
    connect(&m_settings, &clsSettings::changed, this, [this](SettingsSection section) {
        if (section == SettingsSection::Sync)
            scheduleInterval();
    });

    m_state = isSetUp() ? QStringLiteral("Not synced yet") : QStringLiteral("Not set up");
    if (isSetUp())
        QTimer::singleShot(kFirstSyncMs, this, &SyncRunner::syncNow);
    scheduleInterval();
}

SyncRunner::~SyncRunner()
{
    // A run in progress finishes on its own: the next start completes what
    // it leaves.
    if (m_process) {
        m_process->disconnect(this);
        m_process->closeWriteChannel();
        m_process->waitForFinished(5000);
    }
}

bool SyncRunner::isSetUp() const
{
    return !m_settings.text(Setting::SyncServer).isEmpty()
        && !m_settings.text(Setting::SyncCollection).isEmpty();
}

bool SyncRunner::isRunning() const
{
    return m_process != nullptr;
}

void SyncRunner::scheduleInterval()
{
    const qint32 minutes = m_settings.number(Setting::SyncIntervalMinutes);
    if (isSetUp() && minutes > 0)
        m_tmrSyncInterval->start(minutes * kMsPerMinute);
    else
        m_tmrSyncInterval->stop();
}

void SyncRunner::changeSeen()
{
    if (isSetUp() && !m_operations.isApplyingExternalChange())
        m_tmrSyncAfterChange->start();
}

void SyncRunner::syncNow()
{
    if (!isSetUp())
        return;
    if (m_process) {
        m_again = true;
        return;
    }
    QStringList arguments;
    if (!m_password.isEmpty())
        arguments << QStringLiteral("--password-stdin");
    start(arguments, m_password);
}

void SyncRunner::syncWhenDue()
{
    if (m_retryAt.isValid() && QDateTime::currentDateTimeUtc() < m_retryAt)
        return;
    syncNow();
}

void SyncRunner::setUp(const QString &server, const QString &user, const QString &password,
                       const QString &list, bool create)
{
    if (m_process) {
        Q_EMIT finished(false, tr("A sync is running; try again in a moment."));
        return;
    }
    QStringList arguments {QStringLiteral("--setup"), server, QStringLiteral("--user"), user,
                           QStringLiteral("--password-stdin")};
    if (!list.isEmpty())
        arguments << (create ? QStringLiteral("--create") : QStringLiteral("--list")) << list;
    m_password = password;
    start(arguments, password);
}

void SyncRunner::start(const QStringList &arguments, const QString &stdinText)
{
    m_tmrSyncAfterChange->stop();
    m_process = new QProcess(this);
    m_process->setProgram(m_program);
    m_process->setArguments(QStringList {QStringLiteral("--data-dir"), m_dataFolder,
                                         QStringLiteral("--json")}
                            + arguments);
    connect(m_process, &QProcess::finished, this, &SyncRunner::processEnded);
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            processEnded();
    });
    setState(QStringLiteral("Syncing..."));
    m_process->start();
    if (!stdinText.isEmpty())
        m_process->write((stdinText + QLatin1Char('\n')).toUtf8());
    m_process->closeWriteChannel();
}

void SyncRunner::processEnded()
{
    QProcess *process = std::exchange(m_process, nullptr);
    if (!process)
        return;
    process->deleteLater();
    const QJsonObject reply
        = QJsonDocument::fromJson(process->readAllStandardOutput().trimmed()).object();
    const QString errors = QString::fromUtf8(process->readAllStandardError()).trimmed();
    bool ok = false;
    bool needsPassword = false;
    QString message;
    if (process->error() == QProcess::FailedToStart) {
        message = tr("The sync program %1 could not be started: %2")
                      .arg(QDir::toNativeSeparators(m_program), process->errorString());
        setState(QStringLiteral("Sync unavailable"));
    } else if (reply.isEmpty()) {
        message = errors.isEmpty() ? tr("The sync program ended without an answer.")
                                   : errors.section(QLatin1Char('\n'), 0, 0);
        setState(QStringLiteral("Sync failed"));
    } else {
        ok = reply.value(QStringLiteral("ok")).toBool();
        message = reply.value(QStringLiteral("message")).toString();
        const QString state = reply.value(QStringLiteral("state")).toString();
        setState(state.isEmpty() ? QStringLiteral("Sync failed") : state);
        const QStringList lists = reply.value(QStringLiteral("lists")).toVariant().toStringList();
        if (!lists.isEmpty())
            Q_EMIT listsFound(lists);
        needsPassword = reply.value(QStringLiteral("needsPassword")).toBool();
        // The sync tells a running window through its socket too; asked here,
        // the views are read again even when that message does not come.
        const QStringList changed
            = reply.value(QStringLiteral("changedLists")).toVariant().toStringList();
        if (!changed.isEmpty())
            m_operations.externalChange(changed);
    }
    qCInfo(lcView) << "sync ended:" << ok << message;
    if (ok) {
        m_failures = 0;
        m_retryAt = {};
    } else {
        // 1, 2, 4 ... minutes, at most an hour, until a run gets through.
        const int minutes = 1 << std::min(m_failures++, kLongestBackoffShift);
        m_retryAt = QDateTime::currentDateTimeUtc().addSecs(60 * minutes);
    }
    scheduleInterval();
    Q_EMIT finished(ok, message);
    if (needsPassword) {
        m_password.clear();
        // Asked once per run of the program: a user who cancels is not
        // asked again every five minutes.
        if (!std::exchange(m_askedForPassword, true))
            Q_EMIT passwordNeeded();
    }
    if (std::exchange(m_again, false))
        syncNow();
}

void SyncRunner::setState(const QString &state)
{
    if (state == m_state)
        return;
    m_state = state;
    Q_EMIT stateChanged(shownState(state));
}

} // namespace cdk
