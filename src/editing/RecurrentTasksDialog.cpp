#include "editing/RecurrentTasksDialog.h"

#include "base/Functions.h"
#include "base/Log.h"
#include "base/Prompter.h"
#include "settings/Settings.h"
#include "controls/Icons.h"
#include "editing/AddTaskDialog.h"
#include "core/Recurrence.h"
#include "editing/TaskDialogHost.h"
#include "core/TaskOperations.h"
#include "store/StoreError.h"
#include "store/Vocabulary.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace cdk {

namespace {

enum Column : int { SubjectColumn = 0, CategoryColumn = 1, RecurrenceColumn = 2 };

QPushButton *sideButton(const QString &caption, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

// Rows as high as the main grid's, which the eye compares them with.
class RowHeightDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(qMax(size.height(), GridRowHeightForFontSize(option.font.pointSize())));
        return size;
    }
};

} // namespace

RecurrentTasksDialog::RecurrentTasksDialog(TaskOperations &operations, Prompter &prompter,
                                           AddTaskDialog &taskDialog, TaskDialogHost &host,
                                           QWidget *parent)
    : QDialog(parent), m_operations(operations), m_prompter(prompter), m_taskDialog(taskDialog),
      m_host(host)
{
    setObjectName(QStringLiteral("frmRecurrentTasks"));
    setWindowTitle(tr("Recurrent Tasks"));
    setWindowIcon(iconForKey(QStringLiteral("RECURRENT")));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setModal(true);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("lvRecurrentTasks"));
    m_list->setColumnCount(3);
    m_list->setHeaderLabels({tr("Task"), tr("Category"), tr("Recurrence")});
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->header()->setStretchLastSection(true);
    m_list->header()->setSectionsMovable(false);
    m_list->setItemDelegate(new RowHeightDelegate(m_list));
    m_list->setUniformRowHeights(true);
    m_list->setColumnWidth(SubjectColumn, 180);
    m_list->setColumnWidth(CategoryColumn, 90);
    m_list->setColumnWidth(RecurrenceColumn, 120);
    m_list->setMinimumSize(180 + 90 + 120 + 2 * m_list->frameWidth() + 4, 240);

    m_lblDesign = new QLabel(tr("Recurrent Tasks:"), this);
    m_lblDesign->setObjectName(QStringLiteral("lblDesign"));
    m_lblDesign->setBuddy(m_list);
    // A list is not named by its label's buddy: a screen reader needs it told.
    m_list->setAccessibleName(tr("Recurrent Tasks"));

    m_cmdAddNew = sideButton(tr("&Add New..."), QStringLiteral("cmdAddNew"), this);
    m_cmdEdit = sideButton(tr("&Edit..."), QStringLiteral("cmdEdit"), this);
    m_cmdDelete = sideButton(tr("&Delete"), QStringLiteral("cmdDelete"), this);
    m_cmdClose = sideButton(tr("C&lose"), QStringLiteral("cmdClose"), this);

    auto *side = new QVBoxLayout;
    side->setSpacing(8);
    side->addWidget(m_cmdAddNew);
    side->addWidget(m_cmdEdit);
    side->addWidget(m_cmdDelete);
    side->addStretch(1);
    side->addWidget(m_cmdClose);

    // The buttons start level with the list, not with its caption.
    auto *root = new QGridLayout(this);
    root->setContentsMargins(12, 12, 12, 12);
    root->setHorizontalSpacing(12);
    root->addWidget(m_lblDesign, 0, 0);
    root->addWidget(m_list, 1, 0);
    root->addLayout(side, 1, 1);
    root->setColumnStretch(0, 1);
    root->setRowStretch(1, 1);

    setTabOrder(m_list, m_cmdAddNew);
    setTabOrder(m_cmdAddNew, m_cmdEdit);
    setTabOrder(m_cmdEdit, m_cmdDelete);
    setTabOrder(m_cmdDelete, m_cmdClose);

    connect(m_cmdAddNew, &QPushButton::clicked, this, &RecurrentTasksDialog::cmdAddNew_Click);
    connect(m_cmdEdit, &QPushButton::clicked, this, &RecurrentTasksDialog::cmdEdit_Click);
    connect(m_cmdDelete, &QPushButton::clicked, this, &RecurrentTasksDialog::cmdDelete_Click);
    connect(m_cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &RecurrentTasksDialog::FixButtons);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (m_cmdEdit->isEnabled())
            cmdEdit_Click();
    });

    RefreshList(false);
    FixButtons();
}

