#include "FakeGridView.h"
#include "grid/GridModel.h"
#include "grid/Mei.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Cell = std::pair<int, int>;  // (row, column)

enum class Move { Value, NextLine };
constexpr bool kDown = true;
constexpr bool kAcross = false;

// The moves the window makes around AdvanceCursor: after a put value (or a
// committed edit) and on the next-line command.
void Advance(GridView& grid, Move move, bool fillDown) {
    const GridModel& model = grid.Model();
    int column = model.Col();
    int row = model.Row();
    if (move == Move::Value) {
        (fillDown ? row : column) += 1;
    } else {
        column = fillDown ? column + 1 : 1;
        row = fillDown ? 1 : row + 1;
    }
    Mei::AdvanceCursor(grid, column, row, 1);
}

Cell Cursor(GridView& grid) { return {grid.Model().Row(), grid.Model().Col()}; }

void Size(FakeGridView& grid, int dataRows, int dataCols) {
    grid.Model().SetRows(dataRows + 1);
    grid.Model().SetCols(dataCols + 1);
}

// The table of resulting moves for data rows 1..R and columns 1..K: where the
// cursor is, and where each coordinate goes.
enum Where { Anywhere, BeforeLast, AtLast };
enum To { Same, Next, First, Second };

struct MoveRule {
    const char* situation;
    Move move;
    bool fillDown;
    Where row, col;
    To toRow, toCol;
};

const MoveRule kMoveRules[] = {
    {"value across, (r, k), k < K", Move::Value, kAcross, Anywhere, BeforeLast, Same, Next},
    {"value across, (r, K), r < R", Move::Value, kAcross, BeforeLast, AtLast, Next, First},
    {"value across, (R, K)", Move::Value, kAcross, AtLast, AtLast, Same, First},
    {"value down, (r, k), r < R", Move::Value, kDown, BeforeLast, Anywhere, Next, Same},
    {"value down, (R, k), k < K", Move::Value, kDown, AtLast, BeforeLast, First, Next},
    {"value down, (R, K)", Move::Value, kDown, AtLast, AtLast, First, Same},
    {"next line across, (r, k), r < R", Move::NextLine, kAcross, BeforeLast, Anywhere, Next, First},
    {"next line across, (R, k)", Move::NextLine, kAcross, AtLast, Anywhere, First, Second},
    {"next line down, (r, k), k < K", Move::NextLine, kDown, Anywhere, BeforeLast, First, Next},
    {"next line down, (r, K)", Move::NextLine, kDown, Anywhere, AtLast, Second, First},
};

bool Holds(Where where, int value, int last) { return where == Anywhere || (where == AtLast) == (value == last); }

int Target(To to, int value) {
    switch (to) {
    case Same: return value;
    case Next: return value + 1;
    case First: return 1;
    case Second: return 2;
    }
    return 0;
}

TEST(AdvanceCursor, every_move_from_every_cell_lands_where_the_table_says) {
    for (auto [R, K] : {Cell{3, 2}, Cell{2, 2}, Cell{5, 4}}) {
        for (int r = 1; r <= R; ++r) {
            for (int k = 1; k <= K; ++k) {
                for (Move move : {Move::Value, Move::NextLine}) {
                    for (bool fillDown : {kAcross, kDown}) {
                        std::vector<const MoveRule*> rules;
                        for (const auto& rule : kMoveRules) {
                            if (rule.move == move && rule.fillDown == fillDown && Holds(rule.row, r, R) &&
                                Holds(rule.col, k, K)) {
                                rules.push_back(&rule);
                            }
                        }
                        ASSERT_EQ(rules.size(), 1U) << "table must cover (" << r << "," << k << ") once";
                        FakeGridView grid;
                        Size(grid, R, K);
                        grid.Model().SetRow(r);
                        grid.Model().SetCol(k);
                        Advance(grid, move, fillDown);
                        EXPECT_EQ(Cursor(grid), (Cell{Target(rules[0]->toRow, r), Target(rules[0]->toCol, k)}))
                            << rules[0]->situation << " from (" << r << "," << k << ") in " << R << "x" << K;
                        EXPECT_EQ(grid.focusCount, 1) << rules[0]->situation;
                    }
                }
            }
        }
    }
}

TEST(AdvanceCursor, seven_values_in_three_rows_by_two_columns_wrap_onto_the_last_line) {
    const std::pair<bool, std::vector<Cell>> cases[] = {
        {kAcross, {{1, 1}, {1, 2}, {2, 1}, {2, 2}, {3, 1}, {3, 2}, {3, 1}}},
        {kDown, {{1, 1}, {2, 1}, {3, 1}, {1, 2}, {2, 2}, {3, 2}, {1, 2}}},
    };
    for (const auto& [fillDown, landings] : cases) {
        FakeGridView grid;
        Size(grid, 3, 2);
        for (std::size_t i = 0; i < landings.size(); ++i) {
            EXPECT_EQ(Cursor(grid), landings[i]) << "value " << i + 1 << (fillDown ? " down" : " across");
            grid.Model().SetTextMatrix(grid.Model().Row(), grid.Model().Col(), QString::number(i + 1));
            Advance(grid, Move::Value, fillDown);
        }
        EXPECT_EQ(grid.Model().TextMatrix(landings.back().first, landings.back().second), QStringLiteral("7"));
    }
}

// The caller's column and row come back adjusted; only coordinates inside the
// data cells reach the cursor, and the grid gets the focus whatever happened.
TEST(AdvanceCursor, places_only_coordinates_in_range_and_writes_the_wrap_back) {
    struct Case {
        Cell from;
        int column, row, step;
        Cell to;
        int columnAfter, rowAfter;
    };
    const Case cases[] = {
        {{3, 2}, 1, 1, 1, {1, 1}, 1, 1},        // the first cell, as after clearing
        {{1, 1}, 1, 4, 2, {1, 1}, 3, 1},        // past the last row: row 1, column + 2 (past the last)
        {{2, 2}, 3, 2, 2, {2, 1}, 1, 4},        // past the last column: column 1, row + 2 (past the last)
        {{2, 2}, 3, 2, 0, {2, 2}, 3, 2},        // no step: a column one past the last is not set
        {{2, 2}, 1, 0, 0, {2, 1}, 1, 0},        // row 0 is the header
        {{2, 1}, -1, 99, -1, {2, 1}, -1, 99},
    };
    for (const Case& c : cases) {
        FakeGridView grid;
        Size(grid, 3, 2);
        grid.Model().SetRow(c.from.first);
        grid.Model().SetCol(c.from.second);
        int column = c.column;
        int row = c.row;
        Mei::AdvanceCursor(grid, column, row, c.step);
        EXPECT_EQ(Cursor(grid), c.to) << c.column << "," << c.row << " step " << c.step;
        EXPECT_EQ((Cell{row, column}), (Cell{c.rowAfter, c.columnAfter})) << c.column << "," << c.row;
        EXPECT_EQ(grid.focusCount, 1);
    }
}

}  // namespace
