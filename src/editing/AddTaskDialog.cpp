#include "editing/AddTaskDialog.h"

#include "base/Clock.h"
#include "base/Functions.h"
#include "base/Log.h"
#include "base/Prompter.h"
#include "controls/Icons.h"
#include "core/Recurrence.h"
#include "core/ShownDay.h"
#include "core/TaskOperations.h"
#include "core/TimeTracker.h"
#include "editing/DialogHeader.h"
#include "editing/RecurrenceBox.h"
#include "editing/TaskDialogHost.h"
#include "store/StoreError.h"
#include "store/Vocabulary.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <cmath>
#include <limits>

namespace cdk {

namespace {

constexpr int kPriorityCount = 6;

QString fitsNoLongerText()
{
    constexpr qint64 most = std::numeric_limits<qint32>::max();
    return QCoreApplication::translate("cdk::AddTaskDialog",
                                       "The time allocated is too long to be stored. A task can "
                                       "be given at most %1 hours and %2 minutes.")
        .arg(QString::number(most / 60), QString::number(most % 60));
}

} // namespace

AddTaskDialog::AddTaskDialog(TaskOperations &operations, Prompter &prompter, Clock &clock,
                             TaskDialogHost &host, const ShownDay &day, QWidget *parent)
    : QDialog(parent), m_operations(operations), m_prompter(prompter), m_clock(clock),
      m_host(host),
      m_day(day)
{
    setObjectName(QStringLiteral("frmAddTask"));
    setWindowTitle(tr("Add Task"));
    // A fixed dialog frame: a title and a close box, nothing to maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setModal(true);
    buildLayout();
}

QString AddTaskDialog::headerCaption() const
{
    return m_gpTop->caption();
}

TaskDialogResult AddTaskDialog::ShowEx(QWidget *owner, bool isNew, qint32 taskId,
                                       const QString &listKey, bool isRecurrent)
{
    m_result = {};
    prepare(isNew, taskId, listKey, isRecurrent);

    // Shown over the caller's window; the one instance goes back to where it
    // belongs afterwards, so it outlives short-lived callers.
    QWidget *home = parentWidget();
    const Qt::WindowFlags flags = windowFlags();
    if (owner && owner != home)
        setParent(owner, flags);
    m_txtSubject->setFocus();
    {
        ModalDialogScope modal(m_host);
        exec();
    }
    if (owner && owner != home)
        setParent(home, flags);
    return m_result;
}

void AddTaskDialog::prepare(bool isNew, qint32 taskId, const QString &listKey, bool isRecurrent)
{
    m_isNewTask = isNew;
    m_isRecurrent = isRecurrent;
    m_editTaskID = isNew ? 0 : taskId;
    m_editListKey = listKey;

    m_chkStartTaskTimer->setChecked(false);
    if (isNew)
        fillCategoryCombo();
    if (m_cmbPriority->count() == 0)
        FillPriorityCombo(*m_cmbPriority);
    m_recurrence->reset();

    if (isNew)
        fillForAdd();
    else
        fillForEdit();

    m_txtSubject->selectAll();
    if (isRecurrent)
        SetRecurrentLayout(true);
}

void AddTaskDialog::fillForAdd()
{
    m_shown.reset();
    if (m_cmbCategory->count() > 0)
        m_cmbCategory->setCurrentIndex(0);
    m_cmbStatus->setCurrentIndex(0);
    m_txtSubject->clear();
    m_cmbPriority->setCurrentIndex(3);
    m_cmbHours->setCurrentText(QStringLiteral("1"));
    m_cmbMinutes->setCurrentText(QStringLiteral("0"));
    setHeader(tr("Add Task"), QStringLiteral("PLUS"));
    m_chkStartTaskTimer->setChecked(true);
}

void AddTaskDialog::fillForEdit()
{
    TaskRecord task;
    try {
        task = m_operations.task(m_editListKey, m_editTaskID).value_or(TaskRecord {});
    } catch (const StoreError &e) {
        // The dialog still opens: what the user then saves is refused the same way.
        qCWarning(lcStore) << "cannot read task" << m_editListKey << m_editTaskID << e.message();
    }
    fillCategoryCombo(task.Category);

    if (m_isRecurrent) {
        m_txtSubject->setText(GetRecurrentSubject(task.Subject));
        m_recurrence->ApplyRecurrenceCode(GetRecurrenceCode(task.Subject));
    } else {
        m_txtSubject->setText(task.Subject);
    }

    const qint32 d = task.Duration;
    m_cmbHours->setCurrentText(d < 60 ? QStringLiteral("0") : QString::number(d / 60));
    m_cmbMinutes->setCurrentText(QString::number(d < 60 ? d : d % 60));


    // Codes outside the vocabularies (a hand-edited database) keep the defaults.
    const int priorityIndex = kPriorityCount - 1 - task.Priority;
    m_cmbPriority->setCurrentIndex(priorityIndex >= 0 && priorityIndex < kPriorityCount ? priorityIndex
                                                                                       : 3);
    m_cmbStatus->setCurrentIndex(task.State >= 0 && task.State < m_cmbStatus->count() ? task.State
                                                                                       : 0);
    setHeader(tr("Edit Task"), QStringLiteral("EDITTASK"));
    m_chkStartTaskTimer->setChecked(task.FinishedDuration != task.Duration);
    // Saving writes only what the user changed from this.
    m_shown = task.List.isEmpty() ? std::nullopt : recordFromForm();
}

void AddTaskDialog::fillCategoryCombo(std::optional<qint32> keep)
{
    m_cmbCategory->clear();
    try {
        for (const CategoryRecord &category : m_operations.categories())
            m_cmbCategory->addItem(category.Name, category.ID);
    } catch (const StoreError &e) {
        qCWarning(lcStore) << "cannot read the categories" << e.message();
    }
    if (!keep)
        return;
    int index = m_cmbCategory->findData(*keep);
    if (index < 0) {
        m_cmbCategory->insertItem(0, tr("(none)"), *keep);
        index = 0;
    }
    m_cmbCategory->setCurrentIndex(index);
}

void AddTaskDialog::setHeader(const QString &caption, const QString &iconKey)
{
    const QIcon icon = iconForKey(iconKey);
    m_gpTop->setCaption(caption);
    m_gpTop->setIcon(icon);
    setWindowTitle(caption);
    setWindowIcon(icon);
}

void AddTaskDialog::SetRecurrentLayout(bool on)
{
    m_recurrentLayout = on;
    m_recurrence->setVisible(on);
    m_lblOtherOptions->setVisible(!on);
    m_chkStartTaskTimer->setVisible(!on);
    if (on)
        m_gpTop->setCaption(tr("Add Recurrent Task"));
    // Resize now rather than on the next event round, so the size is right
    // before the window is shown again.
    for (QWidget *w = m_recurrence->parentWidget(); w && w != this; w = w->parentWidget())
        if (w->layout())
            w->layout()->activate();
    layout()->activate();
}

void AddTaskDialog::closeDialog(int result)
{
    if (m_isRecurrent && m_recurrentLayout)
        SetRecurrentLayout(false);
    m_txtSubject->setFocus();
    QDialog::done(result);
}

void AddTaskDialog::reject()
{
    cmdCancel_Click();
}

void AddTaskDialog::cmdCancel_Click()
{
    closeDialog(QDialog::Rejected);
}

bool AddTaskDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_txtSubject && event->type() == QEvent::FocusIn) {
        // After the click that gave the focus has placed the cursor.
        QTimer::singleShot(0, m_txtSubject, &QLineEdit::selectAll);
    }
    return QDialog::eventFilter(watched, event);
}

