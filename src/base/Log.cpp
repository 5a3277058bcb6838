#include "base/Log.h"

// Warnings and worse by default; QT_LOGGING_RULES="chronodeck.*.info=true"
// shows what the program does.

Q_LOGGING_CATEGORY(lcApp, "chronodeck.app", QtWarningMsg)
Q_LOGGING_CATEGORY(lcStore, "chronodeck.store", QtWarningMsg)
Q_LOGGING_CATEGORY(lcSettings, "chronodeck.settings", QtWarningMsg)
Q_LOGGING_CATEGORY(lcTracking, "chronodeck.tracking", QtWarningMsg)
Q_LOGGING_CATEGORY(lcView, "chronodeck.view", QtWarningMsg)
Q_LOGGING_CATEGORY(lcReports, "chronodeck.reports", QtWarningMsg)
