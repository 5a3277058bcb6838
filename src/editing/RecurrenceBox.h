#pragma once

#include <QFrame>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QGridLayout;
class QLabel;

namespace cdk {

// The part of the task dialog in which a template's rule is chosen: the rule
// list, and for "specified days" the seven weekdays, for "once a month" the
// day of the month. Turns the controls into the rule code kept in front of
// the template's subject and back.
class RecurrenceBox final : public QFrame
{
    Q_OBJECT

public:
    explicit RecurrenceBox(QWidget *parent = nullptr);

    // Back to "Every day", no weekday ticked, the first day of the month.
    void reset();
    // "0]" .. "4NN]" from the controls.
    QString BuildRecurrenceCode() const;
    // Sets the controls from a code as GetRecurrenceCode returns it.
    void ApplyRecurrenceCode(const QString &code);

    // Lines the box's label column up with the dialog's own.
    void setLabelColumnWidth(int width);
    QWidget *firstFocusWidget() const;
    QWidget *lastFocusWidget() const;

private:
    // Shows the panel that belongs to the chosen rule and names the rule.
    void cmbRecurrence_Click();

    QGridLayout *m_grid = nullptr;
    QLabel *m_lblRecurrence = nullptr;
    QComboBox *m_cmbRecurrence = nullptr;
    QLabel *m_lblSelectedRecurrence = nullptr;
    QGroupBox *m_fraSpecifiedDays = nullptr;
    std::array<QCheckBox *, 7> m_days{}; // Monday .. Sunday
    QGroupBox *m_fraDay = nullptr;
    QComboBox *m_cmbDayOfTheMonth = nullptr;
};

} // namespace cdk
