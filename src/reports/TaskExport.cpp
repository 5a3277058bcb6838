#include "reports/TaskExport.h"

#include "base/Functions.h"
#include "base/Log.h"
#include "core/PercentDone.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"

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

QHash<qint32, QString> categoryNames(TaskStore &store)
{
    QHash<qint32, QString> names;
    for (const CategoryRecord &c : store.categories()) {
        if (!names.contains(c.ID))
            names.insert(c.ID, c.Name);
    }
    return names;
}

qint64 doneSeconds(const TaskRecord &task)
{
    return qint64(task.FinishedDuration) * 60 + task.FinishedSeconds;
}

// ---- CSV

void appendCsvField(QByteArray &out, const QString &text)
{
    const bool quote = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"'))
                       || text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
    if (!quote) {
        out += text.toUtf8();
        return;
    }
    out += '"';
    out += text.toUtf8().replace('"', "\"\"");
    out += '"';
}

void writeCsvHeader(QByteArray &out)
{
    out += "Date,Subject,Category,Priority,State,Budget minutes,Done seconds\r\n";
}

void appendCsvRow(QByteArray &out, const QDate &day, const TaskRecord &task,
                  const QString &category)
{
    out += day.toString(Qt::ISODate).toLatin1();
    out += ',';
    appendCsvField(out, task.Subject);
    out += ',';
    appendCsvField(out, category);
    out += ',';
    appendCsvField(out, PriorityName(task.Priority));
    out += ',';
    appendCsvField(out, TaskStateName(task.State));
    out += ',';
    out += QByteArray::number(task.Duration);
    out += ',';
    out += QByteArray::number(doneSeconds(task));
    out += "\r\n";
}

// ---- iCalendar

// TEXT values: the characters with a meaning of their own are escaped, line
// breaks become \n and other control characters, which the format forbids,
// are dropped.
QString icalText(const QString &text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case '\\':
        case ';':
        case ',':
            out += QLatin1Char('\\');
            out += c;
            break;
        case '\r':
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                break;
            out += QStringLiteral("\\n");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        default:
            if (c.unicode() >= 0x20 && c.unicode() != 0x7f)
                out += c;
            else if (c == QLatin1Char('\t'))
                out += c;
        }
    }
    return out;
}

// A content line, folded after 75 octets without splitting a UTF-8 sequence.
void appendLine(QByteArray &out, const QByteArray &line)
{
    constexpr qsizetype kLimit = 75;
    qsizetype start = 0;
    qsizetype room = kLimit;
    while (line.size() - start > room) {
        qsizetype cut = start + room;
        // Continuation bytes are 10xxxxxx: back up to the start of the character.
        while (cut > start && (quint8(line[cut]) & 0xC0) == 0x80)
            --cut;
        out += QByteArrayView(line).sliced(start, cut - start);
        out += "\r\n ";
        start = cut;
        room = kLimit - 1; // the leading space counts
    }
    out += QByteArrayView(line).sliced(start);
    out += "\r\n";
}

void appendLine(QByteArray &out, const char *name, const QString &value)
{
    appendLine(out, QByteArray(name) + ':' + value.toUtf8());
}

// Highest first in the format (1), unknown 0; Chronodeck's Urgent (5) down to
// Very Low (0) spread over 1 to 9.
int icalPriority(int priority)
{
    static constexpr int kMap[] = {9, 7, 5, 3, 2, 1};
    return priority >= 0 && priority <= 5 ? kMap[priority] : 0;
}

QString icalStatus(int state)
{
    switch (state) {
    case TaskState::Finished:
        return QStringLiteral("COMPLETED");
    case TaskState::InProgress:
        return QStringLiteral("IN-PROCESS");
    default:
        return QStringLiteral("NEEDS-ACTION");
    }
}

int percentComplete(const TaskRecord &task)
{
    // The figure the grid shows in its Percent Done column.
    return qBound(0, GetPercentDone(task.Duration, task.FinishedDuration).chopped(1).toInt(), 100);
}

