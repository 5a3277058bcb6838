#include "editing/BatchModifyDialog.h"

#include "base/Functions.h"
#include "base/Log.h"
#include "base/Prompter.h"
#include "controls/DatePicker.h"
#include "controls/Icons.h"
#include "core/ShownDay.h"
#include "core/TaskOperations.h"
#include "editing/TaskDialogHost.h"
#include "store/StoreError.h"
#include "store/Vocabulary.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace cdk {

namespace {

QComboBox *numberBox(const char *name, const QStringList &items, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    box->setEditText(QStringLiteral("0"));
    // Room for a typed number of a few digits beside the arrow.
    box->setMinimumContentsLength(4);
    return box;
}

QWidget *panel(const char *name, QWidget *parent)
{
    auto *w = new QWidget(parent);
    w->setObjectName(QString::fromLatin1(name));
    w->hide();
    return w;
}

} // namespace

BatchModifyDialog::BatchModifyDialog(TaskOperations &operations, Prompter &prompter,
                                     TaskDialogHost &host, const ShownDay &day, QWidget *parent)
    : QDialog(parent)
    , m_operations(operations)
    , m_prompter(prompter)
    , m_host(host)
    , m_day(day)
{
    setObjectName(QStringLiteral("frmModify"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setModal(true);
    // The dialog has no title text of its own. An empty title would make the
    // platform put the program's name into the frame; a blank one does not.
    setWindowTitle(QStringLiteral(" "));

    // ---- Time done
    m_fraTimeDone = panel("fraTimeDone", this);
    QStringList hours;
    for (int h = 0; h <= 9; ++h)
        hours << QString::number(h);
    hours << QStringLiteral("10") << QStringLiteral("15") << QStringLiteral("20")
          << QStringLiteral("25") << QStringLiteral("30") << QStringLiteral("40")
          << QStringLiteral("50") << QStringLiteral("100");
    QStringList minutes;
    for (int m = 5; m <= 55; m += 5)
        minutes << QString::number(m);
    m_cmbHours = numberBox("cmbHours", hours, m_fraTimeDone);
    m_cmbMinutes = numberBox("cmbMinutes", minutes, m_fraTimeDone);
    auto *timeRow = new QHBoxLayout(m_fraTimeDone);
    timeRow->setContentsMargins(0, 0, 0, 0);
    timeRow->addWidget(m_cmbHours);
    timeRow->addWidget(new QLabel(tr("hour(s) and"), m_fraTimeDone));
    timeRow->addWidget(m_cmbMinutes);
    timeRow->addWidget(new QLabel(tr("minutes"), m_fraTimeDone));
    timeRow->addStretch(1);

    // ---- Another day
    m_fraMoveToAnyProject = panel("fraMoveToAnyProject", this);
    m_dtpDate = new DatePicker(m_fraMoveToAnyProject);
    m_dtpDate->setObjectName(QStringLiteral("dtpDate"));
    m_dtpDate->setToolTip(tr("The day the tasks move to"));
    auto *dayRow = new QHBoxLayout(m_fraMoveToAnyProject);
    dayRow->setContentsMargins(0, 0, 0, 0);
    dayRow->addWidget(m_dtpDate, 1);

    // ---- Category
    m_gpCategory = panel("gpCategory", this);
    m_cmbCategory = new QComboBox(m_gpCategory);
    m_cmbCategory->setObjectName(QStringLiteral("cmbCategory"));
    m_cmbCategory->setMinimumContentsLength(16);
    auto *categoryRow = new QHBoxLayout(m_gpCategory);
    categoryRow->setContentsMargins(0, 0, 0, 0);
    categoryRow->addWidget(m_cmbCategory, 1);

    m_cmdOK = new QPushButton(tr("&OK"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setDefault(true);
    m_cmdCancel = new QPushButton(tr("C&ancel"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdCancel->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdCancel);

    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(12, 12, 12, 12);
    root->setSpacing(12);
    root->addWidget(m_fraTimeDone);
    root->addWidget(m_fraMoveToAnyProject);
    root->addWidget(m_gpCategory);
    root->addLayout(buttons);
    root->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_cmdOK, &QPushButton::clicked, this, &BatchModifyDialog::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void BatchModifyDialog::ShowEx(int mode, const QDate &today, QWidget *owner)
{
    m_mode = mode;
    m_fraTimeDone->setVisible(mode == TimeDone);
    m_fraMoveToAnyProject->setVisible(mode == MoveToAnyDay);
    m_gpCategory->setVisible(mode == Category);
    switch (mode) {
    case TimeDone:
        setWindowIcon(iconForKey(QStringLiteral("CLOCK")));
        m_cmbHours->setFocus();
        m_cmbHours->lineEdit()->selectAll();
        break;
    case MoveToAnyDay:
        setWindowIcon(iconForKey(QStringLiteral("MOVEX")));
        m_dtpDate->setDate(today);
        m_dtpDate->setFocus();
        break;
    case Category:
        setWindowIcon(iconForKey(QStringLiteral("FOLDERFLAT")));
        m_cmbCategory->clear();
        try {
            for (const CategoryRecord &c : m_operations.categories())
                m_cmbCategory->addItem(c.Name, c.ID);
        } catch (const StoreError &e) {
            ShowErrorMessage(m_prompter, tr("The categories could not be read."),
                             e.code(), e.message());
        }
        if (m_cmbCategory->count() > 0)
            m_cmbCategory->setCurrentIndex(0);
        m_cmbCategory->setFocus();
        break;
    default:
        break;
    }
    if (owner && owner != parentWidget())
        setParent(owner, windowFlags());
    ModalDialogScope modal(m_host);
    exec();
}

void BatchModifyDialog::cmdOK_Click()
{
    // The tasks selected now, read once the user has decided.
    const QList<qint32> ids = m_day.selectedIds();
    const QString list = m_day.listKey();
    try {
        switch (m_mode) {
        case TimeDone: {
            // Typed text is read as numbers are read everywhere: "abc" is 0,
            // a negative or fractional value is taken as it stands.
            const double total
                = BasicVal(m_cmbHours->currentText()) * 60 + BasicVal(m_cmbMinutes->currentText());
            m_operations.setTimeDone(list, ids, RoundHalfEven(total));
            break;
        }
        case MoveToAnyDay:
            m_operations.moveTasks(list, ids, DayListKey(m_dtpDate->date()));
            break;
        case Category:
            if (m_cmbCategory->currentIndex() >= 0)
                m_operations.setCategory(list, ids, m_cmbCategory->currentData().toInt());
            break;
        default:
            break;
        }
    } catch (const StoreError &e) {
        qCWarning(lcStore) << "batch change refused:" << e.code() << e.message();
        if (e.isReadyToShow())
            m_prompter.tell(programName(), e.userMessage(), MessageIcon::Exclamation);
        else
            ShowErrorMessage(m_prompter,
                             tr("The tasks could not be changed; they are as they were."),
                             e.code(), e.message());
    }
    accept();
}

} // namespace cdk
