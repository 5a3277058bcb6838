// The global hotkey where there is no X display: through the desktop portal's
// global shortcuts, played by python-dbusmock on the private session bus the
// test runs in.
#include "common/DbusMock.h"
#include "common/RecordingAutostart.h"
#include "common/RecordingPrompter.h"
#include "common/RecordingSound.h"
#include "desktop/GlobalHotkey.h"
#include "desktop/SettingsDialog.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QLabel>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <optional>
#include <QTest>

#include <memory>

using namespace cdk;
using namespace Qt::StringLiterals;

namespace {

constexpr int kControlAlt = GlobalHotkey::Control | GlobalHotkey::Alt;
constexpr int kVkM = 77;
constexpr int kVkF5 = 0x74;

const QString kPortal = u"org.freedesktop.portal.Desktop"_s;
const QString kPortalPath = u"/org/freedesktop/portal/desktop"_s;

// One shortcut of a BindShortcuts call: id, description, preferred trigger.
struct SentShortcut
{
    QString id;
    QString description;
    QString trigger;
};

// The portal, gone with the object.
class MockPortal
{
public:
    MockPortal()
    {
        m_service.emplace(QStringList {u"--template"_s, QStringLiteral(CHRONODECK_PORTAL_TEMPLATE)},
                          kPortal, kPortalPath, false);
    }
    ~MockPortal()
    {
        m_service.reset();
        // The next portal takes the name afresh.
        QDeadlineTimer deadline(10'000);
        while (QDBusConnection::sessionBus().interface()->isServiceRegistered(kPortal).value()
               && !deadline.hasExpired())
            QTest::qWait(20);
    }

    bool up() { return m_service->up(); }
    QDBusMessage mock(const QString &method, const QVariantList &arguments = {})
    {
        return m_service->mock(method, arguments);
    }

    // The shortcuts of every BindShortcuts call so far, one list per call.
    QList<QList<SentShortcut>> boundShortcuts()
    {
        const QDBusMessage reply = mock(u"GetMethodCalls"_s, {u"BindShortcuts"_s});
        QList<QList<SentShortcut>> result;
        const auto calls = reply.arguments().value(0).value<QDBusArgument>();
        calls.beginArray();
        while (!calls.atEnd()) {
            quint64 when = 0;
            calls.beginStructure();
            calls >> when;
            calls.beginArray();
            QList<QVariant> arguments;
            while (!calls.atEnd()) {
                QDBusVariant value;
                calls >> value;
                arguments << value.variant();
            }
            calls.endArray();
            calls.endStructure();

            QList<SentShortcut> sent;
            const auto shortcuts = arguments.value(1).value<QDBusArgument>();
            shortcuts.beginArray();
            while (!shortcuts.atEnd()) {
                QString id;
                QVariantMap details;
                shortcuts.beginStructure();
                shortcuts >> id >> details;
                shortcuts.endStructure();
                sent.append({id, details.value(u"description"_s).toString(),
                             details.value(u"preferred_trigger"_s).toString()});
            }
            shortcuts.endArray();
            result << sent;
        }
        calls.endArray();
        return result;
    }

private:
    std::optional<test::DbusMock> m_service;
};

} // namespace

class TestPortalHotkey final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MockPortal> portal;
    std::unique_ptr<GlobalHotkey> hotkey;

    // Registers and waits for the desktop's answer.
    bool bind(int modifiers, int key)
    {
        return hotkey->registerKey(modifiers, key) == GlobalHotkey::RegisterResult::Pending
            && QTest::qWaitFor([this] {
                   return hotkey->isRegistered() || !hotkey->registrationError().isEmpty();
               });
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
        QCOMPARE_NE(QGuiApplication::platformName(), u"xcb"_s);
    }

    void init()
    {
        portal = std::make_unique<MockPortal>();
        QVERIFY2(portal->up(), "python3-dbusmock did not come up");
        hotkey = createGlobalHotkey();
    }
    void cleanup()
    {
        hotkey.reset();
        portal.reset();
    }

    void withoutPortalThereAreNoGlobalKeys()
    {
        portal.reset();
        const std::unique_ptr<GlobalHotkey> none = createGlobalHotkey();
        QVERIFY(!none->isAvailable());
        QVERIFY(!none->unavailableReason().isEmpty());
        QCOMPARE(none->registerKey(kControlAlt, kVkM), GlobalHotkey::RegisterResult::Unavailable);
    }

