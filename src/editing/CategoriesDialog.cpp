#include "editing/CategoriesDialog.h"

#include "base/Functions.h"
#include "base/Log.h"
#include "base/Prompter.h"
#include "controls/Contrast.h"
#include "controls/Icons.h"
#include "core/TaskOperations.h"
#include "editing/TaskDialogHost.h"
#include "store/StoreError.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedLayout>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace cdk {

namespace {

enum Column : int { NameColumn = 0, PreviewColumn = 1 };
// The stored colours of a listed category, -1 for "Default".
constexpr int StoredBackRole = Qt::UserRole + 1;
constexpr int StoredForeRole = Qt::UserRole + 2;

// Colours are stored as R + 256 * G + 65536 * B.
QColor colourOf(qint32 value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

qint32 valueOf(const QColor &colour)
{
    return colour.red() + 256 * colour.green() + 65536 * colour.blue();
}

QPushButton *button(const QString &caption, const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    // Some styles draw the caption right up to the bevel.
    b->setMinimumWidth(b->sizeHint().width() + 2 * b->fontMetrics().averageCharWidth());
    return b;
}

// A category's preview as the task grid shows its rows.
void showStoredColours(QTreeWidgetItem *item, const QPalette &palette)
{
    auto stored = [item](int role) {
        const qint32 value = item->data(PreviewColumn, role).toInt();
        return value > -1 ? colourOf(value) : QColor();
    };
    const ShownColours shown
        = categoryColoursIn(palette, stored(StoredBackRole), stored(StoredForeRole));
    item->setData(PreviewColumn, Qt::BackgroundRole,
                  shown.back.isValid() ? QVariant(QBrush(shown.back)) : QVariant());
    item->setData(PreviewColumn, Qt::ForegroundRole,
                  shown.fore.isValid() ? QVariant(QBrush(shown.fore)) : QVariant());
}

// context is marked with QT_TRANSLATE_NOOP: the log keeps the English, the
// user reads it in the window's language.
void reportFailure(Prompter &prompter, const char *context, const StoreError &e)
{
    qCWarning(lcStore) << context << e.code() << e.message();
    if (e.isReadyToShow())
        prompter.tell(programName(), e.userMessage(), MessageIcon::Exclamation);
    else
        ShowErrorMessage(prompter, QCoreApplication::translate("cdk::CategoriesDialog", context),
                         e.code(), e.message());
}

} // namespace

CategoriesDialog::CategoriesDialog(TaskOperations &operations, Prompter &prompter,
                                   TaskDialogHost &host, QWidget *parent)
    : QDialog(parent)
    , m_operations(operations)
    , m_prompter(prompter)
    , m_host(host)
{
    setObjectName(QStringLiteral("frmCategories"));
    setWindowTitle(tr("Manage Categories"));
    setWindowIcon(iconForKey(QStringLiteral("MANAGE")));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setModal(true);
    buildLayout();

    FillCategoryList();
    if (m_catGrid->topLevelItemCount() > 0)
        selectRow(1);
    updateButtons();
}

void CategoriesDialog::buildLayout()
{
    // The defaults are the desktop's window colours, as they are when the
    // dialog opens.
    m_lblDefaultColors = new QLabel(this);
    m_lblDefaultColors->setObjectName(QStringLiteral("lblDefaultColors"));
    m_lblDefaultColors->hide();
    QPalette systemColours = m_lblDefaultColors->palette();
    systemColours.setColor(QPalette::Window, palette().color(QPalette::Base));
    systemColours.setColor(QPalette::WindowText, palette().color(QPalette::Text));
    m_lblDefaultColors->setPalette(systemColours);

    // ---- The list
    m_gpCategories = new QWidget(this);
    m_gpCategories->setObjectName(QStringLiteral("gpCategories"));
    m_catGrid = new QTreeWidget(m_gpCategories);
    m_catGrid->setObjectName(QStringLiteral("CatGrid"));
    m_catGrid->setAccessibleName(tr("Categories"));
    m_catGrid->setColumnCount(2);
    m_catGrid->setHeaderLabels({tr("Category"), tr("Preview")});
    m_catGrid->headerItem()->setTextAlignment(NameColumn, Qt::AlignLeft | Qt::AlignVCenter);
    m_catGrid->headerItem()->setTextAlignment(PreviewColumn, Qt::AlignLeft | Qt::AlignVCenter);
    m_catGrid->setRootIsDecorated(false);
    m_catGrid->setItemsExpandable(false);
    m_catGrid->setUniformRowHeights(true);
    m_catGrid->setAllColumnsShowFocus(true);
    m_catGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_catGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_catGrid->header()->setSectionsMovable(false);
    m_catGrid->header()->setStretchLastSection(true);
    m_catGrid->setColumnWidth(NameColumn, 240);
    m_catGrid->setColumnWidth(PreviewColumn, 100);
    m_catGrid->setMinimumSize(240 + 100 + 2 * m_catGrid->frameWidth() + 4, 220);
    m_catGrid->installEventFilter(this);
    auto *lbLCategories = new QLabel(tr("Categories:"), m_gpCategories);
    lbLCategories->setObjectName(QStringLiteral("lbLCategories"));
    lbLCategories->setBuddy(m_catGrid);

    m_cmdAddNew = button(tr("&Add New Category..."), QStringLiteral("cmdAddNew"),
                         m_gpCategories);
    m_cmdEdit = button(tr("&Edit Category..."), QStringLiteral("cmdEdit"), m_gpCategories);
    m_cmdDelete = button(tr("&Delete Category"), QStringLiteral("cmdDelete"), m_gpCategories);
    m_cmdClose = button(tr("C&lose"), QStringLiteral("cmdClose"), m_gpCategories);
    auto *side = new QVBoxLayout;
    side->addWidget(m_cmdAddNew);
    side->addWidget(m_cmdEdit);
    side->addWidget(m_cmdDelete);
    side->addStretch(1);
    side->addWidget(m_cmdClose);
    auto *list = new QGridLayout(m_gpCategories);
    list->setContentsMargins(0, 0, 0, 0);
    list->setHorizontalSpacing(12);
    list->addWidget(lbLCategories, 0, 0);
    list->addWidget(m_catGrid, 1, 0);
    list->addLayout(side, 1, 1);
    list->setColumnStretch(0, 1);
    list->setRowStretch(1, 1);

    // ---- The add/edit panel, in the list's place while it is open
    m_gpAddEdit = new QGroupBox(this);
    m_gpAddEdit->setObjectName(QStringLiteral("gpAddEdit"));
    m_txtName = new QLineEdit(m_gpAddEdit);
    m_txtName->setObjectName(QStringLiteral("txtName"));
    auto *lblName = new QLabel(tr("Category Name:"), m_gpAddEdit);
    lblName->setBuddy(m_txtName);
    const QString defaults[2] = {tr("&Default"), tr("De&fault")};
    const QString picks[2] = {tr("&Pick Color..."), tr("P&ick Color...")};
    for (int i = 0; i < 2; ++i) {
        m_chkUseDefault[i] = new QCheckBox(defaults[i], m_gpAddEdit);
        m_chkUseDefault[i]->setObjectName(QStringLiteral("chkUseDefault(%1)").arg(i));
        m_cmdPickColor[i]
            = button(picks[i], QStringLiteral("cmdPickColor(%1)").arg(i), m_gpAddEdit);
        connect(m_chkUseDefault[i], &QCheckBox::clicked, this,
                [this, i] { chkUseDefault_Click(i); });
        connect(m_cmdPickColor[i], &QPushButton::clicked, this,
                [this, i] { cmdPickColor_Click(i); });
    }
    m_lblPreview = new QLabel(tr("Preview"), m_gpAddEdit);
    m_lblPreview->setObjectName(QStringLiteral("lblPreview"));
    m_lblPreview->setAutoFillBackground(true);
    m_lblPreview->setAlignment(Qt::AlignCenter);
    m_lblPreview->setFrameShape(QFrame::StyledPanel);
    m_lblPreview->setMinimumHeight(m_lblPreview->fontMetrics().height() * 2);
    m_cmdOK = button(tr("&OK"), QStringLiteral("cmdOK"), m_gpAddEdit);
    m_cmdOK->setDefault(true);
    m_cmdCancel = button(tr("C&ancel"), QStringLiteral("cmdCancel"), m_gpAddEdit);

    auto *form = new QGridLayout(m_gpAddEdit);
    form->setHorizontalSpacing(10);
    form->addWidget(lblName, 0, 0);
    form->addWidget(m_txtName, 0, 1, 1, 2);
    form->addWidget(new QLabel(tr("Background Color:"), m_gpAddEdit), 1, 0);
    form->addWidget(m_chkUseDefault[0], 1, 1);
    form->addWidget(m_cmdPickColor[0], 1, 2);
    form->addWidget(new QLabel(tr("Fore Color:"), m_gpAddEdit), 2, 0);
    form->addWidget(m_chkUseDefault[1], 2, 1);
    form->addWidget(m_cmdPickColor[1], 2, 2);
    form->addWidget(new QLabel(tr("Color Preview:"), m_gpAddEdit), 3, 0);
    form->addWidget(m_lblPreview, 3, 1, 1, 2);
    auto *okCancel = new QHBoxLayout;
    okCancel->addStretch(1);
    okCancel->addWidget(m_cmdOK);
    okCancel->addWidget(m_cmdCancel);
    form->setRowStretch(4, 1);
    form->addLayout(okCancel, 5, 0, 1, 3);
    form->setColumnStretch(1, 1);

    m_pages = new QStackedLayout;
    m_pages->addWidget(m_gpCategories);
    m_pages->addWidget(m_gpAddEdit);
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(12, 12, 12, 12);
    root->addLayout(m_pages);

    setTabOrder(m_catGrid, m_cmdAddNew);
    setTabOrder(m_cmdAddNew, m_cmdEdit);
    setTabOrder(m_cmdEdit, m_cmdDelete);
    setTabOrder(m_cmdDelete, m_cmdClose);
    setTabOrder(m_txtName, m_chkUseDefault[0]);
    setTabOrder(m_chkUseDefault[0], m_cmdPickColor[0]);
    setTabOrder(m_cmdPickColor[0], m_chkUseDefault[1]);
    setTabOrder(m_chkUseDefault[1], m_cmdPickColor[1]);
    setTabOrder(m_cmdPickColor[1], m_cmdOK);
    setTabOrder(m_cmdOK, m_cmdCancel);

    connect(m_cmdAddNew, &QPushButton::clicked, this, &CategoriesDialog::cmdAddNew_Click);
    connect(m_cmdEdit, &QPushButton::clicked, this, &CategoriesDialog::cmdEdit_Click);
    connect(m_cmdDelete, &QPushButton::clicked, this, &CategoriesDialog::cmdDelete_Click);
    connect(m_cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cmdOK, &QPushButton::clicked, this, &CategoriesDialog::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &CategoriesDialog::cmdCancel_Click);
    connect(m_catGrid, &QTreeWidget::itemSelectionChanged, this, &CategoriesDialog::updateButtons);
    connect(m_catGrid, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (m_cmdEdit->isEnabled())
            cmdEdit_Click();
    });
}

