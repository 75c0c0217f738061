#pragma once

#include <QString>
#include <optional>

#include "grid/CellRange.h"

class GridModel;

// The totals of the cells the operator has selected: the line that tells
// them, and where F9 (the total) and Shift+F9 (the mean) put them, so that a
// planimeter's accumulate and average are one key each.
class SelectionTotals {
  public:
    explicit SelectionTotals(const GridModel& grid) : grid_(grid) {}

    // The line shown while several cells are selected; empty for one cell,
    // for none, and when no cell of the selection holds a number.
    QString Line(const CellRange& selection, int decimals) const;

    struct Target {
        int row = 0;
        int col = 0;
        double value = 0.0;
    };
    // Where the total (or the mean) of `selection` goes, and the value: the
    // first cell after the selection in the fill direction (below its last
    // row in its first column when filling down, right of its last column in
    // its first row when filling across). When a value was put for the same
    // selection and the same direction and still stands where it was put,
    // the next one goes to the cell after it, so that F9 then Shift+F9 keep
    // both. None with fewer than two cells selected, no number among them,
    // the cell outside the grid, or a value too large to be written with
    // `decimals`.
    std::optional<Target> Next(const CellRange& selection, bool fillsDown, bool mean,
                               int decimals) const;
    // The value of Next was written at (row, col): remembered with the text it
    // left there, which later changes (an edit, an undo) make stale.
    void Written(const CellRange& selection, bool fillsDown, int row, int col);

  private:
    struct Put {
        CellRange selection;
        bool fillsDown = false;
        int row = 0;
        int col = 0;
        QString text;
    };
    const GridModel& grid_;
    std::optional<Put> last_;
};
