#include "editing/RecurrenceBox.h"

#include "base/Functions.h"
#include "core/Recurrence.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace cdk {

namespace {

struct DayBox
{
    const char16_t *name;
    const char *caption; // marked for translation
};

// Monday first: the digits of a "specified days" code follow this order.
constexpr std::array<DayBox, 7> kDayBoxes{{
    {u"chkMonday", QT_TRANSLATE_NOOP("cdk::RecurrenceBox", "&Monday")},
    {u"chkTuesday", QT_TRANSLATE_NOOP("cdk::RecurrenceBox", "&Tuesday")},
    {u"chkWednesday", QT_TRANSLATE_NOOP("cdk::RecurrenceBox", "&Wednesday")},
    {u"chkThursday", QT_TRANSLATE_NOOP("cdk::RecurrenceBox", "Th&ursday")},
    {u"chkFriday", QT_TRANSLATE_NOOP("cdk::RecurrenceBox", "&Friday")},
    {u"chkSaturday", QT_TRANSLATE_NOOP("cdk::RecurrenceBox", "S&aturday")},
    {u"chkSunday", QT_TRANSLATE_NOOP("cdk::RecurrenceBox", "Su&nday")},
}};

} // namespace

RecurrenceBox::RecurrenceBox(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("fraRecurrence"));

    m_lblRecurrence = new QLabel(tr("&Recurrence:"), this);
    m_lblRecurrence->setObjectName(QStringLiteral("lblRecurrence"));
    m_cmbRecurrence = new QComboBox(this);
    m_cmbRecurrence->setObjectName(QStringLiteral("cmbRecurrence"));
    m_cmbRecurrence->addItems(RecurrenceRuleItems());
    m_lblRecurrence->setBuddy(m_cmbRecurrence);

    m_lblSelectedRecurrence = new QLabel(this);
    m_lblSelectedRecurrence->setObjectName(QStringLiteral("lblSelectedRecurrence"));
    QFont bold = m_lblSelectedRecurrence->font();
    bold.setBold(true);
    m_lblSelectedRecurrence->setFont(bold);

    m_fraSpecifiedDays = new QGroupBox(tr("&Specified days"), this);
    m_fraSpecifiedDays->setObjectName(QStringLiteral("fraSpecifiedDays"));
    auto *daysGrid = new QGridLayout(m_fraSpecifiedDays);
    for (std::size_t i = 0; i < kDayBoxes.size(); ++i) {
        auto *box = new QCheckBox(
            QCoreApplication::translate("cdk::RecurrenceBox", kDayBoxes[i].caption),
            m_fraSpecifiedDays);
        box->setObjectName(QString::fromUtf16(kDayBoxes[i].name));
        // Workdays on the first line, the weekend on the second.
        const int row = i < 4 ? 0 : 1;
        const int column = i < 4 ? int(i) : int(i) - 4;
        daysGrid->addWidget(box, row, column);
        m_days[i] = box;
    }

    m_fraDay = new QGroupBox(tr("&Day of the month"), this);
    m_fraDay->setObjectName(QStringLiteral("fraDay"));
    auto *dayRow = new QHBoxLayout(m_fraDay);
    auto *lblDay = new QLabel(tr("Select the day of the month:"), m_fraDay);
    lblDay->setObjectName(QStringLiteral("lblDayOfTheMonth"));
    m_cmbDayOfTheMonth = new QComboBox(m_fraDay);
    m_cmbDayOfTheMonth->setObjectName(QStringLiteral("cmbDayOfTheMonth"));
    m_cmbDayOfTheMonth->addItems(DayOfTheMonthItems());
    m_cmbDayOfTheMonth->setCurrentIndex(0);
    m_cmbDayOfTheMonth->setMaxVisibleItems(15);
    lblDay->setBuddy(m_cmbDayOfTheMonth);
    dayRow->addWidget(lblDay);
    dayRow->addWidget(m_cmbDayOfTheMonth);
    dayRow->addStretch(1);

    // Both panels share one place, as wide as the wider of them, so the
    // dialog keeps its width while the user tries the rules.
    auto *detail = new QWidget(this);
    auto *stack = new QGridLayout(detail);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(m_fraSpecifiedDays, 0, 0, Qt::AlignTop);
    stack->addWidget(m_fraDay, 0, 0, Qt::AlignTop);
    detail->setMinimumWidth(
        std::max(m_fraSpecifiedDays->sizeHint().width(), m_fraDay->sizeHint().width()));
    // And as high, also for the rules that show neither: the box has one
    // size, so the dialog grows by a fixed amount for a template and does
    // not jump while the user tries the rules.
    for (QWidget *panel : {static_cast<QWidget *>(m_fraSpecifiedDays),
                           static_cast<QWidget *>(m_fraDay)}) {
        QSizePolicy policy = panel->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        panel->setSizePolicy(policy);
    }

    // The chosen rule heads the box, set off from the task's own fields.
    auto *rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    auto *heading = new QHBoxLayout;
    heading->addWidget(m_lblSelectedRecurrence);
    heading->addWidget(rule, 1);

    m_grid = new QGridLayout(this);
    m_grid->setContentsMargins(0, 0, 0, 0);
    m_grid->setHorizontalSpacing(10);
    m_grid->addLayout(heading, 0, 0, 1, 2);
    m_grid->addWidget(m_lblRecurrence, 1, 0);
    auto *ruleRow = new QHBoxLayout;
    ruleRow->addWidget(m_cmbRecurrence);
    ruleRow->addStretch(1);
    m_grid->addLayout(ruleRow, 1, 1);
    m_grid->addWidget(detail, 2, 1);
    m_grid->setColumnStretch(1, 1);

    setTabOrder(m_cmbRecurrence, m_days[0]);
    for (std::size_t i = 1; i < m_days.size(); ++i)
        setTabOrder(m_days[i - 1], m_days[i]);
    setTabOrder(m_days[6], m_cmbDayOfTheMonth);

    connect(m_cmbRecurrence, &QComboBox::currentIndexChanged, this,
            &RecurrenceBox::cmbRecurrence_Click);
    cmbRecurrence_Click();
}

