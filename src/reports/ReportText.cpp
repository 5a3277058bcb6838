#include "reports/ReportText.h"

#include "base/Functions.h"
#include "reports/Report.h"

#include <QCoreApplication>

#include <cmath>

namespace cdk::reporttext {

namespace {

// The tables' words: marked for the translator where they are written, and
// translated unless the English is asked for.
QString word(const char *english, Wording wording)
{
    return wording == Wording::English ? QString::fromLatin1(english)
                                       : QCoreApplication::translate("ReportText", english);
}

QString count(qint64 number, Wording wording)
{
    return wording == Wording::English ? QString::number(number) : QLocale().toString(number);
}

bool isPatternLetter(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

// What may stay of the separators after the last part kept: the dot of
// German "4.3." and the characters of "3月4日", but no comma or slash that
// led to a part left out.
QString closingSeparator(const QString &separator)
{
    qsizetype end = 0;
    while (end < separator.size()
           && (separator.at(end) == u'.'
               || (separator.at(end).unicode() > 0x7f && !separator.at(end).isSpace())))
        ++end;
    return separator.left(end);
}

} // namespace

QString dateFormat(const QLocale &locale, QLocale::FormatType type, int parts)
{
    const QString format = locale.dateFormat(type);
    QString shaped;
    QString separator; // the literal text since the last part kept
    bool anyKept = false;
    bool afterDropped = false; // the separator belongs to a part left out
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i);
        if (!isPatternLetter(c)) {
            qsizetype end = i + 1;
            if (c == u'\'') {
                // Quoted text, where '' stands for a quote.
                while (end < format.size()) {
                    if (format.at(end) == u'\'') {
                        if (end + 1 < format.size() && format.at(end + 1) == u'\'') {
                            end += 2;
                            continue;
                        }
                        ++end;
                        break;
                    }
                    ++end;
                }
            }
            if (!afterDropped)
                separator += format.mid(i, end - i);
            i = end;
            continue;
        }
        qsizetype end = i + 1;
        while (end < format.size() && format.at(end) == c)
            ++end;
        const qsizetype length = end - i;
        i = end;
        QString field;
        if (c == u'd' && length >= 3 && (parts & Weekday))
            field = QStringLiteral("ddd");
        else if (c == u'd' && length < 3 && (parts & Day))
            field = QStringLiteral("d");
        else if (c == u'M' && (parts & Month))
            field = length >= 3 ? QStringLiteral("MMM") : QStringLiteral("M");
        else if (c == u'y' && (parts & ShortYear))
            field = QStringLiteral("yy");
        else if (c == u'y' && (parts & Year))
            field = QStringLiteral("yyyy");
        if (field.isEmpty()) {
            // Left out with what separates it from the next part; before
            // any part kept, what led to it goes too.
            if (!anyKept)
                separator.clear();
            afterDropped = anyKept;
            continue;
        }
        if (anyKept)
            shaped += separator;
        shaped += field;
        separator.clear();
        anyKept = true;
        afterDropped = false;
    }
    if (shaped.isEmpty())
        return format; // a locale whose format has none of the parts
    return shaped + closingSeparator(separator);
}

QString minutes(qint64 minutes)
{
    return FormatMinutes(qint32(qBound(qint64(INT_MIN), minutes, qint64(INT_MAX))), false);
}

QString share(std::optional<double> share, Wording wording)
{
    if (!share || !std::isfinite(*share))
        return QStringLiteral("\u2013");
    const qint64 percent = qint64(std::round(*share * 100.0));
    if (wording == Wording::English)
        return QString::number(percent) + QLatin1Char('%');
    return QCoreApplication::translate("ReportText", "%1%", "a share in percent")
        .arg(QLocale().toString(percent));
}

QString spread(std::optional<double> low, std::optional<double> high, Wording wording)
{
    if (!low || !high)
        return QStringLiteral("\u2013");
    return share(low, wording) + QStringLiteral("\u2013") + share(high, wording);
}

QString dayLabel(const QDate &first, const QDate &last, const QLocale &locale)
{
    if (first == last)
        return locale.dayName(first.dayOfWeek(), QLocale::ShortFormat) + QLatin1Char(' ')
            + first.toString(Qt::ISODate);
    return first.toString(Qt::ISODate) + QStringLiteral(" \u2013 ") + last.toString(Qt::ISODate);
}

QString categoryName(const ReportCategory &category, Wording wording)
{
    // The report itself keeps the English name, which the command line shows.
    return category.exists ? category.name
                           : word(QT_TRANSLATE_NOOP("ReportText", "(none)"), wording);
}

