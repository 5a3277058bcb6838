#include "cli/CommandLine.h"

#include "base/Functions.h"
#include "store/Vocabulary.h"

#include <QRegularExpression>

namespace cdk::cli {

namespace {

const QString kDataDir = QStringLiteral("--data-dir");
// Larger budgets are typing mistakes, and every sum of a day's budgets
// must still fit the 32-bit columns.
constexpr qint32 kMostMinutes = 1'000'000;

bool isHelp(const QString &word)
{
    return word == QLatin1String("--help") || word == QLatin1String("-h");
}

const CommandInfo *findCommand(const QString &name, std::span<const CommandInfo> table)
{
    for (const CommandInfo &info : table) {
        if (info.name == name)
            return &info;
    }
    return nullptr;
}

const OptionInfo *findOption(const CommandInfo &info, const QString &name)
{
    for (const OptionInfo &option : info.options) {
        if (option.name == name)
            return &option;
    }
    return nullptr;
}

// The message quotes what was typed, which may hold line breaks or other
// control characters (a script's stray variable): they are shown as escapes,
// so the message stays one line on the terminal.
ParseResult failure(const QString &message)
{
    ParseResult result;
    result.error = TerminalText(message);
    return result;
}

// Reads one option value by its kind; an empty variant when it does not read.
QVariant readValue(OptionKind kind, const QString &text)
{
    switch (kind) {
    case OptionKind::Flag:
        return {};
    case OptionKind::Text:
        return text;
    case OptionKind::Budget:
        if (const auto minutes = parseBudget(text))
            return *minutes;
        return {};
    case OptionKind::Priority:
        if (const auto priority = parsePriority(text))
            return *priority;
        return {};
    case OptionKind::Day: {
        const QString word = text.trimmed().toLower();
        if (word == QLatin1String("today") || word == QLatin1String("tomorrow")
            || word == QLatin1String("yesterday"))
            return word;
        const QDate date = QDate::fromString(word, Qt::ISODate);
        // A day key holds a four-digit year.
        if (date.isValid() && date.year() >= 1000 && date.year() <= 9999 && word.size() == 10)
            return word;
        return {};
    }
    }
    return {};
}

QString valueProblem(OptionKind kind, const QString &name, const QString &text)
{
    switch (kind) {
    case OptionKind::Budget:
        return QStringLiteral("bad budget \"%1\": use minutes (45, 45m), hours (1h, 1h30m) "
                              "or hours:minutes (1:30)")
            .arg(text);
    case OptionKind::Day:
        return QStringLiteral("bad day \"%1\": use today, tomorrow, yesterday or YYYY-MM-DD")
            .arg(text);
    case OptionKind::Priority:
        return QStringLiteral("unknown priority \"%1\": use one of %2")
            .arg(text, PriorityNamesHighestFirst().join(QStringLiteral(", ")));
    case OptionKind::Flag:
    case OptionKind::Text:
        break;
    }
    return QStringLiteral("bad value \"%1\" for --%2").arg(text, name);
}

QString seeHelp(const QString &command)
{
    return command.isEmpty() ? QStringLiteral("see chronodeck --help")
                             : QStringLiteral("see chronodeck %1 --help").arg(command);
}

} // namespace

std::optional<qint32> parseBudget(const QString &text)
{
    static const QRegularExpression clock(QStringLiteral("^(\\d{1,6}):([0-5]?\\d)$"));
    static const QRegularExpression units(
        QStringLiteral("^(?:(\\d{1,6})\\s*h)?\\s*(?:(\\d{1,7})\\s*m?)?$"),
        QRegularExpression::CaseInsensitiveOption);
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    qint64 minutes = 0;
    if (const auto m = clock.match(trimmed); m.hasMatch()) {
        minutes = m.captured(1).toLongLong() * 60 + m.captured(2).toLongLong();
    } else if (const auto m = units.match(trimmed); m.hasMatch()) {
        // "1h30" reads as 1h30m; a bare number is minutes.
        minutes = m.captured(1).toLongLong() * 60 + m.captured(2).toLongLong();
    } else {
        return std::nullopt;
    }
    if (minutes > kMostMinutes)
        return std::nullopt;
    return static_cast<qint32>(minutes);
}

std::optional<int> parsePriority(const QString &text)
{
    auto squeeze = [](QString s) {
        s.remove(QLatin1Char(' ')).remove(QLatin1Char('-')).remove(QLatin1Char('_'));
        return s.toLower();
    };
    const QString wanted = squeeze(text);
    for (int priority = 0; !PriorityName(priority).isEmpty(); ++priority) {
        if (squeeze(PriorityName(priority)) == wanted)
            return priority;
    }
    return std::nullopt;
}

QDate resolveDay(const QString &day, const QDate &today)
{
    if (day.isEmpty() || day == QLatin1String("today"))
        return today;
    if (day == QLatin1String("tomorrow"))
        return today.addDays(1);
    if (day == QLatin1String("yesterday"))
        return today.addDays(-1);
    return QDate::fromString(day, Qt::ISODate);
}

QStringList withoutDataDir(const QStringList &arguments)
{
    QStringList rest;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &word = arguments[i];
        if (word == QLatin1String("--"))
            return rest + arguments.mid(i);
        if (word == kDataDir) {
            ++i;
            continue;
        }
        if (!word.startsWith(kDataDir + QLatin1Char('=')))
            rest << word;
    }
    return rest;
}

