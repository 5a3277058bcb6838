#include "controls/DatePicker.h"

#include "controls/Icons.h"

#include <QCalendarWidget>
#include <QFrame>
#include <QKeyEvent>
#include <QLocale>
#include <QScreen>
#include <QVBoxLayout>
#include <QWheelEvent>


namespace cdk {

DatePicker::DatePicker(QWidget *parent)
    : QToolButton(parent)
    , m_date(QDate::currentDate())
{
    setObjectName(QStringLiteral("dtpView"));
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setIcon(iconForKey(QStringLiteral("MOVEX")));
    setFocusPolicy(Qt::StrongFocus);
    setAutoRaise(false);
    setText(displayText(m_date));
    setAccessibleName(accessibleDayName(m_date));
    setToolTip(tr("The day shown: click for a calendar, arrow keys step a day"));
    // Wide enough for the longest date, so the toolbar does not jump: a
    // Wednesday in September is among the widest in English and in German.
    setMinimumWidth(
        fontMetrics().horizontalAdvance(QLocale().toString(QDate(2000, 9, 27), shortFormat()))
        + 48);
    connect(this, &QToolButton::clicked, this, &DatePicker::showCalendar);
}

// The order of day, month and year is the language's; the names of days and
// months are the locale's.
QString DatePicker::shortFormat()
{
    return tr("ddd, d MMM yyyy", "date format of the day shown; see QDate::toString");
}

QString DatePicker::displayText(const QDate &date)
{
    // The small triangle tells that a calendar drops down.
    return QLocale().toString(date, shortFormat()) + QStringLiteral("  ") + QChar(0x25BE);
}

QString DatePicker::accessibleDayName(const QDate &date)
{
    // Read without the drop-down triangle, and saying what the date is.
    return tr("Day shown: %1")
        .arg(QLocale().toString(
            date, tr("dddd, d MMMM yyyy", "date format read out; see QDate::toString")));
}

void DatePicker::setDate(const QDate &date)
{
    if (!date.isValid() || date == m_date)
        return;
    m_date = date;
    setText(displayText(date));
    // Also tells assistive technology that the day changed (a name change).
    setAccessibleName(accessibleDayName(date));
    if (m_calendar)
        m_calendar->setSelectedDate(date);
    Q_EMIT dateChanged(date);
}

void DatePicker::showCalendar()
{
    if (!m_calendar) {
        // A framed drop-down, so the calendar stands apart from the window
        // under it whatever the palette.
        m_popup = new QFrame(this, Qt::Popup);
        m_popup->setObjectName(QStringLiteral("dtpViewPopup"));
        m_popup->setFrameStyle(QFrame::Box | QFrame::Plain);
        m_popup->setForegroundRole(QPalette::Mid);
        auto *layout = new QVBoxLayout(m_popup);
        layout->setContentsMargins(1, 1, 1, 1);
        m_calendar = new QCalendarWidget(m_popup);
        m_calendar->setObjectName(QStringLiteral("dtpViewCalendar"));
        m_calendar->setGridVisible(false);
        m_calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        layout->addWidget(m_calendar);
        // The month arrows in the program's own pictures rather than the
        // style's small bitmaps.
        // Pictures alone tell a screen reader nothing: the arrows get names.
        struct Arrow
        {
            const char *name;
            const char *key;
            const char *spoken;
        };
        const Arrow arrows[] = {{"qt_calendar_prevmonth", "PREVIOUSDAY",
                                 QT_TRANSLATE_NOOP("cdk::DatePicker", "Previous month")},
                                {"qt_calendar_nextmonth", "NEXTDAY",
                                 QT_TRANSLATE_NOOP("cdk::DatePicker", "Next month")}};
        for (const Arrow &arrow : arrows) {
            if (auto *button = m_calendar->findChild<QToolButton *>(QLatin1String(arrow.name))) {
                button->setIcon(iconForKey(QLatin1String(arrow.key)));
                button->setAccessibleName(tr(arrow.spoken));
            }
        }
        const auto pick = [this](QDate chosen) {
            m_popup->hide();
            setDate(chosen);
        };
        connect(m_calendar, &QCalendarWidget::clicked, this, pick);
        connect(m_calendar, &QCalendarWidget::activated, this, pick);
    }
    m_calendar->setSelectedDate(m_date);
    m_popup->adjustSize();
    QPoint at = mapToGlobal(QPoint(width() - m_popup->width(), height()));
    if (const QScreen *s = screen()) {
        const QRect area = s->availableGeometry();
        at.setX(qBound(area.left(), at.x(), area.right() - m_popup->width()));
        if (at.y() + m_popup->height() > area.bottom())
            at.setY(mapToGlobal(QPoint(0, 0)).y() - m_popup->height());
    }
    m_popup->move(at);
    m_popup->show();
    m_calendar->setFocus();
}

void DatePicker::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Plus:
        setDate(m_date.addDays(1));
        return;
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Minus:
        setDate(m_date.addDays(-1));
        return;
    case Qt::Key_F4:
        if (event->modifiers() == Qt::NoModifier) {
            showCalendar();
            return;
        }
        break;
    default:
        break;
    }
    QToolButton::keyPressEvent(event);
}

void DatePicker::wheelEvent(QWheelEvent *event)
{
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0)
        setDate(m_date.addDays(steps));
    event->accept();
}

} // namespace cdk
