#pragma once

#include <QColor>
#include <QDialog>

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedLayout;
class QTreeWidget;

namespace cdk {

class Prompter;
class TaskDialogHost;
class TaskOperations;

// "Manage Categories": the list of task categories with their colours, and
// the panel in which one is added or changed. Every change is stored at once
// through the task operations; the caller refills what shows categories when
// ShowEx reports a change.
class CategoriesDialog final : public QDialog
{
    Q_OBJECT

public:
    CategoriesDialog(TaskOperations &operations, Prompter &prompter, TaskDialogHost &host,
                     QWidget *parent = nullptr);

    // Runs the dialog modally over owner; true when a category was added,
    // changed or deleted.
    bool ShowEx(QWidget *owner);
    bool changed() const { return m_changed; }
    // Selected row counted from 1, 0 when none.
    int selectedRow() const;

    // Escape leaves the panel when it is open, else the dialog.
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildLayout();
    void FillCategoryList();
    void selectRow(int row);
    qint32 selectedCategoryId() const;
    void updateButtons();
    void showAddEditPanel();
    void setPreview(const QColor &back, const QColor &fore);
    void showPreview();
    QColor defaultColour(int index) const;

    void cmdAddNew_Click();
    void cmdEdit_Click();
    void cmdDelete_Click();
    void chkUseDefault_Click(int index);
    void cmdPickColor_Click(int index);
    void cmdOK_Click();
    void cmdCancel_Click();

    TaskOperations &m_operations;
    Prompter &m_prompter;
    TaskDialogHost &m_host;
    bool m_changed = false;
    bool m_editing = false;
    bool m_suppress = false;
    // The colours chosen in the add/edit panel (the defaults when its boxes
    // are ticked); the preview shows them.
    QColor m_previewBack;
    QColor m_previewFore;

    QStackedLayout *m_pages = nullptr; // the list, or the add/edit panel
    QWidget *m_gpCategories = nullptr;
    QTreeWidget *m_catGrid = nullptr;
    QPushButton *m_cmdAddNew = nullptr;
    QPushButton *m_cmdEdit = nullptr;
    QPushButton *m_cmdDelete = nullptr;
    QPushButton *m_cmdClose = nullptr;
    QGroupBox *m_gpAddEdit = nullptr;
    QLineEdit *m_txtName = nullptr;
    std::array<QCheckBox *, 2> m_chkUseDefault {}; // 0: background, 1: text
    std::array<QPushButton *, 2> m_cmdPickColor {};
    QLabel *m_lblPreview = nullptr;
    QLabel *m_lblDefaultColors = nullptr;
    QPushButton *m_cmdOK = nullptr;
    QPushButton *m_cmdCancel = nullptr;
};

} // namespace cdk
