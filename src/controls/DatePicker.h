#pragma once

#include <QDate>
#include <QToolButton>

class QCalendarWidget;
class QFrame;

namespace cdk {

// The day shown in the main window: a button that reads the date and drops
// down a month calendar. The arrow keys (and + and -) step a day at a time.
// The calendar is made on first use; building one costs more than the rest of
// the window together.
class DatePicker final : public QToolButton
{
    Q_OBJECT
public:
    explicit DatePicker(QWidget *parent = nullptr);

    QDate date() const { return m_date; }
    // Emits dateChanged when the date differs.
    void setDate(const QDate &date);
    static QString displayText(const QDate &date);
    // The name assistive technology reads for the button.
    static QString accessibleDayName(const QDate &date);

    // Opens the calendar under the button.
    void showCalendar();
    QCalendarWidget *calendar() const { return m_calendar; }

Q_SIGNALS:
    void dateChanged(const QDate &date);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    // How the button writes a date, in the words of the user's language.
    static QString shortFormat();

    QDate m_date;
    QFrame *m_popup = nullptr;             // the calendar's drop-down, made on first use
    QCalendarWidget *m_calendar = nullptr;
};

} // namespace cdk
