#pragma once

#include <vector>

#include "export/CellFigure.h"
#include "grid/CellRange.h"

class GridModel;

// The figures the grid keeps, as the exports take them: in the order of
// their cells, row by row.
class GridFigures {
  public:
    static std::vector<CellFigure> All(const GridModel& grid);
    // Only those of the cells inside `range`.
    static std::vector<CellFigure> In(const GridModel& grid, const CellRange& range);
};
