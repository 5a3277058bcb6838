#include "reports/ReportsModule.h"

#include "reports/ReportsWindow.h"

extern "C" Q_DECL_EXPORT QWidget *chronodeck_create_reports_window(cdk::TaskOperations &operations,
                                                                   cdk::Prompter &prompter,
                                                                   const QDate &day,
                                                                   QWidget *parent)
{
    return new cdk::ReportsWindow(operations, prompter, day, parent);
}

// The window program checks that it loads the function it expects.
static_assert(std::is_same_v<decltype(&chronodeck_create_reports_window), cdk::CreateReportsWindow>);