void RecurrentTasksDialog::ShowEx(QWidget *owner)
{
    if (owner && owner != parentWidget())
        setParent(owner, windowFlags());
    RefreshList(false);
    FixButtons();
    m_list->setFocus();
    ModalDialogScope modal(m_host);
    exec();
}

int RecurrentTasksDialog::selectedRow() const
{
    const QList<QTreeWidgetItem *> selected = m_list->selectedItems();
    if (selected.isEmpty())
        return 0;
    return m_list->indexOfTopLevelItem(selected.first()) + 1;
}

void RecurrentTasksDialog::selectRow(int row)
{
    QTreeWidgetItem *item = m_list->topLevelItem(row - 1);
    if (!item)
        return;
    m_list->setCurrentItem(item);
    item->setSelected(true);
}

qint32 RecurrentTasksDialog::selectedTemplateId() const
{
    const QList<QTreeWidgetItem *> selected = m_list->selectedItems();
    return selected.isEmpty() ? 0 : selected.first()->data(SubjectColumn, Qt::UserRole).toInt();
}

void RecurrentTasksDialog::FillRecurrentList()
{
    m_list->clear();
    try {
        QHash<qint32, QString> categoryNames;
        for (const CategoryRecord &c : m_operations.categories())
            categoryNames.insert(c.ID, c.Name);
        for (const TaskRecord &templ : m_operations.tasksOfList(recurrentListKey())) {
            auto *item = new QTreeWidgetItem(m_list);
            item->setText(SubjectColumn, GetRecurrentSubject(templ.Subject));
            item->setData(SubjectColumn, Qt::UserRole, templ.ID);
            item->setText(CategoryColumn,
                          categoryNames.value(templ.Category, tr("(none)")));
            item->setText(RecurrenceColumn, RecurrenceName(templ.Subject));
        }
    } catch (const StoreError &e) {
        ShowErrorMessage(m_prompter, tr("The recurrent tasks could not be read."),
                         e.code(), e.message());
    }
}

void RecurrentTasksDialog::RefreshList(bool keepSelection)
{
    if (m_list->topLevelItemCount() == 0)
        keepSelection = false;
    const int row = keepSelection ? selectedRow() : 0;
    {
        // One selection change at the end instead of one per removed row.
        const QSignalBlocker quiet(m_list);
        FillRecurrentList();
        if (keepSelection && row > 0)
            selectRow(row);
        if (selectedRow() == 0 && m_list->topLevelItemCount() > 0)
            selectRow(1);
    }
    FixButtons();
}

void RecurrentTasksDialog::FixButtons()
{
    const bool selected = selectedRow() >= 1;
    m_cmdEdit->setEnabled(selected);
    m_cmdDelete->setEnabled(selected);
}

void RecurrentTasksDialog::cmdAddNew_Click()
{
    m_taskDialog.ShowEx(this, true, 0, QString(), true);
    RefreshList(true);
    FixButtons();
}

void RecurrentTasksDialog::cmdEdit_Click()
{
    const qint32 id = selectedTemplateId();
    m_taskDialog.ShowEx(this, false, id, recurrentListKey(), true);
    RefreshList(true);
    FixButtons();
}

void RecurrentTasksDialog::cmdDelete_Click()
{
    const Answer answer = m_prompter.ask(
        programName(),
        tr("Do you really want to delete the selected recurrent task?"),
        MessageIcon::Question);
    if (answer != Answer::Yes)
        return;
    const qint32 id = selectedTemplateId();
    try {
        // Copies already placed in day lists stay.
        m_operations.deleteTasks(recurrentListKey(), {id});
    } catch (const StoreError &e) {
        ShowErrorMessage(m_prompter, tr("The recurrent task could not be deleted."),
                         e.code(), e.message());
    }
    RefreshList(false);
    FixButtons();
}

} // namespace cdk