bool wantsCommandLine(const QStringList &arguments, std::span<const CommandInfo> table)
{
    const QStringList rest = withoutDataDir(arguments);
    if (rest.isEmpty())
        return false;
    const QString &first = rest.first();
    if (isHelp(first) || first == QLatin1String("help") || first == QLatin1String("--version"))
        return true;
    if (first.startsWith(QLatin1Char('-')))
        return false;
    if (first.contains(QLatin1String("minimized"), Qt::CaseInsensitive))
        return false;
    // A command, or a mistyped one that deserves an answer rather than a window.
    Q_UNUSED(table);
    return true;
}

bool wantsCommandLine(const QStringList &arguments)
{
    return wantsCommandLine(arguments, commandTable());
}

ParseResult parseCommandLine(const QStringList &arguments, std::span<const CommandInfo> table)
{
    ParsedCommand parsed;
    QStringList words;
    // The data folder may be named anywhere before "--".
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &word = arguments[i];
        if (word == QLatin1String("--")) {
            words += arguments.mid(i);
            break;
        }
        if (word == kDataDir || word.startsWith(kDataDir + QLatin1Char('='))) {
            QString folder;
            if (word == kDataDir) {
                if (i + 1 >= arguments.size())
                    return failure(QStringLiteral("--data-dir needs a folder"));
                folder = arguments[++i];
            } else {
                folder = word.mid(kDataDir.size() + 1);
            }
            if (folder.isEmpty())
                return failure(QStringLiteral("--data-dir needs a folder"));
            parsed.dataDir = folder;
            continue;
        }
        words << word;
    }

    if (words.isEmpty() || isHelp(words.first())) {
        parsed.action = ParsedCommand::Action::Help;
        return {parsed, {}};
    }
    if (words.first() == QLatin1String("--version")) {
        parsed.action = ParsedCommand::Action::Version;
        return {parsed, {}};
    }
    if (words.first() == QLatin1String("help")) {
        parsed.action = ParsedCommand::Action::Help;
        if (words.size() > 1) {
            parsed.info = findCommand(words[1], table);
            if (!parsed.info)
                return failure(
                    QStringLiteral("unknown command \"%1\"; %2").arg(words[1], seeHelp({})));
        }
        return {parsed, {}};
    }
    const CommandInfo *info = findCommand(words.first(), table);
    if (!info) {
        if (words.first().startsWith(QLatin1Char('-')))
            return failure(
                QStringLiteral("unknown option \"%1\"; %2").arg(words.first(), seeHelp({})));
        return failure(
            QStringLiteral("unknown command \"%1\"; %2").arg(words.first(), seeHelp({})));
    }
    parsed.info = info;

    bool optionsEnded = false;
    for (qsizetype i = 1; i < words.size(); ++i) {
        const QString &word = words[i];
        if (!optionsEnded && word == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || !word.startsWith(QLatin1Char('-')) || word == QLatin1String("-")) {
            parsed.arguments << word;
            continue;
        }
        if (isHelp(word)) {
            parsed.action = ParsedCommand::Action::Help;
            return {parsed, {}};
        }
        const qsizetype equals = word.indexOf(QLatin1Char('='));
        const QString name = word.mid(2, equals < 0 ? -1 : equals - 2);
        const OptionInfo *option
            = word.startsWith(QLatin1String("--")) ? findOption(*info, name) : nullptr;
        if (!option)
            return failure(
                QStringLiteral("unknown option \"%1\" for %2; %3")
                    .arg(equals < 0 ? word : word.left(equals), info->name, seeHelp(info->name)));
        if (parsed.options.contains(name))
            return failure(QStringLiteral("--%1 is given twice").arg(name));
        if (option->kind == OptionKind::Flag) {
            if (equals >= 0)
                return failure(QStringLiteral("--%1 takes no value").arg(name));
            parsed.options.insert(name, true);
            continue;
        }
        QString text;
        if (equals >= 0) {
            text = word.mid(equals + 1);
        } else if (i + 1 < words.size()) {
            text = words[++i];
        } else {
            return failure(QStringLiteral("--%1 needs a value").arg(name));
        }
        const QVariant value = readValue(option->kind, text);
        if (!value.isValid())
            return failure(valueProblem(option->kind, name, text));
        parsed.options.insert(name, value);
    }

    const qsizetype count = parsed.arguments.size();
    if (count < info->minArguments)
        return failure(
            info->argumentKind == ArgumentKind::TaskIds
                ? QStringLiteral("%1 needs a task ID; %2").arg(info->name, seeHelp(info->name))
                : QStringLiteral("%1 needs %2; %3")
                      .arg(info->name, info->arguments, seeHelp(info->name)));
    if (info->maxArguments >= 0 && count > info->maxArguments)
        return failure(QStringLiteral("too many arguments for %1: \"%2\"")
                           .arg(info->name, parsed.arguments[info->maxArguments]));
    if (info->argumentKind == ArgumentKind::TaskIds) {
        for (const QString &text : std::as_const(parsed.arguments)) {
            bool ok = false;
            const int id = text.toInt(&ok);
            if (!ok || id < 1 || id > 32767)
                return failure(QStringLiteral("not a task ID: \"%1\"").arg(text));
            if (!parsed.taskIds.contains(id))
                parsed.taskIds << id;
        }
    }
    return {parsed, {}};
}

