#include "reports/TaskExport.h"

#include "base/Functions.h"
#include "base/Log.h"
#include "core/PercentDone.h"
#include "reports/UndatedLists.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QIODevice>
#include <QSaveFile>

namespace cdk {

namespace {

// Bytes are gathered and handed to the device in pieces of this size: one
// write per task would cost more than the task itself.
constexpr qsizetype kChunk = 64 * 1024;

class ChunkedWriter
{
public:
    explicit ChunkedWriter(QIODevice &device)
        : m_device(device)
    {
        m_buffer.reserve(kChunk + 4096);
    }
    QByteArray &buffer() { return m_buffer; }
    void flushIfFull()
    {
        if (m_buffer.size() >= kChunk)
            flush();
    }
    void flush()
    {
        if (!m_buffer.isEmpty() && m_device.write(m_buffer) != m_buffer.size())
            m_failed = true;
        m_buffer.clear();
    }
    bool failed() const { return m_failed; }

private:
    QIODevice &m_device;
    QByteArray m_buffer;
    bool m_failed = false;
};

qint64 doneSeconds(const TaskRecord &task)
{
    return qint64(task.FinishedDuration) * 60 + task.FinishedSeconds;
}

// The words every row repeats are encoded once: names of categories, states
// and priorities.
class EncodedNames
{
public:
    EncodedNames(TaskStore &store, QByteArray (*encode)(const QString &))
    {
        for (const CategoryRecord &c : store.categories()) {
            if (!m_categories.contains(c.ID))
                m_categories.insert(c.ID, encode(c.Name));
        }
        for (int state = 0; state <= TaskState::Finished; ++state)
            m_states.append(encode(TaskStateName(state)));
        for (int priority = 0; priority <= 5; ++priority)
            m_priorities.append(encode(PriorityName(priority)));
    }
    // Nothing for a category that no longer exists.
    const QByteArray *category(qint32 id) const
    {
        const auto found = m_categories.constFind(id);
        return found == m_categories.cend() ? nullptr : &*found;
    }
    QByteArray state(int state) const
    {
        return state >= 0 && state < m_states.size() ? m_states[state] : QByteArray();
    }
    QByteArray priority(int priority) const
    {
        return priority >= 0 && priority < m_priorities.size() ? m_priorities[priority]
                                                               : QByteArray();
    }

private:
    QHash<qint32, QByteArray> m_categories;
    QByteArrayList m_states;
    QByteArrayList m_priorities;
};

// ---- CSV

// Spreadsheets run a cell that starts with one of these as a formula (a tab
// or a line break may hide one behind it), and a subject or a category's
// name can be anything: such a text cell gets an apostrophe in front, which
// makes a spreadsheet show the cell as text. The figures of the number
// columns never pass through here, so a negative one stays a number.
bool startsLikeFormula(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return false;
    switch (bytes.front()) {
    case '=':
    case '+':
    case '-':
    case '@':
    case '\t':
    case '\r':
        return true;
    default:
        return false;
    }
}

// A text cell.
QByteArray csvField(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    const bool formula = startsLikeFormula(bytes);
    if (!formula && !bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\n')
        && !bytes.contains('\r'))
        return bytes;
    if (formula)
        bytes.prepend('\'');
    return '"' + bytes.replace('"', "\"\"") + '"';
}

class CsvWriter
{
public:
    explicit CsvWriter(TaskStore &store)
        : m_names(store, csvField)
        , m_none(csvField(QStringLiteral("(none)")))
    {
    }
    void begin(QByteArray &out)
    {
        out += "Date,Subject,Category,Priority,State,Budget minutes,Done seconds\r\n";
    }
    void add(QByteArray &out, const QDate &day, const TaskRecord &task)
    {
        if (day != m_day) {
            m_day = day;
            m_dayText = day.toString(Qt::ISODate).toLatin1() + ',';
        }
        const QByteArray *category = m_names.category(task.Category);
        out += m_dayText;
        out += csvField(task.Subject);
        out += ',';
        out += category ? *category : m_none;
        out += ',';
        out += m_names.priority(task.Priority);
        out += ',';
        out += m_names.state(task.State);
        out += ',';
        out += QByteArray::number(task.Duration);
        out += ',';
        out += QByteArray::number(doneSeconds(task));
        out += "\r\n";
    }
    void end(QByteArray &) { }

private:
    EncodedNames m_names;
    QByteArray m_none;
    QDate m_day;
    QByteArray m_dayText;
};

// ---- iCalendar

// TEXT values: the characters with a meaning of their own are escaped, line
// breaks become \n and other control characters, which the format forbids,
// are dropped.
QByteArray icalText(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    QByteArray out;
    out.reserve(bytes.size() + 8);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        switch (c) {
        case '\\':
        case ';':
        case ',':
            out += '\\';
            out += c;
            break;
        case '\r':
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
                break;
            out += "\\n";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            if (quint8(c) >= 0x20 && c != 0x7f)
                out += c;
            else if (c == '\t')
                out += c;
        }
    }
    return out;
}

// A content line, folded after 75 octets without splitting a UTF-8 sequence.
void appendLine(QByteArray &out, QByteArrayView name, QByteArrayView value)
{
    constexpr qsizetype kLimit = 75;
    out += name;
    out += ':';
    qsizetype start = 0;
    qsizetype room = kLimit - name.size() - 1;
    while (value.size() - start > room) {
        qsizetype cut = start + qMax<qsizetype>(room, 0);
        // Continuation bytes are 10xxxxxx: back up to the start of the character.
        while (cut > start && (quint8(value[cut]) & 0xC0) == 0x80)
            --cut;
        out += value.sliced(start, cut - start);
        out += "\r\n ";
        start = cut;
        room = kLimit - 1; // the leading space counts
    }
    out += value.sliced(start);
    out += "\r\n";
}

// Highest first in the format (1), unknown 0; Chronodeck's Urgent (5) down to
// Very Low (0) spread over 1 to 9.
QByteArrayView icalPriority(int priority)
{
    static constexpr const char *kMap[] = {"9", "7", "5", "3", "2", "1"};
    return priority >= 0 && priority <= 5 ? kMap[priority] : "0";
}

QByteArrayView icalStatus(int state)
{
    switch (state) {
    case TaskState::Finished:
        return "COMPLETED";
    case TaskState::InProgress:
        return "IN-PROCESS";
    default:
        return "NEEDS-ACTION";
    }
}

int percentComplete(const TaskRecord &task)
{
    // The figure the grid shows in its Percent Done column.
    return qBound(0, GetPercentDone(task.Duration, task.FinishedDuration).chopped(1).toInt(), 100);
}

class ICalendarWriter
{
public:
    ICalendarWriter(TaskStore &store, const QDateTime &stamp)
        : m_names(store, icalText)
        , m_stamp(stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toLatin1())
    {
    }
    void begin(QByteArray &out)
    {
        out += "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n";
        const QByteArray product
            = "-//Chronodeck//Chronodeck " + programVersion().toUtf8() + "//EN";
        appendLine(out, "PRODID", product);
        out += "CALSCALE:GREGORIAN\r\n";
    }
    void add(QByteArray &out, const QDate &day, const TaskRecord &task)
    {
        // A number is one task per day; should a list ever hold it twice, the
        // second copy still gets an identity of its own.
        if (day != m_day) {
            m_day = day;
            m_dayText = day.toString(QStringLiteral("yyyyMMdd")).toLatin1();
            m_repeat = 0;
        } else {
            m_repeat = task.ID == m_lastId ? m_repeat + 1 : 0;
        }
        m_lastId = task.ID;
        QByteArray uid = m_dayText + '-' + QByteArray::number(task.ID);
        if (m_repeat > 0)
            uid += '-' + QByteArray::number(m_repeat + 1);
        uid += "@chronodeck";

        out += "BEGIN:VTODO\r\n";
        appendLine(out, "UID", uid);
        appendLine(out, "DTSTAMP", m_stamp);
        appendLine(out, "SUMMARY", icalText(task.Subject));
        appendLine(out, "DUE;VALUE=DATE", m_dayText);
        appendLine(out, "STATUS", icalStatus(task.State));
        appendLine(out, "PERCENT-COMPLETE", QByteArray::number(percentComplete(task)));
        appendLine(out, "PRIORITY", icalPriority(task.Priority));
        if (const QByteArray *category = m_names.category(task.Category))
            appendLine(out, "CATEGORIES", *category);
        const QByteArray state = m_names.state(task.State);
        if (!state.isEmpty())
            appendLine(out, "X-CHRONODECK-STATE", state);
        appendLine(out, "X-CHRONODECK-BUDGET-MINUTES", QByteArray::number(task.Duration));
        appendLine(out, "X-CHRONODECK-DONE-SECONDS", QByteArray::number(doneSeconds(task)));
        out += "END:VTODO\r\n";
    }
    void end(QByteArray &out) { out += "END:VCALENDAR\r\n"; }

private:
    EncodedNames m_names;
    QByteArray m_stamp;
    QDate m_day;
    QByteArray m_dayText;
    qint32 m_lastId = 0;
    int m_repeat = 0;
};

template<typename Writer>
qint64 writeAll(Writer &format, TaskStore &store, const ReportPeriod &period, QIODevice &device)
{
    ChunkedWriter writer(device);
    QByteArray &out = writer.buffer();
    qint64 count = 0;
    warnOfListsWithoutDay(store, lcReports);
    format.begin(out);
    store.forEachTaskOfDays(period.first, period.last, true,
                            [&](const QDate &day, const TaskRecord &task) {
                                format.add(out, day, task);
                                ++count;
                                writer.flushIfFull();
                            });
    format.end(out);
    writer.flush();
    if (writer.failed())
        qCWarning(lcReports) << "export: the device took fewer bytes than written:"
                             << device.errorString();
    return count;
}

} // namespace

