#pragma once

#include "base/Prompter.h"

#include <QList>
#include <QStringList>

#include <functional>

namespace cdk::test {

// Records every message the program would show and answers questions from a
// queue the test fills (No when the queue is empty).
class RecordingPrompter final : public Prompter
{
public:
    struct Shown
    {
        QString title;
        QString text;
        MessageIcon icon;
        bool question;
    };

    Answer ask(const QString &title, const QString &text, MessageIcon icon) override
    {
        shown.append({title, text, icon, true});
        if (whileAsking)
            whileAsking();
        return answers.isEmpty() ? Answer::No : answers.takeFirst();
    }
    void tell(const QString &title, const QString &text, MessageIcon icon) override
    {
        shown.append({title, text, icon, false});
    }
    QString saveFileName(const QString &folder, const QString &fileName,
                         const QString &filter) override
    {
        dialogs.append({folder, fileName, filter});
        return files.isEmpty() ? QString() : files.takeFirst();
    }
    QString openFileName(const QString &folder, const QString &fileName,
                         const QString &filter) override
    {
        dialogs.append({folder, fileName, filter});
        return files.isEmpty() ? QString() : files.takeFirst();
    }
    std::optional<qint32> chooseColor(qint32) override
    {
        if (colors.isEmpty())
            return std::nullopt;
        return colors.takeFirst();
    }

    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }

    QList<Answer> answers;       // answers to questions, in order
    // Runs while a question is open, before it is answered: what the program
    // does behind a question (timers, other events) happens here.
    std::function<void()> whileAsking;
    QStringList files;           // paths the file dialogs return, in order
    QList<qint32> colors;        // colours the colour dialog returns
    QList<Shown> shown;          // every message and question, in order
    QList<QStringList> dialogs;  // folder, file name, filter of each file dialog
};

} // namespace cdk::test