    void bindsTheConfiguredKeysAndShowsWhatTheDesktopBound()
    {
        QVERIFY(hotkey->isAvailable());
        QSignalSpy changed(hotkey.get(), &GlobalHotkey::registrationChanged);
        QVERIFY(bind(kControlAlt, kVkM));
        QVERIFY(hotkey->isRegistered());
        QCOMPARE(hotkey->registrationError(), QString());
        QCOMPARE(hotkey->boundTrigger(), u"Ctrl+Alt+M"_s);
        QCOMPARE(changed.count(), 1);
        // The user gives it other keys in the desktop's settings.
        portal->mock(u"Rebind"_s, {u"Ctrl+Shift+K"_s});
        QTRY_COMPARE(hotkey->boundTrigger(), u"Ctrl+Shift+K"_s);

        // A new combination is a new session with the new trigger.
        QVERIFY(bind(GlobalHotkey::Shift | GlobalHotkey::Win, kVkF5));
        QVERIFY(hotkey->isRegistered());
        QCOMPARE(hotkey->registerKey(kControlAlt, 0xFF), GlobalHotkey::RegisterResult::Unsupported);
        QVERIFY(!hotkey->isRegistered());

        const QList<QList<SentShortcut>> calls = portal->boundShortcuts();
        QCOMPARE(calls.size(), 2);
        for (const QList<SentShortcut> &call : calls) {
            QCOMPARE(call.size(), 1);
            QCOMPARE(call.at(0).id, u"show-window"_s);
            QCOMPARE(call.at(0).description, u"Bring Chronodeck to the front"_s);
        }
        QCOMPARE(calls.at(0).at(0).trigger, u"CTRL+ALT+m"_s);
        QCOMPARE(calls.at(1).at(0).trigger, u"SHIFT+LOGO+F5"_s);
    }

    void pressingTheShortcutActivates()
    {
        QSignalSpy activated(hotkey.get(), &GlobalHotkey::activated);
        QVERIFY(bind(kControlAlt, kVkM));
        // Another shortcut of the session is not ours; the signals arrive in
        // order, so the second one's arrival shows the first was passed over.
        portal->mock(u"Press"_s, {u"other-action"_s});
        portal->mock(u"Press"_s, {u"show-window"_s});
        QTRY_COMPARE(activated.count(), 1);
        QCOMPARE(qgetenv("XDG_ACTIVATION_TOKEN"), QByteArray("token-1234"));

        // A press in a session given up is not ours either. The answer to the
        // next binding comes after it, and after the press of the other
        // shortcut above, so by then both have been heard.
        hotkey->unregisterKey();
        portal->mock(u"Press"_s, {u"show-window"_s});
        QVERIFY(bind(kControlAlt, kVkM));
        QCOMPARE(activated.count(), 1);
        portal->mock(u"Press"_s, {u"show-window"_s});
        QTRY_COMPARE(activated.count(), 2);
    }

    void settingsDialogShowsTheBindingOrTheRefusal()
    {
        QTemporaryDir folder;
        test::RecordingPrompter prompter;
        test::RecordingAutostart autostart;
        test::RecordingSound sound;
        clsSettings settings(prompter);
        settings.setPath(folder.filePath(u"settings.ini"_s));
        settings.setBoolean(Setting::MainHKUsed, true);
        settings.setNumber(Setting::MainHKMod, kControlAlt);
        settings.setNumber(Setting::MainHKKey, kVkM);
        SettingsDialog dialog(settings, hotkey.get(), autostart, prompter, sound);
        dialog.LoadEx();
        dialog.show();
        auto *label = dialog.findChild<QLabel *>(u"lblHotkeyUnavailable"_s);
        QVERIFY(!label->isVisible());

        // OK registers the key; the desktop's answer comes after the dialog
        // closed, and no question about another program holding it is asked.
        dialog.findChild<QCheckBox *>(u"chkControl"_s)->setChecked(false);
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(prompter.shown.size(), 0);
        QTRY_VERIFY(hotkey->isRegistered());
        QCOMPARE(portal->boundShortcuts().value(0).value(0).trigger, u"ALT+m"_s);
        dialog.LoadEx();
        dialog.show();
        QCOMPARE(label->text(), u"Keys the desktop bound to the hotkey: Ctrl+Alt+M"_s);
        QVERIFY(label->isVisible());

        // The user says no in the desktop's dialog, while ours is open.
        portal->mock(u"SetBindAnswer"_s, {1u, QString()});
        dialog.accept();
        dialog.show();
        QTRY_COMPARE(label->text(), u"The desktop's request to bind the hotkey was cancelled."_s);
        QVERIFY(label->isVisible());
        QVERIFY(!hotkey->isRegistered());
    }
};

QTEST_MAIN(TestPortalHotkey)
#include "test_portal_hotkey.moc"
