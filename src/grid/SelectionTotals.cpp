#include "grid/SelectionTotals.h"

#include "grid/GridModel.h"
#include "grid/NumberText.h"
#include "grid/RangeTotals.h"

namespace {

bool Same(const CellRange& a, const CellRange& b) {
    return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

}  // namespace

QString SelectionTotals::Line(const CellRange& selection, int decimals) const {
    if (selection.Cells() < 2) return {};
    return RangeTotals::Of(grid_, selection).Line(decimals);
}

std::optional<SelectionTotals::Target> SelectionTotals::Next(const CellRange& selection,
                                                             bool fillsDown, bool mean,
                                                             int decimals) const {
    if (selection.Cells() < 2) return std::nullopt;
    const RangeTotals totals = RangeTotals::Of(grid_, selection);
    if (totals.Count() == 0) return std::nullopt;
    Target target;
    target.row = fillsDown ? selection.bottom + 1 : selection.top;
    target.col = fillsDown ? selection.left : selection.right + 1;
    // A total put a moment ago is not overwritten: the next one goes beside
    // it, one step further in the fill direction.
    if (last_ && Same(last_->selection, selection) && last_->fillsDown == fillsDown &&
        last_->row < grid_.Rows() && last_->col < grid_.Cols() &&
        grid_.TextMatrix(last_->row, last_->col) == last_->text) {
        target.row = fillsDown ? last_->row + 1 : last_->row;
        target.col = fillsDown ? last_->col : last_->col + 1;
    }
    if (target.row >= grid_.Rows() || target.col >= grid_.Cols()) return std::nullopt;
    target.value = mean ? totals.Mean() : totals.Sum();
    if (FormatDecimals(target.value, decimals).isEmpty()) return std::nullopt;
    return target;
}

void SelectionTotals::Written(const CellRange& selection, bool fillsDown, int row, int col) {
    last_ = Put{selection, fillsDown, row, col, grid_.TextMatrix(row, col)};
}