void AddTaskDialog::cmdPreset_Click(int minutes)
{
    m_cmbHours->setCurrentText(QString::number(minutes >= 60 ? minutes / 60 : 0));
    m_cmbMinutes->setCurrentText(QString::number(minutes >= 60 ? minutes % 60 : minutes));
}

void AddTaskDialog::cmdCategories_Click()
{
    // The categories may have been renamed, added or deleted: read afresh,
    // starting again from the first.
    m_host.openCategoryManager(this);
    fillCategoryCombo();
    if (m_cmbCategory->count() > 0)
        m_cmbCategory->setCurrentIndex(0);
}

std::optional<TaskRecord> AddTaskDialog::recordFromForm()
{
    const double minutes =
        BasicVal(m_cmbHours->currentText()) * 60 + BasicVal(m_cmbMinutes->currentText());
    // RoundHalfEven would clamp: a budget the column cannot hold is refused
    // instead of being stored as some other number.
    constexpr double most = std::numeric_limits<qint32>::max();
    constexpr double least = std::numeric_limits<qint32>::min();
    if (!std::isfinite(minutes) || std::nearbyint(minutes) > most
        || std::nearbyint(minutes) < least) {
        m_prompter.tell(programName(), fitsNoLongerText(), MessageIcon::Exclamation);
        m_cmbHours->setFocus();
        m_cmbHours->lineEdit()->selectAll();
        return std::nullopt;
    }

    TaskRecord record;
    record.Subject = m_txtSubject->text();
    if (m_isRecurrent)
        record.Subject = m_recurrence->BuildRecurrenceCode() + record.Subject;
    // With no category to choose the task gets none ("(none)").
    record.Category = m_cmbCategory->currentIndex() >= 0 ? m_cmbCategory->currentData().toInt()
                                                         : 0;
    record.Duration = RoundHalfEven(minutes);
    if (m_isNewTask) {
        record.FinishedDuration = 0;
        record.FinishedSeconds = 0;
    } else {
        record.ID = m_editTaskID;
    }
    record.List = m_isRecurrent ? recurrentListKey() : m_day.listKey();
    record.Priority = kPriorityCount - 1 - m_cmbPriority->currentIndex();
    record.State = m_cmbStatus->currentIndex();
    return record;
}

