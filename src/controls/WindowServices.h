#pragma once

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

} // namespace cdk
