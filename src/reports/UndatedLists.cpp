#include "reports/UndatedLists.h"

#include "base/Functions.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"

#include <QLoggingCategory>
#include <QStringList>

#include <algorithm>
#include <atomic>

namespace cdk {

namespace {

// Lists named in the message; the count covers them all.
constexpr qsizetype kNamedLists = 5;

std::atomic<bool> g_warned {false};

// DateFromListKey(key).isValid(), without building the key of the date
// again for the thousands of ordinary keys: eight digits with a year of
// four are the key of their date exactly when the date exists.
bool namesADay(const QString &key)
{
    const auto digit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    if (key.size() != 8 || !std::all_of(key.cbegin(), key.cend(), digit))
        return DateFromListKey(key).isValid();
    const auto number = [&key](qsizetype from, qsizetype count) {
        int value = 0;
        for (qsizetype i = from; i < from + count; ++i)
            value = value * 10 + (key.at(i).unicode() - u'0');
        return value;
    };
    const int year = number(4, 4);
    return year >= 1000 && QDate::isValid(year, number(2, 2), number(0, 2));
}

} // namespace

void warnOfListsWithoutDay(TaskStore &store, QMessageLogger::CategoryFunction category)
{
    // Nobody would read the warning (a command line keeps its stderr for
    // its own messages unless asked): no walk at all.
    if (!category().isWarningEnabled() || g_warned.load(std::memory_order_relaxed))
        return;
    // One walk over the index of lists: a few milliseconds for twenty years
    // of days.
    sql::Statement query = store.database().prepare(
        QStringLiteral("SELECT List, COUNT(*) FROM Chronodeck GROUP BY List"));
    QStringList named;
    qsizetype lists = 0;
    qint64 rows = 0;
    while (query.step()) {
        const QString list = query.text(0);
        if (namesADay(list) || list == recurrentListKey() || list == QLatin1String("VER"))
            continue;
        // A key is text from anywhere: shown short and with its controls escaped.
        if (++lists <= kNamedLists)
            named << QLatin1Char('"') + TerminalText(ShownText(list, 40)) + QLatin1Char('"');
        rows += query.int64(1);
    }
    if (rows == 0 || g_warned.exchange(true))
        return;
    qCWarning(category).noquote()
        << rows << (rows == 1 ? "task is" : "tasks are")
        << "in lists that name no day, so day lists, reports and exports leave them out:"
        << named.join(QStringLiteral(", "))
            + (lists > kNamedLists ? QStringLiteral(", ...") : QString());
}

} // namespace cdk