template<typename Fn>
bool AddTaskDialog::refusedByStore(Fn &&write)
{
    const QString failed = tr("The task could not be saved.");
    try {
        write();
        return false;
    } catch (const StoreError &e) {
        if (e.isReadyToShow())
            m_prompter.tell(programName(), failed + QStringLiteral("\n\n") + e.userMessage(),
                            MessageIcon::Exclamation);
        else
            ShowErrorMessage(m_prompter, failed, e.code(), e.message());
    }
    qCWarning(lcStore) << "task dialog: saving refused";
    return true;
}

void AddTaskDialog::cmdOK_Click()
{
    std::optional<TaskRecord> record = recordFromForm();
    if (!record)
        return;
    if (m_isRecurrent)
        saveTemplate(*record);
    else
        saveTask(*record);
}

void AddTaskDialog::saveTemplate(TaskRecord record)
{
    const QString &recurrent = recurrentListKey();
    if (!m_isNewTask) {
        // Copies already placed in day lists keep what they were given.
        if (refusedByStore(
                [&] { m_operations.editTask(recurrent, m_editTaskID, record, m_shown); }))
            return;
        m_result = {true, recurrent, m_editTaskID, false};
        closeDialog(QDialog::Accepted);
        return;
    }
    // The template and today's copy go in together or not at all, so a
    // refusal leaves nothing half done behind the still open dialog.
    TaskOperations::TemplateAdded added;
    if (refusedByStore([&] { added = m_operations.addTemplate(record, m_clock.today()); }))
        return;
    m_result = {true, recurrent, added.templateId, false};
    closeDialog(QDialog::Accepted);
}

void AddTaskDialog::saveTask(TaskRecord record)
{
    const TimeTracker &tracker = m_operations.tracker();
    if (!m_isNewTask && tracker.isTracked(m_editListKey, m_editTaskID)) {
        const Answer answer = m_prompter.ask(
            programName(),
            tr("You are currently time tracking this task. Are you sure want to change it?"),
            MessageIcon::Question);
        if (answer == Answer::No) {
            closeDialog(QDialog::Rejected);
            return;
        }
    }

    qint32 id = m_editTaskID;
    const bool refused = refusedByStore([&] {
        if (m_isNewTask)
            id = m_operations.addTask(record);
        else
            m_operations.editTask(m_editListKey, m_editTaskID, record, m_shown);
    });
    if (refused)
        return;
    // Tracking an edited task goes on with its new budget and subject; the
    // tracker has read them again.
    m_result = {true, m_isNewTask ? record.List : m_editListKey, id,
                m_chkStartTaskTimer->isChecked()};
    closeDialog(QDialog::Accepted);
}

} // namespace cdk
