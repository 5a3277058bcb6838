#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QTimeEdit;

namespace cdk {

class clsSettings;

// The settings dialog's page for what the tracker does besides counting:
// asking about time away from the keyboard, warning before a budget runs
// out, and opening the day's review at a set time. With its defaults the
// tracker behaves as it always has.
class TrackingSettingsPage final : public QWidget
{
    Q_OBJECT

public:
    explicit TrackingSettingsPage(QWidget *parent = nullptr);

    void load(clsSettings &settings);
    void save(clsSettings &settings) const;

    // The choices offered, in minutes or percent; 0 stands for off / never.
    static const QList<int> &awayChoices();
    static const QList<int> &percentChoices();
    static const QList<int> &minutesBeforeChoices();
    static const QList<int> &extendChoices();

private:
    QComboBox *m_cmbAwayThreshold = nullptr;
    QComboBox *m_cmbWarnAtPercent = nullptr;
    QComboBox *m_cmbWarnMinutesBefore = nullptr;
    QComboBox *m_cmbFinishNotice = nullptr;
    QComboBox *m_cmbExtendMinutes = nullptr;
    QCheckBox *m_chkReviewAt = nullptr;
    QTimeEdit *m_tmeReviewAt = nullptr;
};

} // namespace cdk
