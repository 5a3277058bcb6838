#pragma once

#include <QString>
#include <QtGlobal>

class QWidget;

namespace cdk {

// What the task dialogs need from the main window: the day it shows, its task
// grid, the tracker and the counter of open modal dialogs. The main window
// implements it; tests use a fake that records the calls.
class TaskDialogHost
{
public:
    virtual ~TaskDialogHost() = default;

    // Day list key of the day shown in the main window.
    virtual QString CurrentListKey() const = 0;
    // Whether the day shown is today.
    virtual bool showsToday() const = 0;

    // ---- Task grid of the day shown
    // Appends the row of task `id` of the day shown; selects row 1 when the
    // grid has rows and none is selected; re-sorts with the current sort
    // levels. Redraw is off while this happens.
    virtual void addTaskRow(qint32 id) = 0;
    // Refills the recorded selected row from the store, then re-sorts.
    virtual void refillSelectedRow() = 0;
    // Makes the row of task `id` the selected and recorded row (nothing when
    // no row holds it).
    virtual void selectTaskRowById(qint32 id) = 0;

    // ---- Tracker
    virtual bool trackingActive() const = 0;
    virtual QString trackedList() const = 0;
    virtual qint32 trackedTaskId() const = 0;
    // true tracks the recorded selected row of the grid, false stops.
    virtual void setTracking(bool on) = 0;

    // Shows the category manager modally over parent.
    virtual void openCategoryManager(QWidget *parent) = 0;

    // Number of modal dialogs open right now; raised while a dialog runs.
    virtual int &modalDialogDepth() = 0;
};

// Raises the host's modal dialog counter for the lifetime of the scope.
class ModalDialogScope final
{
public:
    explicit ModalDialogScope(TaskDialogHost &host) : m_depth(host.modalDialogDepth())
    {
        ++m_depth;
    }
    ~ModalDialogScope() { --m_depth; }
    ModalDialogScope(const ModalDialogScope &) = delete;
    ModalDialogScope &operator=(const ModalDialogScope &) = delete;

private:
    int &m_depth;
};

} // namespace cdk
