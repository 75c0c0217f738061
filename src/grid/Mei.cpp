#include "grid/Mei.h"

#include "grid/FilterKey.h"
#include "grid/GridModel.h"

namespace Mei {


void AdvanceCursor(GridView& grid, int& column, int& row, int step) {
    GridModel& model = grid.Model();
    if (step > 0) {
        // The row test comes first: past the last row wraps to the top of a
        // later column even when the column is past the last one too.
        if (row >= model.Rows()) {
            row = 1;
            column += step;
        } else if (column >= model.Cols()) {
            row += step;
            column = 1;
        }
    }
    // A coordinate outside the data cells is left where it was, so a move
    // beyond the last row or column never fails.
    if (row > 0 && row < model.Rows()) {
        model.SetRow(row);
    }
    if (column > 0 && column < model.Cols()) {
        model.SetCol(column);
    }
    grid.SetFocus();
}

void StartEditByKey(GridView& grid, CellEditor& editor, int code, FilterKind kind,
                    const QString& typed) {
    if (code < 0 || code > 31) {
        if (code == kKeySpace) {
            ShowEditor(grid, editor, grid.Model().Text(), 0, 0);
            return;
        }
        const int kept = FilterKey(code, kind);
        QString text;
        if (kept > 0) {
            text = QString(CodeChar(kept));
        } else if (kept < 0) {
            text = FilterText(typed, kind);
        }
        // The caret goes after what was typed; that is one character unless
        // an input method delivered several at once.
        ShowEditor(grid, editor, text, text.size() > 1 ? static_cast<int>(text.size()) : 1, 0);
    } else if (code == kKeyBack) {
        ShowEditor(grid, editor, QString(), kCaretAtEnd, 0);
    }
}

void ShowEditor(GridView& grid, CellEditor& editor, const QString& text, int caret, int selection) {
    editor.SetText(text);
    editor.SetSelStart(caret);
    editor.SetSelLength(selection);
    // Laid exactly over the cell, without margin: the grid's position in the
    // window plus the cell's position in the grid, all twips.
    const TwipRect cell = grid.CurrentCellRect();
    editor.Move({grid.Left() + cell.left, grid.Top() + cell.top, cell.width, cell.height});
    editor.Show();
    editor.SetFocus();
    grid.Model().lEditCol = grid.Model().Col();
    grid.Model().lEditRow = grid.Model().Row();
}

void GridKeyDown(GridView& grid, CellEditor& editor, int keyCode) {
    if (keyCode == kKeyDelete) {
        StartEditByKey(grid, editor, kKeyBack, FilterKind::Anything);
    }
}

void GridScrolled(GridView& grid, CellEditor& editor) {
    if (editor.IsVisible()) {
        grid.SetFocus();
    }
}

void EditorKeyDown(GridView& grid, CellEditor& editor, int keyCode, int /*shift*/) {
    GridModel& model = grid.Model();
    switch (keyCode) {
    case kKeyEscape:
        // Esc does not discard: hiding the focused editor commits it.
        editor.Hide();
        grid.SetFocus();
        break;
    case kKeyReturn:
        grid.SetFocus();
        break;
    case kKeyUp:
    case kKeyDown: {
        // The commit (and its advance) must have run before the row moves,
        // so the move starts from the cell the advance chose.
        grid.SetFocus();
        grid.ProcessPendingEvents();
        const int delta = keyCode == kKeyUp ? -1 : 1;
        if (keyCode == kKeyUp ? model.Row() > model.FixedRows() : model.Row() < model.Rows() - 1) {
            model.SetRow(model.Row() + delta);
        }
        if (!grid.RowIsVisible(model.Row())) {
            // Scrolling past the first or last data row is simply not done.
            const int top = grid.TopRow() + delta;
            if (top >= model.FixedRows() && top < model.Rows()) {
                grid.SetTopRow(top);
            }
        }
        break;
    }
    default:
        break;
    }
}

void CommitEdit(GridView& grid, CellEditor& editor, bool fillDown) {
    GridModel& model = grid.Model();
    editor.Hide();
    // The cell the editor was opened on, wherever the cursor is now.
    model.SetTextMatrix(model.lEditRow, model.lEditCol, editor.Text());
    int column = model.Col();
    int row = model.Row();
    if (fillDown) {
        ++row;
    } else {
        ++column;
    }
    AdvanceCursor(grid, column, row, 1);
}

}  // namespace Mei
