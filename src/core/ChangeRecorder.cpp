#include "core/ChangeRecorder.h"

#include "base/Translate.h"
#include "store/Vocabulary.h"

namespace cdk {

namespace {

// Before and after mostly hold the same texts: one copy is kept.
void shareTexts(const TaskRecord &before, TaskRecord &after)
{
    if (after.Subject == before.Subject)
        after.Subject = before.Subject;
    if (after.List == before.List)
        after.List = before.List;
}

// What a step changed, as its name puts it in place of "%n": "Task",
// "3 Tasks", "Recurrent Task".
QString countedTasks(qsizetype n, bool templates)
{
    if (templates)
        return countedText("ChangeRecorder",
                           QT_TRANSLATE_N_NOOP("ChangeRecorder", "%n Recurrent Tasks"),
                           "Recurrent Task", int(n));
    return countedText("ChangeRecorder", QT_TRANSLATE_N_NOOP("ChangeRecorder", "%n Tasks"), "Task",
                       int(n));
}

} // namespace

void ChangeRecorder::task(const QString &list, qint32 id)
{
    movedTask(list, id, list, id);
}

void ChangeRecorder::movedTask(const QString &list, qint32 id, const QString &targetList,
                               qint32 newId)
{
    if (!m_active || m_seen.contains({list, id}))
        return;
    m_seen.insert({list, id});
    Pending pending {m_store.storedTask(list, id), targetList, newId};
    if (pending.before)
        pending.before->task.List = list; // the caller's copy of the text
    m_tasks.push_back(std::move(pending));
}

void ChangeRecorder::newTask(const QString &list, qint32 id)
{
    if (!m_active)
        return;
    m_tasks.push_back(Pending {std::nullopt, list, id});
}

void ChangeRecorder::category(qint32 id)
{
    if (!m_active)
        return;
    m_categories.emplace_back(id, m_store.storedCategory(id));
}

UndoStep ChangeRecorder::finish(const QString &what)
{
    UndoStep step;
    if (!m_active)
        return step;
    bool templatesOnly = true;
    for (Pending &pending : m_tasks) {
        std::optional<TaskStore::StoredTask> after = m_store.storedTask(pending.list, pending.id);
        if (after)
            after->task.List = pending.list;
        if (pending.before && after) {
            if (pending.before->task == after->task)
                continue;
            shareTexts(pending.before->task, after->task);
        } else if (!pending.before && !after) {
            continue;
        }
        const QString &list = pending.before ? pending.before->task.List : pending.list;
        templatesOnly = templatesOnly && list == recurrentListKey();
        step.tasks.push_back(TaskChange {std::move(pending.before), std::move(after)});
    }
    for (auto &[id, before] : m_categories) {
        CategoryChange change {std::move(before), m_store.storedCategory(id)};
        const bool same = change.before && change.after
                          && change.before->category == change.after->category;
        if (!same && (change.before || change.after))
            step.categories.push_back(std::move(change));
    }
    step.what = QString(what).replace(QStringLiteral("%n"),
                                      countedTasks(qsizetype(step.tasks.size()), templatesOnly));
    return step;
}

} // namespace cdk
