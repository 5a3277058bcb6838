#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <memory>

namespace cdk {

// Messages in the desktop's own notification area, with buttons where the
// desktop offers them. One notification per key: showing a key again
// replaces what it showed before.
class DesktopNotifications : public QObject
{
    Q_OBJECT

public:
    struct Action
    {
        QString key; // "default" is a click on the notification itself
        QString label;
    };

    using QObject::QObject;
    // False when the desktop has no notification server: nothing is shown,
    // and the caller tells the user its own way. Never waits on the server.
    virtual bool show(const QString &key, const QString &summary, const QString &body,
                      const QList<Action> &actions)
        = 0;
    // Takes the key's notification away, if it is still shown.
    virtual void withdraw(const QString &key) = 0;

Q_SIGNALS:
    void actionInvoked(const QString &key, const QString &action);
    // The server turned down a notification that show() accepted.
    void failed(const QString &key);
};

// Where there is no notification server to talk to.
class NullNotifications final : public DesktopNotifications
{
public:
    using DesktopNotifications::DesktopNotifications;
    bool show(const QString &, const QString &, const QString &, const QList<Action> &) override
    {
        return false;
    }
    void withdraw(const QString &) override {}
};

// The desktop's notification server (org.freedesktop.Notifications on the
// session bus) where the program was built with D-Bus, else the null one.
// Makes no connection before the first notification.
std::unique_ptr<DesktopNotifications> createDesktopNotifications();

} // namespace cdk
