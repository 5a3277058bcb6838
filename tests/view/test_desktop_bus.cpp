// The window and the desktop's services on D-Bus: a notification server
// whose buttons change the task, the screen lock and logind's sleep as time
// away. The services are python-dbusmock's, on the private session bus the
// test runs in and on a private "system" bus of its own.
#include "MainWindowHarness.h"

#include "common/DbusMock.h"
#include "common/FakeIdleSource.h"
#include "desktop/Notifications.h"
#include "desktop/SessionPresence.h"
#include "tracking/AlertPopup.h"
#include "tracking/AwayDialog.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QProcess>

#include <memory>

using namespace cdk;
using namespace Qt::StringLiterals;
using test::makeTask;

namespace {

using MockService = test::DbusMock;

const QString kNotifications = u"org.freedesktop.Notifications"_s;

std::unique_ptr<MockService> notificationServer()
{
    return std::make_unique<MockService>(
        QStringList {u"--template"_s, u"notification_daemon"_s, u"--parameters"_s,
                     uR"({"capabilities": "body actions"})"_s},
        kNotifications, u"/org/freedesktop/Notifications"_s, false);
}

QStringList alerts()
{
    QStringList texts;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (qobject_cast<AlertPopup *>(w) && w->isVisible())
            texts << w->findChild<QLabel *>(u"lblAlert"_s)->text();
    return texts;
}

AwayDialog *openQuestion()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *d = qobject_cast<AwayDialog *>(w); d && d->isVisible())
            return d;
    return nullptr;
}

} // namespace

class TestDesktopBus final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<test::MainWindowHarness> h;
    std::unique_ptr<DesktopNotifications> notifications;
    std::unique_ptr<SessionPresence> presence;
    QProcess systemBus;

    // Tracks a task of budget minutes with done seconds already counted, in
    // a window that reaches the desktop's services.
    void trackTask(const char *subject, qint32 budget, qint32 doneSeconds)
    {
        TaskRecord task = makeTask(1, QString::fromLatin1(subject), budget, doneSeconds / 60);
        task.FinishedSeconds = quint8(doneSeconds % 60);
        h->addTask(h->today(), task);
        h->context().notifications = notifications.get();
        h->context().presence = presence.get();
        h->showWindow();
        h->startTracking(1);
    }
    void tick(int ms)
    {
        h->clock.advance(quint32(ms));
        h->tracker().TrackTick();
    }

