#include "view/SystemTrayIcon.h"

#include "controls/Icons.h"

#include <QSystemTrayIcon>

namespace cdk {

std::unique_ptr<SystemTrayIcon> SystemTrayIcon::createIfAvailable()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return nullptr;
    return std::unique_ptr<SystemTrayIcon>(new SystemTrayIcon);
}

SystemTrayIcon::SystemTrayIcon()
    : m_icon(new QSystemTrayIcon(this))
{
    m_icon->setObjectName(QStringLiteral("Systray"));
    m_icon->setIcon(iconForKey(QStringLiteral("TRAYNORMAL")));
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
        if (why != QSystemTrayIcon::Context && onActivated)
            onActivated();
    });
}

SystemTrayIcon::~SystemTrayIcon() = default;

void SystemTrayIcon::setToolTip(const QString &text)
{
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_icon->setToolTip(lines);
}

void SystemTrayIcon::setPicture(Picture picture)
{
    if (picture == m_picture)
        return;
    m_picture = picture;
    switch (picture) {
    case Picture::Normal:
        m_icon->setIcon(iconForKey(QStringLiteral("TRAYNORMAL")));
        break;
    case Picture::Play:
        m_icon->setIcon(iconForKey(QStringLiteral("TRAYPLAY")));
        break;
    case Picture::Done:
        m_icon->setIcon(iconForKey(QStringLiteral("TRAYDONE")));
        break;
    }
}

void SystemTrayIcon::show()
{
    m_icon->show();
}

void SystemTrayIcon::hide()
{
    m_icon->hide();
}

bool SystemTrayIcon::isShown() const
{
    return m_icon->isVisible();
}

} // namespace cdk
