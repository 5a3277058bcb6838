#pragma once

#include "common/FakeClock.h"
#include "common/RecordingAutostart.h"
#include "common/RecordingSound.h"
#include "common/RecordingTrayIcon.h"
#include "common/TaskFixtures.h"
#include "controls/ImageButton.h"
#include "tracking/TrackingController.h"
#include "view/AppContext.h"
#include "controls/DatePicker.h"
#include "view/MainWindow.h"
#include "view/TaskGrid.h"
#include "view/TaskGridView.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <memory>

namespace cdk::test {

// The real main window over a data folder of its own, opened in the order the
// program opens it at start-up. The clock, the questions and the logon
// registration are the test's.
class MainWindowHarness
{
public:
    MainWindowHarness()
        : m_folder(m_dir.path() + QLatin1Char('/'))
    {
    }
    ~MainWindowHarness() { close(); }

    FakeClock clock;
    RecordingPrompter prompter;
    RecordingAutostart autostart;
    RecordingSound sound;
    RecordingTrayIcon tray;

    QString today() const { return DayListKey(clock.today()); }
    QString dayKey(int daysFromToday) const
    {
        return DayListKey(clock.today().addDays(daysFromToday));
    }

    AppContext &context()
    {
        if (!m_context) {
            m_context = std::make_unique<AppContext>(m_folder, clock, prompter, autostart, sound);
            m_context->tray = &tray;
            m_context->settings.Init(m_folder);
            m_context->store.OpenTaskDatabase();
        }
        return *m_context;
    }
    TaskStore &store() { return context().store; }
    clsSettings &settings() { return context().settings; }
    TimeTracker &tracker() { return context().tracker; }

    void addTask(const QString &list, TaskRecord task)
    {
        task.List = list;
        QVERIFY(store().SaveTask(task, true, list, task.ID));
    }
    void addTasks(const QString &list, const QList<TaskRecord> &tasks)
    {
        for (const TaskRecord &t : tasks)
            addTask(list, t);
    }
    std::optional<TaskRecord> stored(const QString &list, qint32 id)
    {
        return store().findTask(list, id);
    }

    MainWindow &showWindow()
    {
        AppContext &ctx = context();
        ctx.StartingUp = true;
        m_window = std::make_unique<MainWindow>(ctx);
        m_window->applyGridAppearance();
        m_window->SetUpGridColumns();
        m_window->LoadSortSettings();
        m_window->showDay(clock.today());
        m_window->show();
        m_window->RefreshAfterSelection();
        ctx.StartingUp = false;
        m_window->activateWindow();
        if (!QTest::qWaitForWindowActive(m_window.get()))
            qWarning("the main window did not become active");
        return *m_window;
    }

    // Ends the window and the context, as an exit does (the window is hidden
    // first, as the shutdown does); the folder stays.
    void close()
    {
        if (m_window)
            m_window->hide();
        m_window.reset();
        m_context.reset();
    }

    TaskGrid &grid() { return m_window->grid(); }
    TaskGridView *view() const { return child<TaskGridView>("SGrid"); }
    DatePicker *picker() const { return child<DatePicker>("dtpView"); }
    QHeaderView *header() const { return view()->horizontalHeader(); }
    isButton *toolbar(int index) const
    {
        return child<isButton>(QStringLiteral("isbToolbar(%1)").arg(index).toLatin1().constData());
    }
    QAction *action(const char *name) const { return child<QAction>(name); }
    QString label(const char *name) const { return child<QLabel>(name)->text(); }

    template<typename T> T *child(const char *name) const
    {
        T *found = m_window->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qWarning("no child named %s", name);
        return found;
    }

    QStringList shownSubjects() const
    {
        QStringList subjects;
        for (int r = 1; r <= m_window->grid().rowCount(); ++r)
            subjects.append(m_window->grid().cellText(r, ColSubject));
        return subjects;
    }

    QPoint cellCentre(int row, int column) const
    {
        TaskGrid &g = m_window->grid();
        return view()->visualRect(g.model()->index(row - 1, column - 1)).center();
    }
    void clickCell(int row, int column, Qt::KeyboardModifiers mods = {})
    {
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, mods, cellCentre(row, column));
    }
    // Selects exactly these rows the way a user does: a click, then Ctrl+clicks.
    void selectRows(const QList<int> &rows)
    {
        bool first = true;
        for (int row : rows) {
            clickCell(row, ColSubject, first ? Qt::KeyboardModifiers {} : Qt::ControlModifier);
            first = false;
        }
    }
    void clickHeader(int column)
    {
        const int logical = column - 1;
        const QPoint at(header()->sectionViewportPosition(logical)
                            + header()->sectionSize(logical) / 2,
                        header()->height() / 2);
        QTest::mouseClick(header()->viewport(), Qt::LeftButton, {}, at);
    }
    void clickToolbar(int index) { QTest::mouseClick(toolbar(index), Qt::LeftButton); }
    // Selects the row and starts tracking it from the menu.
    void startTracking(int row)
    {
        clickCell(row, ColSubject);
        action("mnuStartTimer")->trigger();
        QVERIFY(tracker().TrackingActive);
    }

    // Every test ends with no message left unexpected.
    static void finish(std::unique_ptr<MainWindowHarness> &h)
    {
        const QString unexpected = h->prompter.lastText();
        const bool quiet = h->prompter.shown.isEmpty();
        h.reset();
        QVERIFY2(quiet, qPrintable(unexpected));
    }

    // The questions and messages shown so far, which are then forgotten.
    QList<RecordingPrompter::Shown> takeShown()
    {
        QList<RecordingPrompter::Shown> shown;
        shown.swap(prompter.shown);
        return shown;
    }

private:
    QTemporaryDir m_dir;
    QString m_folder;
    std::unique_ptr<AppContext> m_context;
    std::unique_ptr<MainWindow> m_window;
};

// Runs `act` on the modal window of that name once it is up; a window `act`
// left open is closed, so a failed check never hangs in a modal loop.
inline void whenModal(const char *name, std::function<void(QWidget *)> act)
{
    const QString wanted = QString::fromLatin1(name);
    QTimer::singleShot(0, [wanted, act] {
        QWidget *modal = nullptr;
        const bool up = QTest::qWaitFor([&] {
            modal = QApplication::activeModalWidget();
            return modal && modal->objectName() == wanted && modal->isVisible();
        });
        if (!up) {
            qWarning("no modal window %s", qPrintable(wanted));
            return;
        }
        act(modal);
        if (modal->isVisible())
            QMetaObject::invokeMethod(modal, "done", Q_ARG(int, 0));
    });
}

template<typename T> T *in(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qWarning("no widget %s", name);
    return found;
}

inline void click(QWidget *window, const char *button)
{
    QTest::mouseClick(in<QPushButton>(window, button), Qt::LeftButton);
}

} // namespace cdk::test
