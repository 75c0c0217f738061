#pragma once

#include <cstdint>

// A rectangle of cells in the grid's own numbering (data cells from row 1 and
// column 1): rows top to bottom and columns left to right, both ends
// included.
struct CellRange {
    int top = 1;
    int left = 1;
    int bottom = 1;
    int right = 1;

    // How many cells the rectangle covers; 0 when it is empty (an end before
    // its start).
    std::int64_t Cells() const {
        if (bottom < top || right < left) return 0;
        return std::int64_t{bottom - top + 1} * std::int64_t{right - left + 1};
    }
};
