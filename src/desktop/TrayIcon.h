#pragma once

#include <QObject>
#include <QString>

class QMenu;

namespace cdk {

// The notification-area icon: a picture telling idle, counting or finished,
// a tooltip naming the tracked task, and the tray menu.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    enum class Picture { Normal, Play, Done };
    Q_ENUM(Picture)

    explicit TrayIcon(QObject *parent = nullptr);

    // Lines are separated by "\r\n"; a backend turns them into what its
    // platform shows as a line break.
    virtual void setToolTip(const QString &text) = 0;
    virtual void setPicture(Picture picture) = 0;
    // The menu of a right click; the caller keeps ownership.
    virtual void setContextMenu(QMenu *menu) = 0;
    // Asks for the icon to be shown; where the notification area is missing
    // it appears as soon as the area does.
    virtual void show() = 0;
    virtual void hide() = 0;
    // Whether the icon is in the notification area now.
    virtual bool isShown() const = 0;
    // Whether the desktop has a notification area to hide the window into.
    virtual bool isAvailable() const = 0;

Q_SIGNALS:
    // A click with the left button (any button but the menu's).
    void activated();
    void availableChanged(bool available);
};

} // namespace cdk
