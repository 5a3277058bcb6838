#include "tracking/AlertPopup.h"

#include "controls/Contrast.h"
#include "controls/WindowServices.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QList>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <cmath>
#include <numbers>
#include <utility>

namespace cdk {

namespace {

// Assistive technology meets the pop-up as an alert, named by its message, so
// a screen reader reads it out when it shows although it never takes focus.
QAccessibleInterface *alertAccessible(const QString &, QObject *object)
{
    if (auto *popup = qobject_cast<AlertPopup *>(object))
        return new QAccessibleWidget(popup, QAccessible::AlertMessage);
    return nullptr;
}

constexpr double kGradientAngle = 300.0;
const QColor kGlyphHover(200, 40, 40);

// The base of the palette fading into a touch of its highlight: a light
// pop-up on a light theme and a dark one on a dark theme.
QColor gradientFrom(const QPalette &palette)
{
    return palette.color(QPalette::Base);
}

QColor gradientTo(const QPalette &palette)
{
    const QColor base = palette.color(QPalette::Base);
    const QColor tint = palette.color(QPalette::Highlight);
    auto mix = [](int a, int b) { return (a * 3 + b) / 4; };
    return QColor(mix(base.red(), tint.red()), mix(base.green(), tint.green()),
                  mix(base.blue(), tint.blue()));
}

// Text that reads on both ends of the gradient.
QColor popupTextColour(const QPalette &palette)
{
    const QColor text = palette.color(QPalette::Text);
    const QColor onFrom = readableTextOn(gradientFrom(palette), text);
    return readableTextOn(gradientTo(palette), onFrom);
}

// Whole words of the end of a text, at most this many characters, stay when
// the text is shortened: the end says what happened.
constexpr qsizetype kKeptEnd = 24;

// The text as it fits into the label's box when wrapped: shortened in the
// middle with "…" so both its start and its end show.
QString fitWrapped(const QString &text, const QFont &font, const QSize &box)
{
    const QFontMetrics metrics(font);
    auto fits = [&](const QString &candidate) {
        return metrics.boundingRect(QRect(QPoint(0, 0), QSize(box.width(), 100000)),
                                    Qt::TextWordWrap | Qt::AlignLeft, candidate)
                   .height()
            <= box.height();
    };
    if (fits(text))
        return text;
    qsizetype endStart = text.size() - qMin(kKeptEnd, text.size() / 2);
    const qsizetype space = text.indexOf(QLatin1Char(' '), endStart);
    if (space > 0 && space < text.size() - 1)
        endStart = space;
    const QString end = text.mid(endStart);
    qsizetype low = 0;
    qsizetype high = endStart;
    while (low < high) {
        const qsizetype mid = (low + high + 1) / 2;
        if (fits(text.left(mid) + QChar(0x2026) + end))
            low = mid;
        else
            high = mid - 1;
    }
    return text.left(low) + QChar(0x2026) + end;
}

QFont popupFont(bool bold)
{
    QFont font(QStringLiteral("Trebuchet MS"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    font.setBold(bold);
    return font;
}

// The background: a diagonal gradient laid over the fully open size, so it
// does not shift while the window grows, and a thin frame around what is
// visible.
class PopupPanel final : public QWidget
{
public:
    explicit PopupPanel(QWidget *parent) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QRectF full(0, 0, AlertPopup::kWidth, AlertPopup::kOpenHeight);
        // Angles count anticlockwise with y pointing up; the screen's y points down.
        const double rad = kGradientAngle * std::numbers::pi / 180.0;
        const QPointF dir(std::cos(rad), -std::sin(rad));
        const double half = std::abs(full.width() / 2 * dir.x())
            + std::abs(full.height() / 2 * dir.y());
        const QPointF centre = full.center();
        QLinearGradient gradient(centre - dir * half, centre + dir * half);
        gradient.setColorAt(0.0, gradientFrom(palette()));
        gradient.setColorAt(1.0, gradientTo(palette()));
        p.fillRect(rect(), gradient);
        p.setPen(palette().color(QPalette::Mid));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

// A 16 x 16 close cross with a pointing-hand cursor.
class CloseGlyph final : public QWidget
{
public:
    explicit CloseGlyph(QWidget *parent) : QWidget(parent)
    {
        setCursor(Qt::PointingHandCursor);
        setAttribute(Qt::WA_Hover);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const bool hot = underMouse();
        const QColor plain = popupTextColour(palette());
        p.setPen(QPen(hot ? kGlyphHover : plain, 1.0));
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
        p.setPen(QPen(hot ? kGlyphHover : plain, 2.0, Qt::SolidLine, Qt::RoundCap));
        const QRectF inner = QRectF(rect()).adjusted(4.5, 4.5, -4.5, -4.5);
        p.drawLine(inner.topLeft(), inner.bottomRight());
        p.drawLine(inner.topRight(), inner.bottomLeft());
    }
};

} // namespace

AlertPopup::AlertPopup(std::function<void()> playSound, std::function<void()> textClicked)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                           | Qt::WindowDoesNotAcceptFocus),
      m_playSound(std::move(playSound)),
      m_textClicked(std::move(textClicked))
{
    setObjectName(QStringLiteral("frmPopUp"));
    static const bool accessibleAsAlert = [] {
        QAccessible::installFactory(alertAccessible);
        return true;
    }();
    Q_UNUSED(accessibleAsAlert);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::NoFocus);
    resize(kWidth, kOpenHeight);

    m_panel = new PopupPanel(this);
    m_panel->setObjectName(QStringLiteral("gpPanel"));
    m_panel->setGeometry(0, 0, kWidth, kOpenHeight);

    m_caption = new QLabel(tr("Chronodeck:"), m_panel);
    m_caption->setObjectName(QStringLiteral("lblCaption"));
    m_caption->setFont(popupFont(true));
    m_caption->setGeometry(6, 4, 103, 15);

    m_alert = new QLabel(m_panel);
    m_alert->setObjectName(QStringLiteral("lblAlert"));
    m_alert->setFont(popupFont(false));
    m_alert->setWordWrap(true);
    m_alert->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_alert->setGeometry(6, 30, 129, 59);

    QPalette text = m_panel->palette();
    text.setColor(QPalette::WindowText, popupTextColour(text));
    m_caption->setPalette(text);
    m_alert->setPalette(text);

    m_close = new CloseGlyph(m_panel);
    m_close->setObjectName(QStringLiteral("imgClose"));
    m_close->setGeometry(120, 5, 16, 16);

    const QList<QWidget *> mouseTargets = {m_caption, m_alert, m_close};
    for (QWidget *w : mouseTargets) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }

