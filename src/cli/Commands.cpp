#include "cli/Commands.h"

#include "base/Functions.h"
#include "cli/CliLog.h"
#include "cli/JsonText.h"
#include "cli/ReviewCommand.h"
#include "core/PercentDone.h"
#include "core/TaskOperations.h"
#include "core/TaskRules.h"
#include "core/TimeTracker.h"
#include "reports/Report.h"
#include "reports/ReportText.h"
#include "reports/TaskExport.h"
#include "reports/UndatedLists.h"
#include "store/TaskStore.h"
#include "store/StoreError.h"
#include "store/Vocabulary.h"

#include <QBuffer>
#include <QDateTime>
#include <QLocale>

#include <algorithm>
#include <exception>

namespace cdk::cli {

namespace {

// A new task gets what the window's add dialog offers first.
constexpr qint32 kDefaultBudget = 60;
constexpr int kDefaultPriority = 2; // "Normal"

const QString kDay = QStringLiteral("day");
const QString kJson = QStringLiteral("json");

OptionInfo dayOption()
{
    return {kDay, OptionKind::Day,
            QStringLiteral("today (the default), tomorrow, yesterday or YYYY-MM-DD")};
}

QString isoDay(const QString &listKey) { return DateFromListKey(listKey).toString(Qt::ISODate); }

// Text from the task lists as printed for people: the start of a long one,
// with what a terminal would act on written as escapes. The JSON and the
// export give it whole and exact.
QString shown(const QString &text) { return TerminalText(ShownText(text)); }

int percentNumber(qint32 budget, qint32 done)
{
    QString text = GetPercentDone(budget, done);
    text.chop(1); // the "%"
    return text.toInt();
}

QString dayKeyOf(const ParsedCommand &command, const CommandTarget &target)
{
    return DayListKey(resolveDay(command.value(kDay).toString(), target.today));
}

// The first of the IDs that the day does not hold, or 0.
qint32 missingTask(CommandTarget &target, const QString &list, const QList<qint32> &ids)
{
    for (qint32 id : ids) {
        if (!target.operations.task(list, id))
            return id;
    }
    return 0;
}

Reply noSuchTask(CommandTarget &target, qint32 id, const QString &list)
{
    // The task may sit in a list whose key names no day.
    warnOfListsWithoutDay(target.operations.store(), lcCli);
    return Reply::failed(
        QStringLiteral("unknown ID: there is no task %1 on %2").arg(id).arg(isoDay(list)));
}

Reply trackingNeedsWindow()
{
    return Reply::failed(QStringLiteral("tracking needs the Chronodeck window: start it "
                                        "(chronodeck) and run this again"));
}

QString budgetText(const TaskRecord &task)
{
    return FormatMinutes(task.FinishedDuration, false) + QLatin1Char('/')
        + FormatMinutes(task.Duration, false);
}

// ---- The commands

Reply runAdd(const ParsedCommand &command, CommandTarget &target)
{
    TaskRecord record;
    // A subject is one line, as in the window's one-line edit box.
    record.Subject = command.arguments.join(QLatin1Char(' '))
                         .replace(QLatin1Char('\n'), QLatin1Char(' '))
                         .replace(QLatin1Char('\r'), QLatin1Char(' '))
                         .trimmed();
    if (record.Subject.isEmpty())
        return Reply::failed(QStringLiteral("the subject is empty"));
    if (command.has(QStringLiteral("start")) && !target.canTrack)
        return trackingNeedsWindow();
    if (command.has(QStringLiteral("category"))) {
        const QString wanted = command.value(QStringLiteral("category")).toString().trimmed();
        QStringList names;
        bool found = false;
        for (const CategoryRecord &category : target.operations.categories()) {
            if (category.Name.compare(wanted, Qt::CaseInsensitive) == 0) {
                record.Category = category.ID;
                found = true;
                break;
            }
            names << shown(category.Name);
        }
        if (!found)
            return Reply::failed(names.isEmpty()
                                     ? QStringLiteral("unknown category \"%1\": there are no "
                                                      "categories")
                                           .arg(shown(wanted))
                                     : QStringLiteral("unknown category \"%1\": use one of %2")
                                           .arg(shown(wanted), names.join(QStringLiteral(", "))));
    }
    record.List = dayKeyOf(command, target);
    record.Duration = command.has(QStringLiteral("budget"))
        ? command.value(QStringLiteral("budget")).toInt()
        : kDefaultBudget;
    record.Priority = command.has(QStringLiteral("priority"))
        ? command.value(QStringLiteral("priority")).toInt()
        : kDefaultPriority;
    record.State = TaskState::NotStarted;
    const qint32 id = target.operations.addTask(record);
    QString out = QStringLiteral("Added task %1 to %2: %3 (%4)\n")
                      .arg(id)
                      .arg(isoDay(record.List), shown(record.Subject),
                           FormatMinutes(record.Duration, false));
    if (command.has(QStringLiteral("start"))) {
        target.operations.startTracking(record.List, id);
        out += QStringLiteral("Tracking task %1\n").arg(id);
    }
    return Reply {ExitOk, out, {}};
}

Reply runList(const ParsedCommand &command, CommandTarget &target)
{
    const QString list = dayKeyOf(command, target);
    const QList<TaskRecord> tasks = target.operations.tasksOfList(list);
    const TimeTracker &tracker = target.operations.tracker();

    if (command.has(kJson)) {
        QHash<qint32, QString> categoryNames;
        // Every name --category takes, for scripts and shell completions.
        QString categories;
        for (const CategoryRecord &category : target.operations.categories()) {
            categoryNames.insert(category.ID, category.Name);
            if (!categories.isEmpty())
                categories += QLatin1Char(',');
            categories += jsonString(category.Name);
        }
        QString rows;
        for (const TaskRecord &t : tasks) {
            if (!rows.isEmpty())
                rows += QLatin1Char(',');
            rows += JsonObjectText()
                        .add("id", t.ID)
                        .add("subject", t.Subject)
                        .add("category", categoryNames.value(t.Category))
                        .add("budget", t.Duration)
                        .add("done", t.FinishedDuration)
                        .add("percent", percentNumber(t.Duration, t.FinishedDuration))
                        .add("state", TaskStateName(t.State))
                        .add("priority", PriorityName(t.Priority))
                        .add("finished", t.State == TaskState::Finished)
                        .add("tracked", tracker.isTracked(list, t.ID))
                        .text();
        }
        return Reply {
            ExitOk,
            JsonObjectText()
                    .add("day", isoDay(list))
                    .addJson("tasks", QLatin1Char('[') + rows + QLatin1Char(']'))
                    .addJson("categories", QLatin1Char('[') + categories + QLatin1Char(']'))
                    .text()
                + QLatin1Char('\n'),
            {}};
    }

    if (tasks.isEmpty())
        return Reply {ExitOk, QStringLiteral("No tasks on %1\n").arg(isoDay(list)), {}};
    struct Row
    {
        QString id, time, percent, state, subject;
    };
    QList<Row> rows {{QStringLiteral("ID"), QStringLiteral("Done/Budget"), QStringLiteral("%"),
                      QStringLiteral("State"), QStringLiteral("Subject")}};
    for (const TaskRecord &t : tasks) {
        // The tracked task is marked the way a shell marks the current branch.
        const QString mark = tracker.isTracked(list, t.ID) ? QStringLiteral("*") : QString();
        rows.append({mark + QString::number(t.ID), budgetText(t),
                     GetPercentDone(t.Duration, t.FinishedDuration), TaskStateName(t.State),
                     shown(t.Subject)});
    }
    qsizetype w[4] = {};
    for (const Row &r : rows) {
        w[0] = std::max(w[0], r.id.size());
        w[1] = std::max(w[1], r.time.size());
        w[2] = std::max(w[2], r.percent.size());
        w[3] = std::max(w[3], r.state.size());
    }
    QString out;
    for (const Row &r : rows) {
        out += r.id.rightJustified(w[0]) + QStringLiteral("  ") + r.time.rightJustified(w[1])
            + QStringLiteral("  ") + r.percent.rightJustified(w[2]) + QStringLiteral("  ")
            + r.state.leftJustified(w[3]) + QStringLiteral("  ") + r.subject + QLatin1Char('\n');
    }
    return Reply {ExitOk, out, {}};
}

Reply runStart(const ParsedCommand &command, CommandTarget &target)
{
    if (!target.canTrack)
        return trackingNeedsWindow();
    const QString list = dayKeyOf(command, target);
    const qint32 id = command.taskIds.first();
    // Asked first: starting stops the tracked task before it looks for the
    // new one, and a mistyped ID must not end the tracking under way.
    const std::optional<TaskRecord> task = target.operations.task(list, id);
    if (!task)
        return noSuchTask(target, id, list);
    if (!CanStartTracking(*task))
        return Reply::failed(QStringLiteral("task %1 on %2 has used up its budget of %3; raise "
                                            "it or reset its timer first")
                                 .arg(id)
                                 .arg(isoDay(list), FormatMinutes(task->Duration, false)));
    if (!target.operations.startTracking(list, id))
        return noSuchTask(target, id, list);
    const TimeTracker &tracker = target.operations.tracker();
    return Reply {ExitOk,
                  QStringLiteral("Tracking task %1 on %2: %3\n")
                      .arg(id)
                      .arg(isoDay(list), shown(tracker.TrackedSubject)),
                  {}};
}

Reply runStop(const ParsedCommand &, CommandTarget &target)
{
    TimeTracker &tracker = target.operations.tracker();
    if (!tracker.TrackingActive)
        return Reply {ExitOk, QStringLiteral("Nothing is tracked\n"), {}};
    const qint32 id = tracker.TrackedTaskID;
    const QString subject = tracker.TrackedSubject;
    target.operations.stopTracking();
    return Reply {
        ExitOk, QStringLiteral("Stopped tracking task %1: %2\n").arg(id).arg(shown(subject)), {}};
}

Reply runDone(const ParsedCommand &command, CommandTarget &target)
{
    const QString list = dayKeyOf(command, target);
    if (const qint32 missing = missingTask(target, list, command.taskIds))
        return noSuchTask(target, missing, list);
    // The window asks whether checking off the tracked task stops its
    // tracking (unless the budget is marked done); there is nobody to ask
    // here, and a finished task has nothing left to count.
    target.operations.checkTasks(list, command.taskIds, true,
                                 TaskOperations::TrackedCheckOff::StopTracking);
    QStringList ids;
    for (qint32 id : command.taskIds)
        ids << QString::number(id);
    return Reply {
        ExitOk,
        QStringLiteral("Checked off %1 on %2\n").arg(ids.join(QStringLiteral(", ")), isoDay(list)),
        {}};
}

Reply runStatus(const ParsedCommand &command, CommandTarget &target)
{
    const TimeTracker &tracker = target.operations.tracker();
    std::optional<TaskRecord> task;
    if (tracker.TrackingActive)
        task = target.operations.task(tracker.TrackedList, tracker.TrackedTaskID);
    if (command.has(kJson)) {
        JsonObjectText json;
        if (task) {
            json.add("id", task->ID)
                .add("day", isoDay(task->List))
                .add("subject", task->Subject)
                .add("done", task->FinishedDuration)
                .add("budget", task->Duration)
                .add("percent", percentNumber(task->Duration, task->FinishedDuration))
                .add("finished", task->FinishedDuration >= task->Duration);
        }
        // The state of the last sync, once sync is set up ("Synced 12:04").
        QString sync;
        try {
            sync = target.operations.store().syncValue(TaskStore::syncStateName());
        } catch (const StoreError &) {
            // A file only read, from before sync, has no place for it.
        }
        if (!sync.isEmpty())
            json.add("sync", sync);
        return Reply {ExitOk, json.text() + QLatin1Char('\n'), {}};
    }
    const bool formatted = command.has(QStringLiteral("format"));
    if (!task) // a status bar shows nothing rather than a sentence
        return Reply {
            ExitOk, formatted ? QStringLiteral("\n") : QStringLiteral("Nothing is tracked\n"), {}};
    const QString format = formatted ? command.value(QStringLiteral("format")).toString()
                                     : QStringLiteral("{subject} {done}/{budget} {percent}");
    const QHash<QString, QString> values {
        {QStringLiteral("subject"), shown(task->Subject)},
        {QStringLiteral("done"), FormatMinutes(task->FinishedDuration, false)},
        {QStringLiteral("budget"), FormatMinutes(task->Duration, false)},
        {QStringLiteral("percent"), GetPercentDone(task->Duration, task->FinishedDuration)},
        {QStringLiteral("id"), QString::number(task->ID)},
        {QStringLiteral("day"), isoDay(task->List)}};
    // One pass, so that a subject holding "{done}" is printed as it stands.
    // The format's own escapes (a status bar's colours) are the user's.
    QString line;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const qsizetype close = format.at(i) == u'{' ? format.indexOf(u'}', i) : -1;
        const auto value
            = close > i ? values.constFind(format.sliced(i + 1, close - i - 1)) : values.cend();
        if (value == values.cend()) {
            line += format.at(i);
            continue;
        }
        line += *value;
        i = close;
    }
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return Reply {ExitOk, line + QLatin1Char('\n'), {}};
}

// The store reads a period day by day: twenty years is more than anyone plans.
constexpr qint64 kLongestPeriodDays = 20 * 366;

// --from and --to, or --period around --day; a one-line refusal otherwise.
std::optional<ReportPeriod> periodOf(const ParsedCommand &command, const CommandTarget &target,
                                     const QString &defaultKind, QString *error)
{
    const QString from = QStringLiteral("from");
    const QString to = QStringLiteral("to");
    if (command.has(from) || command.has(to)) {
        if (!command.has(from) || !command.has(to)) {
            *error = QStringLiteral("--from and --to go together");
            return std::nullopt;
        }
        const QDate first = resolveDay(command.value(from).toString(), target.today);
        const QDate last = resolveDay(command.value(to).toString(), target.today);
        if (first > last) {
            *error = QStringLiteral("--from %1 is after --to %2")
                         .arg(first.toString(Qt::ISODate), last.toString(Qt::ISODate));
            return std::nullopt;
        }
        if (first.daysTo(last) >= kLongestPeriodDays) {
            *error = QStringLiteral("a period can be at most twenty years long");
            return std::nullopt;
        }
        return ReportPeriod::range(first, last);
    }
    const QString kind = command.has(QStringLiteral("period"))
        ? command.value(QStringLiteral("period")).toString().toLower()
        : defaultKind;
    const QDate day = resolveDay(command.value(kDay).toString(), target.today);
    if (kind == QLatin1String("day"))
        return ReportPeriod::around(ReportPeriod::Kind::Day, day, QLocale());
    if (kind == QLatin1String("week"))
        return ReportPeriod::around(ReportPeriod::Kind::Week, day, QLocale());
    if (kind == QLatin1String("month"))
        return ReportPeriod::around(ReportPeriod::Kind::Month, day, QLocale());
    *error = QStringLiteral("unknown period \"%1\": day, week or month").arg(kind);
    return std::nullopt;
}

Reply runReport(const ParsedCommand &command, CommandTarget &target)
{
    QString error;
    const std::optional<ReportPeriod> period =
        periodOf(command, target, QStringLiteral("week"), &error);
    if (!period)
        return Reply::failed(error);
    const Report report = computeReport(target.operations.store(), *period);
    return Reply {ExitOk, formatReportText(report, QLocale()), {}};
}

Reply runExport(const ParsedCommand &command, CommandTarget &target)
{
    const QString formatName = command.has(QStringLiteral("format"))
        ? command.value(QStringLiteral("format")).toString()
        : QStringLiteral("csv");
    const std::optional<ExportFormat> format = exportFormatFromName(formatName);
    if (!format)
        return Reply::failed(QStringLiteral("unknown format \"%1\": csv or ics").arg(formatName));
    QString error;
    const std::optional<ReportPeriod> period =
        periodOf(command, target, QStringLiteral("day"), &error);
    if (!period)
        return Reply::failed(error);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    writeTaskExport(target.operations.store(), *period, *format, buffer,
                    QDateTime::currentDateTimeUtc());
    return Reply {ExitOk, QString::fromUtf8(bytes), {}};
}

QList<OptionInfo> periodOptions(const QString &defaultKind)
{
    return {dayOption(),
            {QStringLiteral("period"), OptionKind::Text,
             QStringLiteral("day, week or month around --day (default %1)").arg(defaultKind)},
            {QStringLiteral("from"), OptionKind::Day,
             QStringLiteral("first day of a chosen range (with --to)")},
            {QStringLiteral("to"), OptionKind::Day, QStringLiteral("last day of the range")}};
}

} // namespace

