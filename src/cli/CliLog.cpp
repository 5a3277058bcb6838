#include "cli/CliLog.h"

Q_LOGGING_CATEGORY(lcCli, "chronodeck.cli", QtWarningMsg)
