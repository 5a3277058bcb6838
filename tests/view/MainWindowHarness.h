#pragma once

#include "common/FakeClock.h"
#include "common/RecordingAutostart.h"
#include "common/RecordingPrompter.h"
#include "common/RecordingSound.h"
#include "common/RecordingTrayIcon.h"
#include "controls/ImageButton.h"
#include "settings/Settings.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"
#include "tracking/TrackingController.h"
#include "view/AppContext.h"
#include "view/DatePicker.h"
#include "view/MainWindow.h"
#include "view/TaskGrid.h"
#include "view/TaskGridView.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace cdk::test {

inline TaskRecord makeTask(qint32 id, const QString &subject, qint32 duration, qint32 done = 0,
                           int state = NotStarted, int priority = 2)
{
    TaskRecord t;
    t.ID = id;
    t.Subject = subject;
    t.Category = 1;
    t.Duration = duration;
    t.FinishedDuration = done;
    t.State = state;
    t.Priority = priority;
    return t;
}

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
    bool withTray = true; // false: a desktop without a notification area

    QString folder() const { return m_folder; }
    QString today() const { return DayListKey(clock.today()); }
    QString dayKey(int daysFromToday) const
    {
        return DayListKey(clock.today().addDays(daysFromToday));
    }

    // A setting written before the program reads the file.
    void presetSetting(SettingsSection section, const QString &key, const QString &value)
    {
        clsSettings file(prompter);
        file.setPath(m_folder + QStringLiteral("settings.ini"));
        file.Save(section, key, value);
    }

    AppContext &context()
    {
        if (!m_context) {
            m_context = std::make_unique<AppContext>(m_folder, clock, prompter, autostart, sound);
            m_context->tray = withTray ? &tray : nullptr;
            m_context->settings.Init(m_folder, autostart);
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

    MainWindow &window() { return *m_window; }
    TaskGrid &grid() { return m_window->grid(); }
    TaskGridView *view() const { return child<TaskGridView>("SGrid"); }
    DatePicker *picker() const { return child<DatePicker>("dtpView"); }
    QHeaderView *header() const { return view()->horizontalHeader(); }
    isButton *toolbar(int index) const
    {
        return child<isButton>(QStringLiteral("isbToolbar(%1)").arg(index).toLatin1().constData());
    }
    QAction *action(const char *name) const { return child<QAction>(name); }

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

} // namespace cdk::test
