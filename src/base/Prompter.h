#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace cdk {

enum class MessageIcon { None, Information, Question, Exclamation, Critical };
enum class Answer { Yes, No };

// Every question, message and file or colour choice the program puts to the
// user goes through here, so nothing modal ever blocks a test.
class Prompter
{
public:
    virtual ~Prompter() = default;

    // A question with the buttons Yes and No.
    virtual Answer ask(const QString &title, const QString &text, MessageIcon icon) = 0;
    // A message with a single OK button.
    virtual void tell(const QString &title, const QString &text, MessageIcon icon) = 0;
    // File dialogs; an empty result means the user cancelled.
    virtual QString saveFileName(const QString &folder, const QString &fileName,
                                 const QString &filter) = 0;
    virtual QString openFileName(const QString &folder, const QString &fileName,
                                 const QString &filter) = 0;
    // Colour dialog with colours as R + 256 * G + 65536 * B; nothing when cancelled.
    virtual std::optional<qint32> chooseColor(qint32 initial) = 0;
};

} // namespace cdk
