#pragma once

#include <QWidget>

class QPushButton;

namespace cdk {

// "Quick Tutorial": two pages of text on how the program is used, opened
// without blocking the main window. Every page element carries the tag
// "STEP1" or "STEP2"; the first button flips between the pages.
class TutorialWindow final : public QWidget
{
    Q_OBJECT

public:
    explicit TutorialWindow(QWidget *parent = nullptr);

    // 1 or 2.
    int page() const;

private:
    void cmdOK_Click();
    void showPage(const QString &tag);

    QPushButton *m_cmdOK = nullptr;
    QPushButton *m_cmdCancel = nullptr;
    int m_page = 1;
};

} // namespace cdk
