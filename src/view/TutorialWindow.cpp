#include "view/TutorialWindow.h"

#include "controls/GradientPanel.h"
#include "controls/Icons.h"
#include "editing/DialogHeader.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace cdk {

namespace {

const char *const kTag = "tag";

QString step1() { return QStringLiteral("STEP1"); }

QString step2() { return QStringLiteral("STEP2"); }

// A row of toolbar pictures with a caption under each, drawn from the same
// icons the window uses so the picture matches what the user sees. The
// cells are as wide as the longest caption, which a language may make long.
QPixmap pictureOf(const QList<std::pair<QString, QString>> &items, const QFont &font,
                  const QPalette &palette, qreal dpr)
{
    const QFontMetrics metrics(font);
    int cell = 92;
    for (const auto &item : items)
        cell = qMax(cell, metrics.horizontalAdvance(item.second) + 12);
    constexpr int iconSide = 24;
    const QSize size(cell * int(items.size()), 52);
    QPixmap picture(size * dpr);
    picture.setDevicePixelRatio(dpr);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(font);
    for (int i = 0; i < items.size(); ++i) {
        const QRect area(i * cell, 0, cell, size.height());
        const QRect button(area.center().x() - 15, 2, 30, 30);
        p.setPen(palette.color(QPalette::Mid));
        p.setBrush(palette.color(QPalette::Button));
        p.drawRoundedRect(button, 3, 3);
        iconForKey(items.at(i).first)
            .paint(&p,
                   QRect(button.center() - QPoint(iconSide / 2 - 1, iconSide / 2 - 1),
                         QSize(iconSide, iconSide)));
        p.setPen(palette.color(QPalette::WindowText));
        p.drawText(QRect(area.left(), 34, area.width(), 18), Qt::AlignCenter, items.at(i).second);
    }
    return picture;
}

} // namespace

TutorialWindow::TutorialWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmTutorial"));
    setWindowTitle(tr("Quick Tutorial"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto *header = new DialogHeader(this);
    header->setObjectName(QStringLiteral("gpTop"));
    header->setCaption(tr("Quick Tutorial"));
    header->setIcon(iconForKey(QStringLiteral("HELP")));

    auto *back = new GradientPanel(this);
    back->setObjectName(QStringLiteral("gpBackGrad"));
    back->setColors(palette().color(QPalette::Base), palette().color(QPalette::Window));

    auto *pages = new QVBoxLayout(back);
    pages->setContentsMargins(18, 14, 18, 14);
    pages->setSpacing(10);
    auto addText = [this, back, pages](const QString &tag, const QString &text) {
        auto *label = new QLabel(text, back);
        label->setObjectName(QStringLiteral("lblInfo"));
        label->setProperty(kTag, tag);
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        pages->addWidget(label);
        return label;
    };
    auto addPicture = [this, back, pages](const QString &tag, const char *name,
                                          const QList<std::pair<QString, QString>> &items) {
        auto *picture = new QLabel(back);
        picture->setObjectName(QString::fromLatin1(name));
        picture->setProperty(kTag, tag);
        picture->setAlignment(Qt::AlignCenter);
        picture->setPixmap(pictureOf(items, font(), palette(), devicePixelRatioF()));
        pages->addWidget(picture);
    };

    QLabel *welcome = addText(
        step1(),
        tr("Welcome to Chronodeck! Chronodeck lets you give each of your tasks an amount of time "
           "and track your progress on it, so you always know how much of your day is done and "
           "how much is left."));
    QFont bold = welcome->font();
    bold.setBold(true);
    welcome->setFont(bold);
    addText(step1(),
            tr("Chronodeck keeps a task list for each day of the calendar. You can easily display "
               "task list for any day using the date picker in the main toolbar. Use arrows upon "
               "it to go to next or previous day. T (today) button will always bring you to "
               "today's task list."));
    addPicture(step1(), "imgExplanation",
               {{QStringLiteral("PREVIOUSDAY"), tr("Previous day")},
                {QStringLiteral("TODAY"), tr("Today")},
                {QStringLiteral("NEXTDAY"), tr("Next day")}});

    addText(step2(),
            tr("Chronodeck can time track time done for each of your tasks. To do so, simply "
               "select the task you would like to track and press the \"Start Tracking\" "
               "button."));
    addPicture(step2(), "imgStartTracking",
               {{QStringLiteral("STARTTIME"), tr("Start Tracking")},
                {QStringLiteral("STOPTIMER"), tr("Stop")},
                {QStringLiteral("FINISHIT"), tr("Finish")}});
    addText(step2(),
            tr("Only one task can be tracked at a time. If you would like to track another task, "
               "you have to stop the timer, select another task, and start tracking it. When the "
               "timer is on, you can add and edit other tasks, move through to do lists, etc."));
    addText(step2(), tr("One final trick: Press Escape key to hide Chronodeck to system tray."));
    addText(step2(),
            tr("So this is the basics. We have designed the program to be very intuitive and "
               "friendly to use, but you will find that for yourself. Have a great day and once "
               "again, thanks for installing Chronodeck!"));
    pages->addStretch(1);

    m_cmdOK = new QPushButton(tr("&Part 2"), back);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setDefault(true);
    m_cmdCancel = new QPushButton(tr("&Close"), back);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdCancel);
    pages->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header);
    layout->addWidget(back, 1);

    connect(m_cmdOK, &QPushButton::clicked, this, &TutorialWindow::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QWidget::close);
    // Escape closes it as it closes a dialog: the tutorial opens in front of
    // the window on a first start and takes the keyboard.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    // Both pages share the window: it is as tall as the longer one, so
    // flipping never moves the buttons.
    showPage(step2());
    const QSize second = sizeHint();
    showPage(step1());
    const QSize first = sizeHint();
    setFixedWidth(qMax(460, qMax(first.width(), second.width())));
    resize(width(), qMax(first.height(), second.height()));
}

int TutorialWindow::page() const { return m_page; }

void TutorialWindow::showPage(const QString &tag)
{
    setUpdatesEnabled(false);
    const auto children = findChildren<QWidget *>();
    for (QWidget *child : children) {
        const QString childTag = child->property(kTag).toString();
        if (childTag == step1() || childTag == step2())
            child->setVisible(childTag == tag);
    }
    setUpdatesEnabled(true);
}

void TutorialWindow::cmdOK_Click()
{
    // The button leads to the page not shown.
    if (m_page == 1) {
        m_page = 2;
        showPage(step2());
        m_cmdOK->setText(tr("&Part 1"));
        m_cmdCancel->setFocus();
    } else {
        m_page = 1;
        showPage(step1());
        m_cmdOK->setText(tr("&Part 2"));
    }
}

} // namespace cdk
