// Undo and redo: a recorded step is played back or forward in one
// transaction, after every row it touches has been found as the step left it.

#include "core/TaskOperations.h"

#include "core/TimeTracker.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"

#include <QCoreApplication>
#include <QSet>

namespace cdk {

namespace {

using StoredTask = TaskStore::StoredTask;

qint64 secondsDone(const TaskRecord &task)
{
    return qint64(task.FinishedDuration) * 60 + task.FinishedSeconds;
}

// Equal apart from the time done, which the tracker adds to on its own.
bool sameApartFromTime(TaskRecord a, const TaskRecord &b)
{
    a.FinishedDuration = b.FinishedDuration;
    a.FinishedSeconds = b.FinishedSeconds;
    return a == b;
}

QString taskName(const QString &list, qint32 id)
{
    if (list == recurrentListKey())
        return QCoreApplication::translate("cdk::TaskOperations", "recurrent task %1").arg(id);
    const QDate day = DateFromListKey(list);
    return QCoreApplication::translate("cdk::TaskOperations", "task %1 of %2")
        .arg(QString::number(id), day.isValid() ? day.toString(Qt::ISODate) : list);
}

struct Write
{
    std::optional<StoredTask> from; // as stored now
    std::optional<StoredTask> to;   // as it will be
};

} // namespace

void TaskOperations::undo()
{
    if (!m_history->canUndo())
        return;
    applyStep(m_history->nextUndo(), Direction::Back);
    m_history->stepBack();
}

void TaskOperations::redo()
{
    if (!m_history->canRedo())
        return;
    applyStep(m_history->nextRedo(), Direction::Forward);
    m_history->stepForward();
}

void TaskOperations::applyStep(const UndoStep &step, Direction direction)
{
    const bool back = direction == Direction::Back;
    auto refuse = [&](const QString &why) {
        throw StoreError((back ? tr("Cannot undo \"%1\": %2.") : tr("Cannot redo \"%1\": %2."))
                             .arg(step.what, why));
    };

    std::vector<Write> writes;
    writes.reserve(step.tasks.size());
    QSet<QString> lists;
    sql::Transaction transaction(m_store.database());

    // Every row is checked before the first is written: a refusal leaves
    // everything as it was.
    for (const TaskChange &change : step.tasks) {
        const std::optional<StoredTask> &from = back ? change.after : change.before;
        const std::optional<StoredTask> &to = back ? change.before : change.after;
        Write write;
        if (from) {
            const TaskRecord &expected = from->task;
            write.from = m_store.storedTask(expected.List, expected.ID);
            if (!write.from || !sameApartFromTime(write.from->task, expected))
                refuse(tr("%1 has changed since").arg(taskName(expected.List, expected.ID)));
            lists.insert(expected.List);
        }
        if (to) {
            const TaskRecord &target = to->task;
            const bool sameKey = from && from->task.List == target.List && from->task.ID == target.ID;
            if (!sameKey && m_store.storedTask(target.List, target.ID))
                refuse(
                    tr("%1 is taken by another task since").arg(taskName(target.List, target.ID)));
            write.to = *to;
            // Time tracked since was spent: it stays, on top of what the
            // step sets.
            if (write.from) {
                const qint64 tracked = secondsDone(write.from->task) - secondsDone(from->task);
                const qint64 total = std::max<qint64>(0, secondsDone(target) + tracked);
                write.to->task.FinishedDuration = qint32(total / 60);
                write.to->task.FinishedSeconds = quint8(total % 60);
            }
            lists.insert(target.List);
        } else if (secondsDone(write.from->task) != secondsDone(from->task)) {
            refuse(
                tr("time was tracked on %1 since").arg(taskName(from->task.List, from->task.ID)));
        }
        writes.push_back(std::move(write));
    }
    for (const CategoryChange &change : step.categories) {
        const std::optional<TaskStore::StoredCategory> &from = back ? change.after : change.before;
        const std::optional<TaskStore::StoredCategory> &to = back ? change.before : change.after;
        const qint32 id = from ? from->category.ID : to->category.ID;
        const std::optional<TaskStore::StoredCategory> now = m_store.storedCategory(id);
        const bool asLeft = from ? (now && now->category == from->category) : !now;
        if (!asLeft)
            refuse(tr("category %1 has changed since").arg(id));
    }

    for (const Write &write : writes) {
        if (!write.to)
            m_store.DeleteTask(write.from->task.ID, write.from->task.List);
        else if (!write.from)
            m_store.putTask(*write.to);
        else
            m_store.rewriteTask(write.from->task.List, write.from->task.ID, write.to->task);
    }
    for (const CategoryChange &change : step.categories) {
        const std::optional<TaskStore::StoredCategory> &from = back ? change.after : change.before;
        const std::optional<TaskStore::StoredCategory> &to = back ? change.before : change.after;
        if (!to)
            m_store.DeleteCategory(from->category.ID);
        else if (!from)
            m_store.putCategory(*to);
        else
            m_store.UpdateCategory(to->category);
    }
    transaction.commit();
    checkpointSoon();

    // The tracker follows its task: to its old place, or out when it is gone.
    for (const Write &write : writes) {
        if (!write.from || !m_tracker.isTracked(write.from->task.List, write.from->task.ID))
            continue;
        if (!write.to) {
            m_tracker.stop();
        } else {
            const TaskRecord &target = write.to->task;
            if (target.List != write.from->task.List || target.ID != write.from->task.ID)
                m_tracker.retarget(target.List, target.ID);
            m_tracker.reload();
        }
        break;
    }
    for (const QString &list : std::as_const(lists))
        Q_EMIT listChanged(list);
    if (!step.categories.empty())
        Q_EMIT categoriesChanged();
}

} // namespace cdk
