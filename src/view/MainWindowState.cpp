// The main window's life on the desktop: shown, hidden in the tray, closed,
// moved, and the keys it takes before its controls.
#include "view/MainWindow.h"

#include "base/Functions.h"
#include "base/Log.h"
#include "controls/Contrast.h"
#include "controls/GradientPanel.h"
#include "controls/Icons.h"
#include "controls/ImageButton.h"
#include "controls/WindowServices.h"
#include "core/TimeTracker.h"
#include "desktop/TrayIcon.h"
#include "editing/AddTaskDialog.h"
#include "editing/CategoriesDialog.h"
#include "settings/GridColumns.h"
#include "settings/WindowPlacement.h"
#include "store/Vocabulary.h"
#include "tracking/TrackingController.h"
#include "view/AppContext.h"
#include "view/ClickableLabel.h"
#include "controls/DatePicker.h"
#include "view/TaskCommands.h"
#include "view/TaskGrid.h"
#include "view/TaskGridView.h"
#include "view/TrackingCommands.h"
#include "view/WindowCommands.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace cdk {

// ---- Window state --------------------------------------------------------

void MainWindow::mnuShow_Click()
{
    const bool wasMaximized = m_context.settings.LoadLong(SettingsSection::WindowPos,
                                                          QStringLiteral("frmMainWasMaximized"))
        == 1;
    RestoreAndActivate(false);
    if (wasMaximized)
        showMaximized();
}

void MainWindow::RestoreAndActivate(bool toggle)
{
    if (toggle && isVisible() && !isMinimized() && isActiveWindow()) {
        hideToTray();
        return;
    }
    m_waitingForTray = false;
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void MainWindow::hideToTray()
{
    if (m_context.tray && m_context.tray->isAvailable()) {
        // Hidden first: minimising a window on screen asks the window manager
        // to iconify it, and an answer arriving after the window was brought
        // back would minimise it again.
        hide();
        setWindowState(windowState() | Qt::WindowMinimized);
        return;
    }
    // Without a notification area a hidden window could not be found again:
    // it stays minimised on the taskbar instead.
    setWindowState(windowState() | Qt::WindowMinimized);
    m_waitingForTray = true;
    // Started minimised, the window was never shown: it appears on the
    // taskbar rather than nowhere.
    if (!isVisible())
        showMinimized();
}

void MainWindow::trayAvailableChanged(bool available)
{
    // A window sent to a tray that was not there yet (a start at logon before
    // the desktop's panel) goes there once the tray appears.
    if (available && m_waitingForTray && isMinimized())
        hide();
    m_waitingForTray = m_waitingForTray && !available;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_context.Exiting) {
        // The close box only hides the window; the program goes on in the tray.
        event->ignore();
        hideToTray();
        return;
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (isVisible() && !isMinimized() && !m_context.StartingUp && !m_context.Exiting)
        m_savePosition->start();
}

void MainWindow::saveWindowPosition()
{
    if (isVisible() && !isMinimized() && !m_context.StartingUp && !m_context.Exiting)
        SaveWindowPos(m_context.settings, this, false);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_gpInfos && event->type() == QEvent::Resize)
        fitSummary();
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == this && isActiveWindow()) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (event->type() == QEvent::ShortcutOverride) {
                // Claim the window's own keys before a child's shortcut (an
                // editor's undo or cut) does; the key press that follows runs
                // the command.
                const auto mods = key->modifiers() & ~Qt::KeypadModifier;
                if (mods == Qt::ControlModifier
                    && (key->key() == Qt::Key_Z || key->key() == Qt::Key_X)) {
                    event->accept();
                    return true;
                }
                return false;
            }
            if (handleWindowKey(key))
                return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::handleWindowKey(QKeyEvent *event)
{
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_F4 && mods == Qt::AltModifier) {
        m_windowCommands->mnuExit->trigger();
        return true;
    }
    if (event->key() == Qt::Key_Escape && mods == Qt::NoModifier) {
        // A popup open in the window (calendar, menu) takes its own Esc.
        if (QApplication::activePopupWidget())
            return false;
        m_windowCommands->mnuHideToSystemTray->trigger();
        return true;
    }
    if (mods == Qt::ControlModifier && event->key() == Qt::Key_Z) {
        m_windowCommands->actPreviousDay->trigger();
        return true;
    }
    if (mods == Qt::ControlModifier && event->key() == Qt::Key_X) {
        m_windowCommands->actNextDay->trigger();
        return true;
    }
    return false;
}

} // namespace cdk
