#pragma once

#include <QDialog>
#include <QString>

class QDateTime;
class QLabel;

namespace cdk {

// frmAway: the question put when the user comes back to the computer after a
// time away while a task was tracked. It never blocks: the tracker counts on
// while it is open, and its answer comes as answered(). Closing it keeps the
// time, so a question left open loses nothing.
class AwayDialog final : public QDialog
{
    Q_OBJECT

public:
    enum class Choice { Keep, Discard, DiscardAndStop };
    Q_ENUM(Choice)

    AwayDialog(const QString &text, QWidget *parent = nullptr);

    // "You were away from 12:04 to 12:51 (47 minutes) while tracking Write
    // the report.", the times in the locale's short format.
    static QString questionText(const QDateTime &from, const QDateTime &to, qint64 seconds,
                                const QString &subject);

Q_SIGNALS:
    // Sent once, when the dialog closes.
    void answered(cdk::AwayDialog::Choice choice);

protected:
    void done(int result) override;

private:
    Choice m_choice = Choice::Keep;
};

} // namespace cdk