bool CategoriesDialog::ShowEx(QWidget *owner)
{
    if (owner && owner != parentWidget())
        setParent(owner, windowFlags());
    m_catGrid->setFocus();
    ModalDialogScope modal(m_host);
    exec();
    return m_changed;
}

void CategoriesDialog::reject()
{
    if (m_gpAddEdit->isVisible())
        cmdCancel_Click();
    else
        QDialog::reject();
}

bool CategoriesDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_catGrid && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
        cmdDelete_Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// ---- The list

void CategoriesDialog::FillCategoryList()
{
    const QSignalBlocker quiet(m_catGrid);
    m_catGrid->clear();
    QList<CategoryRecord> categories;
    try {
        categories = m_operations.categories();
    } catch (const StoreError &e) {
        reportFailure(m_prompter,
                      QT_TRANSLATE_NOOP("cdk::CategoriesDialog",
                                        "The categories could not be read."),
                      e);
    }
    for (const CategoryRecord &c : categories) {
        auto *item = new QTreeWidgetItem(m_catGrid);
        item->setText(NameColumn, c.Name);
        item->setData(NameColumn, Qt::UserRole, c.ID);
        item->setText(PreviewColumn, tr("Preview"));
        item->setData(PreviewColumn, StoredBackRole, c.BackColor);
        item->setData(PreviewColumn, StoredForeRole, c.ForeColor);
        showStoredColours(item, m_catGrid->palette());
    }
}