private Q_SLOTS:
    void initTestCase()
    {
        // logind lives on the system bus; the test brings one of its own,
        // named before the first connection, when QtDBus reads the address.
        systemBus.start(u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address=1"_s});
        QVERIFY(systemBus.waitForReadyRead(10'000));
        const QByteArray address = systemBus.readLine().trimmed();
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", address);
        QVERIFY2(QDBusConnection::systemBus().isConnected(),
                 qPrintable(QDBusConnection::systemBus().lastError().message() + u' '
                            + QString::fromLatin1(address)));
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
    }
    void cleanupTestCase()
    {
        systemBus.kill();
        systemBus.waitForFinished();
    }
    void init()
    {
        h = std::make_unique<test::MainWindowHarness>();
        notifications = createDesktopNotifications();
        presence = createSessionPresence();
    }
    void cleanup()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<AlertPopup *>(w))
                delete w;
        test::MainWindowHarness::finish(h);
        presence.reset();
        notifications.reset();
    }

    // A used-up budget is told in a notification beside the pop-up; its
    // buttons change the task as the window's commands would, a second
    // notice about the task replaces the first, and a finished task's
    // notice is taken away.
    void notificationButtonsChangeTheTask()
    {
        auto server = notificationServer();
        QVERIFY2(server->up(), "python3-dbusmock did not come up");
        trackTask("Write the report", 2, 110);
        tick(10'000);
        QCOMPARE(alerts(), QStringList {u"Task Write the report has been finished!"_s});
        QTRY_COMPARE(server->callsOf(u"Notify"_s).size(), 1);
        const QVariantList first = server->callsOf(u"Notify"_s).first();
        QCOMPARE(first.value(1).toUInt(), 0u); // replaces nothing
        QCOMPARE(first.value(3).toString(), u"Task Write the report has been finished!"_s);
        QCOMPARE(first.value(4).toString(), u"Done: [0:02 / 0:02] [100%]"_s);
        const QStringList actions = first.value(5).toStringList();
        QVERIFY2(actions.contains(u"+10 minutes"_s) && actions.contains(u"Finish"_s)
                     && actions.contains(u"Move the rest to tomorrow"_s),
                 qPrintable(actions.join(u", "_s)));

        server->emitSignal(kNotifications, u"ActionInvoked"_s, u"us"_s, {1u, u"extend"_s});
        QTRY_COMPARE(h->stored(h->today(), 1)->Duration, 12);
        QCOMPARE(h->label("lblTracking"), u"Time tracking task:"_s);
        tick(10 * 60'000);
        QTRY_COMPARE(server->callsOf(u"Notify"_s).size(), 2);
        QCOMPARE(server->callsOf(u"Notify"_s).last().value(1).toUInt(), 1u);

        server->emitSignal(kNotifications, u"ActionInvoked"_s, u"us"_s, {1u, u"finish"_s});
        QTRY_COMPARE(h->stored(h->today(), 1)->State, int(Finished));
        QVERIFY(!h->tracker().TrackingActive);
        QCOMPARE(h->stored(h->today(), 1)->FinishedDuration, 12);
        QTRY_COMPARE(server->callsOf(u"CloseNotification"_s).size(), 1);
        QCOMPARE(server->callsOf(u"CloseNotification"_s).first().value(0).toUInt(), 1u);
        QVERIFY(h->takeShown().isEmpty());
    }

    // The warning before the end comes as a notification alone; moving the
    // rest to tomorrow stops tracking and moves the task.
    void warningMovesTheRestToTomorrow()
    {
        auto server = notificationServer();
        QVERIFY2(server->up(), "python3-dbusmock did not come up");
        h->settings().setNumber(Setting::WarnAtPercent, 80);
        trackTask("Call the bank", 10, 7 * 60 + 55);
        tick(6000);
        QTRY_COMPARE(server->callsOf(u"Notify"_s).size(), 1);
        QVERIFY(alerts().isEmpty());
        server->emitSignal(kNotifications, u"ActionInvoked"_s, u"us"_s, {1u, u"tomorrow"_s});
        QTRY_VERIFY(!h->stored(h->today(), 1));
        QVERIFY(!h->tracker().TrackingActive);
        const TaskRecord moved = *h->stored(h->dayKey(1), 1);
        QCOMPARE(moved.Subject, u"Call the bank"_s);
        QCOMPARE(moved.FinishedDuration * 60 + moved.FinishedSeconds, 8 * 60 + 1);
        QVERIFY(h->shownSubjects().isEmpty());
        QVERIFY(h->takeShown().isEmpty());
    }

    // No notification server: the pop-up and its sound alone, even where
    // only a notification was asked for, and no error.
    void withoutServerThePopupAlone()
    {
        QVERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(kNotifications));
        h->settings().setNumber(Setting::FinishNotice, 1);
        trackTask("Tidy", 2, 110);
        tick(10'000);
        QCOMPARE(alerts(), QStringList {u"Task Tidy has been finished!"_s});
        QTRY_COMPARE(h->sound.played.size(), 1);
        QVERIFY(h->takeShown().isEmpty());
    }

    // A locked screen and a sleep are time away from the last input before
    // them to the first after, asked about as any other.
    void lockAndSleepAreTimeAway_data()
    {
        QTest::addColumn<bool>("sleep");
        QTest::newRow("screen lock") << false;
        QTest::newRow("sleep") << true;
    }
    void lockAndSleepAreTimeAway()
    {
        QFETCH(bool, sleep);
        std::unique_ptr<MockService> service;
        QString interface;
        QString name;
        if (sleep) {
            service = std::make_unique<MockService>(
                QStringList {u"--system"_s, u"--template"_s, u"logind"_s},
                u"org.freedesktop.login1"_s, u"/org/freedesktop/login1"_s, true);
            interface = u"org.freedesktop.login1.Manager"_s;
            name = u"PrepareForSleep"_s;
        } else {
            service = std::make_unique<MockService>(
                QStringList {u"org.freedesktop.ScreenSaver"_s, u"/org/freedesktop/ScreenSaver"_s,
                             u"org.freedesktop.ScreenSaver"_s},
                u"org.freedesktop.ScreenSaver"_s, u"/org/freedesktop/ScreenSaver"_s, false);
            interface = u"org.freedesktop.ScreenSaver"_s;
            name = u"ActiveChanged"_s;
        }
        QVERIFY2(service->up(), "python3-dbusmock did not come up");
        test::FakeIdleSource desktop;
        trackTask("Write the report", 120, 0);
        h->tracker().setAwayDetection(&desktop, 10 * 60'000);
        tick(60'000);
        desktop.idle = 30'000;
        service->emitSignal(interface, name, u"b"_s, {true});
        QTRY_VERIFY(h->tracker().isAway());
        desktop.idle = 0; // whatever the lock screen sees
        for (int i = 0; i < 20; ++i)
            tick(60'000);
        service->emitSignal(interface, name, u"b"_s, {false});
        QTRY_VERIFY(h->tracker().isAway()); // until the first input after
        tick(1000);
        QTRY_VERIFY(openQuestion());
        QVERIFY2(openQuestion()->findChild<QLabel *>(u"lblAway"_s)->text().contains(
                     u"(21 minutes) while tracking Write the report."_s),
                 qPrintable(openQuestion()->findChild<QLabel *>(u"lblAway"_s)->text()));
        QTest::mouseClick(openQuestion()->findChild<QPushButton *>(u"cmdDiscard"_s),
                          Qt::LeftButton);
        QTRY_VERIFY(!openQuestion());
        const TaskRecord task = *h->stored(h->today(), 1);
        QCOMPARE(task.FinishedDuration * 60 + task.FinishedSeconds, 30);

    }
};

QTEST_MAIN(TestDesktopBus)
#include "test_desktop_bus.moc"
