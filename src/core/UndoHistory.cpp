#include "core/UndoHistory.h"

namespace cdk {

void UndoHistory::share(QString &text)
{
    const auto known = m_texts.constFind(text);
    if (known != m_texts.cend())
        text = *known;
    else
        m_texts.insert(text);
}

void UndoHistory::push(UndoStep step)
{
    share(step.what);
    for (TaskChange &change : step.tasks) {
        for (std::optional<TaskStore::StoredTask> *row : {&change.before, &change.after}) {
            if (*row) {
                share((*row)->task.Subject);
                share((*row)->task.List);
            }
        }
    }
    m_steps.erase(m_steps.begin() + qsizetype(m_done), m_steps.end());
    m_steps.push_back(std::move(step));
    m_done = m_steps.size();
    Q_EMIT changed();
}

void UndoHistory::clear()
{
    if (m_steps.empty())
        return;
    m_steps.clear();
    m_steps.shrink_to_fit();
    m_texts.clear();
    m_texts.squeeze();
    m_done = 0;
    Q_EMIT changed();
}

void UndoHistory::stepBack()
{
    Q_ASSERT(canUndo());
    --m_done;
    Q_EMIT changed();
}

void UndoHistory::stepForward()
{
    Q_ASSERT(canRedo());
    ++m_done;
    Q_EMIT changed();
}

} // namespace cdk
