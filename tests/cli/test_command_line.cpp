// The command-line parser: what each argument accepts, what it refuses and
// how the refusal reads, and which arguments start the window instead.

#include "cli/CommandLine.h"
#include "cli/WindowLink.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace cdk::cli;

class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void budgetForms_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("minutes"); // -1: refused
        QTest::newRow("minutes with m") << QStringLiteral("45m") << 45;
        QTest::newRow("hours") << QStringLiteral("1h") << 60;
        QTest::newRow("hours, bare minutes") << QStringLiteral("1h30") << 90;
        QTest::newRow("clock") << QStringLiteral("1:30") << 90;
        QTest::newRow("zero") << QStringLiteral("0") << 0;
        QTest::newRow("negative") << QStringLiteral("-5") << -1;
        QTest::newRow("fraction") << QStringLiteral("1.5h") << -1;
        QTest::newRow("empty") << QString() << -1;
        QTest::newRow("trailing junk") << QStringLiteral("45min") << -1;
        QTest::newRow("beyond any day") << QStringLiteral("99999999") << -1;
        QTest::newRow("hours that overflow") << QStringLiteral("999999h") << -1;
    }
    void budgetForms()
    {
        QFETCH(QString, text);
        QFETCH(int, minutes);
        const auto parsed = parseBudget(text);
        QCOMPARE(parsed.value_or(-1), minutes);
    }

    void commandsRead()
    {
        const ParseResult add = parseCommandLine(
            {QStringLiteral("--data-dir"), QStringLiteral("/d"), QStringLiteral("add"),
             QStringLiteral("Write"), QStringLiteral("it"), QStringLiteral("--budget=1:30"),
             QStringLiteral("--priority"), QStringLiteral("VERY high"), QStringLiteral("--day"),
             QStringLiteral("2024-03-05"), QStringLiteral("--start")});
        QVERIFY2(add.ok(), qPrintable(add.error));
        QCOMPARE(add.command->info->name, QStringLiteral("add"));
        QCOMPARE(add.command->dataDir, QStringLiteral("/d"));
        QCOMPARE(add.command->arguments,
                 QStringList({QStringLiteral("Write"), QStringLiteral("it")}));
        QCOMPARE(add.command->value(QStringLiteral("budget")).toInt(), 90);
        QCOMPARE(add.command->value(QStringLiteral("priority")).toInt(), 4);
        QCOMPARE(
            resolveDay(add.command->value(QStringLiteral("day")).toString(), QDate(2020, 1, 1)),
            QDate(2024, 3, 5));
        QVERIFY(add.command->has(QStringLiteral("start")));

        // "--" lets a subject start with a dash; repeated IDs count once.
        const ParseResult dash = parseCommandLine(
            {QStringLiteral("add"), QStringLiteral("--"), QStringLiteral("--weird subject")});
        QVERIFY(dash.ok());
        QCOMPARE(dash.command->arguments, QStringList {QStringLiteral("--weird subject")});
        const ParseResult done = parseCommandLine({QStringLiteral("done"), QStringLiteral("3"),
                                                   QStringLiteral("1"), QStringLiteral("3")});
        QCOMPARE(done.command->taskIds, QList<qint32>({3, 1}));

        QCOMPARE(resolveDay(QStringLiteral("tomorrow"), QDate(2024, 12, 31)), QDate(2025, 1, 1));
        QCOMPARE(
            parseCommandLine({QStringLiteral("start"), QStringLiteral("--help")}).command->action,
            ParsedCommand::Action::Help);
    }

    // Each refusal names the argument that was wrong, in one line.
    void refusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("named");
        auto row = [](const char *name, const char *words, const char *named) {
            QTest::newRow(name) << QString::fromLatin1(words).split(QLatin1Char(' '))
                                << QString::fromLatin1(named);
        };
        row("unknown option", "list --jsno", "unknown option \"--jsno\" for list");
        row("option of another command", "stop --day today", "unknown option \"--day\" for stop");
        row("budget without value", "add x --budget", "--budget needs a value");
        row("no subject", "add --budget 5", "add needs SUBJECT");
        row("no ID", "done", "done needs a task ID");
        row("ID not a number", "done 1 x2", "not a task ID: \"x2\"");
        row("ID beyond a list", "start 40000", "not a task ID: \"40000\"");
        row("two IDs to start", "start 1 2", "too many arguments for start: \"2\"");
        row("argument to list", "list today", "too many arguments for list: \"today\"");
        row("flag with value", "status --json=yes", "--json takes no value");
        row("option twice", "list --day today --day tomorrow", "--day is given twice");
        row("data dir without folder", "list --data-dir", "--data-dir needs a folder");
        // Found by fuzzing: a word with a line break in it broke the line.
        row("line break in a word", "add\n- x", "unknown command \"add\\n-\"");
    }
    void refusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, named);
        const ParseResult result = parseCommandLine(arguments);
        QVERIFY(!result.ok());
        QVERIFY2(result.error.startsWith(named), qPrintable(result.error));
        QVERIFY(!result.error.contains(QLatin1Char('\n')));
    }

    void windowOrCommandLine_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<bool>("commandLine");
        QTest::newRow("nothing") << QString() << false;
        QTest::newRow("qt option") << QStringLiteral("-platform offscreen") << false;
        QTest::newRow("command") << QStringLiteral("--data-dir=/d list") << true;
    }
    void windowOrCommandLine()
    {
        QFETCH(QString, arguments);
        QFETCH(bool, commandLine);
        QCOMPARE(wantsCommandLine(arguments.split(QLatin1Char(' '), Qt::SkipEmptyParts)),
                 commandLine);
    }

#ifndef Q_OS_WIN
    // The window and the command line must arrive at one name however the
    // folder is spelt, never inside the data folder (others may enter it),
    // and a deep folder must still give a name a socket can have.
    void socketNameOfAFolder()
    {
        QTemporaryDir dir;
        const QString shallow = dir.path() + QStringLiteral("/data");
        QVERIFY(QDir().mkpath(shallow));
        QCOMPARE(commandSocketName(shallow + QStringLiteral("/")),
                 commandSocketName(dir.path() + QStringLiteral("/./data")));
        QVERIFY(!commandSocketName(shallow).startsWith(shallow + QLatin1Char('/')));

        const QString deep = dir.path() + QLatin1Char('/') + QString(60, QLatin1Char('d'))
            + QLatin1Char('/') + QString(60, QLatin1Char('e'));
        const QString deepName = commandSocketName(deep);
        QVERIFY2(QFile::encodeName(deepName).size() <= 100, qPrintable(deepName));
        QVERIFY(deepName != commandSocketName(deep + QStringLiteral("x")));
        QCOMPARE(commandSocketName(deep + QStringLiteral("/")), deepName);
    }
#endif
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
