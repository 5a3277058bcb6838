// A template's rule is the text in front of its subject, typed by the user or
// read from any database. No rule text may fault, and each rule matches the
// days it names and no others.
//
// Input: the subject, then (after a NUL byte) two bytes choosing a date, then
// the day, month and year texts of the last injection, NUL-separated.

#include "core/Recurrence.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

#include <cstdint>
#include <cstdlib>

namespace {

int matchesIn(const QString &code, const QDate &first, int days)
{
    int matches = 0;
    for (int i = 0; i < days; ++i)
        matches += cdk::RecurrenceMatchesDate(code, first.addDays(i)) ? 1 : 0;
    return matches;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    QList<QByteArray> parts = input.split('\0');
    while (parts.size() < 5)
        parts.append(QByteArray());
    const QString subject = QString::fromUtf8(parts.at(0));
    const QString code = cdk::GetRecurrenceCode(subject);
    const QString rest = cdk::GetRecurrentSubject(subject);
    if (code.isEmpty() ? rest != subject : code + rest != subject || !code.endsWith(u']'))
        std::abort();
    cdk::RecurrenceName(subject);

    const QByteArray pick = parts.at(1).leftJustified(2, '\0', true);
    const QDate first = QDate(2000, 1, 1).addDays(quint8(pick.at(0)) * 256 + quint8(pick.at(1)));
    const QDate monday = first.addDays(1 - first.dayOfWeek());
    const QDate monthStart(first.year(), first.month(), 1);
    const char16_t rule = code.isEmpty() ? u'\0' : code.at(0).unicode();
    const int week = matchesIn(code, monday, 7);
    const int month = matchesIn(code, monthStart, monthStart.daysInMonth());
    if ((rule == u'1' && week != 5) || (rule == u'2' && week != 2) || (rule == u'4' && month > 1)
        || (rule != u'1' && rule != u'2' && rule != u'3' && rule != u'4' && week != 7))
        std::abort();

    // Any texts at all in the settings: the sanitizers watch the arithmetic.
    cdk::LastInjectionDate(QString::fromUtf8(parts.at(2)), QString::fromUtf8(parts.at(3)),
                           QString::fromUtf8(parts.at(4)));
    return 0;
}
