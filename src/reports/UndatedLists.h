#pragma once

#include <QMessageLogger>

namespace cdk {

class TaskStore;

// A row whose list is neither a day (DDMMYYYY), "recurrent" nor "VER" comes
// from a hand-edited or damaged file, and whatever reads lists day by day
// (reports, exports, the command line's day lists) never meets it. So that
// such rows are not left out without a word, the first reader in a process
// that finds any names their lists in the log of its own category; the
// readers after it stay quiet.
void warnOfListsWithoutDay(TaskStore &store, QMessageLogger::CategoryFunction category);

} // namespace cdk
