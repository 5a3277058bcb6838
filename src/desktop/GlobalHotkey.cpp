#include "desktop/GlobalHotkey.h"

namespace cdk {

GlobalHotkey::GlobalHotkey(QObject *parent)
    : QObject(parent)
{
}

NullGlobalHotkey::NullGlobalHotkey(QString reason, QObject *parent)
    : GlobalHotkey(parent)
    , m_reason(std::move(reason))
{
}

} // namespace cdk
