#pragma once

#include <QString>

class QWidget;

namespace cdk {

// What the task dialogs need from the main window: the category manager and
// the counter of open modal dialogs.
class TaskDialogHost
{
public:
    virtual ~TaskDialogHost() = default;

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
