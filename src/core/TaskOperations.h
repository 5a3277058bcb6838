#pragma once

#include "core/DayReview.h"
#include "core/UndoHistory.h"
#include "store/TaskRecord.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QTimer;

namespace cdk {

class ChangeRecorder;
class TaskStore;
class TimeTracker;
class clsSettings;

// Every operation of the program on tasks and templates, by list key and task
// ID. Each one is a single transaction: it happens whole or not at all, and a
// failure leaves the database as it was and comes out as a StoreError. What
// changed is announced afterwards, so the grid, the summary and the tracker
// panel follow whatever front end (window, tray, command line) asked for it.
//
// The tracker is kept in step here: a deleted tracked task stops tracking, a
// moved one is followed, a reset or edited one is read again.
class TaskOperations final : public QObject
{
    Q_OBJECT

public:
    TaskOperations(TaskStore &store, clsSettings &settings, TimeTracker &tracker,
                   QObject *parent = nullptr);
    ~TaskOperations() override;

    TaskStore &store() { return m_store; }
    TimeTracker &tracker() { return m_tracker; }

    // ---- Reading
    QList<TaskRecord> tasksOfList(const QString &list);
    std::optional<TaskRecord> task(const QString &list, qint32 id);
    QList<CategoryRecord> categories();

    // ---- Tasks and templates
    // Stores the record as a new task of record.List under the next free ID
    // of that list, which is returned.
    qint32 addTask(TaskRecord record);
    struct TemplateAdded
    {
        qint32 templateId = 0;
        qint32 copyId = 0; // today's copy, 0 when the rule does not match today
        QString copyList;
    };
    // A new recurrent template; when its rule matches today, today's copy is
    // made in the same transaction.
    TemplateAdded addTemplate(TaskRecord templ, const QDate &today);
    // Writes the record over the task (list, id); a budget cut below the time
    // done clamps it. False when the task does not exist. Given the task as
    // the user was shown it, only the fields the user changed are written:
    // a change made meanwhile (the command line, the tracker) stays.
    bool editTask(const QString &list, qint32 id, TaskRecord record,
                  const std::optional<TaskRecord> &shown = std::nullopt);
    // Another process changed these lists (and perhaps the categories) in
    // the database: views read them again, the tracker its task.
    void externalChange(const QStringList &lists);
    // True while the signals of an external change go out.
    bool isApplyingExternalChange() const { return m_applyingExternalChange; }
    // Adds minutes to the task's budget; a tracked task that had used it up
    // counts on. False when the task is gone (nothing written).
    bool extendBudget(const QString &list, qint32 id, qint32 minutes);
    int deleteTasks(const QString &list, const QList<qint32> &ids);
    void setState(const QString &list, const QList<qint32> &ids, int state);
    // Priority 0 ("Very Low") to 5 ("Urgent").
    void setPriority(const QString &list, const QList<qint32> &ids, int priority);

    // What checking off the tracked task does besides finishing it.
    enum class TrackedCheckOff { StopTracking, KeepTracking };
    // Check: every task not yet finished becomes "Finished" (with its whole
    // budget done when the settings say so). Uncheck: every finished task
    // goes back to "In Progress", or "Not Started" when no time is done.
    void checkTasks(const QString &list, const QList<qint32> &ids, bool check,
                    TrackedCheckOff trackedCheckOff);
    // The tracked task becomes "Finished" and tracking stops.
    void finishTrackedTask();
    // Time done back to 0 minutes; a tracked task goes on counting from zero.
    void resetTimeDone(const QString &list, const QList<qint32> &ids);
    // Moves the tasks, in the given order, to the end of the target list under
    // consecutive new numbers; returns them. The tracker follows its task.
    QList<qint32> moveTasks(const QString &list, const QList<qint32> &ids,
                            const QString &targetList);
    // Closes a day: each chosen task still unfinished is moved to the end
    // of tomorrow's list (consecutive new numbers, the tracker follows),
    // finished as a check-off finishes it (tracking it stops), or kept. One
    // transaction and one step of the history; returns the moved tasks' new
    // numbers.
    QList<qint32> reviewDay(const QString &list, const QList<ReviewChoice> &choices,
                            const QDate &tomorrow);
    // Copies the templates that match today into today's list, once a day.
    int injectRecurrentTasks(const QDate &today);

    // ---- Batch changes of the tasks of one list
    // Time done := minutes, capped by each task's own budget; the seconds of
    // the minute in progress are dropped. A tracked task goes on from there.
    void setTimeDone(const QString &list, const QList<qint32> &ids, qint64 minutes);
    void setCategory(const QString &list, const QList<qint32> &ids, qint32 category);

