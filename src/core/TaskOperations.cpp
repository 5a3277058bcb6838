#include "core/TaskOperations.h"

#include "base/Log.h"
#include "core/ChangeRecorder.h"
#include "core/Recurrence.h"
#include "core/TimeTracker.h"
#include "settings/Settings.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QScopedValueRollback>
#include <QTimer>

#include <algorithm>
#include <exception>
#include <limits>
#include <thread>

namespace cdk {

namespace {

// Long enough to gather the writes of one command (a batch of check-offs),
// short enough that a copy taken right after a change holds it.
constexpr int kCheckpointDelayMs = 1000;

} // namespace

TaskOperations::TaskOperations(TaskStore &store, clsSettings &settings, TimeTracker &tracker,
                               QObject *parent)
    : QObject(parent), m_store(store), m_settings(settings), m_tracker(tracker),
      m_history(new UndoHistory(this))
{
    m_tmrCheckpoint = new QTimer(this);
    m_tmrCheckpoint->setObjectName(QStringLiteral("tmrCheckpoint"));
    m_tmrCheckpoint->setSingleShot(true);
    m_tmrCheckpoint->setInterval(kCheckpointDelayMs);
    connect(m_tmrCheckpoint, &QTimer::timeout, this, &TaskOperations::checkpointNow);
    // Every minute of tracked time reaches the file itself, not only the journal.
    connect(&m_tracker, &TimeTracker::minuteCounted, this,
            [this](const QString &list, qint32 id) {
                Q_EMIT taskChanged(list, id);
                checkpointSoon();
            });
}

TaskOperations::~TaskOperations() = default;

bool TaskOperations::markFull() const
{
    return m_settings.flags().MarkTasks100PercentWhenCheckedOff;
}

template<typename Fn> void TaskOperations::inTransaction(Fn &&work)
{
    sql::Transaction transaction(m_store.database());
    work();
    transaction.commit();
    checkpointSoon();
}

// `what` is the step's name as the menus show it, in the user's
// language, with "%n" where the recorder names what really changed.
template<typename Fn> void TaskOperations::recorded(const QString &what, Fn &&work)
{
    UndoStep step;
    inTransaction([&] {
        ChangeRecorder recorder(m_store, m_recording);
        work(recorder);
        step = recorder.finish(what);
    });
    if (!step.isEmpty())
        m_history->push(std::move(step));
}

void TaskOperations::recordedStep(const QString &what,
                                  const std::function<void(ChangeRecorder &)> &work)
{
    recorded(what, work);
}

void TaskOperations::checkpointSoon()
{
    if (!m_tmrCheckpoint->isActive())
        m_tmrCheckpoint->start();
}

void TaskOperations::checkpointNow()
{
    try {
        m_store.checkpointPassive();
    } catch (const StoreError &e) {
        // The journal keeps everything; the next checkpoint folds it in.
        qCInfo(lcStore) << "checkpoint put off:" << e.message();
    }
}

// ---- Reading

QList<TaskRecord> TaskOperations::tasksOfList(const QString &list)
{
    return m_store.tasksOfList(list);
}

std::optional<TaskRecord> TaskOperations::task(const QString &list, qint32 id)
{
    return m_store.findTask(list, id);
}

QList<CategoryRecord> TaskOperations::categories()
{
    return m_store.categories();
}

// ---- Tasks and templates

qint32 TaskOperations::addTask(TaskRecord record)
{
    recorded(tr("Add %n"), [&](ChangeRecorder &recorder) {
        record.ID = m_store.NextTaskID(record.List);
        recorder.newTask(record.List, record.ID);
        m_store.SaveTask(record, true, record.List, record.ID);
    });
    Q_EMIT listChanged(record.List);
    return record.ID;
}

TaskOperations::TemplateAdded TaskOperations::addTemplate(TaskRecord templ, const QDate &today)
{
    TemplateAdded added;
    const QString &recurrent = recurrentListKey();
    templ.List = recurrent;
    recorded(tr("Add Recurrent Task"), [&](ChangeRecorder &recorder) {
        templ.ID = m_store.NextTaskID(recurrent);
        recorder.newTask(recurrent, templ.ID);
        m_store.SaveTask(templ, true, recurrent, templ.ID);
        added.templateId = templ.ID;
        const std::optional<TaskRecord> saved = m_store.findTask(recurrent, templ.ID);
        if (saved && RecurrenceMatchesDate(GetRecurrenceCode(saved->Subject), today)) {
            added.copyList = DayListKey(today);
            added.copyId = m_store.NextTaskID(added.copyList);
            recorder.newTask(added.copyList, added.copyId);
            m_store.SaveTask(BuildTemplateCopy(*saved, added.copyList, added.copyId), true,
                             added.copyList, added.copyId);
        }
    });
    Q_EMIT listChanged(recurrent);
    if (added.copyId != 0)
        Q_EMIT listChanged(added.copyList);
    return added;
}

bool TaskOperations::editTask(const QString &list, qint32 id, TaskRecord record,
                              const std::optional<TaskRecord> &shown)
{
    record.ID = id;
    record.List = list;
    bool found = false;
    recorded(tr("Edit %n"), [&](ChangeRecorder &recorder) {
        const std::optional<TaskRecord> stored = m_store.findTask(list, id);
        if (!stored)
            return;
        // What the user left as it was shown keeps whatever is stored now,
        // so a change made meanwhile elsewhere survives.
        if (shown) {
            auto keep = [&]<typename T>(T TaskRecord::*field) {
                if (record.*field == (*shown).*field)
                    record.*field = (*stored).*field;
            };
            keep(&TaskRecord::Subject);
            keep(&TaskRecord::Category);
            keep(&TaskRecord::Duration);
            keep(&TaskRecord::State);
            keep(&TaskRecord::Priority);
        }
        recorder.task(list, id);
        found = m_store.SaveTask(record, false, list, id);
    });
    return announceEdit(list, id, found);
}

bool TaskOperations::announceEdit(const QString &list, qint32 id, bool found)
{
    if (!found)
        return false;
    if (m_tracker.isTracked(list, id))
        m_tracker.reload();
    Q_EMIT taskChanged(list, id);
    return true;
}

void TaskOperations::externalChange(const QStringList &lists)
{
    const QScopedValueRollback<bool> applying(m_applyingExternalChange, true);
    m_tracker.reload();
    Q_EMIT categoriesChanged();
    for (const QString &list : lists)
        Q_EMIT listChanged(list);
}

bool TaskOperations::extendBudget(const QString &list, qint32 id, qint32 minutes)
{
    bool found = false;
    recorded(tr("Add %1 Minutes to %n").arg(minutes), [&](ChangeRecorder &recorder) {
        std::optional<TaskRecord> stored = m_store.findTask(list, id);
        if (!stored)
            return;
        recorder.task(list, id);
        stored->Duration = qint32(std::min<qint64>(qint64(stored->Duration) + minutes,
                                                   std::numeric_limits<qint32>::max()));
        found = m_store.SaveTask(*stored, false, list, id);
    });
    return announceEdit(list, id, found);
}

int TaskOperations::deleteTasks(const QString &list, const QList<qint32> &ids)
{
    for (qint32 id : ids) {
        if (m_tracker.isTracked(list, id))
            m_tracker.stop();
    }
    int deleted = 0;
    recorded(tr("Delete %n"), [&](ChangeRecorder &recorder) {
        for (qint32 id : ids) {
            recorder.task(list, id);
            deleted += m_store.DeleteTask(id, list) ? 1 : 0;
        }
    });
    Q_EMIT listChanged(list);
    return deleted;
}

void TaskOperations::setState(const QString &list, const QList<qint32> &ids, int state)
{
    const bool full = markFull();
    recorded(tr("Set State of %n"), [&](ChangeRecorder &recorder) {
        for (qint32 id : ids) {
            recorder.task(list, id);
            m_store.SetTaskState(id, list, state, full);
        }
    });
    if (state == TaskState::Finished && full) {
        for (qint32 id : ids) {
            if (m_tracker.isTracked(list, id))
                m_tracker.reload();
        }
    }
    Q_EMIT listChanged(list);
}

void TaskOperations::setPriority(const QString &list, const QList<qint32> &ids, int priority)
{
    recorded(tr("Set Priority of %n"), [&](ChangeRecorder &recorder) {
        for (qint32 id : ids) {
            recorder.task(list, id);
            m_store.SetTaskPriority(id, list, priority);
        }
    });
    Q_EMIT listChanged(list);
}

void TaskOperations::checkTasks(const QString &list, const QList<qint32> &ids, bool check,
                                TrackedCheckOff trackedCheckOff)
{
    const bool full = markFull();
    bool stopTracking = false;
    const QString what = check ? tr("Mark %n Finished") : tr("Mark %n Unfinished");
    recorded(what, [&](ChangeRecorder &recorder) {
        for (qint32 id : ids) {
            const std::optional<TaskRecord> task = m_store.findTask(list, id);
            if (!task)
                continue;
            recorder.task(list, id);
            const bool finished = task->State == TaskState::Finished;
            if (check && !finished) {
                if (m_tracker.isTracked(list, id)
                    && trackedCheckOff == TrackedCheckOff::StopTracking)
                    stopTracking = true;
                m_store.SetTaskState(id, list, TaskState::Finished, full);
            } else if (!check && finished) {
                m_store.SetTaskState(id, list,
                                     task->FinishedDuration != 0 ? TaskState::InProgress
                                                                 : TaskState::NotStarted,
                                     full);
            }
        }
    });
    if (stopTracking)
        m_tracker.stop();
    else if (m_tracker.TrackingActive && m_tracker.TrackedList == list)
        m_tracker.reload();
    Q_EMIT listChanged(list);
}

void TaskOperations::finishTrackedTask()
{
    if (!m_tracker.TrackingActive)
        return;
    const QString list = m_tracker.TrackedList;
    const qint32 id = m_tracker.TrackedTaskID;
    recorded(tr("Mark %n Finished"), [&](ChangeRecorder &recorder) {
        recorder.task(list, id);
        m_store.SetTaskState(id, list, TaskState::Finished, markFull());
    });
    m_tracker.stop();
    Q_EMIT taskChanged(list, id);
}

void TaskOperations::resetTimeDone(const QString &list, const QList<qint32> &ids)
{
    recorded(tr("Reset Timer of %n"), [&](ChangeRecorder &recorder) {
        for (qint32 id : ids) {
            recorder.task(list, id);
            m_store.ResetTimeDone(list, id);
        }
    });
    if (m_tracker.TrackingActive && m_tracker.TrackedList == list
        && ids.contains(m_tracker.TrackedTaskID))
        m_tracker.reload();
    Q_EMIT listChanged(list);
}

QList<qint32> TaskOperations::moveTasks(const QString &list, const QList<qint32> &ids,
                                        const QString &targetList)
{
    // A move into the list the tasks are in still renumbers them: they go to
    // its end, as into any other day.
    MoveRun run;
    recorded(tr("Move %n"), [&](ChangeRecorder &recorder) {
        run = startMoves(targetList);
        for (qint32 id : ids) {
            if (m_store.findTask(list, id))
                moveOne(recorder, run, list, id);
        }
    });
    // Only a move that is stored takes the tracker along.
    if (run.trackedNewId != 0)
        m_tracker.retarget(targetList, run.trackedNewId);
    Q_EMIT listChanged(list);
    if (targetList != list)
        Q_EMIT listChanged(targetList);
    return run.newIds;
}

TaskOperations::MoveRun TaskOperations::startMoves(const QString &target)
{
    MoveRun run;
    run.target = target;
    run.nextId = m_store.NextTaskID(target);
    return run;
}

void TaskOperations::moveOne(ChangeRecorder &recorder, MoveRun &run, const QString &list,
                             qint32 id)
{
    recorder.movedTask(list, id, run.target, run.nextId);
    m_store.MoveTask(list, id, run.target, run.nextId);
    if (m_tracker.isTracked(list, id))
        run.trackedNewId = run.nextId;
    run.newIds.append(run.nextId);
    run.nextId = m_store.NextTaskID(run.target);
}

int TaskOperations::injectRecurrentTasks(const QDate &today)
{
    const int copies = InjectRecurrentTasks(m_store, m_settings, today);
    if (copies > 0) {
        checkpointSoon();
        Q_EMIT listChanged(DayListKey(today));
    }
    return copies;
}

// ---- Batch changes

void TaskOperations::setTimeDone(const QString &list, const QList<qint32> &ids, qint64 minutes)
{
    recorded(tr("Set Time Finished of %n"), [&](ChangeRecorder &recorder) {
        for (qint32 id : ids) {
            recorder.task(list, id);
            m_store.SetTimeDone(list, id, minutes);
        }
    });
    if (m_tracker.TrackingActive && m_tracker.TrackedList == list
        && ids.contains(m_tracker.TrackedTaskID))
        m_tracker.reload();
    Q_EMIT listChanged(list);
}

void TaskOperations::setCategory(const QString &list, const QList<qint32> &ids, qint32 category)
{
    recorded(tr("Set Category of %n"), [&](ChangeRecorder &recorder) {
        for (qint32 id : ids) {
            recorder.task(list, id);
            m_store.SetTaskCategory(list, id, category);
        }
    });
    Q_EMIT listChanged(list);
}

// ---- Categories

qint32 TaskOperations::addCategory(const QString &name, qint32 backColor, qint32 foreColor)
{
    CategoryRecord category;
    category.Name = name;
    category.BackColor = backColor;
    category.ForeColor = foreColor;
    recorded(tr("Add Category"), [&](ChangeRecorder &recorder) {
        category.ID = m_store.NextCategoryID();
        recorder.category(category.ID);
        m_store.AddCategory(category);
    });
    Q_EMIT categoriesChanged();
    return category.ID;
}

bool TaskOperations::editCategory(qint32 id, const QString &name, qint32 backColor,
                                  qint32 foreColor)
{
    CategoryRecord category;
    category.ID = id;
    category.Name = name;
    category.BackColor = backColor;
    category.ForeColor = foreColor;
    bool found = false;
    recorded(tr("Edit Category"), [&](ChangeRecorder &recorder) {
        recorder.category(id);
        found = m_store.UpdateCategory(category);
    });
    if (found)
        Q_EMIT categoriesChanged();
    return found;
}

bool TaskOperations::deleteCategory(qint32 id)
{
    bool found = false;
    recorded(tr("Delete Category"), [&](ChangeRecorder &recorder) {
        if (!canDeleteCategory())
            throw StoreError(lastCategoryText());
        recorder.category(id);
        found = m_store.DeleteCategory(id);
    });
    if (found)
        Q_EMIT categoriesChanged();
    return found;
}

bool TaskOperations::canDeleteCategory()
{
    return m_store.categories().size() > 1;
}

QString TaskOperations::lastCategoryText()
{
    return tr("Unable to delete, You need to have at least one category.");
}

// ---- Tracking

bool TaskOperations::startTracking(const QString &list, qint32 id)
{
    const bool started = m_tracker.start(list, id);
    if (started) {
        checkpointSoon();
        Q_EMIT taskChanged(list, id);
    }
    return started;
}

void TaskOperations::stopTracking()
{
    m_tracker.stop();
}

bool TaskOperations::discardTrackedTime(const QString &list, qint32 id, qint64 seconds)
{
    constexpr qint64 kSecondsPerMinute = 60;
    bool found = false;
    recorded(tr("Discard Away Time"), [&](ChangeRecorder &recorder) {
        const auto row = m_store.findTrackedRow(list, id, 0);
        if (!row)
            return;
        found = true;
        recorder.task(list, id);
        const qint64 done = row->finishedDuration * kSecondsPerMinute + row->finishedSeconds;
        const qint64 left = std::max<qint64>(done - std::max<qint64>(seconds, 0), 0);
        m_store.writeTrackedTime(row->rowId, left / kSecondsPerMinute, left % kSecondsPerMinute);
    });
    return announceEdit(list, id, found);
}

// ---- The database file

void TaskOperations::closeAndCompact()
{
    m_tracker.stop();
    m_tmrCheckpoint->stop();
    const QString path = m_store.DatabasePath();
    try {
        m_store.compact();
    } catch (const StoreError &e) {
        // The file stays as it was: whole, only not compacted.
        m_store.Close();
        throw;
    }
    m_store.Close();
    // Compacting read every page of the file: the next start need not, as
    // long as nothing touches the file meanwhile.
    if (!QFileInfo::exists(path + QStringLiteral("-wal")))
        TaskStore::markVerified(path);
}

void TaskOperations::backupDatabase(const QString &destination)
{
    if (!m_store.isOpen())
        throw StoreError(tr("The task database is not open."));
    // Copying and syncing a database of many years takes longer than a
    // window may stand still. The copy reads through a connection of its
    // own on a worker thread, as of the moment it starts; meanwhile the
    // window paints and the tracker goes on counting, but takes no input, so
    // no command can start halfway through.
    const QString source = m_store.DatabasePath();
    const QByteArray vfs = m_store.vfsName();
    std::exception_ptr failure;
    QEventLoop loop;
    std::thread worker([&] {
        try {
            TaskStore::backupFile(source, destination, vfs);
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
}

void TaskOperations::checkRestorable(const QString &path)
{
    TaskStore::checkRestorable(path);
}

void TaskOperations::replaceDatabase(const QString &chosen)
{
    m_tracker.stop();
    m_tmrCheckpoint->stop();
    try {
        m_store.restoreFrom(chosen);
    } catch (const StoreError &e) {
        qCWarning(lcStore) << "the restored file cannot be used:" << e.message();
        // Nothing was replaced, but the tracker stopped and the views may
        // have read the file mid-way: they read it again.
        Q_EMIT databaseReplaced();
        throw;
    }
    // Every step of the history speaks of rows of the file that is gone.
    m_history->clear();
    checkpointSoon();
    Q_EMIT databaseReplaced();
}

} // namespace cdk
