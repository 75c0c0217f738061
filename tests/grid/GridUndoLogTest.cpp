#include "grid/GridUndoLog.h"

#include "QStringPrinter.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

struct Sheet {
    explicit Sheet(std::size_t maxCells = GridUndoLog::kMaxCells) : log(grid, maxCells) {}

    // One step of the operator's: writes the cells, then moves the cursor.
    void Step(std::initializer_list<std::tuple<int, int, const char*>> cells, int row, int col) {
        log.Begin();
        for (const auto& [r, c, text] : cells) grid.SetTextMatrix(r, c, QString::fromUtf8(text));
        grid.SetRow(row);
        grid.SetCol(col);
        log.End();
    }
    QString At(int row, int col) const { return grid.TextMatrix(row, col); }
    std::pair<int, int> Cursor() const { return {grid.Row(), grid.Col()}; }

    GridModel grid{6, 4};
    GridUndoLog log;
};

TEST(GridUndoLog, undo_puts_back_texts_and_cursor_and_redo_does_the_step_again) {
    Sheet s;
    s.Step({{1, 1, "1.00"}}, 1, 2);
    s.Step({{1, 2, "2.00"}, {1, 3, "3.00"}}, 2, 2);  // a coordinate pick: one step

    ASSERT_TRUE(s.log.Undo());
    EXPECT_EQ(s.At(1, 2), QString());
    EXPECT_EQ(s.At(1, 3), QString());
    EXPECT_EQ(s.Cursor(), std::make_pair(1, 2));
    ASSERT_TRUE(s.log.Undo());
    EXPECT_EQ(s.At(1, 1), QString());
    EXPECT_EQ(s.Cursor(), std::make_pair(1, 1));
    EXPECT_FALSE(s.log.Undo()) << "nothing more to take back";

    ASSERT_TRUE(s.log.Redo());
    ASSERT_TRUE(s.log.Redo());
    EXPECT_EQ(s.At(1, 1), QStringLiteral("1.00"));
    EXPECT_EQ(s.At(1, 3), QStringLiteral("3.00"));
    EXPECT_EQ(s.Cursor(), std::make_pair(2, 2));
    EXPECT_FALSE(s.log.Redo());
}

TEST(GridUndoLog, a_cell_overwritten_comes_back_with_its_first_text) {
    Sheet s;
    s.grid.SetTextMatrix(2, 2, QStringLiteral("typed"));  // outside any step: not undoable
    s.Step({{2, 2, "5.00"}, {2, 2, "6.00"}}, 2, 3);
    s.log.Undo();
    EXPECT_EQ(s.At(2, 2), QStringLiteral("typed"));
    EXPECT_FALSE(s.log.CanUndo());
}

TEST(GridUndoLog, nested_brackets_are_one_step_and_a_step_without_change_is_none) {
    Sheet s;
    s.log.Begin();
    s.grid.SetTextMatrix(1, 1, QStringLiteral("a"));
    s.Step({{1, 2, "b"}}, 3, 3);
    s.log.End();
    EXPECT_EQ(s.log.UndoCount(), 1u);

    s.Step({{1, 1, "a"}}, 1, 1);  // the same text again
    s.Step({}, 2, 2);             // only the cursor moved
    EXPECT_EQ(s.log.UndoCount(), 1u);
}

TEST(GridUndoLog, a_new_step_after_undo_drops_what_could_have_been_redone) {
    Sheet s;
    s.Step({{1, 1, "1"}}, 1, 2);
    s.Step({{1, 2, "2"}}, 1, 3);
    s.log.Undo();
    s.Step({{3, 3, "9"}}, 3, 1);
    EXPECT_FALSE(s.log.CanRedo());
    s.log.Undo();
    s.log.Undo();
    EXPECT_EQ(s.At(1, 2), QString());
}

TEST(GridUndoLog, keeps_the_last_thousand_steps) {
    Sheet s;
    for (int i = 0; i < 1005; ++i) s.Step({{1, 1, i % 2 ? "odd" : "even"}}, 1, 1);
    int undone = 0;
    while (s.log.Undo()) ++undone;
    EXPECT_EQ(undone, 1000);
    EXPECT_EQ(s.At(1, 1), QStringLiteral("even")) << "what step 4 left, before the oldest kept";
}

// Steps of whole grids must not pile up without end: past the cells the log
// may hold, its oldest steps go, and the newest stays even alone.
TEST(GridUndoLog, keeps_no_more_cells_than_its_bound) {
    Sheet s(5);
    s.Step({{1, 1, "a"}, {1, 2, "b"}}, 1, 1);
    s.Step({{2, 1, "c"}, {2, 2, "d"}}, 1, 1);
    s.Step({{3, 1, "e"}, {3, 2, "f"}}, 1, 1);  // 6 cells: the first step goes
    EXPECT_EQ(s.log.UndoCount(), 2u);
    s.log.Undo();
    s.log.Undo();
    s.log.Redo();  // moving between undo and redo holds the same cells
    s.Step({{4, 1, "g"}, {4, 2, "h"}, {4, 3, "i"}, {5, 1, "j"}}, 1, 1);  // drops the redo
    EXPECT_EQ(s.log.UndoCount(), 1u) << "2 + 4 cells is over 5";
    s.Step({{1, 3, "1"}, {2, 3, "2"}, {3, 3, "3"}, {5, 2, "4"}, {5, 3, "5"}, {1, 1, "6"}}, 1, 1);
    EXPECT_EQ(s.log.UndoCount(), 1u) << "a step over the bound alone is kept";
    EXPECT_TRUE(s.log.Undo());
    EXPECT_EQ(s.At(5, 3), QString());
}

