#pragma once

#include "desktop/Autostart.h"

#include <QString>

namespace cdk {

// Start at logon through the freedesktop.org autostart folders: a desktop
// entry in the user's folder, or in the machine's folder for every user.
class XdgAutostart final : public Autostart
{
    Q_OBJECT
public:
    struct Places
    {
        QString program; // absolute path of the executable to start
        QString userFolder; // the user's autostart folder
        QString systemFolder; // the machine's autostart folder
    };

    // The running program, $XDG_CONFIG_HOME/autostart (~/.config/autostart
    // when unset) and /etc/xdg/autostart.
    static Places placesOfThisProgram();
    // The file name of the entry in either folder.
    static QString entryFileName();
    // The text of the entry that starts program minimised.
    static QByteArray entryText(const QString &program);

    explicit XdgAutostart(Places places, QObject *parent = nullptr);

    void setRunOnStartup(bool allUsers) override;
    void removeRunOnStartup() override;
    bool isEnabled() const override;
    bool isAvailable() const override { return true; }

private:
    QString userEntry() const;
    QString systemEntry() const;

    Places m_places;
};

} // namespace cdk
