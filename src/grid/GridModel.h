#pragma once

#include <QString>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "grid/CellTag.h"

// The detail grid's content: a table of text cells with one fixed header row
// (row 0) and one fixed header column (column 0), a cursor on a data cell and
// the column widths in twips. It knows nothing of how the grid is drawn.
//
// Cells are held row by row, each row only as long as its last stored cell,
// so a large empty grid costs next to nothing and the used rectangle is read
// row by row without a lookup per cell. The used extent of the data cells
// (highest row and column holding a non-blank text) is kept up to date on
// every write, so that writing the used rectangle costs in proportion to that
// rectangle rather than to the grid.
class GridModel {
  public:
    // Told of every change so that a view can follow.
    class Observer {
      public:
        virtual ~Observer() = default;
        virtual void CellChanged(int row, int col) = 0;
        virtual void SizeChanged() = 0;
        virtual void CursorChanged() = 0;
        virtual void ColWidthChanged(int col) = 0;
    };

    // Told of every data cell's text just before it or its tag changes (a
    // write, a clear, a shrink that drops it, a tag set), so that the change
    // can be taken back; the cell's tag can still be read then.
    class Recorder {
      public:
        virtual ~Recorder() = default;
        virtual void CellChanging(int row, int col, const QString& before) = 0;
    };

    GridModel(int rows = 20, int cols = 7);

    void SetObserver(Observer* observer) { observer_ = observer; }
    void SetRecorder(Recorder* recorder) { recorder_ = recorder; }

    // Size, header row and header column included. Shrinking drops the cells
    // that fall outside; growing adds empty cells. The cursor is pulled back
    // onto the last data cell when it would fall outside. Values below 2
    // (no data row or column) are raised to 2.
    int Rows() const { return rows_; }
    int Cols() const { return cols_; }
    void SetRows(int rows);
    void SetCols(int cols);
    int FixedRows() const { return 1; }
    int FixedCols() const { return 1; }

    // The cursor, always on a data cell. Setting it outside the data cells is
    // refused (returns false) and leaves it where it was.
    int Row() const { return row_; }
    int Col() const { return col_; }
    bool SetRow(int row);
    bool SetCol(int col);

    // Any cell, headers included. Reading outside the grid gives the empty
    // text; writing outside the grid is refused (returns false).
    const QString& TextMatrix(int row, int col) const;
    bool SetTextMatrix(int row, int col, QString text);
    // The current cell's text.
    const QString& Text() const { return TextMatrix(row_, col_); }
    // The stored cells of a row from column 0 on; cells past the end of the
    // returned row are empty. For reading many cells in order.
    const std::vector<QString>& RowCells(int row) const;
    // Makes room in a row for its cells up to column lastCol (within the
    // grid) without storing any: a row then filled in order grows once
    // instead of step by step. Nothing that can be read changes.
    void ReserveCells(int row, int lastCol);

    // The tag kept with a data cell's value; null for none. A tag is set only
    // on a cell that holds a text, and dropped whenever that text is written
    // (even with the same text), emptied, cleared or cut off.
    const CellTagPtr& Tag(int row, int col) const;
    // False, changing nothing, outside the data cells or on an empty cell.
    bool SetTag(int row, int col, CellTagPtr tag);
    // Counts every change to any cell's tag (set, dropped, cleared): compared
    // with a count taken earlier, it says whether the tags changed since.
    std::uint64_t TagChanges() const { return tagChanges_; }
    // Every tagged cell, keyed by CellKey(row, col).
    const std::unordered_map<std::uint64_t, CellTagPtr>& Tags() const { return tags_; }
    static std::uint64_t CellKey(int row, int col) {
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(row)) << 32) |
               static_cast<std::uint32_t>(col);
    }
    static int KeyRow(std::uint64_t key) { return static_cast<int>(key >> 32); }
    static int KeyCol(std::uint64_t key) { return static_cast<int>(key & 0xffffffffu); }

    // Column width in twips; -1 means the view's default.
    int ColWidth(int col) const;
    void SetColWidth(int col, int twips);

    // Highest data row and column holding a cell whose text, with leading and
    // trailing spaces removed, is not empty; 0 when there is none. The two are
    // independent: their corner cell may itself be empty.
    int UsedRows() const { return usedRows_; }
    int UsedCols() const { return usedCols_; }
    // The length of all data cells' texts together, in UTF-16 code units:
    // with the used extent, it bounds a table of them without reading them.
    qsizetype DataChars() const { return dataChars_; }
    // Non-blank data cells that a grid of rows × cols (headers included)
    // would not hold.
    int UsedOutside(int rows, int cols) const;

    // Empties every data cell; header cells stay.
    void ClearData();

    // Counts changes to the data cells' texts: compared with a count taken
    // earlier, it says whether anything changed since (a save, a copy).
    std::uint64_t Changes() const { return changes_; }

    // The cell the cell editor was last opened on: its commit writes there
    // even if the cursor moved in between. Each grid keeps its own.
    int lEditRow = 0;
    int lEditCol = 0;

  private:
    static bool IsBlank(const QString& text);
    void Count(int row, int col, int delta);
    // Empties a stored data cell, telling the recorder and the counts.
    void Drop(int row, int col, QString& cell);
    // Sets the row or column count (size) and pulls its cursor coordinate
    // back inside when it would fall outside.
    void Resize(int& size, int& cursor, int newSize);
    // Lets a cell's tag go; the recorder has been told already.
    void DropTag(int row, int col);

    int rows_;
    int cols_;
    int row_ = 1;
    int col_ = 1;
    std::vector<std::vector<QString>> cells_;
    // Few cells have a tag (only measured values, and only where figures are
    // kept), so they are held apart: a grid without any pays one empty check
    // per write.
    std::unordered_map<std::uint64_t, CellTagPtr> tags_;
    std::uint64_t tagChanges_ = 0;
    std::vector<int> colWidths_;
    // Number of non-blank data cells per row and per column, and the highest
    // row and column where that number is not 0.
    std::vector<int> usedPerRow_;
    std::vector<int> usedPerCol_;
    int usedRows_ = 0;
    int usedCols_ = 0;
    Observer* observer_ = nullptr;
    Recorder* recorder_ = nullptr;
    std::uint64_t changes_ = 0;
    qsizetype dataChars_ = 0;
};
