#pragma once

#include "base/Prompter.h"

#include <QPointer>
#include <QWidget>

namespace cdk {

// Message boxes, file and colour dialogs of the desktop.
class WidgetPrompter final : public Prompter
{
public:
    WidgetPrompter() = default;
    // Dialogs are shown over this window when it is visible.
    void setParentWindow(QWidget *window) { m_parent = window; }

    Answer ask(const QString &title, const QString &text, MessageIcon icon) override;
    void tell(const QString &title, const QString &text, MessageIcon icon) override;
    QString saveFileName(const QString &folder, const QString &fileName,
                         const QString &filter) override;
    QString openFileName(const QString &folder, const QString &fileName,
                         const QString &filter) override;
    std::optional<qint32> chooseColor(qint32 initial) override;

    // "Name (*.ext)|*.ext" as the file dialogs of the desktop want it.
    static QString qtFilter(const QString &filter);

private:
    QWidget *parent() const;
    QPointer<QWidget> m_parent;
};

} // namespace cdk
