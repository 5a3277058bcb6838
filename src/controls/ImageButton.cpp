#include "controls/ImageButton.h"

#include <QEnterEvent>
#include <QImage>
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
    setAttribute(Qt::WA_OpaquePaintEvent);
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

namespace {

// The part of the look that must work on single pixels (the shadow and the
// grey copy) is drawn on an image of the button's own device pixels.
//
// The grey copy: every pixel becomes the grey of its luminance. A pixel that
// is grey already (our pictures are drawn in the text colour) would stay as
// it is and the button would look switched on, so such a pixel is moved
// halfway to the face instead: black on light themes and white on dark ones
// then read as switched off too.
QImage greyCopy(const QImage &icon, const QColor &face)
{
    QImage grey = icon.convertToFormat(QImage::Format_ARGB32);
    const int faceLevel = qGray(face.rgb());
    for (int y = 0; y < grey.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const QRgb c = line[x];
            const int alpha = qAlpha(c);
            if (alpha == 0)
                continue;
            const int r = qRed(c);
            const int g = qGreen(c);
            const int b = qBlue(c);
            const int luminance = qRound(0.3 * r + 0.59 * g + 0.11 * b);
            const bool alreadyGrey = r == g && g == b;
            const int level = alreadyGrey ? (luminance + faceLevel) / 2 : luminance;
            line[x] = qRgba(level, level, level, alpha);
        }
    }
    return grey;
}

} // namespace

void isButton::paintEvent(QPaintEvent *)
{
    const qreal dpr = devicePixelRatioF();
    const int W = width();
    const int H = height();
    QImage surface((QSizeF(W, H) * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    surface.setDevicePixelRatio(dpr);
    const QColor face = palette().color(QPalette::Button);
    const QColor highlight = palette().color(QPalette::Highlight);
    const Look state = look();

    QPainter p(&surface);
    if (state == Look::Normal || state == Look::Disabled) {
        surface.fill(Lighten(face, 32));
    } else {
        surface.fill(Lighten(highlight, state == Look::Pressed ? 128 : 176));
        p.setPen(QPen(highlight, 0));
        p.drawRect(QRectF(0, 0, W - 1, H - 1));
    }

    if (!icon().isNull()) {
        const QSize size = iconSize();
        const QPoint at = iconPosition();
        const QImage picture = icon().pixmap(size, dpr, QIcon::Normal).toImage();
        auto draw = [&p, size](const QPoint &where, const QImage &image) {
            p.drawImage(QRect(where, size), image);
        };
        switch (state) {
        case Look::Pressed:
            draw(at + QPoint(1, 1), picture);
            break;
        case Look::Hot: {
            // Whatever the icon changed of the background becomes the grey
            // shadow; the icon is then lifted above it.
            draw(at, picture);
            p.end();
            const auto device = [dpr](int v) { return qRound(v * dpr); };
            const QRgb background = surface.pixel(device(1), device(1));
            const QRect area = QRect(QPoint(device(at.x()), device(at.y())),
                                     QPoint(device(at.x() + size.width()),
                                            device(at.y() + size.height())))
                                   .intersected(surface.rect());
            for (int y = area.top(); y <= area.bottom(); ++y) {
                auto *line = reinterpret_cast<QRgb *>(surface.scanLine(y));
                for (int x = area.left(); x <= area.right(); ++x) {
                    if (line[x] != background)
                        line[x] = qRgb(0x80, 0x80, 0x80);
                }
            }
            p.begin(&surface);
            draw(at - QPoint(2, 2), picture);
            break;
        }
        case Look::Disabled:
            draw(at, greyCopy(picture, face));
            break;
        case Look::Normal:
            draw(at, picture);
            break;
        }
    }
    p.end();
    QPainter(this).drawImage(QPoint(0, 0), surface);
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
    if (m_state != Look::Pressed && rect().contains(event->position().toPoint())) {
        if (m_state != Look::Hot) {
            m_state = Look::Hot;
            update();
        }
        // Raised on every move over the button, as toolbar hints expect.
        Q_EMIT mouseEntered();
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
        // Hot wherever the button is let go: leaving it is what makes it
        // normal again.
        m_state = Look::Hot;
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
