#include "editing/DialogHeader.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>

namespace cdk {

namespace {
constexpr int kIconSize = 32;
}

DialogHeader::DialogHeader(QWidget *parent) : QFrame(parent)
{
    m_icon = new QLabel(this);
    m_icon->setObjectName(QStringLiteral("imgIcon"));
    m_icon->setFixedSize(kIconSize, kIconSize);

    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("lblCaption"));
    QFont font = m_caption->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.5);
    m_caption->setFont(font);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(14, 10, 14, 10);
    row->setSpacing(12);
    row->addWidget(m_icon);
    row->addWidget(m_caption, 1);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void DialogHeader::setCaption(const QString &caption)
{
    m_caption->setText(caption);
}

QString DialogHeader::caption() const
{
    return m_caption->text();
}

void DialogHeader::setIcon(const QIcon &icon)
{
    m_icon->setPixmap(icon.pixmap(QSize(kIconSize, kIconSize), devicePixelRatioF()));
}

void DialogHeader::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QLinearGradient gradient(rect().topLeft(), rect().topRight());
    gradient.setColorAt(0, palette().color(QPalette::Base));
    gradient.setColorAt(1, palette().color(QPalette::Window));
    painter.fillRect(rect(), gradient);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(rect().bottomLeft(), rect().bottomRight());
}

} // namespace cdk
