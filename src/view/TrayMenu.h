#pragma once

#include <QObject>

#include <memory>

class QAction;
class QMenu;

namespace cdk {

struct AppContext;
class MainWindow;
class ReviewSchedule;

// "pmSystray", the menu of the tray icon. Each entry runs the main window's
// command of the same name, so the tray takes the same road as the menu bar,
// the toolbar and the keys, and is enabled exactly when that command is.
class TrayMenu final : public QObject
{
    Q_OBJECT

public:
    TrayMenu(AppContext &context, MainWindow &window, QObject *parent = nullptr);
    ~TrayMenu() override;

    QMenu *menu() const { return m_menu.get(); }
    // The review that opens by itself at the time the settings name takes
    // the tray's road: the window comes forward first.
    ReviewSchedule &reviewSchedule() const { return *m_reviewSchedule; }

private:
    void aboutToShow();
    void reviewDue();

    AppContext &m_context;
    MainWindow &m_window;
    // A menu has no widget to belong to: the tray shows it on its own.
    std::unique_ptr<QMenu> m_menu;
    QAction *m_mnuReviewDay = nullptr;
    ReviewSchedule *m_reviewSchedule = nullptr;
};

} // namespace cdk
