// Time away noticed through the X server's own idle time: on a real X server
// with a window manager, nothing is touched for longer than the threshold,
// then the pointer moves as a user's would, and the question comes up.
#include "MainWindowHarness.h"

#include "desktop/DesktopIdleSource.h"
#include "tracking/AwayDialog.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>

using namespace cdk;
using namespace Qt::StringLiterals;

class TestAwayX11 final : public QObject
{
    Q_OBJECT

private:
    static AwayDialog *question()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *d = qobject_cast<AwayDialog *>(w); d && d->isVisible())
                return d;
        return nullptr;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(u"xdotool"_s).isEmpty())
            QSKIP("xdotool is not installed");
    }

    void questionComesWhenInputComesBack()
    {
        auto h = std::make_unique<test::MainWindowHarness>();
        h->addTask(h->today(), test::makeTask(1, u"Write the report"_s, 60));
        h->showWindow();
        h->startTracking(1);
        std::unique_ptr<IdleSource> desktop = createDesktopIdleSource();
        QVERIFY(desktop->idleMilliseconds().has_value());
        h->tracker().setAwayDetection(desktop.get(), 2000);

        // The tracker's clock follows the real one here: the X server's idle
        // time is real.
        QElapsedTimer real;
        real.start();
        const quint32 base = h->clock.tickCount();
        const auto follow = [&] {
            h->clock.setTick(base + quint32(real.elapsed()));
            return true;
        };
        QTRY_VERIFY_WITH_TIMEOUT(follow() && h->tracker().isAway(), 30'000);
        QVERIFY(!question());

        QProcess xdotool;
        xdotool.start(u"xdotool"_s, {u"mousemove_relative"_s, u"7"_s, u"7"_s});
        QVERIFY(xdotool.waitForFinished(10'000) && xdotool.exitCode() == 0);
        QTRY_VERIFY_WITH_TIMEOUT(follow() && question(), 30'000);
        const QString text = question()->findChild<QLabel *>(u"lblAway"_s)->text();
        QVERIFY2(text.startsWith(u"You were away from "_s)
                     && text.endsWith(u"while tracking Write the report."_s),
                 qPrintable(text));

        QTest::mouseClick(question()->findChild<QPushButton *>(u"cmdKeep"_s), Qt::LeftButton);
        QTRY_VERIFY(!question());
        QVERIFY(h->tracker().TrackingActive);
        test::MainWindowHarness::finish(h);
    }
};

QTEST_MAIN(TestAwayX11)
#include "test_away_x11.moc"
