#include "sync/SyncMapping.h"

#include "core/Recurrence.h"
#include "store/Vocabulary.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

#include <algorithm>

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

} // namespace cdk::sync