void appendTodo(QByteArray &out, const QDate &day, const TaskRecord &task, const QString &uid,
                const QString *category, const QString &stamp)
{
    out += "BEGIN:VTODO\r\n";
    appendLine(out, "UID", uid);
    appendLine(out, "DTSTAMP", stamp);
    appendLine(out, "SUMMARY", icalText(task.Subject));
    appendLine(out, "DUE;VALUE=DATE", day.toString(QStringLiteral("yyyyMMdd")));
    appendLine(out, "STATUS", icalStatus(task.State));
    appendLine(out, "PERCENT-COMPLETE", QString::number(percentComplete(task)));
    appendLine(out, "PRIORITY", QString::number(icalPriority(task.Priority)));
    if (category)
        appendLine(out, "CATEGORIES", icalText(*category));
    const QString state = TaskStateName(task.State);
    if (!state.isEmpty())
        appendLine(out, "X-CHRONODECK-STATE", icalText(state));
    appendLine(out, "X-CHRONODECK-BUDGET-MINUTES", QString::number(task.Duration));
    appendLine(out, "X-CHRONODECK-DONE-SECONDS", QString::number(doneSeconds(task)));
    out += "END:VTODO\r\n";
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
    return format == ExportFormat::Csv ? QStringLiteral("CSV files (*.csv)")
                                       : QStringLiteral("iCalendar files (*.ics)");
}

qint64 writeTaskExport(TaskStore &store, const ReportPeriod &period, ExportFormat format,
                       QIODevice &device, const QDateTime &stamp)
{
    const QHash<qint32, QString> names = categoryNames(store);
    const QString none = QStringLiteral("(none)");
    ChunkedWriter writer(device);
    QByteArray &out = writer.buffer();
    qint64 count = 0;

    if (format == ExportFormat::Csv) {
        writeCsvHeader(out);
        store.forEachTaskOfDays(period.first, period.last, true,
                                [&](const QDate &day, const TaskRecord &task) {
            const auto name = names.constFind(task.Category);
            appendCsvRow(out, day, task, name == names.cend() ? none : *name);
            ++count;
            writer.flushIfFull();
        });
    } else {
        out += "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n";
        appendLine(out, "PRODID",
                   QStringLiteral("-//Chronodeck//Chronodeck ") + programVersion()
                       + QStringLiteral("//EN"));
        out += "CALSCALE:GREGORIAN\r\n";
        const QString dtstamp = stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
        QDate lastDay;
        qint32 lastId = 0;
        int repeat = 0;
        store.forEachTaskOfDays(period.first, period.last, true,
                                [&](const QDate &day, const TaskRecord &task) {
            // A number is one task per day; should a list ever hold it twice,
            // the second copy still gets an identity of its own.
            repeat = (day == lastDay && task.ID == lastId) ? repeat + 1 : 0;
            lastDay = day;
            lastId = task.ID;
            QString uid = day.toString(QStringLiteral("yyyyMMdd")) + QLatin1Char('-')
                          + QString::number(task.ID);
            if (repeat > 0)
                uid += QLatin1Char('-') + QString::number(repeat + 1);
            uid += QStringLiteral("@chronodeck");
            const auto name = names.constFind(task.Category);
            appendTodo(out, day, task, uid, name == names.cend() ? nullptr : &*name, dtstamp);
            ++count;
            writer.flushIfFull();
        });
        out += "END:VCALENDAR\r\n";
    }
    writer.flush();
    if (writer.failed())
        qCWarning(lcReports) << "export: the device took fewer bytes than written:"
                           << device.errorString();
    return count;
}

bool exportTasksToFile(TaskStore &store, const ReportPeriod &period, ExportFormat format,
                       const QString &path, const QDateTime &stamp, QString *error)
{
    auto fail = [error, &path](const QString &why) {
        if (error)
            *error = QStringLiteral("The tasks could not be exported to \"%1\": %2")
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
