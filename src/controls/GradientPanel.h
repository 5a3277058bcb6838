#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace cdk {

// A panel that paints a two-colour linear gradient behind its children, with
// an optional caption at its left edge and an optional one-pixel border. It is
// the background and frame of the windows and of the summary panels.
class GradientPanel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor color1 READ color1 WRITE setColor1)
    Q_PROPERTY(QColor color2 READ color2 WRITE setColor2)
    Q_PROPERTY(qreal angle READ angle WRITE setAngle)
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(bool border READ hasBorder WRITE setBorder)

public:
    explicit GradientPanel(QWidget *parent = nullptr);

    // The colours painted; an invalid colour set follows the palette.
    QColor color1() const;
    QColor color2() const;
    // Degrees, counter-clockwise from the left-to-right direction: 0 runs
    // colour 1 on the left to colour 2 on the right, 90 runs bottom to top.
    qreal angle() const { return m_angle; }
    QString caption() const { return m_caption; }
    bool hasBorder() const { return m_border; }
    QColor borderColor() const;
    QColor captionColor() const;

    void setColor1(const QColor &color);
    void setColor2(const QColor &color);
    void setColors(const QColor &color1, const QColor &color2);
    void setAngle(qreal degrees);
    void setCaption(const QString &caption);
    void setBorder(bool on);
    // An invalid colour follows the palette (window text, mid tone).
    void setBorderColor(const QColor &color);
    // The gradient kept to a strip this wide along one edge, run at the
    // panel's angle within it; colour 1 fills the rest solid, and the
    // panel's layout keeps its children out of the strip. Text laid on the
    // solid part then needs to read on one colour only, however far the
    // gradient goes. An extent of 0 spreads the gradient over the panel.
    void setGradientStrip(Qt::Edge edge, int extent);
    int gradientStripExtent() const { return m_stripExtent; }
    // Where the gradient is painted: the strip, or the whole panel.
    QRect gradientRect() const;

    // The gradient's end points for a rectangle and an angle: the line through
    // the centre in the angle's direction, long enough to touch the corners.
    static QLineF gradientLine(const QRectF &rect, qreal degrees);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_color1;
    QColor m_color2;
    qreal m_angle = 90.0;
    QString m_caption;
    bool m_border = false;
    QColor m_borderColor;
    Qt::Edge m_stripEdge = Qt::RightEdge;
    int m_stripExtent = 0;
};

} // namespace cdk
