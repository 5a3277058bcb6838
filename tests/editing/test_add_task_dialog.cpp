#include "common/FakeClock.h"
#include "common/TaskFixtures.h"
#include "core/ShownDay.h"
#include "core/TaskOperations.h"
#include "core/TimeTracker.h"
#include "editing/AddTaskDialog.h"
#include "editing/FakeTaskDialogHost.h"

#include <QApplication>
#include <QCheckBox>
#include <QSet>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <memory>

using namespace cdk;
using namespace Qt::StringLiterals;

class TestAddTaskDialog : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<test::StoreFixture> f;
    test::FakeClock m_clock; // today: Tuesday 5 March 2024
    test::FakeTaskDialogHost m_host;
    ShownDay m_day; // Tuesday 5 March 2024
    std::unique_ptr<TimeTracker> m_tracker;
    std::unique_ptr<TaskOperations> m_ops;
    std::unique_ptr<AddTaskDialog> m_dialog;
    TaskDialogResult m_result;

    // Opens the dialog, runs `action` while it is up, and closes it if the
    // action left it open, so a failed check never hangs in the modal loop.
    void run(bool isNew, qint32 id, const QString &list, bool recurrent,
             const std::function<void()> &action)
    {
        bool ran = false;
        QTimer::singleShot(0, m_dialog.get(), [&] {
            ran = true;
            action();
            if (m_dialog->isVisible())
                m_dialog->reject();
        });
        m_result = m_dialog->ShowEx(nullptr, isNew, id, list, recurrent);
        QVERIFY(ran);
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(m_host.depth, 0);
    }
    void runNew(const std::function<void()> &action, bool recurrent = false)
    {
        run(true, 0, QString(), recurrent, action);
    }
    qint32 storeTask(const QString &subject, qint32 duration, qint32 done = 0)
    {
        TaskRecord t = test::makeTask(f->store.NextTaskID(dayKey()), subject, duration, done,
                                      Delayed, 4, dayKey());
        t.Category = 5;
        f->add(t);
        return t.ID;
    }
    template<typename T> T *w(const char *name)
    {
        auto *child = m_dialog->findChild<T *>(QString::fromLatin1(name));
        if (!child)
            qFatal("no widget %s", name);
        return child;
    }
    void click(const char *name) { QTest::mouseClick(w<QPushButton>(name), Qt::LeftButton); }
    // Hours, minutes, priority, status and category as shown.
    QString combos()
    {
        QStringList shown;
        for (const char *name :
             {"cmbHours", "cmbMinutes", "cmbPriority", "cmbStatus", "cmbCategory"})
            shown.append(w<QComboBox>(name)->currentText());
        return shown.join(u'|');
    }
    void noTimer() { w<QCheckBox>("chkStartTaskTimer")->setChecked(false); }
    QString dayKey() const { return m_day.listKey(); }
    std::optional<TaskRecord> saved(qint32 id, const QString &list = test::kDay)
    {
        return f->store.findTask(list, id);
    }

