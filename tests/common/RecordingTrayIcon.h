#pragma once

#include "desktop/TrayIcon.h"

#include <QString>

namespace cdk::test {

// Keeps what the tray icon was last told to show.
class RecordingTrayIcon final : public TrayIcon
{
public:
    void setToolTip(const QString &text) override { toolTip = text; }
    void setPicture(Picture p) override { picture = p; }

    void setContextMenu(QMenu *m) override { menu = m; }
    void show() override { shown = true; }
    void hide() override { shown = false; }
    bool isShown() const override { return shown; }
    bool isAvailable() const override { return available; }

    QString toolTip;
    Picture picture = Picture::Normal;
    QMenu *menu = nullptr;
    bool shown = false;
    bool available = true;
};

} // namespace cdk::test
