#include "common/FakeClock.h"
#include "common/RecordingPrompter.h"
#include "editing/AddTaskDialog.h"
#include "editing/FakeTaskDialogHost.h"
#include "store/TaskStore.h"
#include "store/Vocabulary.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace cdk;

class TestAddTaskDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void addWithDefaults();
    void editShowsAndKeepsTheBudget_data();
    void editShowsAndKeepsTheBudget();
    void presets_data();
    void presets();
    void typedTimeIsReadAsNumbers_data();
    void typedTimeIsReadAsNumbers();
    void oversizedTimeIsRefusedAndKept();
    void cancelAndEscWriteNothing();
    void templateLayoutIsPaired();
    void trackedTaskQuestion_data();
    void trackedTaskQuestion();
    void startTimerWhileAnotherTaskIsTracked();
    void newTemplateCopiesIntoToday_data();
    void newTemplateCopiesIntoToday();
    void editTemplateKeepsItsRule();
    void fullListIsRefusedAndDialogStaysOpen();
    void categoryButtonRefillsTheList();

private:
    // Opens the dialog, runs `action` while it is up, and closes it if the
    // action left it open, so a failed check never hangs in the modal loop.
    void run(bool isNew, qint32 id, const QString &list, bool recurrent,
             const std::function<void()> &action);
    qint32 storeTask(const QString &subject, qint32 duration, qint32 done = 0);

    template<typename T>
    T *w(const char *name)
    {
        auto *child = m_dialog->findChild<T *>(QString::fromLatin1(name));
        if (!child)
            qFatal("no widget %s", name);
        return child;
    }
    void click(const char *name) { QTest::mouseClick(w<QPushButton>(name), Qt::LeftButton); }
    QString dayKey() const { return m_host.listKey; }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TaskStore> m_store;
    test::RecordingPrompter m_prompter;
    test::FakeClock m_clock; // today: Tuesday 5 March 2024
    test::FakeTaskDialogHost m_host;
    std::unique_ptr<AddTaskDialog> m_dialog;
};

void TestAddTaskDialog::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_store = std::make_unique<TaskStore>(m_dir->path());
    m_store->OpenTaskDatabase();
    m_prompter = {};
    m_host = {};
    m_dialog = std::make_unique<AddTaskDialog>(*m_store, m_prompter, m_clock, m_host);
}

void TestAddTaskDialog::cleanup()
{
    m_dialog.reset();
    m_store.reset();
    m_dir.reset();
}

void TestAddTaskDialog::run(bool isNew, qint32 id, const QString &list, bool recurrent,
                            const std::function<void()> &action)
{
    bool ran = false;
    QTimer::singleShot(0, m_dialog.get(), [&] {
        ran = true;
        action();
        if (m_dialog->isVisible())
            m_dialog->reject();
    });
    m_dialog->ShowEx(nullptr, isNew, id, list, recurrent);
    QVERIFY(ran);
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_host.depth, 0);
}

qint32 TestAddTaskDialog::storeTask(const QString &subject, qint32 duration, qint32 done)
{
    TaskRecord t;
    t.ID = m_store->NextTaskID(dayKey());
    t.List = dayKey();
    t.Subject = subject;
    t.Category = 5;
    t.Duration = duration;
    t.FinishedDuration = done;
    t.State = Delayed;
    t.Priority = 4;
    m_store->SaveTask(t, true, t.List, t.ID);
    return t.ID;
}

