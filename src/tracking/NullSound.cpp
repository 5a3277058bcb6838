#include "tracking/Sound.h"

namespace cdk {

std::unique_ptr<Sound> createDesktopSound()
{
    return std::make_unique<NullSound>();
}

} // namespace cdk
