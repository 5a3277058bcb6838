#include "common/FakeClock.h"
#include "common/RecordingPrompter.h"
#include "editing/AddTaskDialog.h"
#include "editing/FakeTaskDialogHost.h"
#include "editing/RecurrentTasksDialog.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <memory>

using namespace cdk;

class TestRecurrentTasksDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void threeTemplatesSelectRowOne();
    void emptyListDisablesEditAndDelete();
    void deleteAsksAndKeepsTheCopies_data();
    void deleteAsksAndKeepsTheCopies();
    void deletingTheLastDisablesButtons();
    void editKeepsTheRowSelected();
    void addNewAppendsATemplate();
    void escapeCloses();

private:
    void addTemplate(qint32 id, const QString &subject, qint32 category);
    // Answers the task dialog as soon as it is up, then presses `button`.
    void withTaskDialog(const char *button, const std::function<void(QDialog *)> &answer);
    void makeManager()
    {
        m_manager = std::make_unique<RecurrentTasksDialog>(*m_store, m_prompter, *m_taskDialog,
                                                           m_host);
    }
    QTreeWidget *list() { return child<QTreeWidget>("lvRecurrentTasks"); }
    QPushButton *button(const char *name) { return child<QPushButton>(name); }
    template<typename T>
    T *child(const char *name)
    {
        auto *found = m_manager->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qFatal("no widget %s", name);
        return found;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TaskStore> m_store;
    test::RecordingPrompter m_prompter;
    test::FakeClock m_clock;
    test::FakeTaskDialogHost m_host;
    std::unique_ptr<AddTaskDialog> m_taskDialog;
    std::unique_ptr<RecurrentTasksDialog> m_manager;
};

void TestRecurrentTasksDialog::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_store = std::make_unique<TaskStore>(m_dir->path());
    m_store->OpenTaskDatabase();
    m_prompter = {};
    m_host = {};
    m_taskDialog = std::make_unique<AddTaskDialog>(*m_store, m_prompter, m_clock, m_host);
}

void TestRecurrentTasksDialog::cleanup()
{
    m_manager.reset();
    m_taskDialog.reset();
    m_store.reset();
    m_dir.reset();
}

void TestRecurrentTasksDialog::addTemplate(qint32 id, const QString &subject, qint32 category)
{
    TaskRecord t;
    t.ID = id;
    t.List = recurrentListKey();
    t.Subject = subject;
    t.Category = category;
    t.Duration = 30;
    m_store->SaveTask(t, true, t.List, t.ID);
}

void TestRecurrentTasksDialog::withTaskDialog(const char *name,
                                              const std::function<void(QDialog *)> &answer)
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

void TestRecurrentTasksDialog::threeTemplatesSelectRowOne()
{
    addTemplate(1, QStringLiteral("0]Read mail"), 1);
    addTemplate(2, QStringLiteral("31010100]Gym"), 4);
    addTemplate(3, QStringLiteral("428]Pay rent"), 99);
    makeManager();

    QCOMPARE(m_manager->windowTitle(), QStringLiteral("Recurrent Tasks"));
    QCOMPARE(child<QLabel>("lblDesign")->text(), QStringLiteral("Recurrent Tasks:"));
    QTreeWidget *grid = list();
    QCOMPARE(grid->headerItem()->text(0), QStringLiteral("Task"));
    QCOMPARE(grid->headerItem()->text(2), QStringLiteral("Recurrence"));
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

void TestRecurrentTasksDialog::emptyListDisablesEditAndDelete()
{
    makeManager();
    QCOMPARE(list()->topLevelItemCount(), 0);
    QVERIFY(!button("cmdEdit")->isEnabled());
    QVERIFY(!button("cmdDelete")->isEnabled());
    QVERIFY(button("cmdAddNew")->isEnabled());
}

void TestRecurrentTasksDialog::deleteAsksAndKeepsTheCopies_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("No") << false;
    QTest::newRow("Yes") << true;
}

