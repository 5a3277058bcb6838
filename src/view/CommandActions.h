#pragma once

#include <QAction>
#include <QKeySequence>
#include <QString>

namespace cdk {

// An action with the name the commands are known by everywhere (menus,
// toolbar, tray, tests), its caption, icon and shortcut.
QAction *makeCommandAction(QObject *owner, const char *name, const QString &caption,
                           const char *iconKey = nullptr,
                           const QKeySequence &shortcut = QKeySequence());

} // namespace cdk
