#pragma once

#include "grid/CellEditor.h"
#include "grid/FilterKey.h"
#include "grid/GridView.h"

#include <QString>

// The grid cursor and cell-editor procedures. They take the grid and the
// editor as arguments so they are not tied to one window.
namespace Mei {

// Key codes as the grid and editor handlers receive them: character codes
// for key presses, virtual key codes for key downs.
inline constexpr int kKeyBack = 8;
inline constexpr int kKeyReturn = 13;
inline constexpr int kKeyEscape = 27;
inline constexpr int kKeySpace = 32;
inline constexpr int kKeyUp = 38;
inline constexpr int kKeyDown = 40;
inline constexpr int kKeyDelete = 46;

// A caret position past any text the editor could hold: it sits at the end.
inline constexpr int kCaretAtEnd = 10000;

// Places the cursor at (row, column) where they fall inside the data cells,
// wrapping first when step > 0: a row past the last data row goes to row 1 of
// column + step; otherwise a column past the last goes to column 1 of
// row + step. The adjusted values are written back to the caller's variables.
// Ends by giving the grid the focus.
void AdvanceCursor(GridView& grid, int& column, int& row, int step);

// Opens the editor in answer to a character typed on the grid. Space opens it
// on the cell's text with the caret at the start; any other printable or
// double-byte character, once through FilterKey, becomes the editor's whole
// text (empty when the filter drops it); Backspace opens it empty.
// A code cannot carry a double-byte character (its code is only negative),
// so for a negative code the characters typed are taken from `typed`,
// filtered by FilterText.
void StartEditByKey(GridView& grid, CellEditor& editor, int code, FilterKind kind,
                    const QString& typed = {});

// Fills the editor, lays it exactly over the current cell, shows and focuses
// it, and remembers the cell in the grid's lEditRow / lEditCol.
void ShowEditor(GridView& grid, CellEditor& editor, const QString& text, int caret, int selection);

// Delete on the grid opens an empty editor, exactly as Backspace does.
void GridKeyDown(GridView& grid, CellEditor& editor, int keyCode);

// Scrolling the grid with the editor open commits the edit.
void GridScrolled(GridView& grid, CellEditor& editor);

// Esc, Enter, Up and Down in the editor; any other key is left to the editor.
void EditorKeyDown(GridView& grid, CellEditor& editor, int keyCode, int shift);

// The commit when the editor loses the focus: hides the editor, writes its
// text as typed into the grid's (lEditRow, lEditCol), and advances the cursor as a put
// value does (down the column when fillDown, else along the row). The owner
// makes sure it runs exactly once per loss of focus.
void CommitEdit(GridView& grid, CellEditor& editor, bool fillDown);

}  // namespace Mei
