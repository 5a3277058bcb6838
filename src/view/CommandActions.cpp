#include "view/CommandActions.h"

#include "controls/Icons.h"
#include "view/CommandHost.h"

namespace cdk {

QAction *makeCommandAction(QObject *owner, const char *name, const QString &caption,
                           const char *iconKey, const QKeySequence &shortcut)
{
    auto *action = new QAction(caption, owner);
    action->setObjectName(QString::fromLatin1(name));
    if (iconKey)
        action->setIcon(iconForKey(QString::fromLatin1(iconKey)));
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        // The window's keys reach the commands even while the menu is closed
        // and the grid has the focus.
        action->setShortcutContext(Qt::WindowShortcut);
    }
    return action;
}

void triggerIfEnabled(QAction *action)
{
    if (action && action->isEnabled())
        action->trigger();
}

} // namespace cdk
