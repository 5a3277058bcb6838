// The category manager and the batch modify dialog as a user meets them in
// the main window: what ends up in the database, what the grid and the
// tracker panel show afterwards.
#include "MainWindowHarness.h"

#include "common/DarkPalette.h"
#include "controls/Contrast.h"
#include "controls/DatePicker.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <optional>
#include <memory>

using namespace cdk;
using test::makeTask;
using test::words;
using test::whenModal;
using test::in;
using test::click;

class TestCategoriesAndBatch final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<test::MainWindowHarness> h;

    static void selectCategoryRow(QWidget *dialog, int row)
    {
        auto *grid = in<QTreeWidget>(dialog, "CatGrid");
        grid->setCurrentItem(grid->topLevelItem(row - 1));
    }
    QList<CategoryRecord> categories() { return h->store().categories(); }

    void openManager(std::function<void(QWidget *)> act)
    {
        whenModal("frmCategories", std::move(act));
        h->action("mnuManageCategories")->trigger();
    }
    void batch(const char *command, std::function<void(QWidget *)> act)
    {
        whenModal("frmModify", [act](QWidget *dialog) {
            act(dialog);
            click(dialog, "cmdOK");
        });
        h->action(command)->trigger();
    }

private Q_SLOTS:
    void init() { h = std::make_unique<test::MainWindowHarness>(); }
    void cleanup() { test::MainWindowHarness::finish(h); }

    // A name is stored as typed, blanks included, with -1 for the "Default"
    // colours; a blank name is refused and the panel stays open. The grid
    // shows a renamed category once the manager closes, not before.
    void addAndRename()
    {
        h->addTask(h->today(), makeTask(1, QStringLiteral("Alpha")));
        h->showWindow();
        const qsizetype before = categories().size();
        QStringList shownWhileOpen;
        openManager([&](QWidget *dialog) {
            click(dialog, "cmdAddNew");
            QCOMPARE(in<QGroupBox>(dialog, "gpAddEdit")->title(),
                     QStringLiteral("Add New Category"));
            in<QLineEdit>(dialog, "txtName")->setText(QStringLiteral("   "));
            click(dialog, "cmdOK");
            QVERIFY(in<QGroupBox>(dialog, "gpAddEdit")->isVisible());
            in<QLineEdit>(dialog, "txtName")->setText(QStringLiteral("  Errands  "));
            click(dialog, "cmdOK");
            QVERIFY(!in<QGroupBox>(dialog, "gpAddEdit")->isVisible());
            QCOMPARE(in<QTreeWidget>(dialog, "CatGrid")->topLevelItemCount(), before + 1);

            selectCategoryRow(dialog, 1);
            click(dialog, "cmdEdit");
            QCOMPARE(in<QLineEdit>(dialog, "txtName")->text(), QStringLiteral("Work"));
            in<QLineEdit>(dialog, "txtName")->setText(QStringLiteral("Office"));
            click(dialog, "cmdOK");
            shownWhileOpen << h->grid().cellText(1, ColCategory);
            click(dialog, "cmdClose");
        });
        QCOMPARE(h->prompter.shown.size(), 1);
        QCOMPARE(h->prompter.shown.first().text,
                 QStringLiteral("Please specify the name of category!"));
        QCOMPARE(h->prompter.shown.first().icon, MessageIcon::Information);
        h->takeShown();

        const CategoryRecord added = categories().last();
        QCOMPARE(added.Name, QStringLiteral("  Errands  "));
        QCOMPARE(added.ID, 9);
        QCOMPARE(added.BackColor, -1);
        QCOMPARE(added.ForeColor, -1);
        QCOMPARE(categories().first().BackColor, 10020801); // renaming kept the colours
        QCOMPARE(shownWhileOpen, words("Work"));
        QCOMPARE(h->grid().cellText(1, ColCategory), QStringLiteral("Office"));
    }

    // A picked colour unticks its "Default" box; ticking it again puts the
    // desktop's colour back and stores -1. Cancelling the colour dialog
    // changes nothing.
    void coloursAndDefaults()
    {
        h->showWindow();
        openManager([&](QWidget *dialog) {
            selectCategoryRow(dialog, 2); // "Personal", a background of its own
            click(dialog, "cmdEdit");
            auto *backDefault = in<QCheckBox>(dialog, "chkUseDefault(0)");
            auto *textDefault = in<QCheckBox>(dialog, "chkUseDefault(1)");
            QVERIFY(!backDefault->isChecked());
            QVERIFY(textDefault->isChecked());
            auto *preview = in<QLabel>(dialog, "lblPreview");
            const QColor systemBack = preview->palette().color(QPalette::Base);

            h->prompter.colors << 0x0000FF; // red
            click(dialog, "cmdPickColor(1)");
            QVERIFY(!textDefault->isChecked());
            QCOMPARE(preview->palette().color(QPalette::WindowText), QColor(255, 0, 0));
            click(dialog, "cmdPickColor(1)"); // cancelled
            QVERIFY(!textDefault->isChecked());
            QCOMPARE(preview->palette().color(QPalette::WindowText), QColor(255, 0, 0));

            backDefault->click();
            QVERIFY(backDefault->isChecked());
            QCOMPARE(preview->palette().color(QPalette::Window), systemBack);
            click(dialog, "cmdOK");
            click(dialog, "cmdClose");
        });
        const CategoryRecord personal = categories().at(1);
        QCOMPARE(personal.Name, QStringLiteral("Personal"));
        QCOMPARE(personal.BackColor, -1);
        QCOMPARE(personal.ForeColor, 0x0000FF);
    }

    // In a dark palette the default (light) text would vanish on a pastel:
    // the list and the panel preview it as the grid shows it, readable. The
    // list shows each colour as the grid does, a deep shade of the stored one.
    void previewsReadInADarkPalette()
    {
        std::optional<test::DarkPaletteScope> dark(std::in_place);
        for (qint32 category = 1; category <= 8; ++category) {
            TaskRecord task = makeTask(category, QStringLiteral("Task %1").arg(category));
            task.Category = category;
            h->addTask(h->today(), task);
        }
        h->showWindow();
        // What the grid paints behind each category's task, by name.
        QHash<QString, QColor> inGrid;
        QAbstractItemModel *rows = h->grid().model();
        for (int row = 0; row < rows->rowCount(); ++row) {
            const qint32 category
                = rows->index(row, ColSubject - 1).data().toString().section(u' ', 1).toInt();
            const QVariant back = rows->index(row, ColSubject - 1).data(Qt::BackgroundRole);
            inGrid[h->store().categories().at(category - 1).Name]
                = back.isValid() ? back.value<QBrush>().color() : QColor();
        }
        QCOMPARE(inGrid.size(), 8);
        openManager([&](QWidget *dialog) {
            auto *list = in<QTreeWidget>(dialog, "CatGrid");
            QCOMPARE(list->topLevelItemCount(), 8);
            for (int i = 0; i < list->topLevelItemCount(); ++i) {
                const QTreeWidgetItem *item = list->topLevelItem(i);
                const QColor back = item->data(1, Qt::BackgroundRole).isValid()
                    ? item->background(1).color()
                    : QColor();
                QCOMPARE(back, inGrid.value(item->text(0)));
                // Without a colour of its own the item is drawn in the palette's text.
                const QVariant set = item->data(1, Qt::ForegroundRole);
                const QColor fore = set.isValid() ? set.value<QBrush>().color()
                                                  : list->palette().color(QPalette::Text);
                QVERIFY2(contrastRatio(fore, item->background(1).color()) >= 4.5,
                         qPrintable(item->text(0)));
            }
            selectCategoryRow(dialog, 2); // "Personal": its own background, default text
            click(dialog, "cmdEdit");
            auto *preview = in<QLabel>(dialog, "lblPreview");
            QVERIFY(contrastRatio(preview->palette().color(QPalette::WindowText),
                                  preview->palette().color(QPalette::Window))
                    >= 4.5);
            click(dialog, "cmdCancel");
            click(dialog, "cmdClose");
        });
        dark.reset();
        // Nothing was stored by looking.
        QCOMPARE(categories().at(1).ForeColor, -1);
    }

    // Deleting asks first; the tasks of a deleted category stay, keep its
    // number, show "(none)" and keep it through an edit that does not pick
    // another. The last category cannot go.
    void deleteKeepsTasksAndTheLastCategory()
    {
        TaskRecord chore = makeTask(1, QStringLiteral("Dishes"));
        chore.Category = 3;
        h->addTasks(h->today(), {chore, makeTask(2, QStringLiteral("Report"))});
        h->showWindow();
        openManager([&](QWidget *dialog) {
            selectCategoryRow(dialog, 3);
            click(dialog, "cmdDelete"); // answered No
            h->prompter.answers << Answer::Yes;
            click(dialog, "cmdDelete");
            click(dialog, "cmdClose");
        });
        const QList<test::RecordingPrompter::Shown> asked = h->takeShown();
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked.first().text,
                 QStringLiteral("Do you really want to delete Chore category?"));
        QCOMPARE(asked.first().icon, MessageIcon::Question);
        QCOMPARE(categories().size(), 7);
        QCOMPARE(h->shownSubjects(), words("Dishes Report"));
        QCOMPARE(h->grid().cellText(1, ColCategory), QStringLiteral("(none)"));

        whenModal("frmAddTask", [](QWidget *dialog) {
            QCOMPARE(in<QComboBox>(dialog, "cmbCategory")->currentText(), QStringLiteral("(none)"));
            click(dialog, "cmdOK");
        });
        h->clickCell(1, ColSubject);
        h->action("mnuEditTask")->trigger();
        QCOMPARE(h->stored(h->today(), 1)->Category, 3);

        for (const CategoryRecord &c : categories().mid(1))
            h->context().operations.deleteCategory(c.ID);
        openManager([&](QWidget *dialog) {
            QCOMPARE(in<QTreeWidget>(dialog, "CatGrid")->topLevelItemCount(), 1);
            click(dialog, "cmdDelete");
            click(dialog, "cmdClose");
        });
        QCOMPARE(h->prompter.lastText(),
                 QStringLiteral("Unable to delete, You need to have at least one category."));
        h->takeShown();
        QCOMPARE(categories().size(), 1);

        // The database decides, not the rows the dialog happens to show:
        // with two shown but one left in the file, nothing is asked.
        const qint32 spare = h->context().operations.addCategory(QStringLiteral("Spare"), -1, -1);
        openManager([&](QWidget *dialog) {
            QCOMPARE(in<QTreeWidget>(dialog, "CatGrid")->topLevelItemCount(), 2);
            {
                TaskStore other(QFileInfo(h->store().DatabasePath()).path());
                other.OpenTaskDatabase(TaskStore::OpenCheck::OnUse);
                QVERIFY(other.DeleteCategory(categories().first().ID));
            }
            selectCategoryRow(dialog, 2);
            h->prompter.answers << Answer::Yes;
            click(dialog, "cmdDelete");
            click(dialog, "cmdClose");
        });
        const QList<test::RecordingPrompter::Shown> told = h->takeShown();
        QCOMPARE(told.size(), 1);
        QCOMPARE(told.first().text,
                 QStringLiteral("Unable to delete, You need to have at least one category."));
        QCOMPARE(told.first().icon, MessageIcon::Information);
        QCOMPARE(categories().size(), 1);
        QCOMPARE(categories().first().ID, spare);
    }

    // 2 hours 30 minutes on budgets of 90 and 240 minutes: each is capped by
    // its own; the tracked one's panel follows at once and goes on counting.
    void timeDoneCappedPerTask()
    {
        h->addTasks(h->today(),
                    {makeTask(1, QStringLiteral("Alpha"), 90, 5),
                     makeTask(2, QStringLiteral("Bravo"), 240, 5),
                     makeTask(3, QStringLiteral("Charlie"), 60, 10)});
        h->showWindow();
        h->startTracking(2);
        h->clock.advance(30'000);
        QTRY_COMPARE(h->stored(h->today(), 2)->FinishedSeconds, quint8(30));
        h->selectRows({1, 2});

        batch("mnuSetTimeDone", [](QWidget *dialog) {
            QVERIFY(in<QWidget>(dialog, "fraTimeDone")->isVisible());
            QVERIFY(!in<QWidget>(dialog, "gpCategory")->isVisible());
            QCOMPARE(in<QComboBox>(dialog, "cmbMinutes")->currentText(), QStringLiteral("0"));
            in<QComboBox>(dialog, "cmbHours")->setEditText(QStringLiteral("2"));
            in<QComboBox>(dialog, "cmbMinutes")->setEditText(QStringLiteral("30"));
        });
        QCOMPARE(h->stored(h->today(), 1)->FinishedDuration, 90);
        QCOMPARE(h->stored(h->today(), 2)->FinishedDuration, 150);
        QCOMPARE(h->stored(h->today(), 2)->FinishedSeconds, quint8(0));
        QCOMPARE(h->stored(h->today(), 3)->FinishedDuration, 10);
        QCOMPARE(h->grid().cellText(2, ColTimeDone), QStringLiteral("2:30"));
        QVERIFY2(h->label("lblStatus").startsWith(QStringLiteral("Done: [2:30 / 4:00]")),
                 qPrintable(h->label("lblStatus")));
        QCOMPARE(h->grid().selectedTaskIds(), (QList<qint32> {1, 2}));
        QVERIFY(h->tracker().TrackingActive);
        h->clock.advance(60'000);
        QTRY_COMPARE(h->stored(h->today(), 2)->FinishedDuration, 151);
    }

    // The chosen day gets the tasks; the day on view is refilled without
    // them (a tracked task follows as on a move to the next day).
    void moveToAnyDay()
    {
        h->addTasks(h->today(),
                    {makeTask(1, QStringLiteral("Alpha")), makeTask(2, QStringLiteral("Bravo")),
                     makeTask(3, QStringLiteral("Charlie"))});
        h->showWindow();
        h->selectRows({1, 3});
        const QDate target = h->clock.today().addDays(5);
        batch("mnuMoveTasksToAnyDay", [&](QWidget *dialog) {
            auto *date = in<DatePicker>(dialog, "dtpDate");
            QCOMPARE(date->date(), h->clock.today());
            date->setDate(target);
        });
        QCOMPARE(h->shownSubjects(), words("Bravo"));
        QStringList moved;
        for (const TaskRecord &t : h->store().tasksOfList(DayListKey(target)))
            moved << t.Subject;
        QCOMPARE(moved, words("Alpha Charlie"));
    }

    // Moving to the day on view renumbers the chosen tasks to its end, in
    // grid order, as a move to any other day does; one undo puts them back.
    void moveToTheDayShownRenumbers()
    {
        h->addTasks(h->today(),
                    {makeTask(1, QStringLiteral("Alpha")), makeTask(2, QStringLiteral("Bravo")),
                     makeTask(3, QStringLiteral("Charlie"))});
        h->showWindow();
        h->selectRows({1, 3});
        batch("mnuMoveTasksToAnyDay", [](QWidget *) {});
        QStringList numbered;
        for (const TaskRecord &t : h->store().tasksOfList(h->today()))
            numbered << QStringLiteral("%1 %2").arg(t.ID).arg(t.Subject);
        numbered.sort();
        QCOMPARE(numbered, (QStringList {QStringLiteral("2 Bravo"), QStringLiteral("4 Alpha"),
                                         QStringLiteral("5 Charlie")}));
        QVERIFY(h->grid().rowOfTask(4) > 0 && h->grid().rowOfTask(5) > 0);
        QCOMPARE(h->shownSubjects().size(), 3);
        h->action("mnuUndo")->trigger();
        QVERIFY(h->stored(h->today(), 1).has_value());
        QVERIFY(h->stored(h->today(), 3).has_value());
        QVERIFY(!h->stored(h->today(), 4).has_value());
    }

    // The chosen category for every selected task; they stay selected.
    void setCategoryKeepsSelection()
    {
        h->addTasks(h->today(),
                    {makeTask(1, QStringLiteral("Alpha")), makeTask(2, QStringLiteral("Bravo")),
                     makeTask(3, QStringLiteral("Charlie"))});
        h->showWindow();
        h->selectRows({2, 3});
        batch("mnuSetTaskCategory", [](QWidget *dialog) {
            auto *box = in<QComboBox>(dialog, "cmbCategory");
            QCOMPARE(box->currentText(), QStringLiteral("Work"));
            box->setCurrentIndex(box->findText(QStringLiteral("Health")));
        });
        QCOMPARE(h->stored(h->today(), 1)->Category, 1);
        QCOMPARE(h->stored(h->today(), 2)->Category, 4);
        QCOMPARE(h->stored(h->today(), 3)->Category, 4);
        QCOMPARE(h->grid().cellText(3, ColCategory), QStringLiteral("Health"));
        QCOMPARE(h->grid().selectedTaskIds(), (QList<qint32> {2, 3}));
    }
};

QTEST_MAIN(TestCategoriesAndBatch)
#include "test_categories_and_batch.moc"