void RecurrenceBox::reset()
{
    for (QCheckBox *box : m_days)
        box->setChecked(false);
    m_cmbDayOfTheMonth->setCurrentIndex(0);
    m_cmbRecurrence->setCurrentIndex(0);
    cmbRecurrence_Click();
}

QString RecurrenceBox::BuildRecurrenceCode() const
{
    switch (static_cast<RecurrenceRule>(m_cmbRecurrence->currentIndex())) {
    case RecurrenceRule::EveryDay:
        return QStringLiteral("0]");
    case RecurrenceRule::EveryWorkday:
        return QStringLiteral("1]");
    case RecurrenceRule::EveryWeekend:
        return QStringLiteral("2]");
    case RecurrenceRule::SpecifiedDays: {
        QString code = QStringLiteral("3");
        for (const QCheckBox *box : m_days)
            code += box->isChecked() ? QLatin1Char('1') : QLatin1Char('0');
        return code + QLatin1Char(']');
    }
    case RecurrenceRule::OnceAMonth:
        return QLatin1Char('4')
               + QString::number(m_cmbDayOfTheMonth->currentIndex())
                     .rightJustified(2, QLatin1Char('0'))
               + QLatin1Char(']');
    }
    return QString();
}

void RecurrenceBox::ApplyRecurrenceCode(const QString &code)
{
    // A code that names no known rule copies every day, so it shows as "Every day".
    int rule = ValToInt(code.left(1));
    if (rule < 0 || rule >= m_cmbRecurrence->count())
        rule = 0;
    m_cmbRecurrence->setCurrentIndex(rule);
    if (rule == int(RecurrenceRule::SpecifiedDays)) {
        for (std::size_t i = 0; i < m_days.size(); ++i)
            m_days[i]->setChecked(ValToInt(code.mid(qsizetype(i) + 1, 1)) != 0);
    } else if (rule == int(RecurrenceRule::OnceAMonth)) {
        const int day = ValToInt(code.mid(1, 2));
        if (day >= 0 && day < m_cmbDayOfTheMonth->count())
            m_cmbDayOfTheMonth->setCurrentIndex(day);
    }
    cmbRecurrence_Click();
}

void RecurrenceBox::setLabelColumnWidth(int width)
{
    m_grid->setColumnMinimumWidth(0, width);
}

QWidget *RecurrenceBox::firstFocusWidget() const
{
    return m_cmbRecurrence;
}

QWidget *RecurrenceBox::lastFocusWidget() const
{
    return m_cmbDayOfTheMonth;
}

void RecurrenceBox::cmbRecurrence_Click()
{
    const int index = m_cmbRecurrence->currentIndex();
    const bool days = index == int(RecurrenceRule::SpecifiedDays);
    const bool month = index == int(RecurrenceRule::OnceAMonth);
    m_fraSpecifiedDays->setVisible(days);
    m_fraSpecifiedDays->setEnabled(days);
    m_fraDay->setVisible(month);
    m_fraDay->setEnabled(month);
    m_lblSelectedRecurrence->setText(m_cmbRecurrence->currentText());
}

} // namespace cdk