std::optional<ExportFormat> exportFormatFromName(const QString &name)
{
    if (name.compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0)
        return ExportFormat::Csv;
    if (name.compare(QLatin1String("ics"), Qt::CaseInsensitive) == 0)
        return ExportFormat::ICalendar;
    return std::nullopt;
}

QString exportFileSuffix(ExportFormat format)
{
    return format == ExportFormat::Csv ? QStringLiteral("csv") : QStringLiteral("ics");
}

QString exportFileFilter(ExportFormat format)
{
    return format == ExportFormat::Csv
        ? QCoreApplication::translate("TaskExport", "CSV files (*.csv)")
        : QCoreApplication::translate("TaskExport", "iCalendar files (*.ics)");
}

qint64 writeTaskExport(TaskStore &store, const ReportPeriod &period, ExportFormat format,
                       QIODevice &device, const QDateTime &stamp)
{
    if (format == ExportFormat::Csv) {
        CsvWriter csv(store);
        return writeAll(csv, store, period, device);
    }
    ICalendarWriter ical(store, stamp);
    return writeAll(ical, store, period, device);
}

bool exportTasksToFile(TaskStore &store, const ReportPeriod &period, ExportFormat format,
                       const QString &path, const QDateTime &stamp, QString *error)
{
    auto fail = [error, &path](const QString &why) {
        if (error)
            *error = QCoreApplication::translate("TaskExport",
                                                 "The tasks could not be exported to \"%1\": %2")
                         .arg(QDir::toNativeSeparators(path), why);
        return false;
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    try {
        writeTaskExport(store, period, format, file, stamp);
    } catch (const StoreError &e) {
        file.cancelWriting();
        return fail(e.message());
    }
    if (!file.commit())
        return fail(file.errorString());
    qCInfo(lcReports) << "exported" << period.isoText() << "as" << exportFileSuffix(format);
    return true;
}

} // namespace cdk
