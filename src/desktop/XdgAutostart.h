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
        // The data folder the user chose; empty for the default. Only the
        // user's own entry names it: other users have data of their own.
        QString dataFolder;
    };

    // The running program, $XDG_CONFIG_HOME/autostart (~/.config/autostart
    // when unset) and /etc/xdg/autostart.
    static Places placesOfThisProgram(const QString &dataFolder = {});
    // The file name of the entry in either folder.
    static QString entryFileName();
    // The text of the entry that starts program minimised, on the data
    // folder when one is given.
    static QByteArray entryText(const QString &program, const QString &dataFolder = {});

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
