#include <gtest/gtest.h>

#include "grid/GridModel.h"
#include "QStringPrinter.h"
#include "grid/RangeTotals.h"

namespace {

// A sheet as the operator leaves it: measured values, a hand-typed text, a
// corrected value with spaces, empty cells, headers numbered by the layout.
GridModel Sheet() {
    GridModel grid(6, 6);  // data rows 1 to 5, columns 1 to 5
    const char* const rows[][5] = {
        {"10.00", "20.00", "メモ", "", ""},
        {"-5.50", "1.2.3", ".50", " 3 ", ""},
        {"", "", "", "", ""},
        {"-.25", "", "", "", "4"},
        {"", "", "", "", ""},
    };
    for (int r = 1; r <= 5; ++r) {
        grid.SetTextMatrix(r, 0, QString::number(r));
        for (int c = 1; c <= 5; ++c) {
            grid.SetTextMatrix(0, c, QString::number(c));
            grid.SetTextMatrix(r, c, QString::fromUtf8(rows[r - 1][c - 1]));
        }
    }
    return grid;
}

struct TotalsCase {
    const char* name;
    CellRange range;
    int decimals;
    int count;
    double sum;
    const char* line;
};

const TotalsCase kCases[] = {
    {"text_cell_passed_over", {1, 1, 1, 3}, 2, 2, 30.0, "選択 2 個　合計 30.00　平均 15.00"},
    {"negatives_and_spaces", {2, 1, 2, 4}, 2, 3, -2.0, "選択 3 個　合計 -2.00　平均 -.67"},
    {"empty_cells_passed_over", {1, 1, 4, 1}, 2, 3, 4.25, "選択 3 個　合計 4.25　平均 1.42"},
    {"one_value", {1, 2, 1, 2}, 2, 1, 20.0, "選択 1 個　合計 20.00　平均 20.00"},
    {"only_empty_cells", {3, 1, 3, 5}, 2, 0, 0.0, ""},
    {"text_above_a_value", {1, 3, 2, 3}, 2, 1, 0.5, "選択 1 個　合計 .50　平均 .50"},
    {"unreadable_text_alone", {2, 2, 2, 2}, 2, 0, 0.0, ""},
    // Headers are numbered but are no values; past the grid there is nothing.
    {"headers_and_beyond_left_out",
     {0, 0, 99, 99},
     2,
     7,
     31.75,
     "選択 7 個　合計 31.75　平均 4.54"},
    {"beyond_the_used_cells", {4, 5, 5, 5}, 2, 1, 4.0, "選択 1 個　合計 4.00　平均 4.00"},
    {"reversed_is_empty", {2, 4, 1, 1}, 2, 0, 0.0, ""},
    // The decimals of cmbSyosu, none chosen (-1) read as "なし".
    {"no_decimals_chosen", {1, 1, 4, 5}, -1, 7, 31.75, "選択 7 個　合計 32　平均 5"},
    {"five_decimals", {1, 1, 4, 5}, 5, 7, 31.75, "選択 7 個　合計 31.75000　平均 4.53571"},
};

TEST(RangeTotals, counts_sums_and_tells_the_numbers_of_a_rectangle) {
    const GridModel grid = Sheet();
    for (const TotalsCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const RangeTotals totals = RangeTotals::Of(grid, c.range);
        EXPECT_EQ(totals.Count(), c.count);
        EXPECT_DOUBLE_EQ(totals.Sum(), c.sum);
        EXPECT_EQ(totals.Line(c.decimals), QString::fromUtf8(c.line));
    }
}

TEST(RangeTotals, a_sum_too_large_to_write_tells_nothing) {
    GridModel grid(3, 3);
    const QString huge = QString(308, u'9');  // about 1e308, a value on its own
    grid.SetTextMatrix(1, 1, huge);
    grid.SetTextMatrix(1, 2, huge);
    EXPECT_FALSE(RangeTotals::Of(grid, {1, 1, 1, 1}).Line(2).isEmpty());
    const RangeTotals both = RangeTotals::Of(grid, {1, 1, 1, 2});
    EXPECT_EQ(both.Count(), 2);
    EXPECT_EQ(both.Line(2), QString());
}

}  // namespace
