// Widgets and layout of the task dialog; its behaviour is in AddTaskDialog.cpp.
#include "editing/AddTaskDialog.h"

#include "controls/Icons.h"
#include "editing/DialogHeader.h"
#include "editing/RecurrenceBox.h"
#include "store/Vocabulary.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace cdk {

namespace {

struct Preset
{
    const char16_t *caption;
    int minutes;
};

constexpr std::array<Preset, 5> kPresets{{
    {u"0:30", 30}, {u"0:45", 45}, {u"1:00", 60}, {u"1:30", 90}, {u"2:00", 120}}};

QLabel *formLabel(const QString &caption, const QString &name, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setBuddy(buddy);
    return label;
}

QComboBox *editableCombo(const QString &name, const QStringList &items, QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    // Typed text is read as it stands; it never becomes a new list item.
    combo->setInsertPolicy(QComboBox::NoInsert);
    // Completing from the list would turn a typed "1" into "10".
    combo->setCompleter(nullptr);
    combo->addItems(items);
    combo->setMinimumContentsLength(4);
    combo->setMaxVisibleItems(18);
    return combo;
}

} // namespace

void FillPriorityCombo(QComboBox &combo)
{
    combo.clear();
    const QStringList names = PriorityLabelsHighestFirst();
    for (int i = 0; i < names.size(); ++i)
        combo.addItem(iconForKey(PriorityIconKey(5 - i, false)), names.at(i));
    combo.setCurrentIndex(3);
}

