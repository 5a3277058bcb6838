// Leaves a data folder as a user's day with the program leaves it: the
// program starts over the folder, then ends through its exit command, which
// compacts the database and notes that the next start may skip the check.
// The start-up benchmark's ordinary starts begin from copies of this folder.
//
//   bench_seed_folder DATA_DIR
#include "app/Application.h"
#include "app/SingleInstance.h"
#include "base/Clock.h"
#include "common/BenchDatabase.h"
#include "desktop/Autostart.h"
#include "tracking/Sound.h"
#include "view/AppContext.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DATA_DIR\n", argv[0]);
        return 2;
    }
    const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + QLatin1Char('/');
    QDir().mkpath(folder);

    cdk::SingleInstance instance(folder);
    cdk::SystemClock clock;
    cdk::bench::ConsolePrompter prompter;
    cdk::NullAutostart autostart;
    cdk::NullSound sound;
    cdk::AppContext context(folder, clock, prompter, autostart, sound);
    cdk::Application lifetime(context, instance, true);
    QObject::connect(&lifetime, &cdk::Application::finished, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    if (lifetime.Main() != cdk::Application::StartResult::Running)
        return 1;
    lifetime.requestExit();
    return QApplication::exec();
}
