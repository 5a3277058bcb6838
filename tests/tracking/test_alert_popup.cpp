// The finish alert on its own: where it opens, how it grows and shrinks,
// what a click or a pointer over it does. What starts it is checked on the
// main window.
#include "common/DarkPalette.h"
#include "controls/Contrast.h"
#include "tracking/AlertPopup.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>

using namespace cdk;

class TestAlertPopup : public QObject
{
    Q_OBJECT

private:
    static QRect available() { return QGuiApplication::primaryScreen()->availableGeometry(); }

    static void sendMouse(QWidget *target, QEvent::Type type)
    {
        const QPointF local(2, 2);
        QMouseEvent event(type, local, target->mapToGlobal(local),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(target, &event);
    }

    // Opens a pop-up fully by driving its opening timer by hand.
    static int openFully(AlertPopup &popup)
    {
        auto *tmrOpen = popup.findChild<QTimer *>(QStringLiteral("tmrOpen"));
        int steps = 0;
        while (tmrOpen->isActive() && steps < 1000) {
            popup.openStep();
            ++steps;
        }
        return steps;
    }

private Q_SLOTS:
    void taskbarPlacement_data()
    {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QPoint>("expected");
        const QRect screen(0, 0, 1920, 1080);
        const QSize p(AlertPopup::kWidth, AlertPopup::kOpenHeight);
        const QPoint corner(1920 - p.width(), 1080 - p.height());
        QTest::newRow("bottom") << screen << QRect(0, 0, 1920, 1040)
                                << QPoint(1920 - p.width(), 1040 - p.height());
        QTest::newRow("right") << screen << QRect(0, 0, 1860, 1080)
                               << QPoint(1860 - p.width(), 1080 - p.height());
        QTest::newRow("left") << screen << QRect(60, 0, 1860, 1080) << corner;
        QTest::newRow("top") << screen << QRect(0, 40, 1920, 1040) << corner;
        QTest::newRow("second screen, bottom")
            << QRect(1920, 0, 1280, 1024) << QRect(1920, 0, 1280, 984)
            << QPoint(3200 - p.width(), 984 - p.height());
    }
    void taskbarPlacement()
    {
        QFETCH(QRect, screen);
        QFETCH(QRect, available);
        QFETCH(QPoint, expected);
        const QSize size(AlertPopup::kWidth, AlertPopup::kOpenHeight);
        QCOMPARE(AlertPopup::GetTaskbar(screen, available, size), expected);
    }

    // A long subject is shortened in its middle so the pop-up still says
    // what happened, and a dark theme gives a dark pop-up with light text.
    void longSubjectsAndDarkThemesStayReadable()
    {
        test::DarkPaletteScope dark;
        QPointer<AlertPopup> popup = new AlertPopup([] {});
        const QString full = QStringLiteral("Task ")
            + QString(QStringLiteral("Quarterly report ")).repeated(8)
            + QStringLiteral("has been finished!");
        popup->DisplayAlert(full, 3000);
        QLabel *text = popup->findChild<QLabel *>(QStringLiteral("lblAlert"));
        QVERIFY(text->text().startsWith(QStringLiteral("Task Quarterly")));
        QVERIFY(text->text().endsWith(QStringLiteral(" has been finished!")));
        QVERIFY(text->text().contains(QChar(0x2026)));
        QCOMPARE(text->toolTip(), full);
        const QRect needed = text->fontMetrics().boundingRect(QRect(0, 0, text->width(), 100000),
                                                              Qt::TextWordWrap, text->text());
        QVERIFY(needed.height() <= text->height());

        popup->resize(AlertPopup::kWidth, AlertPopup::kOpenHeight);
        popup->findChild<QWidget *>(QStringLiteral("gpPanel"))->resize(popup->size());
        const QImage shot = popup->grab().toImage();
        const QColor background = shot.pixelColor(shot.width() / 2, 24);
        QVERIFY2(qGray(background.rgb()) < 110, qPrintable(background.name()));
        QVERIFY(contrastRatio(text->palette().color(QPalette::WindowText), background) >= 4.5);
        delete popup;
    }

    void opensUpwardsToExactlyTheFullHeight()
    {
        int sounds = 0;
        QPointer<AlertPopup> popup = new AlertPopup([&sounds] { ++sounds; });
        popup->DisplayAlert(QStringLiteral("Task Write has been finished!"), 3000);
        QCOMPARE(sounds, 1);
        QVERIFY(popup->isVisible());
        QCOMPARE(popup->findChild<QLabel *>(QStringLiteral("lblAlert"))->text(),
                 QStringLiteral("Task Write has been finished!"));
        QCOMPARE(popup->findChild<QLabel *>(QStringLiteral("lblCaption"))->text(),
                 QStringLiteral("Chronodeck:"));
        const QRect strip = popup->geometry();
        QCOMPARE(strip.height(), AlertPopup::kStripHeight);
        QCOMPARE(strip.width(), AlertPopup::kWidth);
        const int bottom = strip.y() + strip.height();
        QCOMPARE(strip.topLeft(),
                 AlertPopup::GetTaskbar(QGuiApplication::primaryScreen()->geometry(), available(),
                                        strip.size()));

        // 6 + 2k never hits 95: the last step is cut short.
        const int steps = openFully(*popup);
        QCOMPARE(steps, (AlertPopup::kOpenHeight - AlertPopup::kStripHeight + 1) / 2 + 1);
        QCOMPARE(popup->height(), AlertPopup::kOpenHeight);
        QCOMPARE(popup->y() + popup->height(), bottom);
        auto *tmrAlert = popup->findChild<QTimer *>(QStringLiteral("tmrAlert"));
        QVERIFY(tmrAlert->isActive());
        QCOMPARE(tmrAlert->interval(), 3000);

        // Closing shrinks downwards (left to its timers it ends deleted: below).
        popup->stayElapsed();
        auto *tmrClose = popup->findChild<QTimer *>(QStringLiteral("tmrClose"));
        QVERIFY(tmrClose->isActive());
        QVERIFY(!tmrAlert->isActive());
        popup->closeStep();
        QCOMPARE(popup->height(), AlertPopup::kOpenHeight - 2);
        QCOMPARE(popup->y() + popup->height(), bottom);
    }

    void runsByItselfAndDeletesItself()
    {
        QPointer<AlertPopup> popup = new AlertPopup();
        popup->DisplayAlert(QStringLiteral("short"), 50);
        QTRY_COMPARE_WITH_TIMEOUT(popup.isNull(), true, 5000);
    }

    void mouseOverTheTextRestartsTheStayOnce()
    {
        AlertPopup popup;
        popup.setAttribute(Qt::WA_DeleteOnClose, false);
        popup.DisplayAlert(QStringLiteral("text"), 2000);
        openFully(popup);
        auto *tmrAlert = popup.findChild<QTimer *>(QStringLiteral("tmrAlert"));
        QVERIFY(tmrAlert->isActive());
        // Time passes without the event loop running, so nothing but the
        // moves sent here can reach the pop-up.
        // (A coarse timer may fire up to 5 % late: the margins allow for it.)
        QTest::qSleep(600);
        QVERIFY(tmrAlert->remainingTime() <= 1600);
        sendMouse(popup.findChild<QWidget *>(QStringLiteral("lblAlert")), QEvent::MouseMove);
        QVERIFY(tmrAlert->remainingTime() > 1850); // the stay starts again
        QTest::qSleep(600);
        sendMouse(popup.findChild<QWidget *>(QStringLiteral("lblCaption")), QEvent::MouseMove);
        QVERIFY(tmrAlert->remainingTime() <= 1600); // but only once
    }

    void clicks_data()
    {
        QTest::addColumn<QString>("child");
        QTest::addColumn<int>("callbacks");
        QTest::newRow("close picture") << QStringLiteral("imgClose") << 0;
        QTest::newRow("caption") << QStringLiteral("lblCaption") << 0;
        QTest::newRow("text") << QStringLiteral("lblAlert") << 1;
    }
    void clicks()
    {
        QFETCH(QString, child);
        QFETCH(int, callbacks);
        int clicked = 0;
        AlertPopup popup({}, [&clicked] { ++clicked; });
        popup.setAttribute(Qt::WA_DeleteOnClose, false);
        popup.DisplayAlert(QStringLiteral("text"), 3000);
        auto *tmrOpen = popup.findChild<QTimer *>(QStringLiteral("tmrOpen"));
        auto *tmrClose = popup.findChild<QTimer *>(QStringLiteral("tmrClose"));
        QVERIFY(tmrOpen->isActive());
        QWidget *target = popup.findChild<QWidget *>(child);
        QVERIFY(target);
        sendMouse(target, QEvent::MouseButtonPress);
        sendMouse(target, QEvent::MouseButtonRelease);
        QCOMPARE(clicked, callbacks);
        // Closing starts from any state, here while still opening.
        QVERIFY(tmrClose->isActive());
        QVERIFY(!tmrOpen->isActive());
    }
};

QTEST_MAIN(TestAlertPopup)
#include "test_alert_popup.moc"
