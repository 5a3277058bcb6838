// The program on a real X server with a window manager: its hotkey pressed as
// a user presses it, and its window dragged smaller than it may be.
#include "ProgramHarness.h"

#include "desktop/GlobalHotkey.h"

#include <QProcess>
#include <QStandardPaths>

using namespace cdk;
using namespace cdk::test;

namespace {

bool xdotool(const QStringList &arguments)
{
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    return tool.waitForFinished(5000) && tool.exitStatus() == QProcess::NormalExit
        && tool.exitCode() == 0;
}

} // namespace

class TestHotkeyX11 : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<GlobalHotkey> m_hotkey;
    std::unique_ptr<Program> m_program;

    MainWindow *start()
    {
        m_program = std::make_unique<Program>();
        m_program->make();
        m_program->context->hotkey = m_hotkey.get();
        if (m_program->app->Main() != Application::StartResult::Running)
            return nullptr;
        MainWindow *window = m_program->window();
        // A first start opens the tutorial beside the window; the user has
        // closed it by the time a hotkey matters.
        QCoreApplication::processEvents();
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (top->objectName() == QStringLiteral("frmTutorial"))
                top->close();
        }
        // Where the pointer rests over the window, the X server reports the
        // window's focus as following the pointer, which Qt ignores: a user
        // at the tray or pressing the hotkey rarely points there.
        window->move(200, 200);
        if (!xdotool({QStringLiteral("mousemove"), QStringLiteral("1270"), QStringLiteral("790")}))
            return nullptr;
        window->activateWindow();
        return QTest::qWaitForWindowActive(window) ? window : nullptr;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("xdotool is not installed");
    }
    void init() { m_hotkey = createGlobalHotkey(); }
    void cleanup()
    {
        m_program.reset();
        m_hotkey.reset();
    }

    // Control+Alt+M, the first run's hotkey: in front, the window goes to the
    // tray; pressed again, it comes back in front.
    void hotkeyTogglesTheWindow()
    {
        QVERIFY2(m_hotkey->isAvailable(), qPrintable(m_hotkey->unavailableReason()));
        MainWindow *window = start();
        QVERIFY(window);
        QVERIFY(m_hotkey->isRegistered());

        QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("ctrl+alt+m")}));
        QTRY_VERIFY(!window->isVisible());
        QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("ctrl+alt+m")}));
        QTRY_VERIFY(window->isVisible());
        // What comes back for the user is the keyboard's focus: the window
        // the server sends keys to. Qt's record of the active widget window
        // can lag behind it here, and the window manager's restore of a
        // minimised window may arrive a moment after the map.
        QTRY_COMPARE(QGuiApplication::focusWindow(), window->windowHandle());
        QTRY_VERIFY(!window->isMinimized());
    }

    void windowIsNoSmallerThan450By300()
    {
        MainWindow *window = start();
        QVERIFY(window);
        const QString id = QString::number(window->winId());
        QVERIFY(xdotool(
            {QStringLiteral("windowsize"), id, QStringLiteral("200"), QStringLiteral("100")}));
        QTest::qWait(300);
        QVERIFY2(window->width() >= 450 && window->height() >= 300,
                 qPrintable(QStringLiteral("%1 x %2").arg(window->width()).arg(window->height())));
        QVERIFY(xdotool(
            {QStringLiteral("windowsize"), id, QStringLiteral("500"), QStringLiteral("320")}));
        QTRY_COMPARE(window->size(), QSize(500, 320));
    }
};

QTEST_MAIN(TestHotkeyX11)
#include "test_hotkey_x11.moc"
