// chronodeck-sync: sets up and runs one sync of a data folder with its
// CalDAV task list, in a process of its own. `chronodeck sync` becomes this
// program, and the window starts it in the background: neither loads the
// network, iCalendar or keyring libraries for anything else.
#include "base/Clock.h"
#include "base/PrivateFiles.h"
#include "base/Prompter.h"
#include "base/Translate.h"
#include "cli/WindowLink.h"
#include "core/TaskOperations.h"
#include "core/TimeTracker.h"
#include "settings/Settings.h"
#include "store/StoreError.h"
#include "store/TaskStore.h"
#include "sync/CalDavClient.h"
#include "sync/Keyring.h"
#include "sync/SyncEngine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QTextStream>

#include <cstdio>

using namespace cdk;
using namespace cdk::sync;

namespace {

enum Exit { ExitOk = 0, ExitUserError = 1, ExitDataError = 2, ExitServer = 3 };


class QuietPrompter final : public Prompter
{
public:
    Answer ask(const QString &, const QString &, MessageIcon) override { return Answer::No; }
    void tell(const QString &, const QString &text, MessageIcon) override
    {
        std::fprintf(stderr, "chronodeck: %s\n", qPrintable(text.simplified()));
    }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    std::optional<qint32> chooseColor(qint32) override { return std::nullopt; }
};

struct Outcome
{
    int exit = ExitOk;
    QString line; // what a person reads
    QString state; // the short state the window shows ("Synced 12:04")
    SyncReport report;
    bool needsPassword = false; // the keyring has none for the account
    QStringList lists; // the account's task lists, when set-up needs a choice
};

QString accountOf(const QString &user, const QString &server)
{
    return user + QLatin1Char('@') + server;
}

bool allowedAddress(const QUrl &url)
{
    if (url.scheme() == QLatin1String("https"))
        return true;
    const QString host = url.host();
    return url.scheme() == QLatin1String("http")
        && (host == QLatin1String("localhost") || host == QLatin1String("127.0.0.1")
            || host == QLatin1String("::1"));
}

// Hours and minutes in the locale's way, without the seconds some locales'
// short format carries.
QString shortTime(const QTime &time)
{
    QString format = QLocale().timeFormat(QLocale::ShortFormat);
    format.remove(QStringLiteral(":ss")).remove(QStringLiteral(".ss"));
    return QLocale().toString(time, format);
}

int exitFor(const DavError &error)
{
    switch (error.kind) {
    case DavError::SignInRefused:
    case DavError::Forbidden:
    case DavError::NotFound:
    case DavError::Certificate:
        return ExitUserError;
    default:
        return ExitServer;
    }
}

// The state is kept in the database in English; whoever shows it puts it
// in the reader's language.
QString stateFor(const DavError &error, int waiting, const QString &syncedAt)
{
    switch (error.kind) {
    case DavError::None:
        return QStringLiteral("Synced %1").arg(syncedAt);
    case DavError::SignInRefused:
    case DavError::Forbidden:
        return QStringLiteral("Sign-in refused");
    case DavError::Certificate:
        return QStringLiteral("Certificate not trusted");
    default:
        return waiting == 1 ? QStringLiteral("Offline: 1 change waiting")
                            : QStringLiteral("Offline: %1 changes waiting").arg(waiting);
    }
}

// Chooses the task list at set-up: the one named, a new one, or the only one.
std::optional<QUrl> chooseList(CalDavClient &client, const QString &named, const QString &create,
                               Outcome &outcome)
{
    if (!create.isEmpty()) {
        const auto made = client.createTaskList(create);
        if (!made)
            outcome = {
                exitFor(client.lastError()),
                QCoreApplication::translate("SyncProgram", "The task list %1 could not be made: %2")
                    .arg(create, client.lastError().message)};
        return made;
    }
    const auto lists = client.taskLists();
    if (!lists) {
        outcome = {exitFor(client.lastError()), client.lastError().message};
        return std::nullopt;
    }
    QStringList names;
    for (const TaskList &list : *lists) {
        if (!named.isEmpty() && list.name == named)
            return list.url;
        names << QStringLiteral("  ") + list.name;
        outcome.lists << list.name;
    }
    if (named.isEmpty() && lists->size() == 1)
        return lists->first().url;
    QString line;
    if (lists->isEmpty())
        line = QCoreApplication::translate(
            "SyncProgram", "The account has no task lists; make one with --create Chronodeck");
    else if (!named.isEmpty())
        line = QCoreApplication::translate("SyncProgram",
                                           "The account has no task list %1. Its task lists:\n%2")
                   .arg(named, names.join(QLatin1Char('\n')));
    else
        line = QCoreApplication::translate("SyncProgram",
                                           "Choose a task list with --list NAME, or make one "
                                           "with --create NAME. The account's task lists:\n%1")
                   .arg(names.join(QLatin1Char('\n')));
    outcome.exit = ExitUserError;
    outcome.line = line;
    return std::nullopt;
}

Outcome runSync(const QString &folder, const QCommandLineParser &args)
{
    QuietPrompter prompter;
    clsSettings settings(prompter);
    settings.Init(folder, clsSettings::FirstRun::Leave);

    QString password;
    if (args.isSet(QStringLiteral("password-stdin"))) {
        QTextStream in(stdin);
        password = in.readLine();
    }

    QString server = settings.text(Setting::SyncServer);
    QString user = settings.text(Setting::SyncUser);
    QString collection = settings.text(Setting::SyncCollection);
    const bool setup = args.isSet(QStringLiteral("setup"));
    if (setup) {
        server = args.value(QStringLiteral("setup"));
        user = args.value(QStringLiteral("user"));
        const QUrl url(server, QUrl::StrictMode);
        if (!url.isValid() || url.host().isEmpty())
            return {ExitUserError,
                    QCoreApplication::translate("SyncProgram", "%1 is not a server address")
                        .arg(server)};
        if (!allowedAddress(url))
            return {ExitUserError,
                    QCoreApplication::translate("SyncProgram",
                                                "The server address must start with https:// "
                                                "(http:// only for this machine)")};
        if (user.isEmpty())
            return {ExitUserError,
                    QCoreApplication::translate("SyncProgram", "--setup needs --user NAME")};
        if (password.isEmpty())
            return {ExitUserError,
                    QCoreApplication::translate("SyncProgram",
                                                "--setup needs the password on standard input, "
                                                "with --password-stdin")};
    } else if (server.isEmpty() || collection.isEmpty()) {
        return {ExitUserError,
                QCoreApplication::translate("SyncProgram",
                                            "Sync is not set up: chronodeck sync --setup URL "
                                            "--user NAME --password-stdin")};
    }

    Keyring keyring(accountOf(user, server));
    if (password.isEmpty()) {
        const Keyring::Outcome read = keyring.read(password);
        if (read != Keyring::Outcome::Done) {
            const QString line = read == Keyring::Outcome::Missing
                ? QCoreApplication::translate("SyncProgram",
                                              "The keyring holds no password for %1; give it "
                                              "with --password-stdin")
                      .arg(accountOf(user, server))
                : QCoreApplication::translate("SyncProgram",
                                              "No keyring answers (%1); give the password with "
                                              "--password-stdin")
                      .arg(keyring.lastError());
            Outcome missing {ExitUserError, line, QStringLiteral("Password needed")};
            missing.needsPassword = true;
            return missing;
        }
    }

    CalDavClient client(QUrl(server), user, password);
    Outcome outcome;
    if (setup) {
        const auto chosen = chooseList(client, args.value(QStringLiteral("list")),
                                       args.value(QStringLiteral("create")), outcome);
        if (!chosen)
            return outcome;
        collection = chosen->toString();
        settings.setText(Setting::SyncServer, server);
        settings.setText(Setting::SyncUser, user);
        settings.setText(Setting::SyncCollection, collection);
        if (keyring.write(password) != Keyring::Outcome::Done)
            std::fprintf(stderr,
                         "chronodeck: no keyring answers (%s): the password is not kept; give "
                         "it with --password-stdin on each sync\n",
                         qPrintable(keyring.lastError()));
    }

    SystemClock clock;
    TaskStore store(folder);
    TimeTracker tracker(store, clock);
    TaskOperations operations(store, settings, tracker);
    try {
        store.OpenTaskDatabase(TaskStore::OpenCheck::OnUse);
        // As every start does: today's copies of the templates exist before
        // they are compared with the server's.
        operations.injectRecurrentTasks(clock.today());
    } catch (const StoreError &e) {
        return {ExitDataError, e.message().simplified()};
    }
    SyncEngine engine(store, client, QUrl(collection));
    outcome.report = engine.run();
    const DavError &error = outcome.report.error;
    const QString syncedAt = shortTime(QTime::currentTime());
    outcome.state = stateFor(error, outcome.report.waiting, syncedAt);
    if (!outcome.report.ok()) {
        outcome.exit = error.kind == DavError::None ? ExitDataError : exitFor(error);
        outcome.line = outcome.report.failure;
        if (error.kind == DavError::None)
            outcome.state = QStringLiteral("Sync failed");
    } else {
        // A run that completed had no error: its state is "Synced" and the time.
        outcome.line = QCoreApplication::translate("SyncProgram", "Synced %1: %2 sent, %3 received")
                           .arg(syncedAt, QString::number(outcome.report.sent),
                                QString::number(outcome.report.received));
    }
    // Where a user looks later: the window's tray and `chronodeck status`.
    try {
        store.setSyncValue(TaskStore::syncStateName(), outcome.state);
    } catch (const StoreError &e) {
        qWarning("the sync state could not be kept: %s", qPrintable(e.message()));
    }
    store.closeQuickly();
    return outcome;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("chronodeck"));
    QCommandLineParser args;
    args.addOptions({
        {QStringLiteral("data-dir"), QStringLiteral("the data folder"), QStringLiteral("DIR")},
        {QStringLiteral("setup"), QStringLiteral("the server's address"), QStringLiteral("URL")},
        {QStringLiteral("user"), QStringLiteral("the user name"), QStringLiteral("NAME")},
        {QStringLiteral("password-stdin"), QStringLiteral("read the password from standard input")},
        {QStringLiteral("list"), QStringLiteral("the task list to sync with"), QStringLiteral("NAME")},
        {QStringLiteral("create"), QStringLiteral("make a task list and sync with it"),
         QStringLiteral("NAME")},
        {QStringLiteral("json"), QStringLiteral("one JSON object on standard output")},
    });
    if (!args.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "chronodeck: %s\n", qPrintable(args.errorText()));
        return ExitUserError;
    }
    // The window asks for JSON and shows its message as it stands, so that
    // message is in the window's language. On a terminal the program speaks
    // English, as the rest of the command line does.
    if (args.isSet(QStringLiteral("json")))
        installTranslations(app);
    const QString folder = args.value(QStringLiteral("data-dir"));
    if (folder.isEmpty()) {
        std::fprintf(stderr, "chronodeck: sync needs --data-dir DIR\n");
        return ExitUserError;
    }
    const Outcome outcome = runSync(QDir(folder).absolutePath() + QLatin1Char('/'), args);

    // A window running on the folder shows what the sync changed.
    if (!outcome.report.changedLists.isEmpty())
        cli::askWindow(folder, QStringList {QStringLiteral("changed")} + outcome.report.changedLists,
                       5000);

    if (args.isSet(QStringLiteral("json"))) {
        QJsonObject object {{QStringLiteral("ok"), outcome.exit == ExitOk},
                            {QStringLiteral("state"), outcome.state},
                            {QStringLiteral("message"), outcome.line},
                            {QStringLiteral("sent"), outcome.report.sent},
                            {QStringLiteral("received"), outcome.report.received},
                            {QStringLiteral("waiting"), outcome.report.waiting},
                            {QStringLiteral("needsPassword"), outcome.needsPassword},
                            {QStringLiteral("lists"), QJsonArray::fromStringList(outcome.lists)},
                            {QStringLiteral("changedLists"),
                             QJsonArray::fromStringList(outcome.report.changedLists)}};
        std::fputs(QJsonDocument(object).toJson(QJsonDocument::Compact).constData(), stdout);
        std::fputc('\n', stdout);
    } else if (outcome.exit == ExitOk) {
        std::printf("%s\n", qPrintable(outcome.line));
    } else if (!outcome.line.isEmpty()) {
        std::fprintf(stderr, "chronodeck: %s\n", qPrintable(outcome.line));
    }
    return outcome.exit;
}
