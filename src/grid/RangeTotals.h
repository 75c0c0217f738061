#pragma once

#include <QString>

#include "grid/CellRange.h"

class GridModel;

// The numbers among a rectangle of data cells: how many there are, their sum
// and their mean. A cell counts when its text reads as a number (ParseNumber):
// empty cells and cells of text ("1.2.3", a note) are passed over, so the
// totals are those of the values the operator sees.
class RangeTotals {
  public:
    // The cells of `range` that are data cells of the grid; the rest of the
    // rectangle (headers, beyond the grid) is left out. Costs in proportion to
    // the stored cells of the rectangle, not to its size: a whole column of an
    // empty grid is read at once.
    static RangeTotals Of(const GridModel& grid, const CellRange& range);

    int Count() const { return count_; }
    double Sum() const { return sum_; }
    // 0 when no cell counts.
    double Mean() const { return count_ > 0 ? sum_ / count_ : 0.0; }

    // The line that tells the operator the totals, the sum and the mean with
    // `decimals` as the grid's values are written (FormatDecimals):
    // "選択 3 個　合計 30.00　平均 10.00". Empty when no cell counts or the sum
    // is too large to be written.
    QString Line(int decimals) const;

  private:
    int count_ = 0;
    double sum_ = 0.0;
};
