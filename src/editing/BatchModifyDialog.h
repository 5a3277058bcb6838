#pragma once

#include <QDate>
#include <QDialog>
#include <QList>


class QComboBox;
class QLabel;
class QPushButton;

namespace cdk {

class DatePicker;
class Prompter;
class ShownDay;
class TaskDialogHost;
class TaskOperations;

// One change for all the selected tasks of the day shown: the time done, the
// day they belong to, or their category. OK reads the selection as it is at
// that moment and asks the task operations, which keep the tracker in step.
class BatchModifyDialog final : public QDialog
{
    Q_OBJECT

public:
    enum Mode : int { TimeDone = 0, MoveToAnyDay = 1, Category = 2 };
    // day: the day shown and its selected tasks, read when the user presses OK.
    BatchModifyDialog(TaskOperations &operations, Prompter &prompter, TaskDialogHost &host,
                      const ShownDay &day, QWidget *parent = nullptr);

    // Shows the panel of the mode (the date starts at today) and runs the
    // dialog modally over owner.
    void ShowEx(int mode, const QDate &today, QWidget *owner = nullptr);
    int mode() const { return m_mode; }

private:
    void cmdOK_Click();

    TaskOperations &m_operations;
    Prompter &m_prompter;
    TaskDialogHost &m_host;
    const ShownDay &m_day;
    int m_mode = TimeDone;

    QWidget *m_fraTimeDone = nullptr;
    QComboBox *m_cmbHours = nullptr;
    QComboBox *m_cmbMinutes = nullptr;
    QWidget *m_fraMoveToAnyProject = nullptr;
    DatePicker *m_dtpDate = nullptr;
    QWidget *m_gpCategory = nullptr;
    QComboBox *m_cmbCategory = nullptr;
    QPushButton *m_cmdOK = nullptr;
    QPushButton *m_cmdCancel = nullptr;
};

} // namespace cdk
