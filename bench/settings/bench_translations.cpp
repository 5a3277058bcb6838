// What the user's language costs: loading the German translation (ours and
// Qt's), and building the Settings dialog, the window with the most texts,
// in English and in German. The English build is the reference measured in
// the same run; the start-up figure as a whole is bench/startup's, with
// LANG=de_DE.UTF-8.
#include "base/Prompter.h"
#include "base/Sound.h"
#include "base/Translate.h"
#include "desktop/Autostart.h"
#include "desktop/SettingsDialog.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <QTranslator>

#include <benchmark/benchmark.h>

using namespace cdk;

namespace {

const QString kFolder = QStringLiteral(CHRONODECK_BENCH_TRANSLATIONS);

class SilentPrompter final : public Prompter
{
public:
    Answer ask(const QString &, const QString &, MessageIcon) override { return Answer::No; }
    void tell(const QString &, const QString &, MessageIcon) override {}
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    std::optional<qint32> chooseColor(qint32) override { return std::nullopt; }
};

void BM_LoadGermanTranslations(benchmark::State &state)
{
    for (auto _ : state) {
        QTranslator ours;
        QTranslator qt;
        benchmark::DoNotOptimize(ours.load(QStringLiteral("chronodeck_de"), kFolder));
        benchmark::DoNotOptimize(qt.load(QLocale(QLocale::German), QStringLiteral("qtbase"),
                                         QStringLiteral("_"),
                                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    }
}
BENCHMARK(BM_LoadGermanTranslations)->Unit(benchmark::kMicrosecond);

// Arg 0: English, the source texts; arg 1: German.
void BM_BuildSettingsDialog(benchmark::State &state)
{
    QTranslator ours;
    QTranslator qt;
    if (state.range(0) == 1) {
        if (!ours.load(QStringLiteral("chronodeck_de"), kFolder)
            || !qt.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            state.SkipWithError("no German translation built, or Qt's is not installed");
            return;
        }
        // In the order the program installs them.
        QCoreApplication::installTranslator(&qt);
        QCoreApplication::installTranslator(&ours);
    }
    QTemporaryDir dir;
    SilentPrompter prompter;
    NullSound sound;
    NullAutostart autostart;
    clsSettings settings(prompter);
    settings.setPath(dir.filePath(QStringLiteral("settings.ini")));
    for (auto _ : state) {
        SettingsDialog dialog(settings, nullptr, autostart, prompter, sound);
        dialog.LoadEx();
        benchmark::DoNotOptimize(dialog.sizeHint());
    }
    QCoreApplication::removeTranslator(&qt);
    QCoreApplication::removeTranslator(&ours);
}
BENCHMARK(BM_BuildSettingsDialog)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
