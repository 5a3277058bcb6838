#include "editing/ReviewDayDialog.h"

#include "base/Functions.h"
#include "base/Log.h"
#include "base/Prompter.h"
#include "controls/Icons.h"
#include "core/TaskOperations.h"
#include "editing/DialogHeader.h"
#include "editing/TaskDialogHost.h"
#include "store/StoreError.h"
#include "store/Vocabulary.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace cdk {

namespace {

// Subjects longer than this many average characters are cut in the list;
// the tooltip holds the rest.
constexpr int kSubjectChars = 40;
// Rows shown before the list scrolls.
constexpr int kVisibleRows = 10;

QLabel *plainLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(parent);
    // A subject is the user's text, never markup.
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return label;
}

QString timeText(const TaskRecord &task)
{
    return FormatMinutes(task.FinishedDuration, false) + QStringLiteral(" / ")
        + FormatMinutes(task.Duration, false);
}

} // namespace

ReviewDayDialog::ReviewDayDialog(TaskOperations &operations, Prompter &prompter,
                                 TaskDialogHost &host, QWidget *parent)
    : QDialog(parent)
    , m_operations(operations)
    , m_prompter(prompter)
    , m_host(host)
{
    setObjectName(QStringLiteral("frmReviewDay"));
    setWindowTitle(tr("Review the Day"));
    setWindowIcon(iconForKey(QStringLiteral("CHECKBOX")));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setModal(true);

    m_header = new DialogHeader(this);
    m_header->setCaption(tr("Review the Day"));
    m_header->setIcon(iconForKey(QStringLiteral("CHECKBOX")));

    m_lstReviewTasks = new QScrollArea(this);
    m_lstReviewTasks->setObjectName(QStringLiteral("lstReviewTasks"));
    m_lstReviewTasks->setWidgetResizable(true);
    m_lstReviewTasks->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab goes from choice to choice, and the area follows the focus: the
    // area itself is no stop of its own.
    m_lstReviewTasks->setFocusPolicy(Qt::NoFocus);
    m_lstReviewTasks->setAccessibleName(tr("Unfinished tasks"));
    m_lblEmpty = new QLabel(tr("Nothing left to review today."), this);
    m_lblEmpty->setObjectName(QStringLiteral("lblReviewEmpty"));
    m_lblEmpty->hide();
    m_lblReviewTotals = new QLabel(this);
    m_lblReviewTotals->setObjectName(QStringLiteral("lblReviewTotals"));

    m_cmdApply = new QPushButton(tr("&Apply"), this);
    m_cmdApply->setObjectName(QStringLiteral("cmdApply"));
    m_cmdApply->setDefault(true);
    m_cmdCancel = new QPushButton(tr("C&ancel"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdCancel->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cmdApply);
    buttons->addWidget(m_cmdCancel);

    auto *body = new QVBoxLayout;
    body->setContentsMargins(12, 12, 12, 12);
    body->setSpacing(8);
    body->addWidget(m_lstReviewTasks, 1);
    body->addWidget(m_lblEmpty);
    body->addWidget(m_lblReviewTotals);
    body->addSpacing(4);
    body->addLayout(buttons);
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    root->addWidget(m_header);
    root->addLayout(body, 1);

    connect(m_cmdApply, &QPushButton::clicked, this, &ReviewDayDialog::cmdApply_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool ReviewDayDialog::ShowEx(const QDate &today)
{
    m_today = today;
    try {
        m_tasks = tasksToReview(m_operations.tasksOfList(DayListKey(today)));
    } catch (const StoreError &e) {
        ShowErrorMessage(m_prompter, tr("Today's tasks could not be read."), e.code(),
                         e.message());
        return false;
    }
    fill();
    ModalDialogScope modal(m_host);
    return exec() == QDialog::Accepted;
}

void ReviewDayDialog::fill()
{
    const bool empty = m_tasks.isEmpty();
    m_header->setCaption(
        tr("Review the Day: %1").arg(QLocale().toString(m_today, QLocale::LongFormat)));
    m_lstReviewTasks->setVisible(!empty);
    m_lblReviewTotals->setVisible(!empty);
    m_lblEmpty->setVisible(empty);
    m_cmdApply->setVisible(!empty);
    m_cmdCancel->setText(empty ? tr("&Close") : tr("C&ancel"));
    m_cmdCancel->setDefault(empty);
    if (empty) {
        m_cmdCancel->setFocus();
        return;
    }

    // In the dialog before the rows are added, so the tab order can run
    // through them.
    auto *rows = new QWidget;
    m_lstReviewTasks->setWidget(rows);
    auto *grid = new QGridLayout(rows);
    grid->setColumnStretch(0, 1);
    grid->setHorizontalSpacing(16);
    auto *taskHeading = new QLabel(tr("Task"), rows);
    auto *timeHeading = new QLabel(tr("Done / Budget"), rows);
    auto *choiceHeading = new QLabel(tr("Then"), rows);
    for (QLabel *heading : {taskHeading, timeHeading, choiceHeading}) {
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
    }
    grid->addWidget(taskHeading, 0, 0);
    grid->addWidget(timeHeading, 0, 1, Qt::AlignRight);
    grid->addWidget(choiceHeading, 0, 2);

    const int subjectWidth = fontMetrics().averageCharWidth() * kSubjectChars;
    QWidget *previous = nullptr;
    for (int i = 0; i < m_tasks.size(); ++i) {
        const TaskRecord &task = m_tasks.at(i);
        const QString subject = ShownText(task.Subject);
        QLabel *name
            = plainLabel(fontMetrics().elidedText(subject, Qt::ElideRight, subjectWidth), rows);
        name->setToolTip(subject);
        QLabel *time = plainLabel(timeText(task), rows);
        auto *choice = new QComboBox(rows);
        choice->setObjectName(QStringLiteral("cmbReviewChoice(%1)").arg(i));
        // Each entry starts with its own letter: M, K or F picks it.
        //: Choice for an unfinished task. The three choices should start with
        //: different letters: typing one picks its entry.
        choice->addItem(tr("Move to tomorrow"), int(ReviewAction::Move));
        //: Choice for an unfinished task: it stays on today's list.
        choice->addItem(tr("Keep"), int(ReviewAction::Keep));
        //: Choice for an unfinished task: it is marked finished.
        choice->addItem(tr("Finish"), int(ReviewAction::Finish));
        choice->setAccessibleName(subject);
        name->setBuddy(choice);
        grid->addWidget(name, i + 1, 0);
        grid->addWidget(time, i + 1, 1, Qt::AlignRight);
        grid->addWidget(choice, i + 1, 2);
        if (previous)
            setTabOrder(previous, choice);
        previous = choice;
        m_choices.append(choice);
        connect(choice, &QComboBox::currentIndexChanged, this, &ReviewDayDialog::updateTotals);
    }
    setTabOrder(previous, m_cmdApply);
    setTabOrder(m_cmdApply, m_cmdCancel);
    grid->setRowStretch(int(m_tasks.size()) + 1, 1);

    // Tall enough for the first rows, wide enough for every column; a long
    // day scrolls.
    const QSize wanted = rows->sizeHint();
    const int rowHeight = m_choices.first()->sizeHint().height() + grid->verticalSpacing();
    const int frame = 2 * m_lstReviewTasks->frameWidth();
    m_lstReviewTasks->setMinimumWidth(wanted.width() + frame
                                      + m_lstReviewTasks->verticalScrollBar()->sizeHint().width());
    m_lstReviewTasks->setMinimumHeight(qMin(wanted.height(), rowHeight * (kVisibleRows + 1))
                                       + frame);
    updateTotals();
    m_choices.first()->setFocus();
}

QList<ReviewChoice> ReviewDayDialog::choices() const
{
    QList<ReviewChoice> chosen;
    for (int i = 0; i < m_choices.size(); ++i)
        chosen.append({m_tasks.at(i).ID, ReviewAction(m_choices.at(i)->currentData().toInt())});
    return chosen;
}

void ReviewDayDialog::updateTotals()
{
    m_lblReviewTotals->setText(reviewTotalsText(m_tasks, choices()));
}

void ReviewDayDialog::cmdApply_Click()
{
    try {
        m_operations.reviewDay(DayListKey(m_today), choices(), m_today.addDays(1));
    } catch (const StoreError &e) {
        // Nothing was written; the choices stay on screen to try again.
        qCWarning(lcStore) << "day review refused:" << e.code() << e.message();
        if (e.isReadyToShow())
            m_prompter.tell(programName(), e.userMessage(), MessageIcon::Exclamation);
        else
            ShowErrorMessage(m_prompter,
                             tr("The review could not be applied; your tasks are unchanged."),
                             e.code(), e.message());
        return;
    }
    accept();
}

} // namespace cdk
