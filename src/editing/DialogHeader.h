#pragma once

#include <QFrame>
#include <QIcon>

class QLabel;

namespace cdk {

// The band across the top of a dialog: the command's picture and a caption
// in large type on a soft gradient taken from the palette, so it suits light
// and dark themes alike.
class DialogHeader final : public QFrame
{
    Q_OBJECT

public:
    explicit DialogHeader(QWidget *parent = nullptr);

    void setCaption(const QString &caption);
    QString caption() const;
    void setIcon(const QIcon &icon);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *m_icon = nullptr;
    QLabel *m_caption = nullptr;
};

} // namespace cdk
