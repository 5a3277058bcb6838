#pragma once

#include <QDate>

class QWidget;

namespace cdk {
class Prompter;
class TaskOperations;

// What the module chronodeck-reports offers the window program: the Reports
// window, made on the window's operations and prompter.
using CreateReportsWindow = QWidget *(*)(TaskOperations &operations, Prompter &prompter,
                                         const QDate &day, QWidget *parent);

} // namespace cdk

// The name the window program looks the function up by.
#define CHRONODECK_REPORTS_ENTRY "chronodeck_create_reports_window"
