#include "common/FakeClock.h"
#include "common/TaskFixtures.h"
#include "core/ShownDay.h"
#include "core/TaskOperations.h"
#include "core/TimeTracker.h"
#include "editing/AddTaskDialog.h"
#include "editing/FakeTaskDialogHost.h"
#include "editing/RecurrentTasksDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <memory>

using namespace cdk;

class TestRecurrentTasksDialog : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<test::StoreFixture> f;
    test::FakeClock m_clock;
    test::FakeTaskDialogHost m_host;
    ShownDay m_day; // Tuesday 5 March 2024
    std::unique_ptr<TimeTracker> m_tracker;
    std::unique_ptr<TaskOperations> m_ops;
    std::unique_ptr<AddTaskDialog> m_taskDialog;
    std::unique_ptr<RecurrentTasksDialog> m_manager;

    void addTemplate(qint32 id, const QString &subject, qint32 category = 1)
    {
        TaskRecord t = test::makeTask(id, subject, 30, 0, NotStarted, 2, recurrentListKey());
        t.Category = category;
        f->add(t);
    }
    // Answers the task dialog as soon as it is up, then presses `button`.
    void withTaskDialog(const char *name, const std::function<void(QDialog *)> &answer)
    {
        bool answered = false;
        QTimer::singleShot(0, m_manager.get(), [&] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->objectName(), QStringLiteral("frmAddTask"));
            answered = true;
            answer(dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        QTest::mouseClick(button(name), Qt::LeftButton);
        QVERIFY(answered);
    }
    void makeManager()
    {
        m_manager = std::make_unique<RecurrentTasksDialog>(*m_ops, f->prompter, *m_taskDialog,
                                                           m_host);
    }
    QTreeWidget *list() { return child<QTreeWidget>("lvRecurrentTasks"); }
    QPushButton *button(const char *name) { return child<QPushButton>(name); }
    template<typename T> T *child(const char *name)
    {
        auto *found = m_manager->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qFatal("no widget %s", name);
        return found;
    }

private Q_SLOTS:
    void init()
    {
        f = std::make_unique<test::StoreFixture>();
        m_host = {};
        m_day.setDate(QDate(2024, 3, 5));
        m_tracker = std::make_unique<TimeTracker>(f->store, m_clock);
        m_ops = std::make_unique<TaskOperations>(f->store, f->settings, *m_tracker);
        m_taskDialog = std::make_unique<AddTaskDialog>(*m_ops, f->prompter, m_clock, m_host, m_day);
    }
    void cleanup()
    {
        m_manager.reset();
        m_taskDialog.reset();
        m_ops.reset();
        m_tracker.reset();
        f.reset();
    }

    void threeTemplatesSelectRowOne()
    {
        addTemplate(1, QStringLiteral("0]Read mail"));
        addTemplate(2, QStringLiteral("31010100]Gym"), 4);
        addTemplate(3, QStringLiteral("428]Pay rent"), 99);
        makeManager();

        QTreeWidget *grid = list();
        QCOMPARE(grid->topLevelItemCount(), 3);
        QCOMPARE(m_manager->selectedRow(), 1);
        QVERIFY(button("cmdEdit")->isEnabled());
        QVERIFY(button("cmdDelete")->isEnabled());

        const QStringList row2 = {grid->topLevelItem(1)->text(0), grid->topLevelItem(1)->text(1),
                                  grid->topLevelItem(1)->text(2)};
        QCOMPARE(row2, (QStringList{QStringLiteral("Gym"), QStringLiteral("Health"),
                                    QStringLiteral("Specified days")}));
        QCOMPARE(grid->topLevelItem(2)->text(1), QStringLiteral("(none)"));
        QCOMPARE(grid->topLevelItem(2)->text(2), QStringLiteral("Once a month"));
        QCOMPARE(grid->topLevelItem(0)->text(2), QStringLiteral("Every day"));
        QCOMPARE(grid->topLevelItem(2)->data(0, Qt::UserRole).toInt(), 3);
    }

    // No keeps everything; Yes deletes the template, never its copies, and
    // deleting the last one leaves only Add enabled.
    void deleteAsksAndKeepsTheCopies_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("No") << false;
        QTest::newRow("Yes") << true;
    }
    void deleteAsksAndKeepsTheCopies()
    {
        QFETCH(bool, yes);
        addTemplate(1, QStringLiteral("0]Read mail"));
        addTemplate(2, QStringLiteral("1]Stand-up"));
        f->add(test::makeTask(1, QStringLiteral("Stand-up")));
        makeManager();

        list()->setCurrentItem(list()->topLevelItem(1));
        f->prompter.answers = {yes ? Answer::Yes : Answer::No};
        QTest::mouseClick(button("cmdDelete"), Qt::LeftButton);
        QCOMPARE(f->prompter.shown.size(), 1);
        QCOMPARE(f->prompter.shown.first().text,
                 QStringLiteral("Do you really want to delete the selected recurrent task?"));
        QCOMPARE(f->store.findTask(recurrentListKey(), 2).has_value(), !yes);
        QCOMPARE(list()->topLevelItemCount(), yes ? 1 : 2);
        QCOMPARE(m_manager->selectedRow(), yes ? 1 : 2);
        QVERIFY(f->store.findTask(test::kDay, 1).has_value());
        if (!yes)
            return;

        f->prompter.answers = {Answer::Yes};
        QTest::mouseClick(button("cmdDelete"), Qt::LeftButton);
        QCOMPARE(list()->topLevelItemCount(), 0);
        QCOMPARE(m_manager->selectedRow(), 0);
        QVERIFY(!button("cmdEdit")->isEnabled());
        QVERIFY(!button("cmdDelete")->isEnabled());
        QVERIFY(button("cmdAddNew")->isEnabled());
        QVERIFY(f->store.tasksOfList(recurrentListKey()).isEmpty());
    }

    // Saving itself is the task dialog's; the list follows what it saved.
    void addAndEditGoThroughTheTaskDialog()
    {
        addTemplate(1, QStringLiteral("0]Read mail"));
        makeManager();
        const auto answer = [](const QString &subject, int rule) {
            return [subject, rule](QDialog *dialog) {
                dialog->findChild<QLineEdit *>(QStringLiteral("txtSubject"))->setText(subject);
                dialog->findChild<QComboBox *>(QStringLiteral("cmbRecurrence"))
                    ->setCurrentIndex(rule);
                QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOK")),
                                  Qt::LeftButton);
            };
        };
        withTaskDialog("cmdAddNew", answer(QStringLiteral("Water plants"), 2));
        QCOMPARE(list()->topLevelItemCount(), 2);
        QCOMPARE(list()->topLevelItem(1)->text(0), QStringLiteral("Water plants"));
        QCOMPARE(list()->topLevelItem(1)->text(2), QStringLiteral("Every Sun and Sat"));
        QCOMPARE(m_manager->selectedRow(), 1);

        list()->setCurrentItem(list()->topLevelItem(1));
        withTaskDialog("cmdEdit", answer(QStringLiteral("Water more"), 1));
        QCOMPARE(m_manager->selectedRow(), 2);
        QCOMPARE(list()->topLevelItem(1)->text(0), QStringLiteral("Water more"));
        QCOMPARE(list()->topLevelItem(1)->text(2), QStringLiteral("Every workday"));
        QCOMPARE(f->store.findTask(recurrentListKey(), 2)->Subject, QStringLiteral("1]Water more"));
        // The task dialog outlives the manager it was shown over.
        m_manager.reset();
        QCOMPARE(m_taskDialog->objectName(), QStringLiteral("frmAddTask"));
    }
};

QTEST_MAIN(TestRecurrentTasksDialog)
#include "test_recurrent_tasks_dialog.moc"
