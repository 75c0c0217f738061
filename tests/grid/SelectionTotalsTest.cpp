#include <gtest/gtest.h>

#include "grid/GridModel.h"
#include "grid/SelectionTotals.h"
#include "QStringPrinter.h"

namespace {

struct Cell {
    int row;
    int col;
    bool operator==(const Cell&) const = default;
};

// 10 and 20 in (1,1) and (2,1), a note in (1,2); the grid has data rows and
// columns 1 to 5.
GridModel Sheet() {
    GridModel grid(6, 6);
    grid.SetTextMatrix(1, 1, QStringLiteral("10.00"));
    grid.SetTextMatrix(2, 1, QStringLiteral("20.00"));
    grid.SetTextMatrix(1, 2, QStringLiteral("メモ"));
    return grid;
}

const CellRange kBlock{1, 1, 2, 2};

TEST(SelectionTotals, the_line_needs_two_cells_and_a_number) {
    const GridModel grid = Sheet();
    const SelectionTotals totals(grid);
    EXPECT_EQ(totals.Line({1, 1, 1, 1}, 2), QString()) << "one cell";
    EXPECT_EQ(totals.Line({3, 1, 4, 4}, 2), QString()) << "no number";
    EXPECT_FALSE(totals.Line(kBlock, 2).isEmpty());
}

TEST(SelectionTotals, targets_follow_the_fill_direction_and_never_overwrite_the_last_put) {
    struct Case {
        const char* name;
        bool down;
        // Keys in order (true: Shift+F9, the mean) and where each goes.
        std::vector<std::pair<bool, Cell>> puts;
    };
    const Case cases[] = {
        {"across", false, {{false, {1, 3}}, {true, {1, 4}}, {false, {1, 5}}}},
        {"down", true, {{false, {3, 1}}, {true, {4, 1}}, {false, {5, 1}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GridModel grid = Sheet();
        SelectionTotals totals(grid);
        for (const auto& [mean, cell] : c.puts) {
            const auto target = totals.Next(kBlock, c.down, mean, 2);
            ASSERT_TRUE(target);
            EXPECT_EQ((Cell{target->row, target->col}), cell);
            EXPECT_DOUBLE_EQ(target->value, mean ? 15.0 : 30.0);
            grid.SetTextMatrix(cell.row, cell.col, QString::number(target->value));
            totals.Written(kBlock, c.down, cell.row, cell.col);
        }
        // The grid ends after column 5 and row 5.
        EXPECT_FALSE(totals.Next(kBlock, c.down, false, 2));
    }
}

TEST(SelectionTotals, a_changed_selection_direction_or_value_starts_again_after_the_selection) {
    struct Case {
        const char* name;
        CellRange selection;
        bool down;
        const char* textAtPut;  // nullptr: left as written
        Cell expected;
    };
    const Case cases[] = {
        {"same_again", kBlock, false, nullptr, {1, 4}},
        {"other_selection", {1, 1, 2, 1}, false, nullptr, {1, 2}},
        {"other_direction", kBlock, true, nullptr, {3, 1}},
        {"value_taken_back", kBlock, false, "", {1, 3}},
        {"value_typed_over", kBlock, false, "7", {1, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GridModel grid = Sheet();
        SelectionTotals totals(grid);
        grid.SetTextMatrix(1, 3, QStringLiteral("30.00"));
        totals.Written(kBlock, false, 1, 3);
        if (c.textAtPut != nullptr) grid.SetTextMatrix(1, 3, QString::fromUtf8(c.textAtPut));
        const auto target = totals.Next(c.selection, c.down, false, 2);
        ASSERT_TRUE(target);
        EXPECT_EQ((Cell{target->row, target->col}), c.expected);
    }
}

TEST(SelectionTotals, nothing_for_one_cell_no_number_or_a_value_too_large) {
    GridModel grid = Sheet();
    const SelectionTotals totals(grid);
    EXPECT_FALSE(totals.Next({1, 1, 1, 1}, false, false, 2));
    EXPECT_FALSE(totals.Next({3, 1, 4, 4}, false, false, 2));
    grid.SetTextMatrix(1, 1, QString(308, u'9'));
    grid.SetTextMatrix(2, 1, QString(308, u'9'));
    EXPECT_FALSE(totals.Next(kBlock, false, false, 2)) << "the sum cannot be written";
}

}  // namespace