// The sync runs in a program of its own (chronodeck-sync); the command line
// hands it over before a command reaches here.
Reply runSyncElsewhere(const ParsedCommand &, CommandTarget &)
{
    return Reply::failed(QStringLiteral("sync runs in chronodeck-sync, which was not started"),
                         ExitDataError);
}

// Another process (a sync) wrote to these lists: the window shows them anew.
Reply runChanged(const ParsedCommand &command, CommandTarget &target)
{
    target.operations.externalChange(command.arguments);
    return Reply {};
}

std::span<const CommandInfo> commandTable()
{
    static const QList<CommandInfo> table {
        {QStringLiteral("add"),
         QStringLiteral("SUBJECT"),
         QStringLiteral("add a task to a day"),
         QStringLiteral("Words after the command make up the subject. The task starts \"Not "
                        "Started\" with\na budget of 1:00 and the priority Normal unless told "
                        "otherwise."),
         {{QStringLiteral("budget"), OptionKind::Budget,
           QStringLiteral("45, 45m, 1h, 1h30m or 1:30 (default 1:00)")},
          dayOption(),
          {QStringLiteral("category"), OptionKind::Text,
           QStringLiteral("a category's name, in any letter case")},
          {QStringLiteral("priority"), OptionKind::Priority,
           QStringLiteral("very-low, low, normal (default), high, very-high or urgent")},
          {QStringLiteral("start"), OptionKind::Flag,
           QStringLiteral("track the new task at once (needs the window)")}},
         ArgumentKind::Text,
         1,
         -1,
         &runAdd},
        {QStringLiteral("list"),
         QString(),
         QStringLiteral("show a day's tasks"),
         QStringLiteral("Columns: ID, time done/budget, percent done, state, subject; a * "
                        "marks the\ntracked task."),
         {dayOption(),
          {kJson, OptionKind::Flag, QStringLiteral("one JSON object (see the README)")}},
         ArgumentKind::None,
         0,
         0,
         &runList},
        {QStringLiteral("start"),
         QStringLiteral("ID"),
         QStringLiteral("track a task, stopping the one tracked now"),
         QStringLiteral("Tracking counts in the Chronodeck window: while it does not run, start "
                        "fails and\nsays so. A task whose budget is used up is not started."),
         {dayOption()},
         ArgumentKind::TaskIds,
         1,
         1,
         &runStart},
        {QStringLiteral("stop"),
         QString(),
         QStringLiteral("stop tracking"),
         QString(),
         {},
         ArgumentKind::None,
         0,
         0,
         &runStop},
        {QStringLiteral("done"),
         QStringLiteral("ID..."),
         QStringLiteral("check tasks off, as the window's check box does"),
         QStringLiteral("Each task becomes Finished (with its whole budget done when the "
                        "settings say so).\nChecking off the tracked task stops its tracking: "
                        "where the window would ask,\nthe command line answers yes."),
         {dayOption()},
         ArgumentKind::TaskIds,
         1,
         -1,
         &runDone},
        {QStringLiteral("status"),
         QString(),
         QStringLiteral("one line about the tracked task, for status bars"),
         QStringLiteral("FORMAT may hold {subject}, {done}, {budget}, {percent}, {id} and "
                        "{day};\nthe default is \"{subject} {done}/{budget} {percent}\". With "
                        "nothing tracked,\n--format prints an empty line and --json an object "
                        "without them; \"sync\"\nholds the state of the last sync once "
                        "sync is set up."),
         {{kJson, OptionKind::Flag, QStringLiteral("one JSON object (see the README)")},
          {QStringLiteral("format"), OptionKind::Text, QStringLiteral("the line to print")}},
         ArgumentKind::None,
         0,
         0,
         &runStatus},
        {QStringLiteral("report"),
         QString(),
         QStringLiteral("where the time went: planned and done by day and by category"),
         QStringLiteral("The week starts on the locale's first day. Done time counts up to each "
                        "task's\nbudget, as the day summary counts it."),
         periodOptions(QStringLiteral("week")),
         ArgumentKind::None,
         0,
         0,
         &runReport},
        {QStringLiteral("export"),
         QString(),
         QStringLiteral("the tasks of a period as CSV or iCalendar, on standard output"),
         QStringLiteral("CSV: one row per task (date, subject, category, priority, state, "
                        "budget minutes,\ndone seconds). iCalendar: one VTODO per task, due on "
                        "its day."),
         periodOptions(QStringLiteral("day"))
             << OptionInfo {QStringLiteral("format"), OptionKind::Text,
                            QStringLiteral("csv (the default) or ics")},
         ArgumentKind::None,
         0,
         0,
         &runExport},
        {QStringLiteral("review"),
         QString(),
         QStringLiteral("close a day: its unfinished tasks, or all of them moved to the next"),
         QStringLiteral("Lists the tasks of the day not yet finished with their time done and "
                        "budget, then\nthe totals: the budgets planned, the time done and the "
                        "time the tasks still need.\nWith --move-to tomorrow they all move to "
                        "the end of the next day's list, in one\nchange."),
         {dayOption(),
          {QStringLiteral("move-to"), OptionKind::Text,
           QStringLiteral("tomorrow, the day after --day: move them all there")}},
         ArgumentKind::None,
         0,
         0,
         &runReview},
        {QStringLiteral("sync"),
         QString(),
         QStringLiteral("sync the tasks with a CalDAV server's task list, both ways"),
         QStringLiteral("Set up once with --setup URL --user NAME --password-stdin (and --list "
                        "NAME to\nchoose a task list, or --create NAME to make one); the "
                        "password goes into the\ndesktop's keyring. Then each sync needs no "
                        "options; where no keyring answers,\ngive the password with "
                        "--password-stdin each time. Exit status 3: the server\ncould not be "
                        "reached; the changes wait for the next sync."),
         {{QStringLiteral("setup"), OptionKind::Text,
           QStringLiteral("the server's address (https://, or http:// on this machine)")},
          {QStringLiteral("user"), OptionKind::Text, QStringLiteral("the user name")},
          {QStringLiteral("password-stdin"), OptionKind::Flag,
           QStringLiteral("read the password from standard input")},
          {QStringLiteral("list"), OptionKind::Text, QStringLiteral("the task list to sync with")},
          {QStringLiteral("create"), OptionKind::Text,
           QStringLiteral("make a task list of that name and sync with it")},
          {kJson, OptionKind::Flag, QStringLiteral("one JSON object with the outcome")}},
         ArgumentKind::None,
         0,
         0,
         &runSyncElsewhere},
        {QStringLiteral("changed"),
         QStringLiteral("LIST..."),
         QStringLiteral("tell the window that these lists changed in the database"),
         QString(),
         {},
         ArgumentKind::Text,
         1,
         -1,
         &runChanged,
         true},
    };
    return {table.cbegin(), table.cend()};
}

QString versionText()
{
    return programName() + QLatin1Char(' ') + programVersion() + QLatin1Char('\n');
}

Reply runCommand(const ParsedCommand &command, CommandTarget &target)
{
    switch (command.action) {
    case ParsedCommand::Action::Help:
        return Reply {ExitOk, helpText(command.info, commandTable()), {}};
    case ParsedCommand::Action::Version:
        return Reply {ExitOk, versionText(), {}};
    case ParsedCommand::Action::Run:
        break;
    }
    Reply reply;
    try {
        reply = command.info->run(command, target);
    } catch (const StoreError &e) {
        if (e.isReadyToShow())
            reply = Reply::failed(e.userMessage(), e.code() == 0 ? ExitUserError : ExitDataError);
        else
            reply = Reply::failed(QStringLiteral("the database cannot be used: %1 (%2)")
                                      .arg(e.message())
                                      .arg(e.code()),
                                  ExitDataError);
    } catch (const std::exception &e) {
        reply = Reply::failed(QString::fromLocal8Bit(e.what()), ExitDataError);
    }
    // A message may quote the data: a category's name, a typed word, a path.
    reply.err = TerminalText(reply.err);
    return reply;
}

} // namespace cdk::cli