void TestRecurrentTasksDialog::deleteAsksAndKeepsTheCopies()
{
    QFETCH(bool, yes);
    addTemplate(1, QStringLiteral("0]Read mail"), 1);
    addTemplate(2, QStringLiteral("1]Stand-up"), 1);
    TaskRecord copy;
    copy.ID = 1;
    copy.List = QStringLiteral("05032024");
    copy.Subject = QStringLiteral("Stand-up");
    m_store->SaveTask(copy, true, copy.List, copy.ID);
    makeManager();

    list()->setCurrentItem(list()->topLevelItem(1));
    QCOMPARE(m_manager->selectedRow(), 2);
    m_prompter.answers = {yes ? Answer::Yes : Answer::No};
    QTest::mouseClick(button("cmdDelete"), Qt::LeftButton);

    QCOMPARE(m_prompter.shown.size(), 1);
    QCOMPARE(m_prompter.shown.first().text,
             QStringLiteral("Do you really want to delete the selected recurrent task?"));
    QCOMPARE(m_prompter.shown.first().title, QStringLiteral("Chronodeck"));
    QCOMPARE(m_store->findTask(recurrentListKey(), 2).has_value(), !yes);
    QVERIFY(m_store->findTask(recurrentListKey(), 1).has_value());
    QCOMPARE(list()->topLevelItemCount(), yes ? 1 : 2);
    QCOMPARE(m_manager->selectedRow(), yes ? 1 : 2);
    QVERIFY(m_store->findTask(copy.List, 1).has_value());
}

void TestRecurrentTasksDialog::deletingTheLastDisablesButtons()
{
    addTemplate(1, QStringLiteral("0]Only one"), 1);
    makeManager();
    m_prompter.answers = {Answer::Yes};
    QTest::mouseClick(button("cmdDelete"), Qt::LeftButton);
    QCOMPARE(list()->topLevelItemCount(), 0);
    QCOMPARE(m_manager->selectedRow(), 0);
    QVERIFY(!button("cmdEdit")->isEnabled());
    QVERIFY(!button("cmdDelete")->isEnabled());
    QVERIFY(m_store->tasksOfList(recurrentListKey()).isEmpty());
}

void TestRecurrentTasksDialog::editKeepsTheRowSelected()
{
    addTemplate(1, QStringLiteral("0]Read mail"), 1);
    addTemplate(2, QStringLiteral("2]Long walk"), 1);
    addTemplate(3, QStringLiteral("1]Stand-up"), 1);
    makeManager();
    list()->setCurrentItem(list()->topLevelItem(1));

    withTaskDialog("cmdEdit", [&](QDialog *dialog) {
        auto *subject = dialog->findChild<QLineEdit *>(QStringLiteral("txtSubject"));
        QCOMPARE(subject->text(), QStringLiteral("Long walk"));
        QCOMPARE(dialog->findChild<QComboBox *>(QStringLiteral("cmbRecurrence"))->currentIndex(),
                 2);
        subject->setText(QStringLiteral("Longer walk"));
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOK")),
                          Qt::LeftButton);
    });
    QCOMPARE(m_manager->selectedRow(), 2);
    QCOMPARE(list()->topLevelItem(1)->text(0), QStringLiteral("Longer walk"));
    QCOMPARE(m_store->findTask(recurrentListKey(), 2)->Subject, 
             QStringLiteral("2]Longer walk"));
    QVERIFY(button("cmdEdit")->isEnabled());
}

void TestRecurrentTasksDialog::addNewAppendsATemplate()
{
    addTemplate(1, QStringLiteral("0]Read mail"), 1);
    makeManager();
    withTaskDialog("cmdAddNew", [&](QDialog *dialog) {
        dialog->findChild<QLineEdit *>(QStringLiteral("txtSubject"))
            ->setText(QStringLiteral("Water plants"));
        dialog->findChild<QComboBox *>(QStringLiteral("cmbRecurrence"))->setCurrentIndex(2);
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOK")),
                          Qt::LeftButton);
    });
    QCOMPARE(list()->topLevelItemCount(), 2);
    QCOMPARE(list()->topLevelItem(1)->text(0), QStringLiteral("Water plants"));
    QCOMPARE(list()->topLevelItem(1)->text(2), QStringLiteral("Every Sun and Sat"));
    QCOMPARE(m_manager->selectedRow(), 1);
    // The task dialog outlives the manager it was shown over.
    m_manager.reset();
    QCOMPARE(m_taskDialog->objectName(), QStringLiteral("frmAddTask"));
}

void TestRecurrentTasksDialog::escapeCloses()
{
    makeManager();
    bool closed = false;
    QTimer::singleShot(0, m_manager.get(), [&] {
        QCOMPARE(m_host.depth, 1);
        QTest::keyClick(list(), Qt::Key_Escape);
        closed = !m_manager->isVisible();
        if (!closed)
            m_manager->reject();
    });
    m_manager->ShowEx(nullptr);
    QVERIFY(closed);
    QCOMPARE(m_host.depth, 0);
}

QTEST_MAIN(TestRecurrentTasksDialog)
#include "test_recurrent_tasks_dialog.moc"