void TestAddTaskDialog::addWithDefaults()
{
    run(true, 0, QString(), false, [&] {
        QCOMPARE(m_host.depth, 1);
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Add Task"));
        QCOMPARE(m_dialog->headerCaption(), QStringLiteral("Add Task"));
        QCOMPARE(w<QComboBox>("cmbHours")->currentText(), QStringLiteral("1"));
        QCOMPARE(w<QComboBox>("cmbMinutes")->currentText(), QStringLiteral("0"));
        QCOMPARE(w<QComboBox>("cmbPriority")->currentText(), QStringLiteral("Normal"));
        QCOMPARE(w<QComboBox>("cmbPriority")->count(), 6);
        QCOMPARE(w<QComboBox>("cmbStatus")->currentText(), QStringLiteral("Not Started"));
        QCOMPARE(w<QComboBox>("cmbCategory")->currentText(), QStringLiteral("Work"));
        QVERIFY(w<QCheckBox>("chkStartTaskTimer")->isChecked());
        QVERIFY(w<QLineEdit>("txtSubject")->text().isEmpty());
        QVERIFY(!w<QWidget>("fraRecurrence")->isVisible());
        QTest::keyClicks(w<QLineEdit>("txtSubject"), QStringLiteral("Write report"));
        click("cmdOK");
    });
    const auto task = m_store->findTask(dayKey(), 1);
    QVERIFY(task.has_value());
    QCOMPARE(task->Subject, QStringLiteral("Write report"));
    QCOMPARE(task->Duration, 60);
    QCOMPARE(task->Priority, 2);
    QCOMPARE(task->State, 0);
    QCOMPARE(task->Category, 1);
    QCOMPARE(m_host.calls, (QStringList{QStringLiteral("addTaskRow(1)"),
                                        QStringLiteral("selectTaskRowById(1)"),
                                        QStringLiteral("setTracking(true)")}));
}

void TestAddTaskDialog::editShowsAndKeepsTheBudget_data()
{
    QTest::addColumn<int>("duration");
    QTest::addColumn<QString>("hours");
    QTest::addColumn<QString>("minutes");
    QTest::newRow("100 minutes") << 100 << "1" << "40";
    QTest::newRow("45 minutes") << 45 << "0" << "45";
    QTest::newRow("one hour") << 60 << "1" << "0";
    QTest::newRow("nothing") << 0 << "0" << "0";
}

void TestAddTaskDialog::editShowsAndKeepsTheBudget()
{
    QFETCH(int, duration);
    QFETCH(QString, hours);
    QFETCH(QString, minutes);
    const qint32 id = storeTask(QStringLiteral("Laundry"), duration);
    const TaskRecord before = *m_store->findTask(dayKey(), id);
    run(false, id, dayKey(), false, [&] {
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Edit Task"));
        QCOMPARE(m_dialog->headerCaption(), QStringLiteral("Edit Task"));
        QCOMPARE(w<QLineEdit>("txtSubject")->text(), QStringLiteral("Laundry"));
        QCOMPARE(w<QLineEdit>("txtSubject")->selectedText(), QStringLiteral("Laundry"));
        QCOMPARE(w<QComboBox>("cmbHours")->currentText(), hours);
        QCOMPARE(w<QComboBox>("cmbMinutes")->currentText(), minutes);
        QCOMPARE(w<QComboBox>("cmbCategory")->currentText(), QStringLiteral("Social"));
        QCOMPARE(w<QComboBox>("cmbPriority")->currentText(), QStringLiteral("Very High"));
        QCOMPARE(w<QComboBox>("cmbStatus")->currentText(), QStringLiteral("Delayed"));
        // Nothing done of a zero budget counts as fully done: no timer offered.
        QCOMPARE(w<QCheckBox>("chkStartTaskTimer")->isChecked(), duration != 0);
        w<QCheckBox>("chkStartTaskTimer")->setChecked(false);
        click("cmdOK");
    });
    QCOMPARE(*m_store->findTask(dayKey(), id), before);
    QCOMPARE(m_host.calls, QStringList{QStringLiteral("refillSelectedRow")});
}

void TestAddTaskDialog::presets_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hours");
    QTest::addColumn<QString>("minutes");
    QTest::newRow("0:30") << 1 << "0:30" << "0" << "30";
    QTest::newRow("0:45") << 2 << "0:45" << "0" << "45";
    QTest::newRow("1:00") << 3 << "1:00" << "1" << "0";
    QTest::newRow("1:30") << 4 << "1:30" << "1" << "30";
    QTest::newRow("2:00") << 5 << "2:00" << "2" << "0";
}

