#pragma once

#include "tracking/TrayIcon.h"

#include <QList>
#include <QString>

namespace cdk::test {

// Keeps what the tray icon was last told to show, and every picture change.
class RecordingTrayIcon final : public TrayIcon
{
public:
    void setToolTip(const QString &text) override { toolTip = text; }
    void setPicture(Picture p) override
    {
        picture = p;
        pictures.append(p);
    }

    QString toolTip;
    Picture picture = Picture::Normal;
    QList<Picture> pictures;
};

} // namespace cdk::test
