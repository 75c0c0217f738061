#pragma once

#include <memory>

#include "figures/KeptFigure.h"

// A kept figure with the cell its value is in, as the exports take them: row
// and column as the grid numbers them, the figure shared with the grid (it is
// never changed once made).
struct CellFigure {
    int row = 0;
    int col = 0;
    std::shared_ptr<const KeptFigure> figure;
};
