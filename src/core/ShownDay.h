#pragma once

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>

namespace cdk {

// The day a window shows and what its user has picked in it, by task ID:
// the selected tasks in the order the grid shows them and the current one.
// The grid keeps it up to date; commands, the tracking display and the
// dialogs read it, so none of them depends on row numbers or on the window.
class ShownDay final : public QObject
{
    Q_OBJECT

public:
    explicit ShownDay(QObject *parent = nullptr) : QObject(parent) {}

    QDate date() const { return m_date; }
    // The day list key of date().
    QString listKey() const { return m_listKey; }
    QList<qint32> selectedIds() const { return m_selected; }
    // The task with the keyboard focus; 0 for none.
    qint32 currentId() const { return m_current; }

    void setDate(const QDate &date);
    void setSelection(const QList<qint32> &ids, qint32 currentId);

Q_SIGNALS:
    void dateChanged(const QDate &date);
    void selectionChanged();

private:
    QDate m_date;
    QString m_listKey;
    QList<qint32> m_selected;
    qint32 m_current = 0;
};

} // namespace cdk
