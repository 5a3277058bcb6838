#pragma once

#include "store/TaskStore.h"

#include <QObject>
#include <QSet>
#include <QString>

#include <deque>
#include <optional>
#include <vector>

namespace cdk {

// One row before and after a change; a row that did not exist (a task
// added) or no longer exists (a task deleted) is empty. A move is one change
// whose two rows have different keys.
struct TaskChange
{
    std::optional<TaskStore::StoredTask> before;
    std::optional<TaskStore::StoredTask> after;
};

struct CategoryChange
{
    std::optional<TaskStore::StoredCategory> before;
    std::optional<TaskStore::StoredCategory> after;
};

// What one command of the user changed, named as the menus show it
// ("Delete 3 Tasks").
struct UndoStep
{
    QString what;
    std::vector<TaskChange> tasks;
    std::vector<CategoryChange> categories;

    bool isEmpty() const { return tasks.empty() && categories.empty(); }
};

// The commands of this run of the program, in order, with a position between
// the ones done and the ones undone. A new command drops what was undone.
// It only keeps the record: the operations layer writes and takes back.
class UndoHistory final : public QObject
{
    Q_OBJECT

public:
    explicit UndoHistory(QObject *parent = nullptr) : QObject(parent) {}

    bool canUndo() const { return m_done > 0; }
    bool canRedo() const { return m_done < m_steps.size(); }
    // The name of the command an undo or a redo would take; empty when none.
    QString undoText() const { return canUndo() ? m_steps[m_done - 1].what : QString(); }
    QString redoText() const { return canRedo() ? m_steps[m_done].what : QString(); }
    qsizetype count() const { return qsizetype(m_steps.size()); }

    void push(UndoStep step);
    void clear();

    const UndoStep &nextUndo() const { return m_steps[m_done - 1]; }
    const UndoStep &nextRedo() const { return m_steps[m_done]; }
    void stepBack();
    void stepForward();

Q_SIGNALS:
    // What an undo or a redo would do changed.
    void changed();

private:
    void share(QString &text);

    // A deque grows without copying the steps or keeping room for as many
    // again.
    std::deque<UndoStep> m_steps;
    size_t m_done = 0;
    // One copy of each text: a subject is often both the after of one step
    // and the before of a later one, and the names repeat.
    QSet<QString> m_texts;
};

} // namespace cdk
