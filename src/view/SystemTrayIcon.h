#pragma once

#include "tracking/TrayIcon.h"

#include <QObject>

#include <functional>

class QSystemTrayIcon;

namespace cdk {

// The notification-area icon of the desktop (StatusNotifierItem on Linux
// desktops, the notification area on Windows, the menu bar on macOS).
class SystemTrayIcon final : public QObject, public TrayIcon
{
    Q_OBJECT
public:
    // Null when the desktop has no notification area right now.
    static std::unique_ptr<SystemTrayIcon> createIfAvailable();
    ~SystemTrayIcon() override;

    void setToolTip(const QString &text) override;
    void setPicture(Picture picture) override;
    void show();
    void hide();
    bool isShown() const;

    // A click with any button but the right one.
    std::function<void()> onActivated;

private:
    SystemTrayIcon();
    QSystemTrayIcon *m_icon = nullptr;
    Picture m_picture = Picture::Normal;
};

} // namespace cdk
