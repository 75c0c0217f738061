#include "grid/RangeTotals.h"

#include <algorithm>
#include <optional>

#include "grid/GridModel.h"
#include "grid/NumberText.h"

RangeTotals RangeTotals::Of(const GridModel& grid, const CellRange& range) {
    RangeTotals totals;
    // Nothing past the used extent holds a value; rows are stored only as
    // long as their last cell.
    const int top = std::max(range.top, grid.FixedRows());
    const int bottom = std::min(range.bottom, grid.UsedRows());
    const int left = std::max(range.left, grid.FixedCols());
    const int right = std::min(range.right, grid.UsedCols());
    for (int row = top; row <= bottom; ++row) {
        const std::vector<QString>& cells = grid.RowCells(row);
        const int last = std::min(right, static_cast<int>(cells.size()) - 1);
        for (int col = left; col <= last; ++col) {
            const std::optional<double> value = ParseNumber(cells[static_cast<std::size_t>(col)]);
            if (!value) continue;
            ++totals.count_;
            totals.sum_ += *value;
        }
    }
    return totals;
}

QString RangeTotals::Line(int decimals) const {
    if (count_ == 0) return {};
    const QString sum = FormatDecimals(sum_, decimals);
    const QString mean = FormatDecimals(Mean(), decimals);
    if (sum.isEmpty() || mean.isEmpty()) return {};
    return QStringLiteral("選択 %1 個　合計 %2　平均 %3").arg(count_).arg(sum, mean);
}
