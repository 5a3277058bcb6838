#include "desktop/Autostart.h"

namespace cdk {

std::unique_ptr<Autostart> createDesktopAutostart(const QString &, QObject *parent)
{
    return std::make_unique<NullAutostart>(parent);
}

} // namespace cdk