void CategoriesDialog::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    // A desktop switching schemes while the dialog is open: the previews
    // follow, as the grid's rows do.
    if (event->type() == QEvent::PaletteChange && m_catGrid) {
        for (int i = 0; i < m_catGrid->topLevelItemCount(); ++i)
            showStoredColours(m_catGrid->topLevelItem(i), m_catGrid->palette());
    }
}

int CategoriesDialog::selectedRow() const
{
    const QList<QTreeWidgetItem *> selected = m_catGrid->selectedItems();
    return selected.isEmpty() ? 0 : m_catGrid->indexOfTopLevelItem(selected.first()) + 1;
}

void CategoriesDialog::selectRow(int row)
{
    if (QTreeWidgetItem *item = m_catGrid->topLevelItem(row - 1)) {
        m_catGrid->setCurrentItem(item, NameColumn);
        item->setSelected(true);
    }
}

qint32 CategoriesDialog::selectedCategoryId() const
{
    const QList<QTreeWidgetItem *> selected = m_catGrid->selectedItems();
    return selected.isEmpty() ? 0 : selected.first()->data(NameColumn, Qt::UserRole).toInt();
}

void CategoriesDialog::updateButtons()
{
    const bool selected = selectedRow() >= 1;
    m_cmdEdit->setEnabled(selected);
    m_cmdDelete->setEnabled(selected);
}

