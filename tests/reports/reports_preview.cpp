// Shows the Reports window over a month of sample tasks, in the desktop's
// palette or (--dark) in a dark one, and (--categories) on its second tab,
// for --seconds seconds: for looking at it, and for screenshots of it.
#include "reports/ReportsWindow.h"

#include "common/DarkPalette.h"
#include "common/FakeClock.h"
#include "common/TaskFixtures.h"
#include "core/TaskOperations.h"
#include "core/TimeTracker.h"
#include "reports/ReportFixture.h"

#include <QApplication>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTimer>

using namespace cdk;
namespace week = cdk::test::reportweek;

namespace {

// The known week, and around it three weeks of varied days.
void fillSample(TaskStore &store)
{
    week::fill(store);
    const QStringList subjects
        = {QStringLiteral("Mail"), QStringLiteral("Meeting"), QStringLiteral("Exercise"),
           QStringLiteral("Reading"), QStringLiteral("Groceries")};
    for (int day = -4; day < 27; ++day) {
        if (day >= 0 && day < 7)
            continue;
        for (int n = 0; n < (day * 7 + 11) % 5 + 1; ++n) {
            const int budget = 15 * ((day + n * 3 + 40) % 6);
            const bool finished = (day + n) % 3 != 0;
            TaskRecord t = week::task(0, qint32(n + 10), subjects[(day + n + 40) % 5],
                                      qint32((day + n + 40) % 8 + 1), budget,
                                      finished ? budget * ((day + 40) % 4 + 1) / 4 : budget / 3,
                                      finished ? Finished : InProgress);
            t.List = DayListKey(week::monday().addDays(day));
            store.SaveTask(t, true, t.List, t.ID);
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.contains(QStringLiteral("--dark"))) {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(test::darkPalette());
    }
    const qsizetype at = args.indexOf(QStringLiteral("--seconds"));
    const int seconds = at >= 0 && at + 1 < args.size() ? args[at + 1].toInt() : 0;

    test::StoreFixture f;
    fillSample(f.store);
    test::FakeClock clock;
    TimeTracker tracker(f.store, clock);
    TaskOperations operations(f.store, f.settings, tracker);
    ReportsWindow window(operations, f.prompter, week::monday());
    if (args.contains(QStringLiteral("--month")))
        window.setPeriod(ReportPeriod::Kind::Month, week::monday());
    if (args.contains(QStringLiteral("--categories")))
        window.findChild<QTabWidget *>(QStringLiteral("tabReports"))->setCurrentIndex(1);
    window.resize(1260, 760);
    window.move(10, 10);
    window.show();
    if (seconds > 0)
        QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    return app.exec();
}