ParseResult parseCommandLine(const QStringList &arguments)
{
    return parseCommandLine(arguments, commandTable());
}

QString helpText(const CommandInfo *info, std::span<const CommandInfo> table)
{
    QString text;
    if (!info) {
        text = QStringLiteral(
            "Usage: chronodeck [--data-dir DIR] [COMMAND [ARGUMENTS] [OPTIONS]]\n\n"
            "Without a command the Chronodeck window starts. With one, the "
            "command works on\nthe task lists of the data folder; while the "
            "window runs, the window carries it out.\n\nCommands:\n");
        qsizetype width = 0;
        for (const CommandInfo &c : table)
            width = std::max(width, c.name.size());
        for (const CommandInfo &c : table) {
            if (!c.internal)
                text += QStringLiteral("  %1  %2\n").arg(c.name.leftJustified(width), c.summary);
        }
        text += QStringLiteral(
            "\nOptions:\n"
            "  --data-dir DIR  the data folder (else CHRONODECK_DATA_DIR, the program's folder\n"
            "                  when writable, or the per-user data folder)\n"
            "  --help          this text; chronodeck COMMAND --help tells about a command\n"
            "  --version       the program's version\n\n"
            "Exit status: 0 done, 1 a mistake in the command (the message names it), 2 the\n"
            "data folder or the database cannot be used, 3 the sync's server cannot be\n"
            "reached.\n");
        text += QStringLiteral("\nText from the task lists is printed with control characters "
                               "as escapes (\\e,\n\\a, \\n, \\x7f, \\u009b) and a subject "
                               "cut after %1 characters with \"\u2026\";\n--json and export "
                               "give it whole and exactly as stored.\n")
                    .arg(kShownTextLength);
        return text;
    }
    text = QStringLiteral("Usage: chronodeck %1%2%3\n\n%4\n")
               .arg(info->name,
                    info->arguments.isEmpty() ? QString() : QLatin1Char(' ') + info->arguments,
                    info->options.isEmpty() ? QString() : QStringLiteral(" [OPTIONS]"),
                    info->summary);
    if (!info->details.isEmpty())
        text += QLatin1Char('\n') + info->details + QLatin1Char('\n');
    if (!info->options.isEmpty()) {
        text += QStringLiteral("\nOptions:\n");
        for (const OptionInfo &o : info->options) {
            QString left = QStringLiteral("--") + o.name;
            switch (o.kind) {
            case OptionKind::Flag:
                break;
            case OptionKind::Text:
                left += QLatin1Char(' ') + o.name.toUpper();
                break;
            case OptionKind::Budget:
                left += QStringLiteral(" BUDGET");
                break;
            case OptionKind::Day:
                left += QStringLiteral(" DAY");
                break;
            case OptionKind::Priority:
                left += QStringLiteral(" PRIORITY");
                break;
            }
            text += QStringLiteral("  %1  %2\n").arg(left.leftJustified(19), o.help);
        }
    }
    return text;
}

} // namespace cdk::cli
