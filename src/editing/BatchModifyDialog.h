#pragma once

#include <QDate>
#include <QDialog>
#include <QList>

#include <functional>

class QComboBox;
class QLabel;
class QPushButton;

namespace cdk {

class DatePicker;
class Prompter;
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
    using Selection = std::function<QList<qint32>()>;

    BatchModifyDialog(TaskOperations &operations, Prompter &prompter, TaskDialogHost &host,
                      Selection selection, QWidget *parent = nullptr);

    // Shows the panel of the mode (the date starts at today) and runs the
    // dialog modally over owner.
    void ShowEx(int mode, const QDate &today, QWidget *owner = nullptr);
    int mode() const { return m_mode; }

private:
    void cmdOK_Click();

    TaskOperations &m_operations;
    Prompter &m_prompter;
    TaskDialogHost &m_host;
    Selection m_selection;
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
