#include "desktop/GlobalHotkey.h"

namespace cdk {

std::unique_ptr<GlobalHotkey> createGlobalHotkey(QObject *parent)
{
    return std::make_unique<NullGlobalHotkey>(
        QStringLiteral("This system offers Chronodeck no global hotkeys."), parent);
}

} // namespace cdk
