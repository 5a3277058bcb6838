#include "desktop/GlobalHotkey.h"

#include <QCoreApplication>

namespace cdk {

std::unique_ptr<GlobalHotkey> createGlobalHotkey(QObject *parent)
{
    return std::make_unique<NullGlobalHotkey>(
        QCoreApplication::translate("GlobalHotkey",
                                    "This system offers Chronodeck no global hotkeys."),
        parent);
}

} // namespace cdk
