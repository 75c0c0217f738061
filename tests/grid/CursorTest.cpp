#include "FakeGridView.h"
#include "GridModel.h"
#include "Mei.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Cell = std::pair<int, int>;  // (row, column)

// The moves the window makes around AdvanceCursor: after a put value (or a
// committed edit) and on the next-line command.
void AdvanceAfterValue(GridView& grid, bool fillDown) {
    int column = grid.Model().Col();
    int row = grid.Model().Row();
    if (fillDown) {
        ++row;
    } else {
        ++column;
    }
    Mei::AdvanceCursor(grid, column, row, 1);
}

void NextLine(GridView& grid, bool fillDown) {
    int column = fillDown ? grid.Model().Col() + 1 : 1;
    int row = fillDown ? 1 : grid.Model().Row() + 1;
    Mei::AdvanceCursor(grid, column, row, 1);
}

void PutValue(FakeGridView& grid, const QString& text, bool fillDown) {
    grid.Model().SetTextMatrix(grid.Model().Row(), grid.Model().Col(), text);
    AdvanceAfterValue(grid, fillDown);
}

Cell Cursor(GridView& grid) { return {grid.Model().Row(), grid.Model().Col()}; }

enum class Move { Value, NextLine };
constexpr bool kDown = true;
constexpr bool kAcross = false;

// One row of the table of resulting moves, for data rows 1..R and columns 1..K.
struct MoveRule {
    const char* situation;
    Move move;
    bool fillDown;
    bool (*applies)(int r, int k, int R, int K);
    Cell (*target)(int r, int k, int R, int K);
};

const MoveRule kMoveRules[] = {
    {"value across, k < K", Move::Value, kAcross,
     [](int, int k, int, int K) { return k < K; },
     [](int r, int k, int, int) { return Cell{r, k + 1}; }},
    {"value across, (r, K), r < R", Move::Value, kAcross,
     [](int r, int k, int R, int K) { return k == K && r < R; },
     [](int r, int, int, int) { return Cell{r + 1, 1}; }},
    {"value across, (R, K)", Move::Value, kAcross,
     [](int r, int k, int R, int K) { return k == K && r == R; },
     [](int, int, int R, int) { return Cell{R, 1}; }},
    {"value down, r < R", Move::Value, kDown,
     [](int r, int, int R, int) { return r < R; },
     [](int r, int k, int, int) { return Cell{r + 1, k}; }},
    {"value down, (R, k), k < K", Move::Value, kDown,
     [](int r, int k, int R, int K) { return r == R && k < K; },
     [](int, int k, int, int) { return Cell{1, k + 1}; }},
    {"value down, (R, K)", Move::Value, kDown,
     [](int r, int k, int R, int K) { return r == R && k == K; },
     [](int, int, int, int K) { return Cell{1, K}; }},
    {"next line across, r < R", Move::NextLine, kAcross,
     [](int r, int, int R, int) { return r < R; },
     [](int r, int, int, int) { return Cell{r + 1, 1}; }},
    {"next line across, (R, k)", Move::NextLine, kAcross,
     [](int r, int, int R, int) { return r == R; },
     [](int, int, int, int) { return Cell{1, 2}; }},
    {"next line down, k < K", Move::NextLine, kDown,
     [](int, int k, int, int K) { return k < K; },
     [](int, int k, int, int) { return Cell{1, k + 1}; }},
    {"next line down, (r, K)", Move::NextLine, kDown,
     [](int, int k, int, int K) { return k == K; },
     [](int, int, int, int) { return Cell{2, 1}; }},
};

