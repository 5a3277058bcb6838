#pragma once

#include <QString>

class QCoreApplication;

namespace cdk {

// Loads the program's translation for the first of the user's languages that
// has one, and Qt's own texts (standard buttons, file dialogs) in the same
// language. English is the language of the source texts: a user who puts it
// before others gets it, whatever follows. Returns the language loaded
// ("de"), or an empty string for English.
//
// The files are looked for in `folder`, relative to the program's own folder
// unless absolute; an empty `folder` means where `make install` puts them.
QString installTranslations(QCoreApplication &app, const QString &folder = {});

// A text that depends on a count, such as "3 tasks left".
//
// `pluralSource` is the English text with %n for the count, marked for the
// translator with QT_TRANSLATE_N_NOOP so that each language gives its own
// plural forms. English keeps its own two texts: `englishOne` (which may use
// %n too) when the count is one, the plural source otherwise.
//
//   countedText("DaySummary",
//               QT_TRANSLATE_N_NOOP("DaySummary", "%n tasks left"), "1 task left", n)
QString countedText(const char *context, const char *pluralSource, const char *englishOne, int n);

} // namespace cdk
