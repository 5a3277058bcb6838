#include "sync/SyncMapping.h"

#include "core/Recurrence.h"
#include "store/Vocabulary.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

#include <algorithm>
#include <charconv>

namespace cdk::sync {

namespace {

constexpr qint64 kLongMax = 2147483647;

QJsonObject toJson(const SyncTask &t)
{
    QJsonObject o {
        {QStringLiteral("uid"), t.uid},          {QStringLiteral("list"), t.list},
        {QStringLiteral("subject"), t.subject},  {QStringLiteral("budget"), t.budgetMinutes},
        {QStringLiteral("done"), t.doneSeconds}, {QStringLiteral("state"), t.state},
        {QStringLiteral("priority"), t.priority}};
    if (!t.rule.isEmpty())
        o.insert(QStringLiteral("rule"), t.rule);
    if (!t.category.isEmpty())
        o.insert(QStringLiteral("category"), t.category);
    if (t.lastModified.isValid())
        o.insert(QStringLiteral("modified"), t.lastModified.toString(Qt::ISODate));
    return o;
}

std::optional<SyncTask> fromJson(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject o = value.toObject();
    SyncTask t;
    t.uid = o.value(QStringLiteral("uid")).toString();
    t.list = o.value(QStringLiteral("list")).toString();
    t.subject = o.value(QStringLiteral("subject")).toString();
    t.rule = o.value(QStringLiteral("rule")).toString();
    t.category = o.value(QStringLiteral("category")).toString();
    t.budgetMinutes = o.value(QStringLiteral("budget")).toInt();
    t.doneSeconds = qint64(o.value(QStringLiteral("done")).toDouble());
    t.state = o.value(QStringLiteral("state")).toInt();
    t.priority = o.value(QStringLiteral("priority")).toInt(2);
    t.lastModified
        = QDateTime::fromString(o.value(QStringLiteral("modified")).toString(), Qt::ISODate);
    return t;
}

// Walks a text written by QJsonDocument's compact form, object keys in
// order, and checks that it holds the expected values. Strings are escaped
// as that writer does; what it escapes otherwise only fails the match.
class CompactJsonMatch
{
public:
    explicit CompactJsonMatch(QStringView text)
        : m_rest(text)
    {
    }

    bool literal(QLatin1StringView expected)
    {
        if (!m_rest.startsWith(expected))
            return false;
        m_rest = m_rest.sliced(expected.size());
        return true;
    }

    bool key(QLatin1StringView name, bool first = false)
    {
        return (first || literal(QLatin1StringView(","))) && literal(QLatin1StringView("\""))
            && literal(name) && literal(QLatin1StringView("\":"));
    }

    bool number(qint64 value)
    {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        return literal(QLatin1StringView(digits, end));
    }

    bool string(QStringView value)
    {
        if (!literal(QLatin1StringView("\"")))
            return false;
        for (const QChar c : value) {
            if (!character(c))
                return false;
        }
        return literal(QLatin1StringView("\""));
    }

    // A string of date and time characters, whatever it says: its value is
    // not compared. Nothing in it can end the string early or escape.
    bool timeString()
    {
        if (!literal(QLatin1StringView("\"")))
            return false;
        qsizetype length = 0;
        while (length < m_rest.size() && isTimeCharacter(m_rest[length]))
            ++length;
        m_rest = m_rest.sliced(length);
        return literal(QLatin1StringView("\""));
    }

    bool at(QLatin1StringView next) const { return m_rest.startsWith(next); }
    bool atEnd() const { return m_rest.isEmpty(); }

private:
    static bool isTimeCharacter(QChar c)
    {
        return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')
            || c == u':' || c == u'-' || c == u'+' || c == u'.';
    }

    bool character(QChar c)
    {
        const char16_t u = c.unicode();
        if (u >= 0x20 && u != u'"' && u != u'\\') {
            if (m_rest.isEmpty() || m_rest.front() != c)
                return false;
            m_rest = m_rest.sliced(1);
            return true;
        }
        switch (u) {
        case u'"':
            return literal(QLatin1StringView("\\\""));
        case u'\\':
            return literal(QLatin1StringView("\\\\"));
        case u'\b':
            return literal(QLatin1StringView("\\b"));
        case u'\f':
            return literal(QLatin1StringView("\\f"));
        case u'\n':
            return literal(QLatin1StringView("\\n"));
        case u'\r':
            return literal(QLatin1StringView("\\r"));
        case u'\t':
            return literal(QLatin1StringView("\\t"));
        default: {
            static constexpr char kHex[] = "0123456789abcdef";
            const char escaped[] = {'\\', 'u', '0', '0', kHex[u >> 4], kHex[u & 0xf]};
            return literal(QLatin1StringView(escaped, sizeof escaped));
        }
        }
    }

