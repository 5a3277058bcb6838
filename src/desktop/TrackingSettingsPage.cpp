#include "desktop/TrackingSettingsPage.h"

#include "settings/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QTime>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace cdk {

namespace {

const QString kTimeFormat = QStringLiteral("HH:mm");

// How a choice reads in its list: "5 minutes", "80% of the budget".
using ChoiceText = QString (*)(int value);

// The count decides the word's form in most languages; English has always
// said "1 minutes" here, and keeps it.
QString minutesText(int minutes)
{
    return QCoreApplication::translate("cdk::TrackingSettingsPage", "%n minutes", nullptr, minutes);
}

QString percentText(int percent)
{
    return QCoreApplication::translate("cdk::TrackingSettingsPage", "%1% of the budget")
        .arg(percent);
}

// A combo box of numbers with 0 shown as offText; a stored value that is
// not among them is added, so that nothing is changed by merely looking.
QComboBox *numberChoice(QWidget *parent, const char *name, const QList<int> &values,
                        const QString &offText, ChoiceText text)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    for (int value : values)
        box->addItem(value == 0 ? offText : text(value), value);
    return box;
}

void selectValue(QComboBox *box, int value, ChoiceText text)
{
    int index = box->findData(value);
    if (index < 0) {
        box->addItem(text(value), value);
        index = box->count() - 1;
    }
    box->setCurrentIndex(index);
}

} // namespace

const QList<int> &TrackingSettingsPage::awayChoices()
{
    static const QList<int> choices {0, 5, 10, 15, 20, 30, 45, 60};
    return choices;
}

const QList<int> &TrackingSettingsPage::percentChoices()
{
    static const QList<int> choices {0, 75, 80, 90};
    return choices;
}

const QList<int> &TrackingSettingsPage::minutesBeforeChoices()
{
    static const QList<int> choices {0, 1, 2, 5, 10, 15, 30};
    return choices;
}

const QList<int> &TrackingSettingsPage::extendChoices()
{
    static const QList<int> choices {5, 10, 15, 20, 30, 60};
    return choices;
}

TrackingSettingsPage::TrackingSettingsPage(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);

    auto *away = new QGroupBox(tr("Time away"), this);
    auto *awayForm = new QFormLayout(away);
    m_cmbAwayThreshold
        = numberChoice(away, "cmbAwayThreshold", awayChoices(), tr("Never"), minutesText);
    awayForm->addRow(tr("Ask about time &away after:"), m_cmbAwayThreshold);
    // Said where it is asked for, not in a line of its own: the page keeps
    // the height of the dialog's other pages at any scale.
    const QString awayHint = tr("When you come back to the computer while a task is tracked, "
                                "you choose whether the time away counts.");
    m_cmbAwayThreshold->setToolTip(awayHint);
    m_cmbAwayThreshold->setAccessibleDescription(awayHint);
    layout->addWidget(away);

    auto *warn = new QGroupBox(tr("The budget"), this);
    auto *warnForm = new QFormLayout(warn);
    m_cmbWarnAtPercent
        = numberChoice(warn, "cmbWarnAtPercent", percentChoices(), tr("Off"), percentText);
    m_cmbWarnMinutesBefore = numberChoice(warn, "cmbWarnMinutesBefore", minutesBeforeChoices(),
                                          tr("Off"), minutesText);
    warnForm->addRow(tr("&Warn when used:"), m_cmbWarnAtPercent);
    warnForm->addRow(tr("Warn with time &left:"), m_cmbWarnMinutesBefore);
    // The order is the setting's value: 0 the pop-up, 1 a notification, 2 both.
    m_cmbFinishNotice = new QComboBox(warn);
    m_cmbFinishNotice->setObjectName(QStringLiteral("cmbFinishNotice"));
    m_cmbFinishNotice->addItems(
        {tr("The pop-up"), tr("A desktop notification"), tr("The pop-up and a notification")});
    const QString noticeHint
        = tr("Where the desktop shows no notifications, the pop-up appears either way.");
    m_cmbFinishNotice->setToolTip(noticeHint);
    m_cmbFinishNotice->setAccessibleDescription(noticeHint);
    warnForm->addRow(tr("When used &up, show:"), m_cmbFinishNotice);
    m_cmbExtendMinutes
        = numberChoice(warn, "cmbExtendMinutes", extendChoices(), QString(), minutesText);
    warnForm->addRow(tr("A notification's \"+\" button a&dds:"), m_cmbExtendMinutes);
    layout->addWidget(warn);

    auto *review = new QGroupBox(tr("End of the day"), this);
    auto *reviewRow = new QHBoxLayout(review);
    m_chkReviewAt = new QCheckBox(tr("&Review the day every day at"), review);
    m_chkReviewAt->setObjectName(QStringLiteral("chkReviewAt"));
    m_tmeReviewAt = new QTimeEdit(review);
    m_tmeReviewAt->setObjectName(QStringLiteral("tmeReviewAt"));
    // Shown as the user's locale writes a time of day (QTimeEdit's own
    // default); kTimeFormat is only how the settings store it.
    m_tmeReviewAt->setAccessibleName(tr("Review time"));
    connect(m_chkReviewAt, &QCheckBox::toggled, m_tmeReviewAt, &QWidget::setEnabled);
    reviewRow->addWidget(m_chkReviewAt);
    reviewRow->addWidget(m_tmeReviewAt);
    reviewRow->addStretch(1);
    layout->addWidget(review);
    layout->addStretch(1);
}

void TrackingSettingsPage::load(clsSettings &settings)
{
    selectValue(m_cmbAwayThreshold, qMax(0, settings.number(Setting::AwayThresholdMinutes)),
                minutesText);
    selectValue(m_cmbWarnAtPercent, qBound(0, settings.number(Setting::WarnAtPercent), 99),
                percentText);
    selectValue(m_cmbWarnMinutesBefore, qMax(0, settings.number(Setting::WarnMinutesBefore)),
                minutesText);
    m_cmbFinishNotice->setCurrentIndex(qBound(0, settings.number(Setting::FinishNotice), 2));
    selectValue(m_cmbExtendMinutes, qMax(1, settings.number(Setting::ExtendMinutes)), minutesText);
    const QTime at = QTime::fromString(settings.text(Setting::ReviewAtTime), kTimeFormat);
    m_chkReviewAt->setChecked(at.isValid());
    m_tmeReviewAt->setTime(at.isValid() ? at : QTime(17, 0));
    m_tmeReviewAt->setEnabled(at.isValid());
}

void TrackingSettingsPage::save(clsSettings &settings) const
{
    settings.setNumber(Setting::AwayThresholdMinutes, m_cmbAwayThreshold->currentData().toInt());
    settings.setNumber(Setting::WarnAtPercent, m_cmbWarnAtPercent->currentData().toInt());
    settings.setNumber(Setting::WarnMinutesBefore, m_cmbWarnMinutesBefore->currentData().toInt());
    settings.setNumber(Setting::FinishNotice, m_cmbFinishNotice->currentIndex());
    settings.setNumber(Setting::ExtendMinutes, m_cmbExtendMinutes->currentData().toInt());
    settings.setText(Setting::ReviewAtTime, m_chkReviewAt->isChecked()
                                                ? m_tmeReviewAt->time().toString(kTimeFormat)
                                                : QString());
}

} // namespace cdk
