#pragma once

#include "cli/Commands.h"

namespace cdk::cli {

// `chronodeck review`: the day's unfinished tasks and its totals; with
// --move-to tomorrow every one of them moves to the next day in one change.
Reply runReview(const ParsedCommand &command, CommandTarget &target);

} // namespace cdk::cli
