#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <functional>

class QLabel;
class QTimer;

namespace cdk {

// A small notice that slides up from the corner of the screen beside the
// taskbar, stays a few seconds and slides back down, then deletes itself.
// It never takes the keyboard focus and stays above other windows. Every
// alert is a new instance; several may be on screen at once.
class AlertPopup final : public QWidget
{
    Q_OBJECT

public:
    // The fully open size in pixels.
    static constexpr int kWidth = 141;
    static constexpr int kOpenHeight = 95;
    static constexpr int kStripHeight = 6;
    static constexpr int kStep = 2;
    static constexpr int kGoneHeight = 8;
    static constexpr int kMoveIntervalMs = 10;

    // playSound runs when the alert opens; textClicked when the user clicks
    // the message (before the pop-up closes).
    explicit AlertPopup(std::function<void()> playSound = {},
                        std::function<void()> textClicked = {});

    // Shows text, opening from a thin strip; stayMs counts from fully open.
    void DisplayAlert(const QString &text, int stayMs);

    // Top-left corner of a pop-up of the given size: beside the taskbar,
    // whose edge is read from how the available area differs from the screen.
    static QPoint GetTaskbar(const QRect &screen, const QRect &available, const QSize &popup);

    // The three movements, one step each; driven by tmrOpen, tmrAlert and
    // tmrClose.
    void openStep();
    void stayElapsed();
    void closeStep();
    // Closing starts at once (close picture, caption or text clicked).
    void startClosing();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void restartStayOnce();

    std::function<void()> m_playSound;
    std::function<void()> m_textClicked;
    QWidget *m_panel = nullptr;
    QLabel *m_caption = nullptr;
    QLabel *m_alert = nullptr;
    QWidget *m_close = nullptr;
    QTimer *m_tmrOpen = nullptr;
    QTimer *m_tmrClose = nullptr;
    QTimer *m_tmrAlert = nullptr;
    int m_openHeight = kOpenHeight;
    bool m_stayRestarted = false;
};

} // namespace cdk
