#include "desktop/DesktopLog.h"

// Warnings and worse by default, like the other categories of the program.
Q_LOGGING_CATEGORY(lcDesktop, "chronodeck.desktop", QtWarningMsg)