TEST(AdvanceCursor, every_move_from_every_cell_lands_where_the_table_says) {
    for (auto [R, K] : {Cell{3, 2}, Cell{2, 2}, Cell{5, 4}}) {
        for (Move move : {Move::Value, Move::NextLine}) {
            for (bool fillDown : {kAcross, kDown}) {
                for (int r = 1; r <= R; ++r) {
                    for (int k = 1; k <= K; ++k) {
                        std::vector<const MoveRule*> rules;
                        for (const auto& rule : kMoveRules) {
                            if (rule.move == move && rule.fillDown == fillDown && rule.applies(r, k, R, K)) {
                                rules.push_back(&rule);
                            }
                        }
                        ASSERT_EQ(rules.size(), 1U) << "table must cover (" << r << "," << k << ") once";

                        FakeGridView grid;
                        grid.Model().SetRows(R + 1);
                        grid.Model().SetCols(K + 1);
                        grid.Model().SetRow(r);
                        grid.Model().SetCol(k);
                        if (move == Move::Value) {
                            AdvanceAfterValue(grid, fillDown);
                        } else {
                            NextLine(grid, fillDown);
                        }
                        EXPECT_EQ(Cursor(grid), rules[0]->target(r, k, R, K))
                            << rules[0]->situation << " from (" << r << "," << k << ") in " << R << "x" << K;
                        EXPECT_EQ(grid.focusCount, 1) << rules[0]->situation;
                    }
                }
            }
        }
    }
}

struct FillCase {
    bool fillDown;
    std::vector<Cell> landings;
};

TEST(AdvanceCursor, seven_values_in_three_rows_by_two_columns_wrap_onto_the_last_line) {
    const FillCase cases[] = {
        {kAcross, {{1, 1}, {1, 2}, {2, 1}, {2, 2}, {3, 1}, {3, 2}, {3, 1}}},
        {kDown, {{1, 1}, {2, 1}, {3, 1}, {1, 2}, {2, 2}, {3, 2}, {1, 2}}},
    };
    for (const auto& c : cases) {
        FakeGridView grid;
        grid.Model().SetRows(4);
        grid.Model().SetCols(3);
        for (std::size_t i = 0; i < c.landings.size(); ++i) {
            EXPECT_EQ(Cursor(grid), c.landings[i]) << "value " << i + 1 << (c.fillDown ? " down" : " across");
            PutValue(grid, QString::number(i + 1), c.fillDown);
            EXPECT_EQ(grid.focusCount, static_cast<int>(i) + 1);
        }
        const Cell overwritten = c.landings.back();
        EXPECT_EQ(grid.Model().TextMatrix(overwritten.first, overwritten.second), QStringLiteral("7"));
    }
}

TEST(AdvanceCursor, writes_the_wrapped_position_back_to_the_caller) {
    FakeGridView grid;
    grid.Model().SetRows(4);
    grid.Model().SetCols(3);
    int column = 1;
    int row = 4;
    Mei::AdvanceCursor(grid, column, row, 2);  // step 2, as the coordinate mode uses
    EXPECT_EQ(row, 1);
    EXPECT_EQ(column, 3);
    // Column 3 is past the last: only the row moved.
    EXPECT_EQ(Cursor(grid), (Cell{1, 1}));

    column = 3;
    row = 2;
    Mei::AdvanceCursor(grid, column, row, 2);
    EXPECT_EQ(row, 4);
    EXPECT_EQ(column, 1);
    EXPECT_EQ(Cursor(grid), (Cell{1, 1}));
}

TEST(AdvanceCursor, without_a_step_sets_only_the_coordinates_in_range) {
    FakeGridView grid;
    grid.Model().SetRows(4);
    grid.Model().SetCols(3);
    grid.Model().SetCol(2);

    int column = 3;  // one past the last data column
    int row = 2;
    Mei::AdvanceCursor(grid, column, row, 0);
    EXPECT_EQ(Cursor(grid), (Cell{2, 2}));
    EXPECT_EQ(column, 3);
    EXPECT_EQ(row, 2);

    column = 1;
    row = 0;  // the header row is not a data row
    Mei::AdvanceCursor(grid, column, row, 0);
    EXPECT_EQ(Cursor(grid), (Cell{2, 1}));

    column = -1;
    row = 99;
    Mei::AdvanceCursor(grid, column, row, -1);
    EXPECT_EQ(Cursor(grid), (Cell{2, 1}));
    EXPECT_EQ(grid.focusCount, 3);
}

TEST(AdvanceCursor, first_cell_after_clearing) {
    FakeGridView grid;
    grid.Model().SetRows(21);
    grid.Model().SetCols(16);
    grid.Model().SetRow(12);
    grid.Model().SetCol(9);
    int column = 1;
    int row = 1;
    Mei::AdvanceCursor(grid, column, row, 1);
    EXPECT_EQ(Cursor(grid), (Cell{1, 1}));
    EXPECT_EQ(grid.focusCount, 1);
}

}  // namespace
