#include "base/Log.h"

Q_LOGGING_CATEGORY(lcApp, "chronodeck.app")
Q_LOGGING_CATEGORY(lcStore, "chronodeck.store")
Q_LOGGING_CATEGORY(lcSettings, "chronodeck.settings")
Q_LOGGING_CATEGORY(lcTracking, "chronodeck.tracking")
Q_LOGGING_CATEGORY(lcView, "chronodeck.view")
