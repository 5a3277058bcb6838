#include "tracking/AwayDialog.h"

#include "base/Functions.h"
#include "base/Translate.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace cdk {

namespace {

// A subject is a line of the question, not a page of it, and an unbroken
// word cannot wrap: long ones are cut.
constexpr qsizetype kSubjectLength = 80;
// The text wraps at about this many average characters.
constexpr int kTextWidthChars = 52;

} // namespace

AwayDialog::AwayDialog(const QString &text, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAway"));
    setWindowTitle(programName());
    setAttribute(Qt::WA_DeleteOnClose);

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("imgAway"));
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()
                        ->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this)
                        .pixmap(iconSize, iconSize));
    icon->setAlignment(Qt::AlignTop);

    auto *label = new QLabel(text, this);
    label->setObjectName(QStringLiteral("lblAway"));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setMinimumWidth(fontMetrics().averageCharWidth() * kTextWidthChars);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *buttons = new QDialogButtonBox(this);
    const auto addButton = [&](const char *name, const QString &caption, Choice choice,
                               QDialogButtonBox::ButtonRole role) {
        QPushButton *button = buttons->addButton(caption, role);
        button->setObjectName(QString::fromLatin1(name));
        connect(button, &QPushButton::clicked, this, [this, choice] {
            m_choice = choice;
            accept();
        });
        return button;
    };
    // Keeping is what a stray Enter does: nothing counted is lost by it.
    addButton("cmdKeep", tr("Keep the time"), Choice::Keep, QDialogButtonBox::AcceptRole)
        ->setDefault(true);
    addButton("cmdDiscard", tr("Discard it"), Choice::Discard, QDialogButtonBox::DestructiveRole);
    addButton("cmdDiscardAndStop", tr("Discard it and stop tracking"), Choice::DiscardAndStop,
              QDialogButtonBox::DestructiveRole);

    auto *top = new QHBoxLayout;
    top->addWidget(icon);
    top->addWidget(label, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString AwayDialog::questionText(const QDateTime &from, const QDateTime &to, qint64 seconds,
                                 const QString &subject)
{
    const QLocale locale;
    const qint64 minutes = (seconds + 30) / 60;
    const QString length
        = countedText("cdk::AwayDialog", QT_TRANSLATE_N_NOOP("cdk::AwayDialog", "%n minutes"),
                      "1 minute", int(minutes));
    return tr("You were away from %1 to %2 (%3) while tracking %4.")
        .arg(locale.toString(from.time(), QLocale::ShortFormat),
             locale.toString(to.time(), QLocale::ShortFormat), length,
             ShownText(subject, kSubjectLength));
}

void AwayDialog::done(int result)
{
    // Escape and the close box keep the time.
    if (result != QDialog::Accepted)
        m_choice = Choice::Keep;
    const Choice choice = m_choice;
    QDialog::done(result);
    Q_EMIT answered(choice);
}

} // namespace cdk
