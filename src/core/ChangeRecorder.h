#pragma once

#include "core/UndoHistory.h"

#include <QSet>
#include <QString>

#include <utility>
#include <vector>

namespace cdk {

class TaskStore;

// Notes the rows one command is about to touch, as they are before it, and
// reads them again once it is done: the difference is the step that takes
// the command back. Used inside the command's transaction. An inactive
// recorder reads nothing.
class ChangeRecorder
{
public:
    ChangeRecorder(TaskStore &store, bool active) : m_store(store), m_active(active) {}

    // A task that may change in place or be deleted.
    void task(const QString &list, qint32 id);
    // A task that moves to (targetList, newId).
    void movedTask(const QString &list, qint32 id, const QString &targetList, qint32 newId);
    // A task about to be created at (list, id).
    void newTask(const QString &list, qint32 id);
    void category(qint32 id);

    // The step named what, where "%n" stands for the tasks that really
    // changed: "Task", "3 Tasks", "Recurrent Task".
    UndoStep finish(const QString &what);

private:
    struct Pending
    {
        std::optional<TaskStore::StoredTask> before;
        QString list;
        qint32 id = 0;
    };

    TaskStore &m_store;
    bool m_active;
    std::vector<Pending> m_tasks;
    QSet<std::pair<QString, qint32>> m_seen;
    std::vector<std::pair<qint32, std::optional<TaskStore::StoredCategory>>> m_categories;
};

} // namespace cdk