// ---- The add/edit panel

QColor CategoriesDialog::defaultColour(int index) const
{
    return m_lblDefaultColors->palette().color(index == 0 ? QPalette::Window
                                                          : QPalette::WindowText);
}

void CategoriesDialog::setPreview(const QColor &back, const QColor &fore)
{
    m_previewBack = back;
    m_previewFore = fore;
    showPreview();
}

void CategoriesDialog::showPreview()
{
    // The default text on a colour of the user's is shown as the grid will
    // show it: in a colour that reads there.
    const bool readable = m_chkUseDefault[1]->isChecked() && !m_chkUseDefault[0]->isChecked();
    QPalette p = m_lblPreview->palette();
    p.setColor(QPalette::Window, m_previewBack);
    p.setColor(QPalette::WindowText,
               readable ? readableTextOn(m_previewBack, m_previewFore) : m_previewFore);
    m_lblPreview->setPalette(p);
}

void CategoriesDialog::showAddEditPanel()
{
    m_gpCategories->setEnabled(false);
    m_pages->setCurrentWidget(m_gpAddEdit);
    m_txtName->setFocus();
    updateButtons();
}

void CategoriesDialog::cmdAddNew_Click()
{
    m_editing = false;
    m_gpAddEdit->setTitle(tr("Add New Category"));
    m_txtName->clear();
    setPreview(defaultColour(0), defaultColour(1));
    m_chkUseDefault[0]->setChecked(true);
    m_chkUseDefault[1]->setChecked(true);
    showPreview();
    showAddEditPanel();
}

void CategoriesDialog::cmdEdit_Click()
{
    m_editing = true;
    m_gpAddEdit->setTitle(tr("Edit Task Category"));
    const QList<QTreeWidgetItem *> selected = m_catGrid->selectedItems();
    m_txtName->setText(selected.isEmpty() ? QString() : selected.first()->text(NameColumn));
    m_txtName->selectAll();
    std::optional<CategoryRecord> found;
    try {
        for (const CategoryRecord &c : m_operations.categories()) {
            if (c.ID == selectedCategoryId())
                found = c;
        }
    } catch (const StoreError &e) {
        reportFailure(m_prompter,
                      QT_TRANSLATE_NOOP("cdk::CategoriesDialog",
                                        "The categories could not be read."),
                      e);
    }
    if (!found) {
        m_prompter.tell(programName(),
                        tr("Error, can not find the category to be edited!"),
                        MessageIcon::Critical);
    } else {
        QColor back = defaultColour(0), fore = defaultColour(1);
        if (found->ForeColor > -1)
            fore = colourOf(found->ForeColor);
        if (found->BackColor > -1)
            back = colourOf(found->BackColor);
        setPreview(back, fore);
        m_chkUseDefault[1]->setChecked(found->ForeColor <= -1);
        m_chkUseDefault[0]->setChecked(found->BackColor <= -1);
        showPreview();
    }
    showAddEditPanel();
}

