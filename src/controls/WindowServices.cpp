#include "controls/WindowServices.h"

#include <QAccessibleWidget>

#include "base/Functions.h"
#include "base/Prompter.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QWidget>

namespace cdk {

void CopyTextToClipboard(Prompter &prompter, const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (clipboard)
        clipboard->setText(text, QClipboard::Clipboard);
    if (!clipboard || clipboard->text(QClipboard::Clipboard) != text)
        prompter.tell(
            programName(),
            QCoreApplication::translate("WindowServices",
                                        "An error has occured while copying data to clipboard."),
            MessageIcon::None);
}

void SetTopMost(QWidget *window, bool on)
{
    if (!window || window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on)
        return;
    const bool visible = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
    // Changing a window's flags hides it; put it back as it was, still
    // without taking the focus.
    if (visible)
        ShowFormNoActivate(window);
}

void ShowFormNoActivate(QWidget *window)
{
    if (!window)
        return;
    window->setAttribute(Qt::WA_ShowWithoutActivating);
    window->show();
}

void FlashWindowUntilForeground(QWidget *window)
{
    if (window)
        QApplication::alert(window, 0);
}

namespace {

QAccessibleInterface *plainWindowAccessible(const QString &, QObject *object)
{
    // Only a window made straight from QWidget: Qt knows its subclasses'
    // roles (main window, dialog) and the pop-ups have their own.
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget || widget->metaObject()->superClass() != &QWidget::staticMetaObject
        || widget->windowType() != Qt::Window)
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Window);
}

} // namespace

void ExposePlainWindowsAsWindows()
{
    QAccessible::installFactory(plainWindowAccessible);
}

} // namespace cdk
