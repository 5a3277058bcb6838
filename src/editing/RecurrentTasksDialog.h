#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace cdk {

class AddTaskDialog;
class Prompter;
class TaskDialogHost;
class TaskOperations;

// The list of recurrent task templates with their rules, from which they are
// added, changed and deleted through the task dialog.
class RecurrentTasksDialog final : public QDialog
{
    Q_OBJECT

public:
    RecurrentTasksDialog(TaskOperations &operations, Prompter &prompter, AddTaskDialog &taskDialog,
                         TaskDialogHost &host, QWidget *parent = nullptr);

    // Fills the list and runs the window modally over owner.
    void ShowEx(QWidget *owner);

    // Refills the list; with keepSelection the same row number stays selected.
    // Row 1 is selected whenever there are rows and none is.
    void RefreshList(bool keepSelection);
    // Edit and Delete only work on a selected row.
    void FixButtons();

    // Selected row counted from 1, 0 when none.
    int selectedRow() const;

private:
    void FillRecurrentList();
    void selectRow(int row);
    qint32 selectedTemplateId() const;

    void cmdAddNew_Click();
    void cmdEdit_Click();
    void cmdDelete_Click();

    TaskOperations &m_operations;
    Prompter &m_prompter;
    AddTaskDialog &m_taskDialog;
    TaskDialogHost &m_host;

    QLabel *m_lblDesign = nullptr;
    QTreeWidget *m_list = nullptr;
    QPushButton *m_cmdAddNew = nullptr;
    QPushButton *m_cmdEdit = nullptr;
    QPushButton *m_cmdDelete = nullptr;
    QPushButton *m_cmdClose = nullptr;
};

} // namespace cdk
