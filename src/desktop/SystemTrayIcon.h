#pragma once

#include "desktop/TrayIcon.h"

#include <QPointer>

class QMenu;
class QSystemTrayIcon;

namespace cdk {

// The desktop's notification area through QSystemTrayIcon (StatusNotifierItem
// on Linux desktops, the notification area on Windows, the menu bar on
// macOS). Started at logon, the program often runs before the desktop's tray:
// the icon is then made when the tray announces itself on D-Bus.
class SystemTrayIcon final : public TrayIcon
{
    Q_OBJECT
public:
    explicit SystemTrayIcon(QObject *parent = nullptr);
    ~SystemTrayIcon() override;

    void setToolTip(const QString &text) override;
    void setPicture(Picture picture) override;
    void setContextMenu(QMenu *menu) override;
    void show() override;
    void hide() override;
    bool isShown() const override;
    bool isAvailable() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void lookForTray();
    void createIcon();
    void trayHostAppeared();
    void watchForTrayHost();

    QSystemTrayIcon *m_icon = nullptr;
    bool m_lookedForTray = false;
    bool m_available = false;
    bool m_wanted = false;
    Picture m_picture = Picture::Normal;
    QString m_toolTip;
    QPointer<QMenu> m_menu;
};

} // namespace cdk