TEST(GridUndoLog, undo_of_a_clear_with_a_smaller_grid_brings_the_sheet_back) {
    Sheet s;
    s.Step({{1, 1, "1"}, {5, 3, "far"}, {2, 2, "x"}}, 2, 3);
    s.log.SetResizeGrid([&](int rows, int cols) {
        s.grid.SetRows(rows);
        s.grid.SetCols(cols);
    });

    // A new grid size: the grid shrinks, then is emptied; one step.
    s.log.Begin();
    s.grid.SetRows(3);
    s.grid.ClearData();
    s.grid.SetRow(1);
    s.grid.SetCol(1);
    s.log.End();
    EXPECT_EQ(s.grid.UsedRows(), 0);

    ASSERT_TRUE(s.log.Undo());
    EXPECT_EQ(s.grid.Rows(), 6) << "the grid's size comes back with its cells";
    EXPECT_EQ(s.At(5, 3), QStringLiteral("far"));
    EXPECT_EQ(s.At(1, 1), QStringLiteral("1"));
    EXPECT_EQ(s.At(2, 2), QStringLiteral("x"));
    EXPECT_EQ(s.Cursor(), std::make_pair(2, 3));

    ASSERT_TRUE(s.log.Redo());
    EXPECT_EQ(s.grid.UsedRows(), 0);
    EXPECT_EQ(s.grid.Rows(), 3);
}

}  // namespace

namespace {

struct Mark : CellTag {};

// What a grid operation does to a measured value's tag, and whether undo and
// redo bring the value and its tag back together.
struct TagCase {
    const char* name;
    std::function<void(Sheet&)> change;
    // The cell (2, 2) after the change.
    const char* textAfter;
    bool tagKept;
};

}  // namespace

TEST(GridUndoLog, a_measured_values_tag_follows_its_value_through_every_change_and_back) {
    const TagCase cases[] = {
        {"measured again (a new tag)",
         [](Sheet& s) {
             s.log.Begin();
             s.grid.SetTextMatrix(2, 2, QStringLiteral("4.00"));
             s.grid.SetTag(2, 2, std::make_shared<Mark>());
             s.log.End();
         },
         "4.00", true},
        {"typed over", [](Sheet& s) { s.Step({{2, 2, "9"}}, 2, 2); }, "9", false},
        {"typed over with the same text", [](Sheet& s) { s.Step({{2, 2, "3.00"}}, 2, 2); }, "3.00",
         false},
        {"deleted", [](Sheet& s) { s.Step({{2, 2, ""}}, 2, 2); }, "", false},
        {"cleared",
         [](Sheet& s) {
             s.log.Begin();
             s.grid.ClearData();
             s.log.End();
         },
         "", false},
        {"cut off by a smaller grid",
         [](Sheet& s) {
             s.log.Begin();
             s.grid.SetRows(2);
             s.log.End();
             s.grid.SetRows(6);
         },
         "", false},
    };
    for (const TagCase& c : cases) {
        SCOPED_TRACE(c.name);
        Sheet s;
        s.log.SetResizeGrid([&s](int rows, int cols) {
            s.grid.SetRows(rows);
            s.grid.SetCols(cols);
        });
        const CellTagPtr measured = std::make_shared<Mark>();
        s.log.Begin();
        s.grid.SetTextMatrix(2, 2, QStringLiteral("3.00"));
        s.grid.SetTag(2, 2, measured);
        s.log.End();

        c.change(s);
        EXPECT_EQ(s.At(2, 2), QString::fromUtf8(c.textAfter));
        const CellTagPtr after = s.grid.Tag(2, 2);
        EXPECT_EQ(after != nullptr, c.tagKept);
        EXPECT_NE(after, measured);

        ASSERT_TRUE(s.log.Undo());
        EXPECT_EQ(s.At(2, 2), QStringLiteral("3.00"));
        EXPECT_EQ(s.grid.Tag(2, 2), measured) << "the value's own tag comes back with it";
        ASSERT_TRUE(s.log.Redo());
        EXPECT_EQ(s.At(2, 2), QString::fromUtf8(c.textAfter));
        EXPECT_EQ(s.grid.Tag(2, 2), after);
        ASSERT_TRUE(s.log.Undo());
        ASSERT_TRUE(s.log.Undo());
        EXPECT_EQ(s.At(2, 2), QString());
        EXPECT_EQ(s.grid.Tag(2, 2), nullptr);
        EXPECT_TRUE(s.grid.Tags().empty());
    }
}

TEST(GridUndoLog, a_tag_needs_a_value_and_a_data_cell) {
    Sheet s;
    const auto mark = std::make_shared<Mark>();
    EXPECT_FALSE(s.grid.SetTag(2, 2, mark)) << "an empty cell";
    s.grid.SetTextMatrix(0, 2, QStringLiteral("B"));
    EXPECT_FALSE(s.grid.SetTag(0, 2, mark)) << "a header";
    EXPECT_FALSE(s.grid.SetTag(9, 2, mark)) << "outside the grid";
    EXPECT_TRUE(s.grid.Tags().empty());
}
