#pragma once

#include "core/DayReview.h"

#include <QDate>
#include <QDialog>
#include <QList>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;

namespace cdk {

class DialogHeader;
class Prompter;
class TaskDialogHost;
class TaskOperations;

// "Review the Day": today's unfinished tasks, each to be moved to tomorrow
// (the default), kept or finished, with the day's totals under the list.
// Apply hands every choice, by task ID, to the one operation that closes the
// day, so the whole review is one change and one undo.
class ReviewDayDialog final : public QDialog
{
    Q_OBJECT

public:
    ReviewDayDialog(TaskOperations &operations, Prompter &prompter, TaskDialogHost &host,
                    QWidget *parent = nullptr);

    // Reads today's list and runs the dialog modally; true when the review
    // was applied. A list that cannot be read is reported and nothing opens.
    bool ShowEx(const QDate &today);

    QList<ReviewChoice> choices() const;

private:
    void fill();
    void updateTotals();
    void cmdApply_Click();

    TaskOperations &m_operations;
    Prompter &m_prompter;
    TaskDialogHost &m_host;
    QDate m_today;
    QList<TaskRecord> m_tasks;
    QList<QComboBox *> m_choices;

    DialogHeader *m_header = nullptr;
    QScrollArea *m_lstReviewTasks = nullptr;
    QLabel *m_lblEmpty = nullptr;
    QLabel *m_lblReviewTotals = nullptr;
    QPushButton *m_cmdApply = nullptr;
    QPushButton *m_cmdCancel = nullptr;
};

} // namespace cdk
