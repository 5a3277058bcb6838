#pragma once

// Start at logon is a desktop seam; the settings apply "RunOnStartup" to it.
#include "desktop/Autostart.h"
