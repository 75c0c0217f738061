#include "export/GridFigures.h"

#include <algorithm>
#include <optional>

#include "grid/GridModel.h"

namespace {

std::vector<CellFigure> Collect(const GridModel& grid, const std::optional<CellRange>& range) {
    std::vector<CellFigure> figures;
    for (const auto& [key, tag] : grid.Tags()) {
        auto figure = std::dynamic_pointer_cast<const KeptFigure>(tag);
        if (!figure) continue;
        const int row = GridModel::KeyRow(key);
        const int col = GridModel::KeyCol(key);
        if (range &&
            (row < range->top || row > range->bottom || col < range->left || col > range->right))
            continue;
        figures.push_back({row, col, std::move(figure)});
    }
    std::sort(figures.begin(), figures.end(), [](const CellFigure& a, const CellFigure& b) {
        return a.row != b.row ? a.row < b.row : a.col < b.col;
    });
    return figures;
}

}  // namespace

std::vector<CellFigure> GridFigures::All(const GridModel& grid) {
    return Collect(grid, std::nullopt);
}

std::vector<CellFigure> GridFigures::In(const GridModel& grid, const CellRange& range) {
    return Collect(grid, range);
}
