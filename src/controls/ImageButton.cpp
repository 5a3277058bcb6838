#include "controls/ImageButton.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>

namespace cdk {

namespace {
constexpr int iconMargin = 3;
constexpr int minimumSide = 20;
} // namespace

isButton::isButton(QWidget *parent)
    : QAbstractButton(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::NoFocus);
    setMinimumSize(minimumSide, minimumSide);
}

void isButton::setIconAlign(int align)
{
    m_iconAlign = qBound(0, align, 4);
    update();
}

isButton::Look isButton::look() const
{
    return isEnabled() ? m_state : Look::Disabled;
}

QColor isButton::Lighten(const QColor &colour, int amount)
{
    auto part = [amount](int c) { return qMin(255, c * (255 - amount) / 255 + amount); };
    return QColor(part(colour.red()), part(colour.green()), part(colour.blue()));
}

QPoint isButton::iconPosition() const
{
    const int W = width();
    const int H = height();
    const int w = iconSize().width();
    const int h = iconSize().height();
    auto half = [](int v) { return qRound(v / 2.0); };
    switch (m_iconAlign) {
    case AlignLeft:
        return {iconMargin, half(H - h)};
    case AlignRight:
        return {W - w - iconMargin, half(H - h)};
    case AlignTop:
        return {half(W - w), iconMargin};
    case AlignBottom:
        return {half(W - w), H - h - iconMargin};
    default:
        return {half(W - w), half(H - h)};
    }
}

QSize isButton::sizeHint() const
{
    return (iconSize() + QSize(8, 8)).expandedTo(QSize(minimumSide, minimumSide));
}

QSize isButton::minimumSizeHint() const
{
    return {minimumSide, minimumSide};
}

void isButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int W = width();
    const int H = height();
    const QColor face = palette().color(QPalette::Button);
    const QColor highlight = palette().color(QPalette::Highlight);
    const Look state = look();

    if (state == Look::Normal || state == Look::Disabled) {
        p.fillRect(0, 0, W, H, Lighten(face, 32));
    } else {
        p.fillRect(QRect(0, 0, W - 1, H - 1), Lighten(highlight, state == Look::Pressed ? 128 : 176));
        p.setPen(highlight);
        p.drawRect(0, 0, W - 1, H - 1);
    }
    if (icon().isNull())
        return;

    const QSize size = iconSize();
    QPoint at = iconPosition();
    switch (state) {
    case Look::Pressed:
        icon().paint(&p, QRect(at + QPoint(1, 1), size), Qt::AlignCenter, QIcon::Normal);
        break;
    case Look::Hot: {
        // A grey shadow where the icon would stand, the icon lifted above it.
        QPixmap shadow = icon().pixmap(size, devicePixelRatioF(), QIcon::Normal);
        {
            QPainter sp(&shadow);
            sp.setCompositionMode(QPainter::CompositionMode_SourceIn);
            sp.fillRect(shadow.rect(), QColor(0x80, 0x80, 0x80));
        }
        p.drawPixmap(QRect(at, size), shadow);
        icon().paint(&p, QRect(at - QPoint(2, 2), size), Qt::AlignCenter, QIcon::Normal);
        break;
    }
    case Look::Disabled:
        icon().paint(&p, QRect(at, size), Qt::AlignCenter, QIcon::Disabled);
        break;
    case Look::Normal:
        icon().paint(&p, QRect(at, size), Qt::AlignCenter, QIcon::Normal);
        break;
    }
}

void isButton::enterEvent(QEnterEvent *event)
{
    QAbstractButton::enterEvent(event);
    if (m_state != Look::Pressed) {
        m_state = Look::Hot;
        update();
    }
    Q_EMIT mouseEntered();
}

void isButton::leaveEvent(QEvent *event)
{
    QAbstractButton::leaveEvent(event);
    m_state = Look::Normal;
    update();
    Q_EMIT mouseLeft();
}

void isButton::mouseMoveEvent(QMouseEvent *event)
{
    QAbstractButton::mouseMoveEvent(event);
    if (m_state == Look::Normal && rect().contains(event->position().toPoint())) {
        m_state = Look::Hot;
        update();
    }
}

void isButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_state = Look::Pressed;
        update();
    }
    QAbstractButton::mousePressEvent(event);
}

void isButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_state = rect().contains(event->position().toPoint()) ? Look::Hot : Look::Normal;
        update();
    }
    // QAbstractButton clicks on the left button only, which is the rule.
    QAbstractButton::mouseReleaseEvent(event);
}

void isButton::resizeEvent(QResizeEvent *event)
{
    QAbstractButton::resizeEvent(event);
    if (width() < minimumSide || height() < minimumSide)
        resize(qMax(width(), minimumSide), qMax(height(), minimumSide));
}

void isButton::changeEvent(QEvent *event)
{
    QAbstractButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        if (isEnabled())
            m_state = Look::Normal;
        update();
    } else if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) {
        update();
    }
}

} // namespace cdk