    QStringView m_rest;
};

} // namespace

SyncTask toSyncTask(const TaskRecord &task, const QString &uid,
                    const QList<CategoryRecord> &categories)
{
    SyncTask t;
    t.uid = uid;
    t.list = task.List;
    if (task.List == recurrentListKey()) {
        t.rule = GetRecurrenceCode(task.Subject);
        t.subject = GetRecurrentSubject(task.Subject);
    } else {
        t.subject = task.Subject;
    }
    const auto category
        = std::find_if(categories.begin(), categories.end(),
                       [&](const CategoryRecord &c) { return c.ID == task.Category; });
    if (category != categories.end())
        t.category = category->Name;
    t.budgetMinutes = task.Duration;
    t.doneSeconds = std::max<qint64>(0, qint64(task.FinishedDuration) * 60 + task.FinishedSeconds);
    t.state = task.State;
    t.priority = task.Priority;
    return t;
}

TaskRecord toTaskRecord(const SyncTask &task, TaskRecord row, qint32 categoryId)
{
    row.Subject = task.list == recurrentListKey() ? task.rule + task.subject : task.subject;
    row.Category = categoryId;
    row.Duration = qint32(std::clamp<qint64>(task.budgetMinutes, 0, kLongMax));
    const qint64 done = std::clamp<qint64>(task.doneSeconds, 0, kLongMax * 60);
    row.FinishedDuration = qint32(done / 60);
    row.FinishedSeconds = quint8(done % 60);
    row.State = std::clamp(task.state, int(NotStarted), int(Finished));
    row.Priority = std::clamp(task.priority, 0, 5);
    return row;
}

QString listFor(const SyncTask &task, const QString &fallbackDay)
{
    if (task.list == recurrentListKey() || !task.rule.isEmpty())
        return recurrentListKey();
    return DateFromListKey(task.list).isValid() ? task.list : fallbackDay;
}

bool isSyncedList(const QString &list)
{
    return list == recurrentListKey() || DateFromListKey(list).isValid();
}

QString copyUid(const QString &templateUid, const QString &dayKey)
{
    // A UID from another program need not be a UUID: it is made one first.
    static const QUuid kNamespace(QStringLiteral("{6f1c2f0e-3f5d-4b8e-9a57-2d0c8e7b4a11}"));
    QUuid space = QUuid::fromString(templateUid);
    if (space.isNull())
        space = QUuid::createUuidV5(kNamespace, templateUid);
    return QUuid::createUuidV5(space, dayKey).toString(QUuid::WithoutBraces);
}

QString toBaseText(const AgreedVersion &version)
{
    if (!version.agreed && !version.sent)
        return {};
    QJsonObject o = version.agreed ? toJson(*version.agreed) : QJsonObject();
    if (version.sent)
        o.insert(QStringLiteral("sent"), toJson(*version.sent));
    if (!version.agreed)
        o.insert(QStringLiteral("none"), true);
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

AgreedVersion fromBaseText(const QString &text)
{
    AgreedVersion version;
    if (text.isEmpty())
        return version;
    const QJsonObject o = QJsonDocument::fromJson(text.toUtf8()).object();
    if (o.isEmpty())
        return version;
    if (!o.value(QStringLiteral("none")).toBool())
        version.agreed = fromJson(o);
    version.sent = fromJson(o.value(QStringLiteral("sent")));
    return version;
}

bool baseTextAgrees(QStringView base, const SyncTask &task)
{
    // The keys in the order QJsonObject keeps them; "none" and "sent" are
    // not among them, so a text with either does not match.
    CompactJsonMatch m(base);
    if (!(m.literal(QLatin1StringView("{")) && m.key(QLatin1StringView("budget"), true)
          && m.number(task.budgetMinutes)))
        return false;
    if (!task.category.isEmpty()
        && !(m.key(QLatin1StringView("category")) && m.string(task.category)))
        return false;
    if (!(m.key(QLatin1StringView("done")) && m.number(task.doneSeconds)
          && m.key(QLatin1StringView("list")) && m.string(task.list)))
        return false;
    if (m.at(QLatin1StringView(",\"modified\":"))
        && !(m.key(QLatin1StringView("modified")) && m.timeString()))
        return false;
    if (!(m.key(QLatin1StringView("priority")) && m.number(task.priority)))
        return false;
    if (!task.rule.isEmpty() && !(m.key(QLatin1StringView("rule")) && m.string(task.rule)))
        return false;
    return m.key(QLatin1StringView("state")) && m.number(task.state)
        && m.key(QLatin1StringView("subject")) && m.string(task.subject)
        && m.key(QLatin1StringView("uid")) && m.string(task.uid)
        && m.literal(QLatin1StringView("}")) && m.atEnd();
}

} // namespace cdk::sync
