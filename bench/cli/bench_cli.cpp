// How long `chronodeck add` and `chronodeck list` take as whole processes,
// no window running, against `chronodeck --version`, the cost of starting
// the program at all, measured in the same run. The database holds 100 days
// of 1,000 tasks each, the last of them today. The commands take turns,
// round after round, in an order that rotates, so that whatever else the
// machine does falls on all of them alike; the figures are medians.
//
//   bench_cli [rounds]     (101 when not given)

#include "ProcessRun.h"
#include "common/BenchDatabase.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace cdk;
using namespace cdk::bench;

namespace {

struct Measured
{
    const char *label;
    const char *ratioLabel;
    std::vector<std::string> arguments;
    std::vector<double> wall;
    std::vector<double> cpu;
};

void printRatio(const Measured &measured, const Measured &reference, double goal)
{
    const double wall = median(measured.wall) / median(reference.wall);
    const double cpu = median(measured.cpu) / median(reference.cpu);
    std::printf("%-30s %5.2fx wall   %5.2fx processor   goal <= %.1fx: %s\n",
                (std::string(measured.ratioLabel) + " / --version").c_str(), wall, cpu, goal,
                wall <= goal ? "met" : "NOT met");
}

} // namespace

int main(int argc, char *argv[])
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 101;
    QTemporaryDir dir;
    // The adds go to a folder of their own, so that the list read stays at
    // 1,000 tasks; both start from the same file.
    const QString listFolder = dir.path() + QStringLiteral("/list/");
    const QString addFolder = dir.path() + QStringLiteral("/add/");
    if (!QDir().mkpath(listFolder) || !QDir().mkpath(addFolder)) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    {
        TaskStore store(listFolder);
        store.OpenTaskDatabase();
        fillDays(store, QDate::currentDate().addDays(-99), 100, 1000);
        store.Close();
    }
    if (!QFile::copy(listFolder + TaskStore::databaseFileName(),
                     addFolder + TaskStore::databaseFileName())) {
        std::fprintf(stderr, "the database cannot be copied\n");
        return 1;
    }
    const char *chosen = std::getenv("CHRONODECK_BENCH_EXE");
    const std::string program = chosen && *chosen ? chosen : CHRONODECK_EXE;
    const std::string listDir = QFile::encodeName(listFolder).toStdString();
    const std::string addDir = QFile::encodeName(addFolder).toStdString();
    std::printf("program: %s\ndatabase: 100 days x 1,000 tasks, today's list the last\n"
                "%d rounds, each command once a round, in rotating order\n",
                program.c_str(), rounds);

    std::vector<Measured> commands {
        {"chronodeck --version", "--version", {program, "--version"}, {}, {}},
        {"chronodeck add",
         "add",
         {program, "--data-dir", addDir, "add", "A task", "--budget", "25m"},
         {},
         {}},
        {"chronodeck list (1,000 tasks)", "list", {program, "--data-dir", listDir, "list"}, {}, {}},
        {"chronodeck list --json",
         "list --json",
         {program, "--data-dir", listDir, "list", "--json"},
         {},
         {}},
    };
    for (Measured &m : commands)
        runProcess(m.arguments); // the program and its libraries into the page cache
    for (int round = 0; round < rounds; ++round) {
        for (size_t i = 0; i < commands.size(); ++i) {
            Measured &m = commands[(i + size_t(round)) % commands.size()];
            const ProcessRun run = runProcess(m.arguments);
            if (run.exit != 0) {
                std::fprintf(stderr, "%s failed (exit %d)\n", m.label, run.exit);
                return 1;
            }
            m.wall.push_back(run.wall);
            m.cpu.push_back(run.cpu);
        }
    }
    for (const Measured &m : commands)
        std::printf("%-30s median %7.2f ms wall (p90 %6.2f)   %7.2f ms processor\n", m.label,
                    median(m.wall), percentile(m.wall, 0.9), median(m.cpu));
    printRatio(commands[1], commands[0], 1.3);
    printRatio(commands[2], commands[0], 1.6);
    return 0;
}
