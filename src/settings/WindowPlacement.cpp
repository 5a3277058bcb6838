#include "settings/WindowPlacement.h"

#include "base/Functions.h"
#include "settings/Settings.h"

#include <QWidget>

namespace cdk {

namespace {

// Room kept free below a window that would otherwise reach the bottom edge,
// so its lower border stays clear of a taskbar or panel.
constexpr int kBottomMargin = 66;

int centred(int screenStart, int screenLength, int windowLength)
{
    return screenStart + RoundHalfEven((screenLength - windowLength) / 2.0);
}

void centre(QWidget *window, const QRect &screen, const QSize &outer)
{
    window->move(centred(screen.left(), screen.width(), outer.width()),
                 centred(screen.top(), screen.height(), outer.height()));
}

} // namespace

void SaveWindowPos(clsSettings &settings, const QWidget *window, bool positionOnly,
                   const QString &name)
{
    // One write of the file for all of them: each write waits for the disk.
    const QPoint topLeft = window->pos();
    QList<std::pair<QString, QString>> values {
        {name + QStringLiteral("X"), QString::number(topLeft.x())},
        {name + QStringLiteral("Y"), QString::number(topLeft.y())}};
    if (!positionOnly) {
        const bool maximized = window->isMaximized();
        values.append({name + QStringLiteral("WasMaximized"),
                       maximized ? QStringLiteral("1") : QStringLiteral("0")});
        if (!maximized) {
            values.append({name + QStringLiteral("Width"), QString::number(window->width())});
            values.append({name + QStringLiteral("Height"), QString::number(window->height())});
        }
    }
    settings.Save(SettingsSection::WindowPos, values);
}

void LoadWindowPos(clsSettings &settings, QWidget *window, const QRect &screen,
                   const QString &name)
{
    const bool wasMaximized =
        settings.LoadBoolean(SettingsSection::WindowPos, name + QStringLiteral("WasMaximized"));
    const qint32 width = settings.LoadLong(SettingsSection::WindowPos, name + QStringLiteral("Width"));
    if (width > 0)
        window->resize(width, window->height());
    const qint32 height =
        settings.LoadLong(SettingsSection::WindowPos, name + QStringLiteral("Height"));
    if (height > 0)
        window->resize(window->width(), height);

    const QString xText = settings.Load(SettingsSection::WindowPos, name + QStringLiteral("X"));
    const QString yText = settings.Load(SettingsSection::WindowPos, name + QStringLiteral("Y"));
    // The frame decides whether the window fits; before the first show it
    // equals the client size.
    const QSize outer = window->frameGeometry().size();

    if (xText.isEmpty() || yText.isEmpty()) {
        centre(window, screen, outer);
    } else {
        // Offsets within the usable area; the horizontal limit is inclusive,
        // the vertical one strict.
        int left = 0;
        const double xValue = BasicVal(xText) - screen.left();
        const int maxLeft = screen.width() - outer.width();
        if (xValue >= 0) {
            const int x = RoundHalfEven(xValue);
            left = maxLeft < x ? maxLeft : x;
        }
        int top = 0;
        const double yValue = BasicVal(yText) - screen.top();
        const int y = RoundHalfEven(yValue);
        const int room = screen.height() - outer.height();
        if (room > y && y >= 0)
            top = y;
        else if (yValue >= 0)
            top = room - kBottomMargin;
        window->move(screen.left() + left, screen.top() + top);
    }

    // Maximised last, so the geometry above becomes the normal geometry the
    // window returns to; the state alone does not show a hidden window.
    if (wasMaximized)
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
}

} // namespace cdk
