// The yardstick of the start-up benchmark: a bare Qt Widgets window of the
// main window's shape (a menu bar of four menus, a row of fourteen buttons, a
// date editor and an empty grid of eight columns, 800 x 540) with nothing
// behind it: no data folder, no database, no settings, no icons, no tray.
// What the program needs beyond this window's start-up is its own cost.
#include <QApplication>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMainWindow>
#include <QMenuBar>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare reference window"));

    const char *menus[] = {"&File", "&Task", "&View", "&Help"};
    for (const char *caption : menus) {
        QMenu *menu = window.menuBar()->addMenu(QString::fromLatin1(caption));
        for (int entry = 1; entry <= 6; ++entry)
            menu->addAction(QStringLiteral("Entry %1").arg(entry));
    }

    auto *central = new QWidget(&window);
    auto *column = new QVBoxLayout(central);
    auto *row = new QHBoxLayout;
    for (int button = 1; button <= 14; ++button) {
        auto *b = new QToolButton(central);
        b->setText(QString::number(button));
        b->setAutoRaise(true);
        row->addWidget(b);
    }
    row->addStretch();
    row->addWidget(new QDateEdit(QDate::currentDate(), central));
    column->addLayout(row);

    QStandardItemModel model(0, 8);
    auto *grid = new QTableView(central);
    grid->setModel(&model);
    grid->verticalHeader()->hide();
    column->addWidget(grid);

    window.setCentralWidget(central);
    window.resize(800, 540);
    window.show();
    return QApplication::exec();
}
