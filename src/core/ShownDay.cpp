#include "core/ShownDay.h"

#include "store/Vocabulary.h"

namespace cdk {

void ShownDay::setDate(const QDate &date)
{
    if (date == m_date)
        return;
    m_date = date;
    m_listKey = DayListKey(date);
    Q_EMIT dateChanged(date);
}

void ShownDay::setSelection(const QList<qint32> &ids, qint32 currentId)
{
    if (ids == m_selected && currentId == m_current)
        return;
    m_selected = ids;
    m_current = currentId;
    Q_EMIT selectionChanged();
}

} // namespace cdk
