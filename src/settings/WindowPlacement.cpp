#include "settings/WindowPlacement.h"

#include "base/Functions.h"
#include "base/Log.h"
#include "settings/Settings.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace cdk {

namespace {

// Room kept free below a window that would otherwise reach the bottom edge,
// so its lower border stays clear of a taskbar or panel.
constexpr int kBottomMargin = 66;

int centred(int screenLength, int windowLength)
{
    return RoundHalfEven((screenLength - windowLength) / 2.0);
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

QRect PlaceWindowFrame(const QRect &available, const QMargins &frame, const QSize &client,
                       const QSize &minimumClient, const QString &xText, const QString &yText)
{
    const QSize room(available.width() - frame.left() - frame.right(),
                     available.height() - frame.top() - frame.bottom());
    const QSize outer = client.boundedTo(room).expandedTo(minimumClient).grownBy(frame);

    QPoint offset;
    if (xText.isEmpty() || yText.isEmpty()) {
        offset = {centred(available.width(), outer.width()),
                  centred(available.height(), outer.height())};
    } else {
        // Offsets within the usable area; the horizontal limit is inclusive,
        // the vertical one strict.
        const double xValue = BasicVal(xText) - available.left();
        const int maxLeft = available.width() - outer.width();
        if (xValue >= 0) {
            const int x = RoundHalfEven(xValue);
            offset.setX(maxLeft < x ? maxLeft : x);
        }
        const double yValue = BasicVal(yText) - available.top();
        const int y = RoundHalfEven(yValue);
        const int vertical = available.height() - outer.height();
        if (vertical > y && y >= 0)
            offset.setY(y);
        else if (yValue >= 0)
            offset.setY(vertical - kBottomMargin);
    }
    // The rules above were made for windows smaller than the screen: a
    // taller one would get its title bar pushed above the top edge.
    return FrameWithin(QRect(available.topLeft() + offset, outer), frame, available, minimumClient);
}

void LoadWindowPos(clsSettings &settings, QWidget *window, const QRect &screen,
                   const QMargins &expectedFrame, const QString &name)
{
    const bool wasMaximized
        = settings.LoadBoolean(SettingsSection::WindowPos, name + QStringLiteral("WasMaximized"));
    QSize client = window->size();
    const qint32 width
        = settings.LoadLong(SettingsSection::WindowPos, name + QStringLiteral("Width"));
    if (width > 0)
        client.setWidth(width);
    const qint32 height
        = settings.LoadLong(SettingsSection::WindowPos, name + QStringLiteral("Height"));
    if (height > 0)
        client.setHeight(height);

    const QRect frame
        = PlaceWindowFrame(screen, expectedFrame, client, window->minimumSize(),
                           settings.Load(SettingsSection::WindowPos, name + QStringLiteral("X")),
                           settings.Load(SettingsSection::WindowPos, name + QStringLiteral("Y")));
    window->resize(frame.size().shrunkBy(expectedFrame));
    window->move(frame.topLeft());
    KeepFrameOnScreenWhenShown(window);

    // Maximised last, so the geometry above becomes the normal geometry the
    // window returns to; the state alone does not show a hidden window.
    if (wasMaximized)
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
}

namespace {

// Waits on the window's moves and resizes for the first one made with the
// window manager's frame around it.
class FrameKeeper final : public QObject
{
public:
    explicit FrameKeeper(QWidget *window)
        : QObject(window)
        , m_window(window)
    {
        setObjectName(QStringLiteral("frameKeeper"));
        window->installEventFilter(this);
    }

    // True once the frame was checked (or the window manager took over the
    // geometry): nothing is left to do.
    bool check()
    {
        if (!m_window->isVisible())
            return false;
        if (m_window->windowState()
            & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized))
            return true;
        const QWindow *handle = m_window->windowHandle();
        const QScreen *screen = m_window->screen();
        // Without margins yet the window manager has not framed the window.
        if (!handle || !screen || handle->frameMargins().isNull())
            return false;
        const QMargins margins = handle->frameMargins();
        const QRect now = m_window->frameGeometry();
        const QRect fitted
            = FrameWithin(now, margins, screen->availableGeometry(), m_window->minimumSize());
        if (fitted != now) {
            qCInfo(lcSettings) << "window" << m_window->objectName() << "moved from" << now << "to"
                               << fitted << "to keep its frame on screen";
            if (fitted.size() != now.size())
                m_window->resize(fitted.size().shrunkBy(margins));
            m_window->move(fitted.topLeft());
        }
        return true;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && !m_done
            && (event->type() == QEvent::Move || event->type() == QEvent::Resize
                || event->type() == QEvent::Show)
            && check()) {
            m_done = true;
            deleteLater();
        }
        return false;
    }

private:
    QWidget *m_window;
    bool m_done = false;
};

} // namespace

void KeepFrameOnScreenWhenShown(QWidget *window)
{
    // One watcher per window: a later call replaces the earlier one.
    delete window->findChild<QObject *>(QStringLiteral("frameKeeper"), Qt::FindDirectChildrenOnly);
    auto *keeper = new FrameKeeper(window);
    if (keeper->check())
        delete keeper;
}

} // namespace cdk
