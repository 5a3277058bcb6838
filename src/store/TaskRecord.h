#pragma once

#include <QString>
#include <QtGlobal>

namespace cdk {

// One row of the task table as the program handles it.
struct TaskRecord
{
    qint32 ID = 0;
    QString List;
    QString Subject;
    qint32 Category = 0;
    qint32 Duration = 0;
    qint32 FinishedDuration = 0;
    quint8 FinishedSeconds = 0;
    qint32 State = 0;
    qint32 Priority = 0;

    friend bool operator==(const TaskRecord &, const TaskRecord &) = default;
};

struct CategoryRecord
{
    qint32 ID = 0;
    QString Name;
    qint32 BackColor = -1; // R + 256 * G + 65536 * B, -1 for none
    qint32 ForeColor = -1;
    QString CatData1;
    QString CatData2;

    friend bool operator==(const CategoryRecord &, const CategoryRecord &) = default;
};

} // namespace cdk
