#pragma once

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace cdk {

// A label that reports a left click, for texts that act as links.
class ClickableLabel final : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;

    // A one-line text longer than the label ends in "…" instead of being cut
    // wherever the edge falls; the layout may then make the label narrow.
    void setElided(bool on)
    {
        m_elided = on;
        updateGeometry();
        update();
    }

    QSize minimumSizeHint() const override
    {
        if (!m_elided)
            return QLabel::minimumSizeHint();
        return {fontMetrics().horizontalAdvance(QChar(0x2026)) * 3, QLabel::minimumSizeHint().height()};
    }

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            Q_EMIT clicked();
        QLabel::mouseReleaseEvent(event);
    }

    void paintEvent(QPaintEvent *event) override
    {
        if (!m_elided || textFormat() == Qt::RichText)
            return QLabel::paintEvent(event);
        QPainter p(this);
        p.setPen(palette().color(foregroundRole()));
        const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
        p.drawText(area, int(alignment()) | Qt::TextSingleLine,
                   fontMetrics().elidedText(text(), Qt::ElideRight, area.width()));
    }

private:
    bool m_elided = false;
};

} // namespace cdk
