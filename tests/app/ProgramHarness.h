#pragma once

// One program's worth of process state in a temporary folder, for the tests
// of start-up, roll-over and exit.

#include "app/Application.h"
#include "app/DayWatcher.h"
#include "app/SingleInstance.h"
#include "common/FakeClock.h"
#include "common/FileBytes.h"
#include "common/RecordingAutostart.h"
#include "common/RecordingTrayIcon.h"
#include "common/TaskFixtures.h"
#include "store/Sql.h"
#include "tracking/Sound.h"
#include "view/AppContext.h"
#include "controls/DatePicker.h"
#include "view/MainWindow.h"
#include "view/TaskGrid.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace cdk::test {

inline const QString kDatabase = QStringLiteral("CDKDatabase.cdkd");
inline const QString kTemporary = QStringLiteral("CDKDatabase.cdkd.temp");
inline const QString kSignal = QStringLiteral("LACrestoreST$");

inline TaskRecord task(const QString &list, qint32 id, const QString &subject, qint32 duration = 30)
{
    TaskRecord t;
    t.ID = id;
    t.List = list;
    t.Subject = subject;
    t.Category = 1 + id % 3;
    t.Duration = duration;
    t.FinishedDuration = id % duration;
    t.FinishedSeconds = static_cast<quint8>(id % 60);
    t.State = id % 5;
    t.Priority = id % 6;
    return t;
}

// One program's worth of process state in a folder of its own: the real
// store, settings and windows, with the clock, the message boxes and the
// logon registration under the test's control.
class Program
{
public:
    Program() : m_folder(m_dir.path() + QLatin1Char('/')) {}
    ~Program()
    {
        app.reset();
        context.reset();
        instance.reset();
    }

    QString path(const QString &name) const { return m_folder + name; }
    QString folder() const { return m_folder; }

    Application &make(bool minimized = false)
    {
        instance = std::make_unique<SingleInstance>(m_folder);
        context = std::make_unique<AppContext>(m_folder, clock, prompter, autostart, sound,
                                               storeVfs);
        context->tray = &tray;
        app = std::make_unique<Application>(*context, *instance, minimized);
        return *app;
    }
    Application::StartResult start(bool minimized = false) { return make(minimized).Main(); }

    MainWindow *window() const { return app->mainWindow(); }
    DatePicker *dtpView() const
    {
        return window()->findChild<DatePicker *>(QStringLiteral("dtpView"));
    }

    // What the midnight wake-up does, without waiting for a real midnight.
    void checkDay() const { app->dayWatcher()->check(); }

    bool exitAndWait()
    {
        QSignalSpy finished(app.get(), &Application::finished);
        app->requestExit();
        // Deferred: the command that asked for the exit returns first.
        if (finished.count() != 0 || !app->tmrExitApp()->isActive())
            return false;
        return finished.wait(5000) && finished.count() == 1;
    }

    QString setting(SettingsSection section, const QString &key)
    {
        clsSettings file(prompter);
        file.setPath(path(QStringLiteral("settings.ini")));
        return file.Load(section, key);
    }

    FakeClock clock;
    RecordingPrompter prompter;
    RecordingAutostart autostart;
    NullSound sound;
    RecordingTrayIcon tray;
    QByteArray storeVfs; // the SQLite VFS of the task database, empty for the platform's
    std::unique_ptr<SingleInstance> instance;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<Application> app;

private:
    QTemporaryDir m_dir;
    QString m_folder;
};

// Writes rows into the folder's database the way an earlier run would have.
inline void seed(const QString &folder, const QList<TaskRecord> &rows)
{
    TaskStore store(folder);
    store.OpenTaskDatabase();
    for (const TaskRecord &t : rows)
        QVERIFY(store.SaveTask(t, true, t.List, t.ID));
    store.Close();
}

inline QStringList subjectsShown(MainWindow *window)
{
    QStringList subjects;
    for (int r = 1; r <= window->grid().rowCount(); ++r)
        subjects.append(window->grid().cellText(r, ColSubject));
    return subjects;
}

} // namespace cdk::test
