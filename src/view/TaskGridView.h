#pragma once

#include <QElapsedTimer>
#include <QPoint>
#include <QTableView>

#include <functional>

namespace cdk {

// The task grid "SGrid". It shows the rows and turns the user's keys and
// clicks into signals; the commands themselves belong to the main window.
// Rows and columns in the signals are numbered from 1, as the design counts
// them; columns are the model's (logical) columns, whatever their order on
// screen.
class TaskGridView final : public QTableView
{
    Q_OBJECT

public:
    explicit TaskGridView(QWidget *parent = nullptr);

    // Two releases of a button other than the right one closer than this on
    // an empty grid ask for a new task.
    static constexpr qint64 doubleReleaseMs = 400;

    // The row the keyboard commands start from: the current row when it is
    // selected, else the topmost selected row; 0 when nothing is selected.
    int selectedRow() const;
    // Selected rows, top to bottom (1-based).
    QList<int> selectedRows() const;
    void selectRow1Based(int row, bool addToSelection);

    // While muted, programmatic width and order changes are not reported.
    void setColumnSignalsMuted(bool muted) { m_columnsMuted = muted; }
    // The subject column takes whatever width the other columns leave free,
    // wider or narrower than the user's own width;
    // this runs `save` with it at the width the user gave it, so a width
    // stretched by a wide window is never kept as the user's.
    void withOwnColumnWidths(const std::function<void()> &save);
    int subjectOwnWidth() const { return m_subjectWidth; }

Q_SIGNALS:
    void checkboxClicked(int row);
    void altLeftPressed();
    void rightReleased(const QPoint &globalPos);
    void emptyGridDoubleRelease();
    void rowDoubleClicked(int row);
    void headerClicked(int column);
    void headerRightClicked(const QPoint &globalPos);
    void columnsChanged();

    void spacePressed();
    void enterPressed();
    void deletePressed();
    void copyPressed();
    // After every key press, with or without a command.
    void keyHandled();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    // Adds the rows from the selected one to the given end to the selection.
    void extendSelectionTo(int lastRow);
    void fitSubjectColumn();

    QElapsedTimer m_lastRelease;
    bool m_columnsMuted = false;
    bool m_fitting = false;
    int m_subjectWidth = 0;
};

} // namespace cdk