void CategoriesDialog::chkUseDefault_Click(int index)
{
    if (m_suppress || !m_chkUseDefault[index]->isChecked())
        return;
    if (index == 0)
        setPreview(defaultColour(0), m_previewFore);
    else
        setPreview(m_previewBack, defaultColour(1));
}

void CategoriesDialog::cmdPickColor_Click(int index)
{
    m_suppress = true;
    const QColor current = index == 1 ? m_previewFore : m_previewBack;
    // A cancelled colour dialog leaves everything as it was.
    if (const std::optional<qint32> chosen = m_prompter.chooseColor(valueOf(current))) {
        m_chkUseDefault[index]->setChecked(false);
        if (index == 1)
            setPreview(m_previewBack, colourOf(*chosen));
        else
            setPreview(colourOf(*chosen), m_previewFore);
    }
    m_suppress = false;
}

void CategoriesDialog::cmdOK_Click()
{
    if (m_txtName->text().trimmed().isEmpty()) {
        m_prompter.tell(programName(), tr("Please specify the name of category!"),
                        MessageIcon::Information);
        return;
    }
    const qint32 back = m_chkUseDefault[0]->isChecked() ? -1 : valueOf(m_previewBack);
    const qint32 fore = m_chkUseDefault[1]->isChecked() ? -1 : valueOf(m_previewFore);
    // The name is kept as typed, blanks and all.
    try {
        if (m_editing)
            m_operations.editCategory(selectedCategoryId(), m_txtName->text(), back, fore);
        else
            m_operations.addCategory(m_txtName->text(), back, fore);
    } catch (const StoreError &e) {
        reportFailure(m_prompter,
                      QT_TRANSLATE_NOOP("cdk::CategoriesDialog",
                                        "The category could not be saved."),
                      e);
        return;
    }
    m_changed = true;
    cmdCancel_Click();
    const int row = selectedRow();
    FillCategoryList();
    if (row > 0)
        selectRow(row);
    updateButtons();
}

void CategoriesDialog::cmdCancel_Click()
{
    m_gpCategories->setEnabled(true);
    m_pages->setCurrentWidget(m_gpCategories);
    m_cmdAddNew->setFocus();
}

void CategoriesDialog::cmdDelete_Click()
{
    bool deletable = false;
    try {
        deletable = m_operations.canDeleteCategory();
    } catch (const StoreError &e) {
        reportFailure(m_prompter,
                      QT_TRANSLATE_NOOP("cdk::CategoriesDialog",
                                        "The category could not be deleted."),
                      e);
        return;
    }
    if (!deletable) {
        m_prompter.tell(programName(), TaskOperations::lastCategoryText(),
                        MessageIcon::Information);
        FillCategoryList();
        updateButtons();
        return;
    }
    const QList<QTreeWidgetItem *> selected = m_catGrid->selectedItems();
    if (selected.isEmpty())
        return;
    const QString name = selected.first()->text(NameColumn);
    if (m_prompter.ask(programName(),
                       tr("Do you really want to delete %1 category?").arg(name),
                       MessageIcon::Question)
        != Answer::Yes)
        return;
    // Tasks of the category keep its number and show "(none)".
    try {
        if (m_operations.deleteCategory(selectedCategoryId()))
            m_changed = true;
    } catch (const StoreError &e) {
        reportFailure(m_prompter,
                      QT_TRANSLATE_NOOP("cdk::CategoriesDialog",
                                        "The category could not be deleted."),
                      e);
    }
    FillCategoryList();
    updateButtons();
}

} // namespace cdk
