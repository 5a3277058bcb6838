// The command line's arguments come from anyone's shell and scripts. No
// argument list may fault the parser, and what it accepts is what a command
// may rely on: a known command, its options with values that read, and its
// positional arguments within their count. A refusal is one line.
//
// Input: the arguments, NUL-separated, as UTF-8.

#include "cli/CommandLine.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

const cdk::cli::OptionInfo *optionNamed(const cdk::cli::CommandInfo &info, const QString &name)
{
    for (const cdk::cli::OptionInfo &option : info.options) {
        if (option.name == name)
            return &option;
    }
    return nullptr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace cdk::cli;
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    QStringList arguments;
    if (!input.isEmpty()) {
        for (const QByteArray &part : input.split('\0'))
            arguments.append(QString::fromUtf8(part));
    }

    (void)wantsCommandLine(arguments);
    const QStringList forwarded = withoutDataDir(arguments);
    check(forwarded.size() <= arguments.size());

    const ParseResult result = parseCommandLine(arguments);
    if (!result.ok()) {
        check(!result.error.isEmpty() && !result.error.contains(u'\n'));
        return 0;
    }
    const ParsedCommand &command = *result.command;
    if (command.action != ParsedCommand::Action::Run)
        return 0;
    check(command.info != nullptr);
    const CommandInfo &info = *command.info;
    const int count = int(command.arguments.size());
    check(count >= info.minArguments && (info.maxArguments < 0 || count <= info.maxArguments));
    if (info.argumentKind == ArgumentKind::TaskIds) {
        // Each ID once, each one of the arguments given.
        check(!command.taskIds.isEmpty() && command.taskIds.size() <= command.arguments.size());
        for (const qint32 id : command.taskIds) {
            check(id > 0 && command.taskIds.count(id) == 1);
            bool given = false;
            for (const QString &argument : command.arguments)
                given = given || argument.trimmed().toInt() == id;
            check(given);
        }
    }
    for (auto it = command.options.cbegin(); it != command.options.cend(); ++it) {
        const OptionInfo *option = optionNamed(info, it.key());
        if (!option)
            continue; // options every command takes, such as --data-dir
        switch (option->kind) {
        case OptionKind::Budget: {
            const int minutes = it.value().toInt();
            check(minutes >= 0);
            // What was read back as minutes reads again as the same minutes.
            check(parseBudget(QString::number(minutes)) == minutes);
            break;
        }
        case OptionKind::Priority:
            check(it.value().toInt() >= 0 && it.value().toInt() <= 5);
            break;
        case OptionKind::Day:
            check(resolveDay(it.value().toString(), QDate(2026, 12, 6)).isValid());
            break;
        case OptionKind::Flag:
        case OptionKind::Text:
            break;
        }
    }
    return 0;
}
