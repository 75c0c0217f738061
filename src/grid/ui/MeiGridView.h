#pragma once

#include "grid/CellRange.h"
#include "grid/ui/GridTableModel.h"
#include "grid/GridView.h"

#include <QTableView>

// The detail grid msgMei: a read-only table view over a GridModel whose
// cursor is the model's (Row, Col). It reports the grid's key presses, key
// downs and scrolling to the window instead of editing cells itself; the arrow
// keys and the mouse move the cursor as the view's own navigation does.
//
// The operator may select a rectangle of cells (a drag, Shift with a click or
// the arrow keys); the cursor is then the cell the selection was extended to.
// Every cursor move the program makes leaves the selection on the new cursor
// cell alone, whatever keys are held down.
class MeiGridView : public QTableView, public GridView {
    Q_OBJECT
public:
    explicit MeiGridView(GridModel& grid, QWidget* parent = nullptr);

    // GridView
    GridModel& Model() override { return model_.Grid(); }
    void SetFocus() override;
    int Left() const override;
    int Top() const override;
    TwipRect CurrentCellRect() const override;
    bool RowIsVisible(int row) const override;
    int TopRow() const override;
    void SetTopRow(int row) override;
    void ProcessPendingEvents() override;

    double Dpi() const;

    // The selected rectangle of data cells in the grid's numbering; the
    // cursor's cell when nothing else is selected.
    CellRange SelectedRange() const;

    // Many values written in a row (a paste, a load): the view catches up
    // once at the end instead of after every value.
    void BeginBulkChange() { model_.BeginBulkChange(); }
    void EndBulkChange() { model_.EndBulkChange(); }

signals:
    // A character typed on the grid: its code (negative for a double-byte
    // character) and the text the keyboard or input method delivered.
    void keyPress(int code, const QString& text);
    // A key went down: its virtual key code and the shift state.
    void keyDown(int keyCode, int shift);
    // The grid was scrolled, by the operator or by a cursor move.
    void scrolled();
    // The selected cells changed (not their texts).
    void selectedRangeChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;
    QItemSelectionModel::SelectionFlags selectionCommand(
        const QModelIndex& index, const QEvent* event = nullptr) const override;

private:
    void FollowModelCursor();
    void ApplyColWidth(int col);

    GridTableModel model_;
    // The view follows a cursor the program placed in the model...
    bool syncing_ = false;
    // ...or the model follows the view's own navigation: nothing to follow
    // back then.
    bool reporting_ = false;
};

// The virtual key code and shift state of a Qt key event, as the window's
// key handlers receive them (F12 is 123, Delete 46, ...). 0 for keys the
// program does not name.
int VirtualKeyCode(const QKeyEvent& event);
int ShiftState(Qt::KeyboardModifiers modifiers);
