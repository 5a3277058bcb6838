#pragma once

#include <QRect>
#include <QString>

class QWidget;

namespace cdk {

class clsSettings;

// Keeps a top-level window's place in the "WindowPos" section under keys
// prefixed with the window's name: X and Y (top-left of the frame), Width and
// Height (client size), WasMaximized. All values are pixels.

// Writes X and Y; unless positionOnly also WasMaximized, and for a window
// that is not maximised its Width and Height (a maximised window keeps its
// last normal size in the file).
void SaveWindowPos(clsSettings &settings, const QWidget *window, bool positionOnly,
                   const QString &name = QStringLiteral("frmMain"));

// Restores what SaveWindowPos wrote, keeping the window on a screen whose
// usable area is screen (normally the available geometry of the window's
// screen): a window without a stored position is centred, one that would
// stick out to the left, right or bottom is pulled back. A window that was
// maximised gets the stored geometry as its normal geometry and is put in
// the maximised state without being shown.
void LoadWindowPos(clsSettings &settings, QWidget *window, const QRect &screen,
                   const QString &name = QStringLiteral("frmMain"));

} // namespace cdk
