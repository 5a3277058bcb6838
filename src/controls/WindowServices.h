#pragma once

#include <QRect>
#include <QSize>
#include <QString>

class QWidget;

namespace cdk {

class Prompter;

// Small services of the desktop's window system, done with Qt's own means.

// Puts plain text on the clipboard; a clipboard that cannot take it is reported.
void CopyTextToClipboard(Prompter &prompter, const QString &text);
// Keeps a top-level window above all others (on), or lets it go (off).
void SetTopMost(QWidget *window, bool on);
// Shows a window without taking the keyboard from the window that has it.
void ShowFormNoActivate(QWidget *window);
// Flashes the window's taskbar button until the user brings it to the front.
void FlashWindowUntilForeground(QWidget *window);

// Makes assistive technology meet the program's own top-level windows that
// are plain widgets (Reports, the tutorial) as windows, the way it meets a
// main window or a dialog, instead of as an anonymous pane. Once per program.
void ExposePlainWindowsAsWindows();
// A window's first size: the size wanted, cut to nine tenths of the screen so
// that the frame and a panel keep room on a small or strongly scaled screen,
// but never below the window's minimum.
// Inline, so the Reports module uses it without linking this library.
inline QSize sizeWithinScreen(const QSize &wanted, const QRect &available,
                              const QSize &minimum = {})
{
    return wanted.boundedTo((available.size() * 9 / 10).expandedTo(minimum));
}

} // namespace cdk
