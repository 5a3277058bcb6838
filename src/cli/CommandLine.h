#pragma once

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>
#include <span>

namespace cdk::cli {

struct CommandTarget;
struct Reply;
struct ParsedCommand;

// How the value of an option is read; the parser refuses a value that does
// not read, so a command never sees one.
enum class OptionKind {
    Flag, // no value
    Text, // any text
    Budget, // minutes: 45, 45m, 1h, 1h30m, 1:30
    Day, // today, tomorrow, yesterday or YYYY-MM-DD
    Priority, // a priority name in any letter case: low, normal, very-high ...
};

struct OptionInfo
{
    QString name; // without the leading dashes
    OptionKind kind = OptionKind::Flag;
    QString help;
};

// What the positional arguments of a command are.
enum class ArgumentKind { None, Text, TaskIds };

// One subcommand: how it is called, what its help says, and what runs it.
// Adding a subcommand is one entry of commandTable() and its run function.
struct CommandInfo
{
    QString name;
    QString arguments; // e.g. "ID..." for the usage line
    QString summary; // one line for the overview
    QString details; // further paragraphs of `COMMAND --help`
    QList<OptionInfo> options;
    ArgumentKind argumentKind = ArgumentKind::None;
    int minArguments = 0;
    int maxArguments = 0; // -1: any number
    Reply (*run)(const ParsedCommand &, CommandTarget &) = nullptr;
    // Between the programs of Chronodeck only: not in the help.
    bool internal = false;
};

std::span<const CommandInfo> commandTable();

struct ParsedCommand
{
    enum class Action { Run, Help, Version };
    Action action = Action::Run;
    const CommandInfo *info = nullptr; // null for the overall help and the version
    QString dataDir; // from --data-dir, or empty
    QStringList arguments; // the positionals, as given
    QList<qint32> taskIds; // ArgumentKind::TaskIds, in the order given
    // Options that were given, by name: true for flags, minutes (int) for a
    // budget, a priority code (int), the day word or ISO date, or the text.
    QMap<QString, QVariant> options;

    bool has(const QString &option) const { return options.contains(option); }
    QVariant value(const QString &option) const { return options.value(option); }
};

struct ParseResult
{
    std::optional<ParsedCommand> command;
    QString error; // one line naming what was wrong, when there is no command

    bool ok() const { return command.has_value(); }
};

// The program's arguments (without the program name) read against the
// table. Pure: no file, clock or environment is consulted, so any argument
// list can be thrown at it.
ParseResult parseCommandLine(const QStringList &arguments, std::span<const CommandInfo> table);
ParseResult parseCommandLine(const QStringList &arguments);

// True when the arguments ask for the command line rather than the window:
// after any --data-dir, the first argument is a command, or one of --help,
// -h, help, --version; or it is a word the window does not know. Options of
// the window and of Qt (-platform ...) and the word "minimized" start the
// window.
bool wantsCommandLine(const QStringList &arguments, std::span<const CommandInfo> table);
bool wantsCommandLine(const QStringList &arguments);

// The arguments with every --data-dir option taken out: what is sent to the
// running window, which has its data folder already.
QStringList withoutDataDir(const QStringList &arguments);

// Minutes of a budget, or nothing when the text is not one.
std::optional<qint32> parseBudget(const QString &text);
// A priority code 0 ("Very Low") to 5 ("Urgent") for its name, matched
// without regard to letter case, blanks, dashes and underscores.
std::optional<int> parsePriority(const QString &text);
// The date a day option names, counted from today.
QDate resolveDay(const QString &day, const QDate &today);

QString helpText(const CommandInfo *info, std::span<const CommandInfo> table);

} // namespace cdk::cli
