#include "view/WidgetPrompter.h"

#include "controls/Icons.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QStyle>

namespace cdk {

namespace {

struct BoxLook
{
    QMessageBox::Icon icon;
    const char *pictureKey; // the program's own picture for it
};

BoxLook boxLook(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return {QMessageBox::Information, "MSGINFORMATION"};
    case MessageIcon::Question:
        return {QMessageBox::Question, "MSGQUESTION"};
    case MessageIcon::Exclamation:
        return {QMessageBox::Warning, "MSGWARNING"};
    case MessageIcon::Critical:
        return {QMessageBox::Critical, "MSGCRITICAL"};
    case MessageIcon::None:
        break;
    }
    return {QMessageBox::NoIcon, nullptr};
}

// A box of the kind the icon says (its sound and its role for screen
// readers), showing the program's own picture, crisp at any scale and in the
// palette's colours, in place of the style's bitmap. setIconPixmap() would
// make it a box of no kind.
void dressBox(QMessageBox &box, MessageIcon icon)
{
    const BoxLook look = boxLook(icon);
    box.setIcon(look.icon);
    auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgboxex_icon_label"));
    if (!look.pictureKey || !label)
        return;
    const int side = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
    label->setPixmap(iconForKey(QLatin1String(look.pictureKey))
                         .pixmap(QSize(side, side), box.devicePixelRatioF()));
}

// Message texts are written with CR LF line breaks; the desktop wants LF.
QString plainLines(const QString &text)
{
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return out;
}

QString startPath(const QString &folder, const QString &fileName)
{
    if (folder.isEmpty())
        return fileName;
    return QDir(folder).filePath(fileName);
}

} // namespace

QWidget *WidgetPrompter::parent() const
{
    return (m_parent && m_parent->isVisible()) ? m_parent.data() : nullptr;
}

Answer WidgetPrompter::ask(const QString &title, const QString &text, MessageIcon icon)
{
    QMessageBox box(QMessageBox::NoIcon, title, plainLines(text),
                    QMessageBox::Yes | QMessageBox::No, parent());
    dressBox(box, icon);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

void WidgetPrompter::tell(const QString &title, const QString &text, MessageIcon icon)
{
    QMessageBox box(QMessageBox::NoIcon, title, plainLines(text), QMessageBox::Ok, parent());
    dressBox(box, icon);
    box.exec();
}

QString WidgetPrompter::qtFilter(const QString &filter)
{
    // "Chronodeck Database (*.cdkd)|*.cdkd" -> "Chronodeck Database (*.cdkd)"
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts.at(i);
        if (!name.contains(QLatin1Char('(')))
            name += QStringLiteral(" (") + parts.at(i + 1) + QLatin1Char(')');
        out << name;
    }
    return out.isEmpty() ? filter : out.join(QStringLiteral(";;"));
}

QString WidgetPrompter::saveFileName(const QString &folder, const QString &fileName,
                                     const QString &filter)
{
    // The program asks about overwriting itself.
    return QFileDialog::getSaveFileName(parent(), QString(), startPath(folder, fileName),
                                        qtFilter(filter), nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString WidgetPrompter::openFileName(const QString &folder, const QString &fileName,
                                     const QString &filter)
{
    // A name that does not exist is handed back too: the restore says so
    // itself and asks again. (A desktop's own dialog may still refuse it.)
    QFileDialog dialog(parent(), QString(), startPath(folder, fileName), qtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

std::optional<qint32> WidgetPrompter::chooseColor(qint32 initial)
{
    const QColor start = initial < 0
        ? QColor(Qt::white)
        : QColor(initial & 0xFF, (initial >> 8) & 0xFF, (initial >> 16) & 0xFF);
    const QColor chosen = QColorDialog::getColor(start, parent());
    if (!chosen.isValid())
        return std::nullopt;
    return chosen.red() + 256 * chosen.green() + 65536 * chosen.blue();
}

} // namespace cdk
