#pragma once

#include <QString>

namespace cdk {

// The notification-area icon as the tracker drives it: a picture telling
// idle, counting or finished, and a tooltip naming the tracked task.
class TrayIcon
{
public:
    enum class Picture { Normal, Play, Done };

    virtual ~TrayIcon() = default;
    // Lines are separated by "\r\n"; a backend turns them into what its
    // platform shows as a line break.
    virtual void setToolTip(const QString &text) = 0;
    virtual void setPicture(Picture picture) = 0;
};

} // namespace cdk
