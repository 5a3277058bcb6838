#include "controls/GradientPanel.h"

#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QtMath>

namespace cdk {

namespace {
constexpr int captionMargin = 6;
}

GradientPanel::GradientPanel(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QColor GradientPanel::color1() const
{
    // Until the owner picks colours the panel follows the palette, read at
    // each paint so a scheme switched while the program runs is followed:
    // a light window colour fading into the button face reads well in light
    // and dark schemes.
    return m_color1.isValid() ? m_color1 : palette().color(QPalette::Window).lighter(106);
}

QColor GradientPanel::color2() const
{
    return m_color2.isValid() ? m_color2 : palette().color(QPalette::Button);
}

QColor GradientPanel::borderColor() const
{
    return m_borderColor.isValid() ? m_borderColor : palette().color(QPalette::Mid);
}

QColor GradientPanel::captionColor() const
{
    return palette().color(QPalette::WindowText);
}

void GradientPanel::setColor1(const QColor &color)
{
    m_color1 = color;
    update();
}

void GradientPanel::setColor2(const QColor &color)
{
    m_color2 = color;
    update();
}

void GradientPanel::setColors(const QColor &color1, const QColor &color2)
{
    m_color1 = color1;
    m_color2 = color2;
    update();
}

void GradientPanel::setAngle(qreal degrees)
{
    m_angle = degrees;
    update();
}

void GradientPanel::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    update();
}

void GradientPanel::setBorder(bool on)
{
    m_border = on;
    update();
}

void GradientPanel::setBorderColor(const QColor &color)
{
    m_borderColor = color;
    update();
}

void GradientPanel::setGradientStrip(Qt::Edge edge, int extent)
{
    m_stripEdge = edge;
    m_stripExtent = qMax(0, extent);
    const int e = m_stripExtent;
    switch (edge) {
    case Qt::LeftEdge:
        setContentsMargins(e, 0, 0, 0);
        break;
    case Qt::TopEdge:
        setContentsMargins(0, e, 0, 0);
        break;
    case Qt::RightEdge:
        setContentsMargins(0, 0, e, 0);
        break;
    case Qt::BottomEdge:
        setContentsMargins(0, 0, 0, e);
        break;
    }
    update();
}

QRect GradientPanel::gradientRect() const
{
    const QRect r = rect();
    if (m_stripExtent <= 0)
        return r;
    const bool across = m_stripEdge == Qt::LeftEdge || m_stripEdge == Qt::RightEdge;
    const int e = qMin(m_stripExtent, across ? r.width() : r.height());
    switch (m_stripEdge) {
    case Qt::LeftEdge:
        return r.adjusted(0, 0, e - r.width(), 0);
    case Qt::TopEdge:
        return r.adjusted(0, 0, 0, e - r.height());
    case Qt::RightEdge:
        return r.adjusted(r.width() - e, 0, 0, 0);
    case Qt::BottomEdge:
        return r.adjusted(0, r.height() - e, 0, 0);
    }
    return r;
}

QLineF GradientPanel::gradientLine(const QRectF &rect, qreal degrees)
{
    const qreal rad = qDegreesToRadians(degrees);
    // Screen y grows downwards, so a positive angle points up.
    const QPointF dir(qCos(rad), -qSin(rad));
    // Half the extent of the rectangle projected on the direction.
    const qreal half = (qAbs(dir.x()) * rect.width() + qAbs(dir.y()) * rect.height()) / 2.0;
    const QPointF c = rect.center();
    return {c - dir * half, c + dir * half};
}

QSize GradientPanel::sizeHint() const
{
    const QSize text = fontMetrics().size(Qt::TextSingleLine, m_caption);
    return {text.width() + 2 * captionMargin, qMax(text.height() + 8, 24)};
}

void GradientPanel::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    p.setClipRegion(event->region());
    const QRectF r = gradientRect();
    if (r != QRectF(rect()))
        p.fillRect(rect(), color1());
    const QLineF line = gradientLine(r, m_angle);
    QLinearGradient gradient(line.p1(), line.p2());
    gradient.setColorAt(0.0, color1());
    gradient.setColorAt(1.0, color2());
    p.fillRect(r, gradient);

    if (!m_caption.isEmpty()) {
        p.setPen(captionColor());
        p.drawText(rect().adjusted(captionMargin, 0, -captionMargin, 0),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_caption);
    }
    if (m_border) {
        p.setPen(QPen(borderColor(), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

} // namespace cdk