void AddTaskDialog::buildLayout()
{
    m_gpTop = new DialogHeader(this);
    m_gpTop->setObjectName(QStringLiteral("gpTop"));

    auto *body = new QWidget(this);
    auto *form = new QGridLayout;
    form->setHorizontalSpacing(10);
    form->setVerticalSpacing(8);

    m_txtSubject = new QLineEdit(body);
    m_txtSubject->setObjectName(QStringLiteral("txtSubject"));
    m_txtSubject->setMinimumWidth(300);
    m_txtSubject->installEventFilter(this);
    auto *lblSubject = formLabel(tr("&Subject:"), QStringLiteral("lblSubject"),
                                 m_txtSubject, body);
    form->addWidget(lblSubject, 0, 0);
    form->addWidget(m_txtSubject, 0, 1);

    QStringList hours;
    for (int h = 0; h <= 10; ++h)
        hours.append(QString::number(h));
    for (int h : {15, 20, 25, 30, 40, 50, 100})
        hours.append(QString::number(h));
    QStringList minutes;
    for (int m = 0; m <= 55; m += 5)
        minutes.append(QString::number(m));
    m_cmbHours = editableCombo(QStringLiteral("cmbHours"), hours, body);
    m_cmbMinutes = editableCombo(QStringLiteral("cmbMinutes"), minutes, body);
    // The typing fields of the time are read by what they hold: a screen
    // reader has no label beside them to go by.
    m_cmbHours->lineEdit()->setAccessibleName(tr("Hours allocated"));
    m_cmbMinutes->lineEdit()->setAccessibleName(tr("Minutes allocated"));
    auto *timeRow = new QHBoxLayout;
    timeRow->setSpacing(8);
    timeRow->addWidget(m_cmbHours);
    timeRow->addWidget(new QLabel(tr("hour(s) and"), body));
    timeRow->addWidget(m_cmbMinutes);
    timeRow->addWidget(new QLabel(tr("minutes"), body));
    timeRow->addStretch(1);
    auto *lblTime = formLabel(tr("&Time Allocated:"), QStringLiteral("lblTime"),
                              m_cmbHours, body);
    form->addWidget(lblTime, 1, 0);
    form->addLayout(timeRow, 1, 1);

    auto *presetRow = new QHBoxLayout;
    presetRow->setSpacing(4);
    for (std::size_t i = 0; i < kPresets.size(); ++i) {
        auto *button = new QPushButton(QString::fromUtf16(kPresets[i].caption), body);
        button->setObjectName(QStringLiteral("cmdPreset") + QString::number(i + 1));
        button->setProperty("tag", QString::number(kPresets[i].minutes));
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::TabFocus);
        // Small and equal: they are a quick pick, not the dialog's main buttons.
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("00:00")) + 24);
        connect(button, &QPushButton::clicked, this, [this, button] {
            cmdPreset_Click(button->property("tag").toString().toInt());
        });
        presetRow->addWidget(button);
        m_cmdPreset[i] = button;
    }
    presetRow->addStretch(1);
    form->addLayout(presetRow, 2, 1);

    m_cmbCategory = new QComboBox(body);
    m_cmbCategory->setObjectName(QStringLiteral("cmbCategory"));
    m_cmdCategories = new QPushButton(QStringLiteral("..."), body);
    m_cmdCategories->setObjectName(QStringLiteral("cmdCategories"));
    m_cmdCategories->setAutoDefault(false);
    m_cmdCategories->setToolTip(tr("Categories"));
    m_cmdCategories->setAccessibleName(tr("Manage Categories"));
    m_cmdCategories->setFixedWidth(m_cmdCategories->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 20);
    auto *categoryRow = new QHBoxLayout;
    categoryRow->addWidget(m_cmbCategory, 1);
    categoryRow->addWidget(m_cmdCategories);
    form->addWidget(formLabel(tr("&Category:"), QStringLiteral("lblCategory"),
                              m_cmbCategory, body),
                    3, 0);
    form->addLayout(categoryRow, 3, 1);

    m_cmbPriority = new QComboBox(body);
    m_cmbPriority->setObjectName(QStringLiteral("cmbPriority"));
    m_cmbStatus = new QComboBox(body);
    m_cmbStatus->setObjectName(QStringLiteral("cmbStatus"));
    m_cmbStatus->addItems(TaskStateLabels());
    auto *lblStatus = formLabel(tr("Tas&k State:"), QStringLiteral("lblStatus"),
                                m_cmbStatus, body);
    auto *priorityRow = new QHBoxLayout;
    priorityRow->addWidget(m_cmbPriority, 1);
    priorityRow->addSpacing(12);
    priorityRow->addWidget(lblStatus);
    priorityRow->addSpacing(4);
    priorityRow->addWidget(m_cmbStatus, 1);
    form->addWidget(formLabel(tr("&Priority:"), QStringLiteral("lblPriority"),
                              m_cmbPriority, body),
                    4, 0);
    form->addLayout(priorityRow, 4, 1);

    m_chkStartTaskTimer = new QCheckBox(tr("Start The &Task Timer Now"), body);
    m_chkStartTaskTimer->setObjectName(QStringLiteral("chkStartTaskTimer"));
    m_lblOtherOptions = formLabel(tr("Ot&her Options:"),
                                  QStringLiteral("lblOtherOptions"), m_chkStartTaskTimer, body);
    form->addWidget(m_lblOtherOptions, 5, 0);
    form->addWidget(m_chkStartTaskTimer, 5, 1);
    // Hidden for a template, the options keep their place: the recurrence box
    // then always sits where the separator line was.
    for (QWidget *option : {static_cast<QWidget *>(m_lblOtherOptions),
                            static_cast<QWidget *>(m_chkStartTaskTimer)}) {
        QSizePolicy policy = option->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        option->setSizePolicy(policy);
    }
    form->setColumnStretch(1, 1);

    m_recurrence = new RecurrenceBox(body);
    m_recurrence->hide();
    int labelWidth = 0;
    for (int row = 0; row < form->rowCount(); ++row) {
        if (QLayoutItem *item = form->itemAtPosition(row, 0); item && item->widget())
            labelWidth = std::max(labelWidth, item->widget()->sizeHint().width());
    }
    form->setColumnMinimumWidth(0, labelWidth);
    m_recurrence->setLabelColumnWidth(labelWidth);

    auto *bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(14, 12, 14, 0);
    bodyLayout->setSpacing(10);
    bodyLayout->addLayout(form);
    bodyLayout->addWidget(m_recurrence);
    // As wide in every mode: only the height changes with the recurrence box.
    const QMargins margins = bodyLayout->contentsMargins();
    body->setMinimumWidth(std::max(form->sizeHint().width(), m_recurrence->sizeHint().width())
                          + margins.left() + margins.right());

    m_line = new QFrame(this);
    m_line->setObjectName(QStringLiteral("linSeparator"));
    m_line->setFrameShape(QFrame::HLine);
    m_line->setFrameShadow(QFrame::Sunken);

    m_cmdOK = new QPushButton(tr("&OK"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setDefault(true);
    m_cmdCancel = new QPushButton(tr("C&ancel"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdCancel->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(14, 0, 14, 12);
    buttons->addStretch(1);
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdCancel);

    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(10);
    root->addWidget(m_gpTop);
    root->addWidget(body);
    root->addWidget(m_line);
    root->addLayout(buttons);
    // The dialog always takes the size its content asks for, so showing or
    // hiding the recurrence box grows or shrinks it.
    root->setSizeConstraint(QLayout::SetFixedSize);

    QWidget *chain[] = {m_txtSubject,   m_cmbHours,    m_cmbMinutes,  m_cmdPreset[0],
                        m_cmdPreset[1], m_cmdPreset[2], m_cmdPreset[3], m_cmdPreset[4],
                        m_cmbCategory,  m_cmdCategories, m_cmbPriority, m_cmbStatus,
                        m_chkStartTaskTimer};
    for (std::size_t i = 1; i < std::size(chain); ++i)
        setTabOrder(chain[i - 1], chain[i]);
    setTabOrder(m_chkStartTaskTimer, m_recurrence->firstFocusWidget());
    setTabOrder(m_recurrence->lastFocusWidget(), m_cmdOK);
    setTabOrder(m_cmdOK, m_cmdCancel);

    connect(m_cmdOK, &QPushButton::clicked, this, &AddTaskDialog::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &AddTaskDialog::cmdCancel_Click);
    connect(m_cmdCategories, &QPushButton::clicked, this, &AddTaskDialog::cmdCategories_Click);
}

} // namespace cdk
