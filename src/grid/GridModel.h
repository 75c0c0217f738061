#pragma once

#include <QString>
#include <cstdint>
#include <vector>

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

    // Told of every data cell's text just before it changes (a write, a
    // clear, a shrink that drops it), so that the change can be taken back.
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

    int rows_;
    int cols_;
    int row_ = 1;
    int col_ = 1;
    std::vector<std::vector<QString>> cells_;
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
