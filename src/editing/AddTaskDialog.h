#pragma once

#include "store/TaskRecord.h"

#include <QDialog>

#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace cdk {

class Clock;
class DialogHeader;
class Prompter;
class RecurrenceBox;
class ShownDay;
class TaskDialogHost;
class TaskOperations;

// What the task dialog stored when it was closed with OK.
struct TaskDialogResult
{
    bool saved = false;
    QString list;          // where the task (or template) now lives
    qint32 id = 0;
    bool startTimer = false; // "Start The Task Timer Now" was ticked
};

// The six priorities from "Urgent" down to "Very Low" with their pictures;
// position i stands for priority 5 - i. Selects "Normal".
void FillPriorityCombo(QComboBox &combo);

// The dialog in which a task or a recurrent template is added or changed.
// One instance serves the whole run; ShowEx resets it before every use.
class AddTaskDialog final : public QDialog
{
    Q_OBJECT

public:
    // A new task goes into the day shown.
    AddTaskDialog(TaskOperations &operations, Prompter &prompter, Clock &clock,
                  TaskDialogHost &host, const ShownDay &day, QWidget *parent = nullptr);

    // Fills the dialog for adding (isNew, taskId 0) or editing the task
    // (listKey, taskId), a template when isRecurrent, and runs it modally over
    // owner. Returns what was stored once the dialog has closed; starting the
    // timer is the caller's, by the task's list and ID.
    TaskDialogResult ShowEx(QWidget *owner, bool isNew, qint32 taskId, const QString &listKey,
                            bool isRecurrent);


    QString headerCaption() const;

public Q_SLOTS:
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();
    void prepare(bool isNew, qint32 taskId, const QString &listKey, bool isRecurrent);
    void fillForAdd();
    void fillForEdit();
    // The categories; a task whose category no longer exists gets an entry
    // "(none)" that keeps its value, so saving leaves it untouched.
    void fillCategoryCombo(std::optional<qint32> keep = std::nullopt);
    void setHeader(const QString &caption, const QString &iconKey);
    void SetRecurrentLayout(bool on);
    // The OK, Cancel and Esc road out: pairs the template layout and hides.
    void closeDialog(int result);

    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdPreset_Click(int minutes);
    void cmdCategories_Click();

    // Reads the form into a record; nothing when the time cannot be stored.
    std::optional<TaskRecord> recordFromForm();
    void saveTemplate(TaskRecord record);
    void saveTask(TaskRecord record);
    // Shows why the store refused; true when something went wrong.
    template<typename Fn>
    bool refusedByStore(Fn &&write);

    TaskOperations &m_operations;
    Prompter &m_prompter;
    Clock &m_clock;
    TaskDialogHost &m_host;
    const ShownDay &m_day;

    bool m_isNewTask = true;
    bool m_isRecurrent = false;
    qint32 m_editTaskID = 0;
    std::optional<TaskRecord> m_shown; // the edited task as the form first showed it
    QString m_editListKey;
    TaskDialogResult m_result;
    bool m_recurrentLayout = false;

    DialogHeader *m_gpTop = nullptr;
    QLineEdit *m_txtSubject = nullptr;
    QComboBox *m_cmbHours = nullptr;
    QComboBox *m_cmbMinutes = nullptr;
    std::array<QPushButton *, 5> m_cmdPreset{};
    QComboBox *m_cmbCategory = nullptr;
    QPushButton *m_cmdCategories = nullptr;
    QComboBox *m_cmbPriority = nullptr;
    QComboBox *m_cmbStatus = nullptr;
    QLabel *m_lblOtherOptions = nullptr;
    QCheckBox *m_chkStartTaskTimer = nullptr;
    RecurrenceBox *m_recurrence = nullptr;
    QFrame *m_line = nullptr;
    QPushButton *m_cmdOK = nullptr;
    QPushButton *m_cmdCancel = nullptr;
};

} // namespace cdk
