#include "desktop/SystemTrayIcon.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QThread>

#include <atomic>
#include <cstring>
#include <memory>

#include <xcb/xcb.h>

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

    // An XEmbed panel says in which colour its icons are drawn: the idle
    // picture takes it, light on a dark panel under a light desktop theme.
    void theIdlePictureTakesThePanelsColour()
    {
        auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        if (!x11)
            QSKIP("needs an X display");
        xcb_connection_t *c = x11->connection();
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        const xcb_window_t panel = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, panel, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        const uint32_t colours[12] = {0xffff, 0xffff, 0xffff};
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, panel, atom(c, "_NET_SYSTEM_TRAY_COLORS"),
                            XCB_ATOM_CARDINAL, 32, 12, colours);
        xcb_set_selection_owner(c, panel, atom(c, "_NET_SYSTEM_TRAY_S0"), XCB_CURRENT_TIME);
        xcb_flush(c);
        auto gone = qScopeGuard([c, panel] {
            xcb_destroy_window(c, panel);
            xcb_flush(c);
        });

        QApplication::setPalette(QPalette(QColor(0xef, 0xf0, 0xf1))); // dark window text
        SystemTrayIcon tray;
        tray.show();
        QTRY_VERIFY(tray.isAvailable());
        auto *icon = tray.findChild<QSystemTrayIcon *>(QStringLiteral("Systray"));
        QVERIFY(icon);
        const QImage image = icon->icon().pixmap(32).toImage();
        int sum = 0;
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (const QColor p = image.pixelColor(x, y); p.alpha() > 200) {
                    sum += p.lightness();
                    ++count;
                }
        QVERIFY(count > 0);
        QCOMPARE_GT(sum / count, 200);
    }

private:
    static xcb_atom_t atom(xcb_connection_t *c, const char *name)
    {
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> reply(
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr),
            &free);
        return reply ? reply->atom : xcb_atom_t(XCB_NONE);
    }
};

QTEST_MAIN(TestTrayIcon)
#include "test_tray_icon.moc"
