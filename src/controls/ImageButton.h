#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QString>

namespace cdk {

// A flat icon button for the toolbar: lights up in the palette's highlight
// colour while the mouse is over it, looks pressed (icon moved by one pixel)
// while the left button is held, and draws a grey icon when disabled. Its tag
// names the command it runs.
class isButton : public QAbstractButton
{
    Q_OBJECT
    Q_PROPERTY(QString tag READ tag WRITE setTag)
    Q_PROPERTY(int iconAlign READ iconAlign WRITE setIconAlign)

public:
    enum class Look { Normal = 1, Hot = 2, Pressed = 3, Disabled = 4 };
    // 0 centred, 1 left, 2 right, 3 top, 4 bottom.
    enum IconAlignment { AlignCentre = 0, AlignLeft = 1, AlignRight = 2, AlignTop = 3, AlignBottom = 4 };

    explicit isButton(QWidget *parent = nullptr);

    QString tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }
    int iconAlign() const { return m_iconAlign; }
    void setIconAlign(int align);

    // The look the next paint uses.
    Look look() const;
    // Top-left corner of the icon for the button's size and alignment,
    // before the pressed or hot offsets.
    QPoint iconPosition() const;

    // Moves each colour part towards white by amount / 255.
    static QColor Lighten(const QColor &colour, int amount);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void mouseEntered();
    void mouseLeft();

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QString m_tag;
    int m_iconAlign = AlignCentre;
    Look m_state = Look::Normal;
};

} // namespace cdk
