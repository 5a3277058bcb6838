#include "desktop/TrayIcon.h"

namespace cdk {

TrayIcon::TrayIcon(QObject *parent)
    : QObject(parent)
{
}

} // namespace cdk
