#pragma once

// The tracker drives the desktop's tray icon through this seam.
#include "desktop/TrayIcon.h"
