#include "sync/VTodo.h"

#include "base/Functions.h"
#include "core/PercentDone.h"
#include "store/Vocabulary.h"

#include <libical/ical.h>

#include <QDate>
#include <QList>
#include <QStringList>

#include <memory>

namespace cdk::sync {

namespace {

const QString kRecurrentList = QStringLiteral("recurrent");
constexpr int kFinished = 4;
constexpr int kInProgress = 1;

// The properties this codec writes; everything else in a resource belongs to
// whoever put it there and is carried over untouched.
constexpr icalproperty_kind kOwned[] = {
    ICAL_UID_PROPERTY,          ICAL_SUMMARY_PROPERTY,         ICAL_DUE_PROPERTY,
    ICAL_STATUS_PROPERTY,       ICAL_PERCENTCOMPLETE_PROPERTY, ICAL_PRIORITY_PROPERTY,
    ICAL_LASTMODIFIED_PROPERTY, ICAL_DTSTAMP_PROPERTY,         ICAL_RRULE_PROPERTY,
    ICAL_COMPLETED_PROPERTY,
};
const char *const kXState = "X-CHRONODECK-STATE";
const char *const kXBudget = "X-CHRONODECK-BUDGET-MINUTES";
const char *const kXDone = "X-CHRONODECK-DONE-SECONDS";
const char *const kXRule = "X-CHRONODECK-RULE";
const char *const kXCategoriesMark = "X-CHRONODECK-CATEGORIES-LINE";
const char *const kOurX[] = {kXState, kXBudget, kXDone, kXRule, kXCategoriesMark};

struct ComponentFree
{
    void operator()(icalcomponent *c) const { icalcomponent_free(c); }
};
using Component = std::unique_ptr<icalcomponent, ComponentFree>;

Component parse(const QByteArray &text)
{
    // libical wants a terminated string; a QByteArray always is.
    return Component(icalcomponent_new_from_string(text.constData()));
}

// The task of a calendar: the VTODO that is no override of a single
// occurrence (RECURRENCE-ID), else the first one.
icalcomponent *findTodo(icalcomponent *root)
{
    if (!root)
        return nullptr;
    if (icalcomponent_isa(root) == ICAL_VTODO_COMPONENT)
        return root;
    icalcomponent *first = nullptr;
    for (icalcomponent *c = icalcomponent_get_first_component(root, ICAL_VTODO_COMPONENT); c;
         c = icalcomponent_get_next_component(root, ICAL_VTODO_COMPONENT)) {
        if (!first)
            first = c;
        if (!icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY))
            return c;
    }
    return first;
}

QString text(const char *value) { return value ? QString::fromUtf8(value) : QString(); }

const char *xName(icalproperty *p) { return icalproperty_get_x_name(p); }

bool isOurX(icalproperty *p)
{
    const char *name = xName(p);
    if (!name)
        return false;
    for (const char *ours : kOurX) {
        if (qstricmp(name, ours) == 0)
            return true;
    }
    return false;
}

QString xValue(icalcomponent *todo, const char *name)
{
    for (icalproperty *p = icalcomponent_get_first_property(todo, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(todo, ICAL_X_PROPERTY)) {
        if (xName(p) && qstricmp(xName(p), name) == 0)
            return text(icalproperty_get_value_as_string(p)).trimmed();
    }
    return {};
}

void addX(icalcomponent *todo, const char *name, const QString &value)
{
    icalproperty *p = icalproperty_new_x(value.toUtf8().constData());
    icalproperty_set_x_name(p, name);
    icalcomponent_add_property(todo, p);
}

void removeProperties(icalcomponent *todo, icalproperty_kind kind,
                      bool (*only)(icalproperty *) = nullptr)
{
    QList<icalproperty *> doomed;
    for (icalproperty *p = icalcomponent_get_first_property(todo, kind); p;
         p = icalcomponent_get_next_property(todo, kind)) {
        if (!only || only(p))
            doomed.append(p);
    }
    for (icalproperty *p : doomed) {
        icalcomponent_remove_property(todo, p);
        icalproperty_free(p);
    }
}

icaltimetype utcTime(const QDateTime &when)
{
    return icaltime_from_timet_with_zone(when.toSecsSinceEpoch(), 0,
                                         icaltimezone_get_utc_timezone());
}

icaltimetype dateValue(const QDate &day)
{
    icaltimetype t = icaltime_null_date();
    t.year = day.year();
    t.month = day.month();
    t.day = day.day();
    return t;
}

QDate dateOf(const icaltimetype &t)
{
    return icaltime_is_null_time(t) ? QDate() : QDate(t.year, t.month, t.day);
}

// A time without a zone is taken as UTC: LAST-MODIFIED must be UTC anyway.
QDateTime utcOf(const icaltimetype &t)
{
    if (icaltime_is_null_time(t) || !icaltime_is_valid_time(t))
        return {};
    const icaltimezone *zone = t.zone ? t.zone : icaltimezone_get_utc_timezone();
    return QDateTime::fromSecsSinceEpoch(icaltime_as_timet_with_zone(t, zone), Qt::UTC);
}

// Chronodeck's Very Low (0) .. Urgent (5) on the format's 9 (lowest) .. 1
// (highest), as the export writes them; 0 means undefined.
int icalPriority(int priority)
{
    static constexpr int kMap[] = {9, 7, 5, 3, 2, 1};
    return priority >= 0 && priority <= 5 ? kMap[priority] : 0;
}

int priorityFromIcal(int value)
{
    // The exact inverse for what icalPriority writes; other clients' values
    // go to the nearest level.
    if (value <= 0 || value > 9)
        return 2;
    static constexpr int kMap[] = {0, 5, 4, 3, 3, 2, 2, 1, 1, 0};
    return kMap[value];
}

icalproperty_status icalStatus(int state)
{
    if (state == kFinished)
        return ICAL_STATUS_COMPLETED;
    if (state == kInProgress)
        return ICAL_STATUS_INPROCESS;
    return ICAL_STATUS_NEEDSACTION;
}

// Monday first, as in the "3" rule code.
const char *const kDays[] = {"MO", "TU", "WE", "TH", "FR", "SA", "SU"};

// The RRULE that matches what a rule code injects; empty where none can say it
// (a code with no day set recurs never).
QByteArray recurrenceFor(const QString &code)
{
    auto weekly = [](const QString &digits) {
        QByteArrayList days;
        for (int i = 0; i < 7; ++i) {
            if (digits.at(i) != QLatin1Char('0'))
                days.append(kDays[i]);
        }
        return days.isEmpty() ? QByteArray() : "FREQ=WEEKLY;BYDAY=" + days.join(',');
    };
    if (code == QLatin1String("1]"))
        return "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR";
    if (code == QLatin1String("2]"))
        return "FREQ=WEEKLY;BYDAY=SA,SU";
    if (code.size() == 9 && code.startsWith(QLatin1Char('3')) && code.endsWith(QLatin1Char(']')))
        return weekly(code.mid(1, 7));
    if (code.size() == 4 && code.startsWith(QLatin1Char('4')) && code.endsWith(QLatin1Char(']'))) {
        bool ok = false;
        const int index = code.mid(1, 2).toInt(&ok);
        if (ok && index >= 0 && index <= 28)
            return "FREQ=MONTHLY;BYMONTHDAY=" + QByteArray::number(index == 28 ? -1 : index + 1);
    }
    // "0]", and codes the program itself takes as every day.
    return "FREQ=DAILY";
}

// The rule code for another client's RRULE; empty when no Chronodeck rule
// says the same (then the task is read as a task of its day).
QString ruleFor(const icalrecurrencetype &r, const QDate &start)
{
    if (r.interval > 1 || r.count > 0)
        return {};
    if (r.freq == ICAL_DAILY_RECURRENCE)
        return QStringLiteral("0]");
    if (r.freq == ICAL_WEEKLY_RECURRENCE) {
        QString digits(7, QLatin1Char('0'));
        for (int i = 0; i < ICAL_BY_DAY_SIZE && r.by_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
            // Sunday is 1 in libical.
            const int weekday = icalrecurrencetype_day_day_of_week(r.by_day[i]);
            if (weekday >= 1 && weekday <= 7)
                digits[(weekday + 5) % 7] = QLatin1Char('1');
        }
        if (digits == QLatin1String("0000000") && start.isValid())
            digits[start.dayOfWeek() - 1] = QLatin1Char('1');
        if (digits == QLatin1String("1111111"))
            return QStringLiteral("0]");
        if (digits == QLatin1String("1111100"))
            return QStringLiteral("1]");
        if (digits == QLatin1String("0000011"))
            return QStringLiteral("2]");
        return digits == QLatin1String("0000000") ? QString() : QLatin1Char('3') + digits + u']';
    }
    if (r.freq == ICAL_MONTHLY_RECURRENCE) {
        int day = r.by_month_day[0] != ICAL_RECURRENCE_ARRAY_MAX ? r.by_month_day[0]
            : start.isValid()                                    ? start.day()
                                                                 : 0;
        if (day == -1 || (day >= 1 && day <= 28))
            return QStringLiteral("4%1]").arg(day == -1 ? 28 : day - 1, 2, 10, QLatin1Char('0'));
    }
    return {};
}

// STATUS says only finished, started or not; the X- state says more, and is
// believed while both agree: another client that ticks a task off or
// reopens it changes STATUS alone.
int readState(icalcomponent *todo)
{
    icalproperty *status = icalcomponent_get_first_property(todo, ICAL_STATUS_PROPERTY);
    const icalproperty_status s = status ? icalproperty_get_status(status) : ICAL_STATUS_NONE;
    const int fromStatus = s == ICAL_STATUS_COMPLETED ? kFinished
        : s == ICAL_STATUS_INPROCESS                  ? kInProgress
                                                      : 0;
    const QString named = xValue(todo, kXState);
    if (named.isEmpty())
        return fromStatus;
    bool isNumber = false;
    int state = named.toInt(&isNumber);
    if (!isNumber)
        state = TaskStateNames().indexOf(named);
    if (state < 0 || state > kFinished)
        return fromStatus;
    const icalproperty_status agreed = icalStatus(state);
    const icalproperty_status seen
        = s == ICAL_STATUS_COMPLETED || s == ICAL_STATUS_INPROCESS ? s : ICAL_STATUS_NEEDSACTION;
    return agreed == seen ? state : fromStatus;
}

QStringList categoriesOf(icalcomponent *todo)
{
    QStringList names;
    for (icalproperty *p = icalcomponent_get_first_property(todo, ICAL_CATEGORIES_PROPERTY); p;
         p = icalcomponent_get_next_property(todo, ICAL_CATEGORIES_PROPERTY)) {
        const QString name = text(icalproperty_get_categories(p));
        if (!name.isEmpty())
            names.append(name);
    }
    return names;
}

// libical writes the commas and semicolons inside a category unescaped,
// which splits "Work, travel" in two for every reader. The categories go
// out as one line escaped and folded here, in the place of this mark.
const char *const kCategoriesMark = kXCategoriesMark;

QByteArray escapedText(const QString &value)
{
    QByteArray out;
    for (const char c : value.toUtf8()) {
        if (c == '\\' || c == ',' || c == ';')
            out += '\\';
        if (c == '\n')
            out += "\\n";
        else if (c != '\r')
            out += c;
    }
    return out;
}

// Lines of at most 75 octets, never cut inside a character.
QByteArray folded(const QByteArray &line)
{
    QByteArray out;
    qsizetype start = 0;
    qsizetype room = 75;
    while (line.size() - start > room) {
        qsizetype cut = start + room;
        while (cut > start && (quint8(line[cut]) & 0xC0) == 0x80)
            --cut;
        out += line.mid(start, cut - start) + "\r\n ";
        start = cut;
        room = 74;
    }
    return out + line.mid(start) + "\r\n";
}

void placeCategories(QByteArray &ical, const QStringList &categories)
{
    const QByteArray mark = QByteArray(kCategoriesMark) + ":1\r\n";
    const qsizetype at = ical.indexOf(mark);
    if (at < 0)
        return;
    QByteArrayList values;
    for (const QString &name : categories)
        values.append(escapedText(name));
    ical.replace(at, mark.size(), folded("CATEGORIES:" + values.join(',')));
}

// A template recurs from some first day; a task carries none, so the day it
// was last changed stands in (a recurrence without DTSTART means nothing to
// most clients).
void setTemplateStart(icalcomponent *todo, const SyncTask &task)
{
    if (icalcomponent_get_first_property(todo, ICAL_DTSTART_PROPERTY))
        return;
    const QDateTime when
        = task.lastModified.isValid() ? task.lastModified : QDateTime::currentDateTimeUtc();
    icalcomponent_add_property(todo, icalproperty_new_dtstart(dateValue(when.toUTC().date())));
}

// A kept DTSTART after the new due day would make the resource invalid.
void dropLateStart(icalcomponent *todo, const QDate &due)
{
    icalproperty *start = icalcomponent_get_first_property(todo, ICAL_DTSTART_PROPERTY);
    if (start && dateOf(icalproperty_get_dtstart(start)) > due) {
        icalcomponent_remove_property(todo, start);
        icalproperty_free(start);
    }
}

} // namespace

QByteArray toICalendar(const SyncTask &task, const QByteArray &previous)
{
    Component root;
    icalcomponent *todo = nullptr;
    if (!previous.isEmpty()) {
        root = parse(previous);
        if (root && icalcomponent_isa(root.get()) == ICAL_VCALENDAR_COMPONENT)
            todo = findTodo(root.get());
        if (!todo)
            root.reset();
    }
    if (!root) {
        root.reset(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
        icalcomponent_add_property(root.get(), icalproperty_new_version("2.0"));
        todo = icalcomponent_new(ICAL_VTODO_COMPONENT);
        icalcomponent_add_component(root.get(), todo);
    }
    removeProperties(root.get(), ICAL_PRODID_PROPERTY);
    const QByteArray product = "-//Chronodeck//Chronodeck " + programVersion().toUtf8() + "//EN";
    icalcomponent_add_property(root.get(), icalproperty_new_prodid(product.constData()));

    for (icalproperty_kind kind : kOwned)
        removeProperties(todo, kind);
    removeProperties(todo, ICAL_X_PROPERTY, isOurX);
    // The category travels as the first of the task's categories; the others
    // another client gave it stay behind it. No category clears them all, or
    // the next one would be read as the task's.
    QStringList categories = categoriesOf(todo);
    removeProperties(todo, ICAL_CATEGORIES_PROPERTY);
    if (!categories.isEmpty())
        categories.removeFirst();
    categories.removeAll(task.category);
    if (task.category.isEmpty())
        categories.clear();
    else
        categories.prepend(task.category);

    const QDateTime modified
        = task.lastModified.isValid() ? task.lastModified : QDateTime::currentDateTimeUtc();
    icalcomponent_add_property(todo, icalproperty_new_uid(task.uid.toUtf8().constData()));
    icalcomponent_add_property(todo,
                               icalproperty_new_dtstamp(utcTime(QDateTime::currentDateTimeUtc())));
    icalcomponent_add_property(todo, icalproperty_new_lastmodified(utcTime(modified)));
    icalcomponent_add_property(todo, icalproperty_new_summary(task.subject.toUtf8().constData()));
    if (task.list == kRecurrentList) {
        setTemplateStart(todo, task);
        const QByteArray rule = recurrenceFor(task.rule);
        if (!rule.isEmpty())
            icalcomponent_add_property(
                todo, icalproperty_new_rrule(icalrecurrencetype_from_string(rule.constData())));
        addX(todo, kXRule, task.rule);
    } else {
        const QDate day = QDate::fromString(task.list, QStringLiteral("ddMMyyyy"));
        if (day.isValid()) {
            dropLateStart(todo, day);
            icalcomponent_add_property(todo, icalproperty_new_due(dateValue(day)));
        }
    }
    icalcomponent_add_property(todo, icalproperty_new_status(icalStatus(task.state)));
    if (task.state == kFinished)
        icalcomponent_add_property(todo, icalproperty_new_completed(utcTime(modified)));
    const int percent
        = GetPercentDone(task.budgetMinutes, qint32(task.doneSeconds / 60)).chopped(1).toInt();
    icalcomponent_add_property(todo, icalproperty_new_percentcomplete(qBound(0, percent, 100)));
    icalcomponent_add_property(todo, icalproperty_new_priority(icalPriority(task.priority)));
    if (!categories.isEmpty())
        addX(todo, kCategoriesMark, QStringLiteral("1"));
    addX(todo, kXState, TaskStateName(task.state));
    addX(todo, kXBudget, QString::number(task.budgetMinutes));
    addX(todo, kXDone, QString::number(task.doneSeconds));

    char *out = icalcomponent_as_ical_string_r(root.get());
    QByteArray result(out);
    icalmemory_free_buffer(out);
    placeCategories(result, categories);
    return result;
}

std::optional<SyncTask> fromICalendar(const QByteArray &data, QString *error)
{
    // Some servers keep the byte order mark a client sent.
    const QByteArray ical = data.startsWith("\xEF\xBB\xBF") ? data.mid(3) : data;
    auto fail = [error](const QString &why) -> std::optional<SyncTask> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (!ical.trimmed().startsWith("BEGIN:"))
        return fail(QStringLiteral("The resource is not iCalendar data"));
    if (ical.contains('\0'))
        return fail(QStringLiteral("The resource holds binary data"));
    const Component root = parse(ical);
    if (!root)
        return fail(QStringLiteral("The resource is not iCalendar data"));
    icalcomponent *todo = findTodo(root.get());
    if (!todo)
        return fail(QStringLiteral("The resource holds no task (VTODO)"));
    icalproperty *uid = icalcomponent_get_first_property(todo, ICAL_UID_PROPERTY);
    SyncTask task;
    task.uid = uid ? text(icalproperty_get_uid(uid)).trimmed() : QString();
    if (task.uid.isEmpty())
        return fail(QStringLiteral("The task has no UID"));

    icalproperty *summary = icalcomponent_get_first_property(todo, ICAL_SUMMARY_PROPERTY);
    task.subject = summary ? text(icalproperty_get_summary(summary)) : QString();
    task.category = categoriesOf(todo).value(0);
    task.state = readState(todo);
    icalproperty *priority = icalcomponent_get_first_property(todo, ICAL_PRIORITY_PROPERTY);
    task.priority = priorityFromIcal(priority ? icalproperty_get_priority(priority) : 0);
    task.budgetMinutes = qMax(0, xValue(todo, kXBudget).toInt());
    task.doneSeconds = qMax(Q_INT64_C(0), xValue(todo, kXDone).toLongLong());
    if (icalproperty *modified = icalcomponent_get_first_property(todo, ICAL_LASTMODIFIED_PROPERTY))
        task.lastModified = utcOf(icalproperty_get_lastmodified(modified));

    icalproperty *due = icalcomponent_get_first_property(todo, ICAL_DUE_PROPERTY);
    icalproperty *start = icalcomponent_get_first_property(todo, ICAL_DTSTART_PROPERTY);
    const QDate startDay = start ? dateOf(icalproperty_get_dtstart(start)) : QDate();
    QDate day = due ? dateOf(icalproperty_get_due(due)) : QDate();
    if (!day.isValid())
        day = startDay;

    QString rule = xValue(todo, kXRule);
    if (rule.isEmpty() || !rule.endsWith(QLatin1Char(']'))) {
        icalproperty *rrule = icalcomponent_get_first_property(todo, ICAL_RRULE_PROPERTY);
        rule = rrule ? ruleFor(icalproperty_get_rrule(rrule), day) : QString();
    }
    if (!rule.isEmpty()) {
        task.list = kRecurrentList;
        task.rule = rule;
    } else if (day.isValid()) {
        task.list = day.toString(QStringLiteral("ddMMyyyy"));
    }
    return task;
}

} // namespace cdk::sync