    m_tmrOpen = new QTimer(this);
    m_tmrOpen->setObjectName(QStringLiteral("tmrOpen"));
    m_tmrOpen->setInterval(kMoveIntervalMs);
    connect(m_tmrOpen, &QTimer::timeout, this, &AlertPopup::openStep);

    m_tmrClose = new QTimer(this);
    m_tmrClose->setObjectName(QStringLiteral("tmrClose"));
    m_tmrClose->setInterval(kMoveIntervalMs);
    connect(m_tmrClose, &QTimer::timeout, this, &AlertPopup::closeStep);

    m_tmrAlert = new QTimer(this);
    m_tmrAlert->setObjectName(QStringLiteral("tmrAlert"));
    m_tmrAlert->setInterval(5000);
    connect(m_tmrAlert, &QTimer::timeout, this, &AlertPopup::stayElapsed);
}

QPoint AlertPopup::GetTaskbar(const QRect &screen, const QRect &available, const QSize &popup)
{
    enum class Edge { Left, Right, Top, Bottom };
    Edge edge = Edge::Bottom;
    if (available.left() != screen.left())
        edge = Edge::Left;
    else if (available.top() != screen.top())
        edge = Edge::Top;
    else if (available.height() == screen.height())
        edge = Edge::Right; // also a hidden taskbar: its width is then 0
    // Exclusive right and bottom edges: where the next pixel would be.
    const int screenRight = screen.x() + screen.width();
    const int screenBottom = screen.y() + screen.height();
    QPoint topLeft(screenRight - popup.width(), screenBottom - popup.height());
    if (edge == Edge::Right)
        topLeft.rx() -= screenRight - (available.x() + available.width());
    else if (edge == Edge::Bottom)
        topLeft.ry() -= screenBottom - (available.y() + available.height());
    return topLeft;
}

void AlertPopup::DisplayAlert(const QString &text, int stayMs)
{
    m_alert->setText(fitWrapped(text, m_alert->font(), m_alert->size()));
    m_alert->setToolTip(m_alert->text() == text ? QString() : text);
    m_tmrAlert->setInterval(stayMs);
    m_openHeight = kOpenHeight;
    QRect screen(0, 0, 1024, 768);
    QRect available = screen;
    if (const QScreen *s = QGuiApplication::primaryScreen()) {
        screen = s->geometry();
        available = s->availableGeometry();
    }
    const QSize strip(kWidth, kStripHeight);
    setGeometry(QRect(GetTaskbar(screen, available, strip), strip));
    // The whole message, even where the label shows it shortened.
    setAccessibleName(m_caption->text() + QLatin1Char(' ') + text);
    ShowFormNoActivate(this);
    SetTopMost(this, true);
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
    m_tmrOpen->start();
    if (m_playSound)
        m_playSound();
}

void AlertPopup::openStep()
{
    const QRect g = geometry();
    if (g.height() < m_openHeight) {
        const int grown = std::min(g.height() + kStep, m_openHeight);
        // The bottom edge stays put; the window grows upwards.
        setGeometry(g.x(), g.y() - (grown - g.height()), g.width(), grown);
        m_panel->resize(g.width(), grown);
    } else {
        m_tmrOpen->stop();
        m_tmrAlert->start();
    }
}

void AlertPopup::stayElapsed()
{
    m_tmrAlert->stop();
    m_tmrClose->start();
}

void AlertPopup::closeStep()
{
    const QRect g = geometry();
    if (g.height() <= kGoneHeight) {
        m_tmrClose->stop();
        close();
        return;
    }
    setGeometry(g.x(), g.y() + kStep, g.width(), g.height() - kStep);
    m_panel->resize(g.width(), g.height() - kStep);
}

void AlertPopup::startClosing()
{
    m_tmrOpen->stop();
    m_tmrAlert->stop();
    m_tmrClose->start();
}

void AlertPopup::restartStayOnce()
{
    if (m_stayRestarted)
        return;
    m_stayRestarted = true;
    m_tmrAlert->stop();
    m_tmrAlert->start();
}

bool AlertPopup::eventFilter(QObject *watched, QEvent *event)
{
    const bool onText = watched == m_caption || watched == m_alert;
    if (event->type() == QEvent::MouseMove && onText) {
        restartStayOnce();
    } else if (event->type() == QEvent::MouseButtonRelease
               && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == m_alert && m_textClicked)
            m_textClicked();
        if (onText || watched == m_close) {
            startClosing();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace cdk
