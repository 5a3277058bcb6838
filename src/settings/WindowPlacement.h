#pragma once

#include <QMargins>
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

// The frame (title bar and borders included) a window is given from the
// stored X and Y texts and its client size. The stored rules place it: empty
// X or Y centres it, a window sticking out to the left or right is pulled
// back, one reaching the bottom goes 66 pixels above it. Then the frame is
// kept within the usable area whatever was stored: a size remembered on a
// larger screen or at a smaller scale is cut to the area (never below the
// minimum), and the title bar never leaves the top of the area, where it
// could no longer be grabbed.
QRect PlaceWindowFrame(const QRect &available, const QMargins &frame, const QSize &client,
                       const QSize &minimumClient, const QString &xText, const QString &yText);

// A frame moved into the usable area, and cut to it where it is larger
// (never below the minimum client size). When even the minimum does not fit,
// the top-left corner is kept in the area: the title bar and the window's
// menu stay within reach. Inline, so the Reports module uses it without
// linking this library.
inline QRect FrameWithin(const QRect &wanted, const QMargins &frame, const QRect &available,
                         const QSize &minimumClient = {})
{
    const QSize room(available.width() - frame.left() - frame.right(),
                     available.height() - frame.top() - frame.bottom());
    const QSize client = QSize(wanted.width() - frame.left() - frame.right(),
                               wanted.height() - frame.top() - frame.bottom())
                             .boundedTo(room)
                             .expandedTo(minimumClient);
    const QSize outer = client.grownBy(frame);
    const int left
        = qMax(available.left(),
               qMin(wanted.left(), available.left() + available.width() - outer.width()));
    const int top = qMax(available.top(),
                         qMin(wanted.top(), available.top() + available.height() - outer.height()));
    return QRect(QPoint(left, top), outer);
}

// Restores what SaveWindowPos wrote, placed by PlaceWindowFrame on screen
// (normally the available geometry of the window's screen) with the frame
// margins expected before the window manager has framed the window. A window
// that was maximised gets the stored geometry as its normal geometry and is
// put in the maximised state without being shown. The real frame is known
// only once the window is on screen: at that moment the window is moved, and
// cut where needed, once more to keep that frame within the usable area.
void LoadWindowPos(clsSettings &settings, QWidget *window, const QRect &screen,
                   const QMargins &expectedFrame = {},
                   const QString &name = QStringLiteral("frmMain"));

// Once the window manager has framed the window (at its first show or at
// once when it already has its frame), moves the window, and cuts it where
// needed, so that the frame lies within its screen's usable area. Windows
// the user moves later are left where the user puts them.
void KeepFrameOnScreenWhenShown(QWidget *window);

} // namespace cdk
