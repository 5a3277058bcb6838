// Reading the settings at start-up: an ordinary settings.ini against a file
// of 10 MB of random bytes under that name (a disk fault, a wrong file),
// which must be read as no settings without holding up the window.
#include "common/BenchDatabase.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace cdk;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// One start's worth of settings work: the file read, the keys looked up.
void initOnce(const QString &folder)
{
    bench::ConsolePrompter prompter;
    clsSettings settings(prompter);
    settings.Init(folder, clsSettings::FirstRun::Leave);
    benchmark::DoNotOptimize(settings.flags().DisplayDoneTasksAtTheEnd);
}

void BM_OrdinarySettings(benchmark::State &state)
{
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("settings.ini")),
              "[General]\r\nDisplayDoneTasksAtTheEnd=1\r\nRunOnStartup=0\r\n"
              "[Sort]\r\nSortColumn1=2\r\n[WindowPos]\r\nfrmMainX=120\r\nfrmMainY=80\r\n");
    for (auto _ : state)
        initOnce(dir.path() + QLatin1Char('/'));
}
BENCHMARK(BM_OrdinarySettings)->Unit(benchmark::kMillisecond);

void BM_RandomTenMegabytes(benchmark::State &state)
{
    QTemporaryDir dir;
    QByteArray noise(10 * 1024 * 1024, Qt::Uninitialized);
    QRandomGenerator random(20240305);
    random.fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
    writeFile(dir.filePath(QStringLiteral("settings.ini")), noise);
    for (auto _ : state)
        initOnce(dir.path() + QLatin1Char('/'));
}
BENCHMARK(BM_RandomTenMegabytes)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QLoggingCategory::setFilterRules(QStringLiteral("chronodeck.*=false"));
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