QStringList dayColumns(Wording wording)
{
    return {word(QT_TRANSLATE_NOOP("ReportText", "Day"), wording),
            word(QT_TRANSLATE_NOOP("ReportText", "Planned"), wording),
            word(QT_TRANSLATE_NOOP("ReportText", "Done"), wording),
            word(QT_TRANSLATE_NOOP("ReportText", "Finished"), wording),
            word(QT_TRANSLATE_NOOP("ReportText", "Left"), wording)};
}

QList<QStringList> dayRows(const Report &report, const QLocale &locale, Wording wording)
{
    QList<QStringList> rows;
    auto row = [wording](const QString &label, const DayFigures &d) {
        return QStringList {label, minutes(d.planned), minutes(d.done), count(d.finished, wording),
                            count(d.left, wording)};
    };
    for (const DayFigures &day : report.days)
        rows.append(row(dayLabel(day.first, day.last, locale), day));
    rows.append(row(word(QT_TRANSLATE_NOOP("ReportText", "Total"), wording), report.total));
    return rows;
}

QStringList categoryColumns(Wording wording)
{
    return {word(QT_TRANSLATE_NOOP("ReportText", "Category"), wording),
            word(QT_TRANSLATE_NOOP("ReportText", "Planned"), wording),
            word(QT_TRANSLATE_NOOP("ReportText", "Done"), wording),
            word(QT_TRANSLATE_NOOP("ReportText", "Done of plan"), wording),
            word(QT_TRANSLATE_NOOP("ReportText", "Finished"), wording),
            word(QT_TRANSLATE_NOOP("ReportText", "Left"), wording),
            word(QT_TRANSLATE_NOOP("ReportText", "Whole budget"), wording),
            word(QT_TRANSLATE_NOOP("ReportText", "Median use"), wording),
            word(QT_TRANSLATE_NOOP("ReportText", "Middle half"), wording),
            word(QT_TRANSLATE_NOOP("ReportText", "No budget"), wording)};
}

QList<QStringList> categoryRows(const Report &report, Wording wording)
{
    QList<QStringList> rows;
    for (qsizetype c = 0; c < report.categories.size(); ++c) {
        const CategoryFigures &f = report.byCategory[c];
        rows.append({categoryName(report.categories[c], wording), minutes(f.planned),
                     minutes(f.done), share(f.doneShare(), wording), count(f.finished, wording),
                     count(f.left, wording), count(f.usedWholeBudget, wording),
                     share(f.medianShare, wording),
                     spread(f.lowerQuartileShare, f.upperQuartileShare, wording),
                     count(f.withoutBudget, wording)});
    }
    return rows;
}

} // namespace cdk::reporttext

namespace cdk {

namespace {

// Text columns to the left, figures to the right, two spaces between.
QString alignedTable(const QStringList &columns, const QList<QStringList> &rows)
{
    QList<qsizetype> widths;
    for (const QString &c : columns)
        widths.append(c.size());
    for (const QStringList &row : rows) {
        for (qsizetype i = 0; i < row.size() && i < widths.size(); ++i)
            widths[i] = qMax(widths[i], row[i].size());
    }
    auto line = [&widths](const QStringList &cells) -> QString {
        QString text;
        for (qsizetype i = 0; i < cells.size(); ++i) {
            if (i > 0)
                text += QStringLiteral("  ");
            text += i == 0 ? cells[i].leftJustified(widths[i]) : cells[i].rightJustified(widths[i]);
        }
        while (text.endsWith(QLatin1Char(' ')))
            text.chop(1);
        return text + QLatin1Char('\n');
    };
    QString text = line(columns);
    for (const QStringList &row : rows)
        text += line(row);
    return text;
}

} // namespace

QString formatReportText(const Report &report, const QLocale &locale)
{
    // The command line speaks English, also when the window carries out its
    // commands in a translated program.
    using reporttext::Wording;
    QString text = QStringLiteral("Report ") + report.period.isoText() + QStringLiteral("\n\n");
    text += alignedTable(reporttext::dayColumns(Wording::English),
                         reporttext::dayRows(report, locale, Wording::English));
    text += QLatin1Char('\n');
    if (report.categories.isEmpty())
        return text + QStringLiteral("No tasks in this period.\n");
    QList<QStringList> categories = reporttext::categoryRows(report, Wording::English);
    // A category's name is anybody's text, and this goes to a terminal.
    for (QStringList &row : categories)
        row[0] = TerminalText(ShownText(row[0]));
    text += alignedTable(reporttext::categoryColumns(Wording::English), categories);
    text += QStringLiteral("\nWhole budget: finished with all of the budget done (may have run "
                           "over). Median use and middle half: the share of the budget used by "
                           "the other finished tasks.\n");
    return text;
}

} // namespace cdk