private Q_SLOTS:
    void init()
    {
        f = std::make_unique<test::StoreFixture>();
        m_host = {};
        m_day.setDate(QDate(2024, 3, 5));
        m_tracker = std::make_unique<TimeTracker>(f->store, m_clock);
        m_ops = std::make_unique<TaskOperations>(f->store, f->settings, *m_tracker);
        m_dialog = std::make_unique<AddTaskDialog>(*m_ops, f->prompter, m_clock, m_host, m_day);
    }
    void cleanup()
    {
        m_dialog.reset();
        m_ops.reset();
        m_tracker.reset();
        f.reset();
    }

    void addWithDefaults()
    {
        runNew([&] {
            QCOMPARE(m_host.depth, 1);
            QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Add Task"));
            QCOMPARE(combos(), QStringLiteral("1|0|Normal|Not Started|Work"));
            QVERIFY(w<QCheckBox>("chkStartTaskTimer")->isChecked());
            QVERIFY(w<QLineEdit>("txtSubject")->text().isEmpty());
            QTest::keyClicks(w<QLineEdit>("txtSubject"), QStringLiteral("Write report"));
            click("cmdOK");
        });
        const auto task = saved(1);
        QVERIFY(task.has_value());
        QCOMPARE(task->Subject, QStringLiteral("Write report"));
        QCOMPARE(task->Duration, 60);
        QCOMPARE(task->Priority, 2);
        QCOMPARE(task->State, 0);
        QCOMPARE(task->Category, 1);
        QVERIFY(m_result.saved);
        QCOMPARE(m_result.list, test::kDay);
        QCOMPARE(m_result.id, 1);
        QVERIFY(m_result.startTimer);
    }

    void editShowsAndKeepsTheBudget_data()
    {
        QTest::addColumn<int>("duration");
        QTest::addColumn<QString>("hours");
        QTest::addColumn<QString>("minutes");
        QTest::newRow("100 minutes") << 100 << "1" << "40";
        QTest::newRow("45 minutes") << 45 << "0" << "45";
        QTest::newRow("nothing") << 0 << "0" << "0";
    }

    void editShowsAndKeepsTheBudget()
    {
        QFETCH(int, duration);
        QFETCH(QString, hours);
        QFETCH(QString, minutes);
        const qint32 id = storeTask(QStringLiteral("Laundry"), duration);
        const TaskRecord before = *saved(id);
        run(false, id, dayKey(), false, [&] {
            QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Edit Task"));
            QCOMPARE(m_dialog->headerCaption(), QStringLiteral("Edit Task"));
            QCOMPARE(w<QLineEdit>("txtSubject")->text(), QStringLiteral("Laundry"));
            QCOMPARE(w<QLineEdit>("txtSubject")->selectedText(), QStringLiteral("Laundry"));
            QCOMPARE(combos(), hours + u'|' + minutes + u"|Very High|Delayed|Social");
            // Nothing done of a zero budget counts as fully done: no timer offered.
            QCOMPARE(w<QCheckBox>("chkStartTaskTimer")->isChecked(), duration != 0);
            noTimer();
            click("cmdOK");
        });
        QCOMPARE(*saved(id), before);
        QVERIFY(m_result.saved);
        QVERIFY(!m_result.startTimer);
    }

    // A preset button fills in its time; typed times are read as numbers.
    // `chronodeck done` reaches the window while the task's dialog is open:
    // saving a new subject must not put the old state back.
    void editKeepsAChangeMadeMeanwhile()
    {
        const qint32 id = storeTask(QStringLiteral("Laundry"), 30, 10);
        run(false, id, dayKey(), false, [&] {
            m_ops->checkTasks(dayKey(), {id}, true,
                              TaskOperations::TrackedCheckOff::StopTracking);
            w<QLineEdit>("txtSubject")->setText(QStringLiteral("Laundry and ironing"));
            noTimer();
            click("cmdOK");
        });
        QVERIFY(m_result.saved);
        const TaskRecord stored = *saved(id);
        QCOMPARE(stored.Subject, QStringLiteral("Laundry and ironing"));
        QCOMPARE(stored.State, int(Finished));
        QCOMPARE(stored.Priority, 4);
    }

    void budgetFromPresetOrTyped_data()
    {
        QTest::addColumn<int>("preset"); // 0: typed
        QTest::addColumn<QString>("hours");
        QTest::addColumn<QString>("minutes");
        QTest::addColumn<int>("stored");
        QTest::newRow("0:30") << 1 << "0" << "30" << 30;
        QTest::newRow("0:45") << 2 << "0" << "45" << 45;
        QTest::newRow("1:00") << 3 << "1" << "0" << 60;
        QTest::newRow("1:30") << 4 << "1" << "30" << 90;
        QTest::newRow("2:00") << 5 << "2" << "0" << 120;
        QTest::newRow("1.5 hours typed") << 0 << "1.5" << "0" << 90;
        QTest::newRow("half typed rounds to even, up") << 0 << "2" << "7.5" << 128;
    }

    void budgetFromPresetOrTyped()
    {
        QFETCH(int, preset);
        QFETCH(QString, hours);
        QFETCH(QString, minutes);
        QFETCH(int, stored);
        runNew([&] {
            QComboBox *h = w<QComboBox>("cmbHours");
            QComboBox *m = w<QComboBox>("cmbMinutes");
            if (preset) {
                const QByteArray name = "cmdPreset" + QByteArray::number(preset);
                QCOMPARE(w<QPushButton>(name.constData())->text(),
                         hours + u':' + minutes.rightJustified(2, u'0'));
                click(name.constData());
                QCOMPARE(h->currentText(), hours);
                QCOMPARE(m->currentText(), minutes);
            } else {
                h->lineEdit()->selectAll();
                QTest::keyClicks(h, hours);
                m->lineEdit()->selectAll();
                QTest::keyClicks(m, minutes);
            }
            noTimer();
            click("cmdOK");
        });
        QCOMPARE(saved(1)->Duration, stored);
    }

    void oversizedTimeIsRefusedAndKept()
    {
        runNew([&] {
            w<QLineEdit>("txtSubject")->setText(QStringLiteral("Forever"));
            w<QComboBox>("cmbHours")->setCurrentText(QStringLiteral("99999999"));
            click("cmdOK");
            QVERIFY(m_dialog->isVisible());
            QCOMPARE(f->prompter.shown.size(), 1);
            QCOMPARE(f->prompter.shown.first().title, QStringLiteral("Chronodeck"));
            QVERIFY(f->prompter.lastText().contains(QStringLiteral("too long")));
            QCOMPARE(w<QLineEdit>("txtSubject")->text(), QStringLiteral("Forever"));
            QCOMPARE(w<QComboBox>("cmbHours")->currentText(), QStringLiteral("99999999"));
            // The largest budget that fits is still taken.
            w<QComboBox>("cmbHours")->setCurrentText(QStringLiteral("35791394"));
            w<QComboBox>("cmbMinutes")->setCurrentText(QStringLiteral("7"));
            noTimer();
            click("cmdOK");
            QVERIFY(!m_dialog->isVisible());
        });
        QCOMPARE(f->store.tasksOfList(dayKey()).size(), 1);
        QCOMPARE(saved(1)->Duration, std::numeric_limits<qint32>::max());
    }

    void cancelAndEscWriteNothing()
    {
        runNew([&] {
            QTest::keyClicks(w<QLineEdit>("txtSubject"), QStringLiteral("Not wanted"));
            click("cmdCancel");
            QVERIFY(!m_dialog->isVisible());
        });
        const qint32 id = storeTask(QStringLiteral("Keep me"), 30);
        run(false, id, dayKey(), false, [&] {
            QLineEdit *subject = w<QLineEdit>("txtSubject");
            subject->setFocus();
            subject->setText(QStringLiteral("Changed"));
            QTest::keyClick(subject, Qt::Key_Escape);
            QVERIFY(!m_dialog->isVisible());
        });
        QCOMPARE(f->store.tasksOfList(dayKey()).size(), 1);
        QCOMPARE(saved(id)->Subject, QStringLiteral("Keep me"));
        QVERIFY(!m_result.saved);
        QVERIFY(f->prompter.shown.isEmpty());
    }

    // "&Time Allocated:" and "Start The &Task Timer Now" share Alt+T: the key
    // moves between the two and never ticks or unticks the box by itself.
    void sharedAltTMovesBetweenBothAndTicksNothing()
    {
        runNew([&] {
            QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
            auto *timer = w<QCheckBox>("chkStartTaskTimer");
            QVERIFY(timer->isChecked());
            QSet<QString> reached;
            for (int i = 0; i < 2; ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_T, Qt::AltModifier);
                QVERIFY(QApplication::focusWidget());
                reached.insert(QApplication::focusWidget()->objectName());
            }
            QCOMPARE(reached, (QSet<QString> {u"cmbHours"_s, u"chkStartTaskTimer"_s}));
            QVERIFY(timer->isChecked());
        });
    }

    // Back from the category manager the list is read again and its first
    // category chosen, also for a task that had another one.
    void categoryButtonRefillsAndPicksTheFirst()
    {
        const qint32 id = storeTask(QStringLiteral("Call"), 30);
        m_host.onCategoryManager = [this] { m_ops->addCategory(QStringLiteral("Garden"), -1, -1); };
        run(false, id, dayKey(), false, [&] {
            auto *box = w<QComboBox>("cmbCategory");
            QCOMPARE(box->currentData().toInt(), 5);
            click("cmdCategories");
            QVERIFY(box->findText(QStringLiteral("Garden")) >= 0);
            QCOMPARE(box->currentIndex(), 0);
            noTimer();
            click("cmdOK");
        });
        QCOMPARE(saved(id)->Category, 1);
    }

    // A template grows the dialog by one fixed amount whatever its rule, with
    // the recurrence box where the separator line was; closing undoes it.
    void templateLayoutIsPaired()
    {
        int normalHeight = 0;
        int normalLine = 0;
        int normalOK = 0;
        auto top = [this](const char *name) {
            return w<QWidget>(name)->mapTo(m_dialog.get(), QPoint()).y();
        };
        runNew([&] {
            normalHeight = m_dialog->height();
            normalLine = top("linSeparator");
            normalOK = top("cmdOK");
        });
        runNew([&] {
            QVERIFY(m_dialog->height() > normalHeight);
            QCOMPARE(top("fraRecurrence"), normalLine);
            const int grown = m_dialog->height() - normalHeight;
            for (int rule = 0; rule < 5; ++rule) {
                w<QComboBox>("cmbRecurrence")->setCurrentIndex(rule);
                m_dialog->layout()->activate();
                QCOMPARE(m_dialog->height() - normalHeight, grown);
                QCOMPARE(top("linSeparator") - normalLine, grown);
                QCOMPARE(top("cmdOK") - normalOK, grown);
            }
            w<QComboBox>("cmbRecurrence")->setCurrentIndex(0);
            QVERIFY(w<QWidget>("fraRecurrence")->isVisible());
            QVERIFY(!w<QCheckBox>("chkStartTaskTimer")->isVisible());
            QVERIFY(!w<QLabel>("lblOtherOptions")->isVisible());
            QCOMPARE(m_dialog->headerCaption(), QStringLiteral("Add Recurrent Task"));
            QCOMPARE(w<QComboBox>("cmbRecurrence")->currentText(), QStringLiteral("Every day"));
            QCOMPARE(w<QLabel>("lblSelectedRecurrence")->text(), QStringLiteral("Every day"));
            QComboBox *rule = w<QComboBox>("cmbRecurrence");
            rule->setCurrentIndex(3);
            QVERIFY(w<QWidget>("fraSpecifiedDays")->isVisible());
            QVERIFY(!w<QWidget>("fraDay")->isVisible());
            rule->setCurrentIndex(4);
            QVERIFY(!w<QWidget>("fraSpecifiedDays")->isVisible());
            QVERIFY(w<QWidget>("fraDay")->isVisible());
            QCOMPARE(w<QLabel>("lblSelectedRecurrence")->text(), QStringLiteral("Once a month..."));
            click("cmdCancel");
        }, true);
        runNew([&] {
            QCOMPARE(m_dialog->height(), normalHeight);
            QVERIFY(!w<QWidget>("fraRecurrence")->isVisible());
            QVERIFY(w<QCheckBox>("chkStartTaskTimer")->isVisible());
            QCOMPARE(m_dialog->headerCaption(), QStringLiteral("Add Task"));
        });
        QVERIFY(f->store.tasksOfList(recurrentListKey()).isEmpty());
    }

    void trackedTaskQuestion_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("No") << false;
        QTest::newRow("Yes") << true;
    }

    void trackedTaskQuestion()
    {
        QFETCH(bool, yes);
        storeTask(QStringLiteral("Other"), 30);
        const qint32 id = storeTask(QStringLiteral("Tracked"), 30, 5);
        QVERIFY(m_ops->startTracking(dayKey(), id));
        f->prompter.answers = {yes ? Answer::Yes : Answer::No};
        run(false, id, dayKey(), false, [&] {
            w<QLineEdit>("txtSubject")->setText(QStringLiteral("Tracked, renamed"));
            noTimer();
            click("cmdOK");
        });
        QCOMPARE(f->prompter.shown.size(), 1);
        QCOMPARE(f->prompter.shown.first().title, QStringLiteral("Chronodeck"));
        QCOMPARE(f->prompter.shown.first().text,
                 QStringLiteral("You are currently time tracking this task. Are you sure want to "
                                "change it?"));
        QCOMPARE(f->prompter.shown.first().icon, MessageIcon::Question);
        QCOMPARE(saved(id)->Subject,
                 yes ? QStringLiteral("Tracked, renamed") : QStringLiteral("Tracked"));
        // Tracking goes on with the task as it is now.
        QCOMPARE(m_result.saved, yes);
        QVERIFY(m_tracker->isTracked(dayKey(), id));
        QCOMPARE(m_tracker->TrackedSubject, saved(id)->Subject);
    }

    void newTemplateCopiesIntoToday_data()
    {
        QTest::addColumn<int>("rule");
        QTest::addColumn<bool>("showsToday");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("copied");
        QTest::newRow("every day, today shown") << 0 << true << "0]Read mail" << true;
        QTest::newRow("every day, other day shown") << 0 << false << "0]Read mail" << true;
        QTest::newRow("weekend on a Tuesday") << 2 << true << "2]Read mail" << false;
        QTest::newRow("Monday and Tuesday") << 3 << true << "31100000]Read mail" << true;
        QTest::newRow("last day of the month") << 4 << true << "428]Read mail" << false;
    }

    void newTemplateCopiesIntoToday()
    {
        QFETCH(int, rule);
        QFETCH(bool, showsToday);
        QFETCH(QString, stored);
        QFETCH(bool, copied);
        if (!showsToday)
            m_day.setDate(QDate(2024, 3, 4));
        runNew([&] {
            w<QLineEdit>("txtSubject")->setText(QStringLiteral("Read mail"));
            w<QComboBox>("cmbRecurrence")->setCurrentIndex(rule);
            w<QCheckBox>("chkMonday")->setChecked(true);
            w<QCheckBox>("chkTuesday")->setChecked(true);
            w<QComboBox>("cmbDayOfTheMonth")->setCurrentIndex(28);
            QCOMPARE(w<QComboBox>("cmbDayOfTheMonth")->currentText(), QStringLiteral("Last Day"));
            click("cmdOK");
        }, true);
        const QList<TaskRecord> templates = f->store.tasksOfList(recurrentListKey());
        QCOMPARE(templates.size(), 1);
        QCOMPARE(templates.first().Subject, stored);
        const QList<TaskRecord> today = f->store.tasksOfList(QStringLiteral("05032024"));
        QCOMPARE(today.size(), copied ? 1 : 0);
        if (copied) {
            QCOMPARE(today.first().Subject, QStringLiteral("Read mail"));
            QCOMPARE(today.first().Duration, 60);
        }
        QVERIFY(m_result.saved);
        QCOMPARE(m_result.list, recurrentListKey());
    }

    void editTemplateKeepsItsRule()
    {
        f->add(test::makeTask(4, QStringLiteral("31010100]Gym"), 90, 0, 0, 2, recurrentListKey()));
        run(false, 4, recurrentListKey(), true, [&] {
            QCOMPARE(w<QLineEdit>("txtSubject")->text(), QStringLiteral("Gym"));
            QCOMPARE(w<QComboBox>("cmbRecurrence")->currentIndex(), 3);
            QVERIFY(w<QWidget>("fraSpecifiedDays")->isVisible());
            QVERIFY(w<QCheckBox>("chkMonday")->isChecked());
            QVERIFY(!w<QCheckBox>("chkTuesday")->isChecked());
            QVERIFY(w<QCheckBox>("chkFriday")->isChecked());
            QVERIFY(!w<QCheckBox>("chkSunday")->isChecked());
            w<QComboBox>("cmbRecurrence")->setCurrentIndex(4);
            w<QComboBox>("cmbDayOfTheMonth")->setCurrentIndex(14);
            click("cmdOK");
        });
        QCOMPARE(saved(4, recurrentListKey())->Subject, QStringLiteral("414]Gym"));
        QCOMPARE(saved(4, recurrentListKey())->Duration, 90);
        QVERIFY(f->store.tasksOfList(QStringLiteral("05032024")).isEmpty());
        QVERIFY(m_result.saved);
    }

    void fullListIsRefusedAndDialogStaysOpen()
    {
        f->add(test::makeTask(32767, QStringLiteral("The last number")));
        runNew([&] {
            w<QLineEdit>("txtSubject")->setText(QStringLiteral("One too many"));
            click("cmdOK");
            QVERIFY(m_dialog->isVisible());
            QCOMPARE(f->prompter.shown.size(), 1);
            QVERIFY(f->prompter.lastText().contains(QStringLiteral("32767")));
            QCOMPARE(w<QLineEdit>("txtSubject")->text(), QStringLiteral("One too many"));
        });
        QCOMPARE(f->store.tasksOfList(dayKey()).size(), 1);
        QVERIFY(!m_result.saved);
    }
};

QTEST_MAIN(TestAddTaskDialog)
#include "test_add_task_dialog.moc"
