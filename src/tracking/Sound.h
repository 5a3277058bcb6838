#pragma once

#include "base/Sound.h"

#include <memory>

namespace cdk {

// The desktop's sound service where this build has one, else a NullSound.
std::unique_ptr<Sound> createDesktopSound();

} // namespace cdk
