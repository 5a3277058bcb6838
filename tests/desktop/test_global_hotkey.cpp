#include "desktop/GlobalHotkey.h"

#include <QGuiApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <X11/keysym.h>

using namespace cdk;

namespace {

constexpr int kControlAlt = GlobalHotkey::Control | GlobalHotkey::Alt;
constexpr int kVkM = 77;
constexpr uint16_t kXControlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
constexpr uint8_t kBadAccess = 10;

// Another program on the same display, holding keys of its own.
class OtherClient
{
public:
    OtherClient()
        : m_connection(xcb_connect(nullptr, nullptr))
        , m_root(xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root)
        , m_symbols(xcb_key_symbols_alloc(m_connection))
    {
    }
    ~OtherClient()
    {
        xcb_key_symbols_free(m_symbols);
        xcb_disconnect(m_connection);
    }

    // 0 when the grab succeeded, else the X error code.
    uint8_t grab(uint16_t modifiers, xcb_keysym_t keysym)
    {
        xcb_generic_error_t *error = xcb_request_check(
            m_connection,
            xcb_grab_key_checked(m_connection, 1, m_root, modifiers, keycode(keysym),
                                 XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        const uint8_t code = error ? error->error_code : 0;
        free(error);
        return code;
    }

    void ungrabAll()
    {
        xcb_ungrab_key(m_connection, XCB_GRAB_ANY, m_root, XCB_MOD_MASK_ANY);
        free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    }

private:
    xcb_keycode_t keycode(xcb_keysym_t keysym)
    {
        xcb_keycode_t *codes = xcb_key_symbols_get_keycode(m_symbols, keysym);
        const xcb_keycode_t code = codes ? codes[0] : 0;
        free(codes);
        return code;
    }

    xcb_connection_t *m_connection;
    xcb_window_t m_root;
    xcb_key_symbols_t *m_symbols;
};

void press(const QString &keys)
{
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("key"), keys});
    QVERIFY(xdotool.waitForFinished());
    QCOMPARE(xdotool.exitCode(), 0);
}

} // namespace

// The hotkey on a real X server, pressed by the X test extension as a user
// would press it, and contested by a second X client.
class TestGlobalHotkey : public QObject
{
    Q_OBJECT

    std::unique_ptr<GlobalHotkey> m_hotkey;
    std::unique_ptr<OtherClient> m_other;

private Q_SLOTS:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            QSKIP("needs an X server");
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("xdotool is not installed");
    }

    void init()
    {
        m_hotkey = createGlobalHotkey();
        QVERIFY2(m_hotkey->isAvailable(), qPrintable(m_hotkey->unavailableReason()));
        m_other = std::make_unique<OtherClient>();
    }

    void cleanup()
    {
        m_hotkey.reset();
        m_other.reset();
    }

    void theCombinationActivatesAndNoOther_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("virtualKey");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("near");
        QTest::newRow("Control+Alt+M")
            << kControlAlt << kVkM << QStringLiteral("ctrl+alt+m") << QStringLiteral("ctrl+m");
        QTest::newRow("Control+Shift+F12")
            << (GlobalHotkey::Control | GlobalHotkey::Shift) << 0x7B
            << QStringLiteral("ctrl+shift+F12") << QStringLiteral("ctrl+alt+shift+F12");
        QTest::newRow("Alt+5") << int(GlobalHotkey::Alt) << 0x35 << QStringLiteral("alt+5")
                               << QStringLiteral("5");
        QTest::newRow("Win+Page Up")
            << int(GlobalHotkey::Win) << 0x21 << QStringLiteral("super+Prior")
            << QStringLiteral("super+Next");
    }
    void theCombinationActivatesAndNoOther()
    {
        QFETCH(int, modifiers);
        QFETCH(int, virtualKey);
        QFETCH(QString, keys);
        QFETCH(QString, near);
        QCOMPARE(m_hotkey->registerKey(modifiers, virtualKey),
                 GlobalHotkey::RegisterResult::Registered);
        QSignalSpy spy(m_hotkey.get(), &GlobalHotkey::activated);

        press(keys);
        QTRY_COMPARE(spy.count(), 1);

        // A press of a neighbouring combination, then the real one: only the
        // real one may count.
        press(near);
        press(keys);
        QTRY_COMPARE(spy.count(), 2);
        QTest::qWait(100);
        QCOMPARE(spy.count(), 2);
    }

    void numLockAndCapsLockDoNotHideThePress_data()
    {
        QTest::addColumn<QString>("lock");
        QTest::newRow("NumLock") << QStringLiteral("Num_Lock");
        QTest::newRow("CapsLock") << QStringLiteral("Caps_Lock");
    }
    void numLockAndCapsLockDoNotHideThePress()
    {
        QFETCH(QString, lock);
        QCOMPARE(m_hotkey->registerKey(kControlAlt, kVkM),
                 GlobalHotkey::RegisterResult::Registered);
        QSignalSpy spy(m_hotkey.get(), &GlobalHotkey::activated);
        press(lock);
        press(QStringLiteral("ctrl+alt+m"));
        press(lock);
        QTRY_COMPARE(spy.count(), 1);
    }

    // Another program holds only the NumLock variant: the registration is
    // refused and leaves none of its other variants behind.
    void aCombinationHeldElsewhereIsTaken()
    {
        QCOMPARE(m_other->grab(kXControlAlt | XCB_MOD_MASK_2, XK_m), 0);

        QCOMPARE(m_hotkey->registerKey(kControlAlt, kVkM), GlobalHotkey::RegisterResult::Taken);
        QVERIFY(!m_hotkey->isRegistered());

        m_other->ungrabAll();
        QCOMPARE(m_other->grab(kXControlAlt, XK_m), 0);
        QCOMPARE(m_other->grab(kXControlAlt | XCB_MOD_MASK_LOCK, XK_m), 0);
    }

    // A new combination replaces the old one, and unregistering frees it:
    // other programs may then take them.
    void registeringAgainOrUnregisteringFreesTheCombination()
    {
        QCOMPARE(m_hotkey->registerKey(kControlAlt, kVkM),
                 GlobalHotkey::RegisterResult::Registered);
        QCOMPARE(m_other->grab(kXControlAlt, XK_m), kBadAccess);
        QCOMPARE(m_hotkey->registerKey(kControlAlt, 0x7B),
                 GlobalHotkey::RegisterResult::Registered);
        QCOMPARE(m_other->grab(kXControlAlt, XK_m), 0);
        QCOMPARE(m_other->grab(kXControlAlt, XK_F12), kBadAccess);

        m_hotkey->unregisterKey();
        QCOMPARE(m_other->grab(kXControlAlt, XK_F12), 0);
    }

    // The settings dialog's "None" stores key code 0.
    void aKeyCodeWithoutAKeyIsUnsupported()
    {
        QCOMPARE(m_hotkey->registerKey(kControlAlt, 0), GlobalHotkey::RegisterResult::Unsupported);
        QVERIFY(!m_hotkey->isRegistered());
    }
};

QTEST_MAIN(TestGlobalHotkey)
#include "test_global_hotkey.moc"
