#include "desktop/SystemTrayIcon.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QThread>

#include <atomic>

using namespace cdk;

namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

// The part of a desktop's tray that items talk to: it answers that a tray
// host is there and records the items that register.
class FakeTrayWatcher : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
public:
    bool isHostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList items() const { return {}; }

    std::atomic<int> registrations = 0;

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString &) { ++registrations; }
    void RegisterStatusNotifierHost(const QString &) { }
};

} // namespace

// Started at logon, the program is often up before the desktop's tray.
class TestTrayIcon : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theIconAppearsWhenTheTrayStartsLater()
    {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("needs a D-Bus session bus");
        QVERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(kWatcherService));

        SystemTrayIcon tray;
        QSignalSpy availability(&tray, &TrayIcon::availableChanged);
        tray.setToolTip(QStringLiteral("Chronodeck\r\nTask A"));
        tray.show();
        QVERIFY(!tray.isAvailable());
        QVERIFY(!tray.isShown());

        // The tray's own connection, as a separate program would have.
        QDBusConnection desktop
            = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("desktop"));
        // Served from a thread of its own: the icon asks the tray with calls
        // that block until they are answered.
        FakeTrayWatcher watcher;
        QThread thread;
        watcher.moveToThread(&thread);
        thread.start();
        auto stop = qScopeGuard([&thread] {
            thread.quit();
            thread.wait();
        });
        QVERIFY(desktop.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                                       QDBusConnection::ExportAllSlots
                                           | QDBusConnection::ExportAllProperties));
        QVERIFY(desktop.registerService(kWatcherService));

        QTRY_VERIFY(tray.isAvailable());
        QCOMPARE(availability.count(), 1);
        QCOMPARE(availability.first().first().toBool(), true);
        QVERIFY(tray.isShown());
        // The item registered with the tray, so the desktop shows it.
        QTRY_COMPARE(watcher.registrations.load(), 1);

        // What the tray gets of it: the tool tip cut to the 127 characters a
        // tray takes, and every click but the right one brings the window.
        auto *icon = tray.findChild<QSystemTrayIcon *>(QStringLiteral("Systray"));
        QVERIFY(icon);
        tray.setToolTip(QStringLiteral("Time tracking task: ") + QString(200, u'x'));
        QCOMPARE(icon->toolTip().size(), 127);
        QSignalSpy activated(&tray, &TrayIcon::activated);
        for (const auto why : {QSystemTrayIcon::Trigger, QSystemTrayIcon::MiddleClick,
                               QSystemTrayIcon::DoubleClick, QSystemTrayIcon::Context})
            Q_EMIT icon->activated(why);
        QCOMPARE(activated.count(), 3);

        desktop.unregisterService(kWatcherService);
        QDBusConnection::disconnectFromBus(QStringLiteral("desktop"));
    }
};

QTEST_MAIN(TestTrayIcon)
#include "test_tray_icon.moc"
