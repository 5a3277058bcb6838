#pragma once

#include "common/RecordingPrompter.h"
#include "settings/Settings.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"

#include <QTemporaryDir>
#include <QTest>

namespace cdk::test {

inline const QString kDay = QStringLiteral("05032024");     // Tuesday 5 March 2024
inline const QString kNextDay = QStringLiteral("06032024");

// A task with the fields the tests care about; the rest keeps its defaults.
inline TaskRecord makeTask(qint32 id, const QString &subject, qint32 duration = 30,
                           qint32 done = 0, int state = NotStarted, int priority = 2,
                           const QString &list = kDay)
{
    TaskRecord t;
    t.ID = id;
    t.List = list;
    t.Subject = subject;
    t.Category = 1;
    t.Duration = duration;
    t.FinishedDuration = done;
    t.State = state;
    t.Priority = priority;
    return t;
}

// "a b c" as {"a", "b", "c"}.
inline QStringList words(const char *text)
{
    return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// ID, subject, done/budget and state of each task of a list, in ID order.
inline QStringList listedTasks(TaskStore &store, const QString &list)
{
    QStringList out;
    for (const TaskRecord &t : store.tasksOfList(list))
        out << QStringLiteral("%1 %2 %3/%4 %5")
                   .arg(t.ID)
                   .arg(t.Subject)
                   .arg(t.FinishedDuration)
                   .arg(t.Duration)
                   .arg(t.State);
    out.sort();
    return out;
}

// An opened task store and a settings file in a folder of their own; every
// message shown is recorded.
struct StoreFixture
{
    QTemporaryDir dir;
    RecordingPrompter prompter;
    clsSettings settings {prompter};
    TaskStore store {dir.path()};

    StoreFixture()
    {
        settings.setPath(dir.filePath(QStringLiteral("settings.ini")));
        store.OpenTaskDatabase();
    }

    void add(const TaskRecord &t) { QVERIFY(store.SaveTask(t, true, t.List, t.ID)); }
    TaskRecord task(qint32 id, const QString &list = kDay)
    {
        return store.findTask(list, id).value_or(TaskRecord {});
    }
    // Time done in seconds.
    qint64 seconds(qint32 id, const QString &list = kDay)
    {
        const TaskRecord t = task(id, list);
        return qint64(t.FinishedDuration) * 60 + t.FinishedSeconds;
    }
};

} // namespace cdk::test