void TestAddTaskDialog::presets()
{
    QFETCH(int, index);
    QFETCH(QString, caption);
    QFETCH(QString, hours);
    QFETCH(QString, minutes);
    run(true, 0, QString(), false, [&] {
        const QByteArray name = "cmdPreset" + QByteArray::number(index);
        QCOMPARE(w<QPushButton>(name.constData())->text(), caption);
        click(name.constData());
        QCOMPARE(w<QComboBox>("cmbHours")->currentText(), hours);
        QCOMPARE(w<QComboBox>("cmbMinutes")->currentText(), minutes);
        w<QCheckBox>("chkStartTaskTimer")->setChecked(false);
        click("cmdOK");
    });
    QCOMPARE(m_store->findTask(dayKey(), 1)->Duration, hours.toInt() * 60 + minutes.toInt());
}

void TestAddTaskDialog::typedTimeIsReadAsNumbers_data()
{
    QTest::addColumn<QString>("hours");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<int>("stored");
    QTest::newRow("1.5 hours") << "1.5" << "0" << 90;
    QTest::newRow("text counts as 0") << "abc" << "20" << 20;
    QTest::newRow("half rounds to even, up") << "2" << "7.5" << 128;
    QTest::newRow("half rounds to even, down") << "0" << "0.5" << 0;
    QTest::newRow("leading number of a text") << "1 h" << "30 min" << 90;
}

void TestAddTaskDialog::typedTimeIsReadAsNumbers()
{
    QFETCH(QString, hours);
    QFETCH(QString, minutes);
    QFETCH(int, stored);
    run(true, 0, QString(), false, [&] {
        QComboBox *h = w<QComboBox>("cmbHours");
        QComboBox *m = w<QComboBox>("cmbMinutes");
        h->lineEdit()->selectAll();
        QTest::keyClicks(h, hours);
        m->lineEdit()->selectAll();
        QTest::keyClicks(m, minutes);
        w<QCheckBox>("chkStartTaskTimer")->setChecked(false);
        click("cmdOK");
    });
    QCOMPARE(m_store->findTask(dayKey(), 1)->Duration, stored);
}

void TestAddTaskDialog::oversizedTimeIsRefusedAndKept()
{
    run(true, 0, QString(), false, [&] {
        w<QLineEdit>("txtSubject")->setText(QStringLiteral("Forever"));
        w<QComboBox>("cmbHours")->setCurrentText(QStringLiteral("99999999"));
        click("cmdOK");
        QVERIFY(m_dialog->isVisible());
        QCOMPARE(m_prompter.shown.size(), 1);
        QCOMPARE(m_prompter.shown.first().title, QStringLiteral("Chronodeck"));
        QVERIFY(m_prompter.lastText().contains(QStringLiteral("too long")));
        QCOMPARE(w<QLineEdit>("txtSubject")->text(), QStringLiteral("Forever"));
        QCOMPARE(w<QComboBox>("cmbHours")->currentText(), QStringLiteral("99999999"));
        // The largest budget that fits is still taken.
        w<QComboBox>("cmbHours")->setCurrentText(QStringLiteral("35791394"));
        w<QComboBox>("cmbMinutes")->setCurrentText(QStringLiteral("7"));
        w<QCheckBox>("chkStartTaskTimer")->setChecked(false);
        click("cmdOK");
        QVERIFY(!m_dialog->isVisible());
    });
    QCOMPARE(m_store->tasksOfList(dayKey()).size(), 1);
    QCOMPARE(m_store->findTask(dayKey(), 1)->Duration, std::numeric_limits<qint32>::max());
}