    // ---- Categories
    // A new category under the next free number, which is returned. The name
    // is stored as given; colours are -1 for the grid's own.
    qint32 addCategory(const QString &name, qint32 backColor, qint32 foreColor);
    // False when the category does not exist (nothing written).
    bool editCategory(qint32 id, const QString &name, qint32 backColor, qint32 foreColor);
    // Tasks of the category keep its number and show "(none)". The last
    // category is refused (StoreError with code 0). False when missing.
    bool deleteCategory(qint32 id);
    // Every task dialog and batch change offers a category to choose: the
    // last one stays. Asked of the database, not of a list on screen.
    bool canDeleteCategory();
    static QString lastCategoryText();

    // ---- Undo and redo
    // Every change above is recorded while recording is on (the window turns
    // it on; changes asked for by the command line are not the window
    // user's to take back). Tracked time is never recorded.
    UndoHistory &history() { return *m_history; }
    void setRecording(bool on) { m_recording = on; }
    bool isRecording() const { return m_recording; }
    // Takes the last change back, or makes the last undone change again, in
    // one transaction. A task or category changed since, or a task that
    // tracked time since and would vanish, refuses it: StoreError, ready to
    // show, and nothing is written. Time tracked since is kept.
    void undo();
    void redo();

    // ---- Tracking
    // Starts tracking the task; false when it does not exist.
    bool startTracking(const QString &list, qint32 id);
    void stopTracking();
    // Takes seconds of time done off the task (never below none), as when
    // the user was away while it was tracked; one step of the history. The
    // state stays: the tracker never marks a task finished, it only stops
    // counting at the budget, and counts on once the task is under it again.
    // False when the task does not exist.
    bool discardTrackedTime(const QString &list, qint32 id, qint64 seconds);

    // ---- The database file
    // Folds what was written into the file itself a moment from now, so that
    // a copy of the file alone is complete while the program runs.
    void checkpointSoon();
    QTimer *checkpointTimer() const { return m_tmrCheckpoint; }
    // At exit: tracking ends, the database is compacted and closes. Throws
    // StoreError when it cannot be compacted; it is closed and whole anyway.
    void closeAndCompact();
    // A complete copy of the live database at destination, taken while it
    // stays open (tracked minutes included); replaces any file of that name.
    void backupDatabase(const QString &destination);
    // Throws StoreError, ready to show, unless the file is an intact task
    // database. Reads it only.
    void checkRestorable(const QString &path);
    // The content of the file at chosen, checked again as it is copied,
    // takes the place of the live database in one transaction: tracking
    // stops, and a failure (StoreError) or a kill leaves the database as it
    // was. The database stays open either way.
    void replaceDatabase(const QString &chosen);

Q_SIGNALS:
    // Tasks of the list appeared, vanished, moved or changed in numbers.
    void listChanged(const QString &list);
    // One task changed in place.
    void taskChanged(const QString &list, qint32 id);
    // A category was added, renamed, recoloured or deleted.
    void categoriesChanged();
    // Another database file took the place of the live one: every list,
    // category and tracked task read before is gone.
    void databaseReplaced();

private:
    bool markFull() const;
    template<typename Fn> void inTransaction(Fn &&work);
    template<typename Fn> void recorded(const QString &what, Fn &&work);
    // recorded() for operations defined in files of their own.
    void recordedStep(const QString &what, const std::function<void(ChangeRecorder &)> &work);
    // Tasks moving, in order, to the end of one list under consecutive new
    // numbers, inside one operation's transaction.
    struct MoveRun
    {
        QString target;
        qint32 nextId = 0;
        QList<qint32> newIds;
        qint32 trackedNewId = 0; // the tracked task's new number, 0: not among them
    };
    MoveRun startMoves(const QString &target);
    void moveOne(ChangeRecorder &recorder, MoveRun &run, const QString &list, qint32 id);
    enum class Direction { Back, Forward };
    void applyStep(const UndoStep &step, Direction direction);
    void checkpointNow();
    // After a change of one task: the tracker rereads it, the views hear of
    // it. Returns found, for the callers' own result.
    bool announceEdit(const QString &list, qint32 id, bool found);

    TaskStore &m_store;
    clsSettings &m_settings;
    TimeTracker &m_tracker;
    QTimer *m_tmrCheckpoint = nullptr;
    UndoHistory *m_history = nullptr;
    bool m_applyingExternalChange = false;
    bool m_recording = false;
};

} // namespace cdk