void TestAddTaskDialog::cancelAndEscWriteNothing()
{
    run(true, 0, QString(), false, [&] {
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
    QCOMPARE(m_store->tasksOfList(dayKey()).size(), 1);
    QCOMPARE(m_store->findTask(dayKey(), id)->Subject, QStringLiteral("Keep me"));
    QVERIFY(m_host.calls.isEmpty());
    QVERIFY(m_prompter.shown.isEmpty());
}

void TestAddTaskDialog::templateLayoutIsPaired()
{
    int normalHeight = 0;
    run(true, 0, QString(), false, [&] { normalHeight = m_dialog->height(); });
    run(true, 0, QString(), true, [&] {
        QVERIFY(m_dialog->height() > normalHeight);
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
    });
    run(true, 0, QString(), false, [&] {
        QCOMPARE(m_dialog->height(), normalHeight);
        QVERIFY(!w<QWidget>("fraRecurrence")->isVisible());
        QVERIFY(w<QCheckBox>("chkStartTaskTimer")->isVisible());
        QCOMPARE(m_dialog->headerCaption(), QStringLiteral("Add Task"));
    });
    QVERIFY(m_store->tasksOfList(recurrentListKey()).isEmpty());
}

void TestAddTaskDialog::trackedTaskQuestion_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("No") << false;
    QTest::newRow("Yes") << true;
}

void TestAddTaskDialog::trackedTaskQuestion()
{
    QFETCH(bool, yes);
    storeTask(QStringLiteral("Other"), 30);
    const qint32 id = storeTask(QStringLiteral("Tracked"), 30, 5);
    m_host.tracking = true;
    m_host.trackedListKey = dayKey();
    m_host.trackedId = id;
    m_prompter.answers = {yes ? Answer::Yes : Answer::No};
    run(false, id, dayKey(), false, [&] {
        w<QLineEdit>("txtSubject")->setText(QStringLiteral("Tracked, renamed"));
        w<QCheckBox>("chkStartTaskTimer")->setChecked(false);
        click("cmdOK");
    });
    QCOMPARE(m_prompter.shown.size(), 1);
    QCOMPARE(m_prompter.shown.first().title, QStringLiteral("Chronodeck"));
    QCOMPARE(m_prompter.shown.first().text,
             QStringLiteral("You are currently time tracking this task. Are you sure want to "
                            "change it?"));
    QCOMPARE(m_prompter.shown.first().icon, MessageIcon::Question);
    QCOMPARE(m_store->findTask(dayKey(), id)->Subject,
             yes ? QStringLiteral("Tracked, renamed") : QStringLiteral("Tracked"));
    if (yes) {
        QCOMPARE(m_host.calls,
                 (QStringList{QStringLiteral("refillSelectedRow"),
                              QStringLiteral("setTracking(false)"),
                              QStringLiteral("setTracking(true)")}));
    } else {
        QVERIFY(m_host.calls.isEmpty());
        QCOMPARE(m_host.trackedId, id);
    }
}

void TestAddTaskDialog::startTimerWhileAnotherTaskIsTracked()
{
    storeTask(QStringLiteral("Running"), 30);
    m_host.tracking = true;
    m_host.trackedListKey = dayKey();
    m_host.trackedId = 1;
    run(true, 0, QString(), false, [&] {
        w<QLineEdit>("txtSubject")->setText(QStringLiteral("Urgent call"));
        QVERIFY(w<QCheckBox>("chkStartTaskTimer")->isChecked());
        click("cmdOK");
    });
    QVERIFY(m_prompter.shown.isEmpty());
    QCOMPARE(m_host.calls, (QStringList{QStringLiteral("addTaskRow(2)"),
                                        QStringLiteral("setTracking(false)"),
                                        QStringLiteral("selectTaskRowById(2)"),
                                        QStringLiteral("setTracking(true)")}));
    QCOMPARE(m_store->findTask(dayKey(), 2)->Subject, QStringLiteral("Urgent call"));
}

void TestAddTaskDialog::newTemplateCopiesIntoToday_data()
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

void TestAddTaskDialog::newTemplateCopiesIntoToday()
{
    QFETCH(int, rule);
    QFETCH(bool, showsToday);
    QFETCH(QString, stored);
    QFETCH(bool, copied);
    m_host.today = showsToday;
    if (!showsToday)
        m_host.listKey = QStringLiteral("04032024");
    run(true, 0, QString(), true, [&] {
        w<QLineEdit>("txtSubject")->setText(QStringLiteral("Read mail"));
        w<QComboBox>("cmbRecurrence")->setCurrentIndex(rule);
        w<QCheckBox>("chkMonday")->setChecked(true);
        w<QCheckBox>("chkTuesday")->setChecked(true);
        w<QComboBox>("cmbDayOfTheMonth")->setCurrentIndex(28);
        QCOMPARE(w<QComboBox>("cmbDayOfTheMonth")->currentText(), QStringLiteral("Last Day"));
        click("cmdOK");
    });
    const QList<TaskRecord> templates = m_store->tasksOfList(recurrentListKey());
    QCOMPARE(templates.size(), 1);
    QCOMPARE(templates.first().Subject, stored);
    const QList<TaskRecord> today = m_store->tasksOfList(QStringLiteral("05032024"));
    QCOMPARE(today.size(), copied ? 1 : 0);
    if (copied) {
        QCOMPARE(today.first().Subject, QStringLiteral("Read mail"));
        QCOMPARE(today.first().Duration, 60);
    }
    const bool rowAdded = copied && showsToday;
    QCOMPARE(m_host.calls,
             rowAdded ? QStringList{QStringLiteral("addTaskRow(1)")} : QStringList{});
}

void TestAddTaskDialog::editTemplateKeepsItsRule()
{
    TaskRecord t;
    t.ID = 4;
    t.List = recurrentListKey();
    t.Subject = QStringLiteral("31010100]Gym");
    t.Duration = 90;
    m_store->SaveTask(t, true, t.List, t.ID);
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
    QCOMPARE(m_store->findTask(recurrentListKey(), 4)->Subject, QStringLiteral("414]Gym"));
    QCOMPARE(m_store->findTask(recurrentListKey(), 4)->Duration, 90);
    QVERIFY(m_store->tasksOfList(QStringLiteral("05032024")).isEmpty());
    QVERIFY(m_host.calls.isEmpty());
}

void TestAddTaskDialog::fullListIsRefusedAndDialogStaysOpen()
{
    TaskRecord last;
    last.ID = 32767;
    last.List = dayKey();
    last.Subject = QStringLiteral("The last number");
    m_store->SaveTask(last, true, last.List, last.ID);
    run(true, 0, QString(), false, [&] {
        w<QLineEdit>("txtSubject")->setText(QStringLiteral("One too many"));
        click("cmdOK");
        QVERIFY(m_dialog->isVisible());
        QCOMPARE(m_prompter.shown.size(), 1);
        QVERIFY(m_prompter.lastText().contains(QStringLiteral("32767")));
        QCOMPARE(w<QLineEdit>("txtSubject")->text(), QStringLiteral("One too many"));
    });
    QCOMPARE(m_store->tasksOfList(dayKey()).size(), 1);
    QVERIFY(m_host.calls.isEmpty());
}

void TestAddTaskDialog::categoryButtonRefillsTheList()
{
    m_host.onCategoryManager = [&] {
        m_store->AddCategory({m_store->NextCategoryID(), QStringLiteral("Garden"), -1, -1, {}, {}});
    };
    run(true, 0, QString(), false, [&] {
        QCOMPARE(w<QComboBox>("cmbCategory")->count(), 8);
        w<QComboBox>("cmbCategory")->setCurrentIndex(5);
        click("cmdCategories");
        QComboBox *categories = w<QComboBox>("cmbCategory");
        QCOMPARE(categories->count(), 9);
        QCOMPARE(categories->currentIndex(), 0);
        QCOMPARE(categories->itemText(8), QStringLiteral("Garden"));
        QCOMPARE(categories->itemData(8).toInt(), 9);
        categories->setCurrentIndex(8);
        w<QCheckBox>("chkStartTaskTimer")->setChecked(false);
        click("cmdOK");
    });
    QCOMPARE(m_store->findTask(dayKey(), 1)->Category, 9);
}

QTEST_MAIN(TestAddTaskDialog)
#include "test_add_task_dialog.moc"
