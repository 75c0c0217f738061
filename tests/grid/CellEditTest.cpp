#include "FakeCellEditor.h"
#include "FakeGridView.h"
#include "FilterKey.h"
#include "GridModel.h"
#include "Mei.h"

#include "QStringPrinter.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Cell = std::pair<int, int>;  // (row, column)
using Journal = std::vector<std::string>;

// A grid and its editor wired as the window wires them: the grid taking the
// focus takes it from the editor, and the editor losing it commits.
class CellEdit : public ::testing::Test {
protected:
    CellEdit() {
        Mei::lEditRow = 0;
        Mei::lEditCol = 0;
        model().SetRows(6);
        model().SetCols(4);
        grid.onSetFocus = [this] {
            if (deferFocusLoss) {
                grid.pending.emplace_back([this] { editor.LoseFocus(); });
            } else {
                editor.LoseFocus();
            }
        };
        editor.onLostFocus = [this] {
            ++commits;
            Mei::CommitEdit(grid, editor, fillDown);
        };
    }

    GridModel& model() { return grid.Model(); }
    Cell Cursor() { return {model().Row(), model().Col()}; }
    void PlaceCursor(int row, int col) {
        model().SetRow(row);
        model().SetCol(col);
    }
    void Type(QChar ch) { Mei::StartEditByKey(grid, editor, CharCode(ch), 2, QString(ch)); }

    FakeGridView grid;
    FakeCellEditor editor;
    bool fillDown = false;
    // When set, the editor's loss of focus arrives as a queued event.
    bool deferFocusLoss = false;
    int commits = 0;
};

TEST_F(CellEdit, typing_a_digit_replaces_the_cell_text_and_enter_writes_it) {
    PlaceCursor(2, 1);
    model().SetTextMatrix(2, 1, QStringLiteral("12.50"));

    Type(QLatin1Char('7'));
    EXPECT_EQ(editor.text, QStringLiteral("7"));
    EXPECT_EQ(editor.requestedSelStart, 1);
    EXPECT_EQ(editor.selLength, 0);
    EXPECT_TRUE(editor.visible);
    EXPECT_TRUE(editor.focused);

    Mei::EditorKeyDown(grid, editor, Mei::kKeyReturn, 0);
    EXPECT_EQ(commits, 1);
    EXPECT_FALSE(editor.visible);
    EXPECT_EQ(model().TextMatrix(2, 1), QStringLiteral("7"));
    EXPECT_EQ(Cursor(), (Cell{2, 2}));
}

TEST_F(CellEdit, characters_the_filter_drops_open_an_empty_editor_that_empties_the_cell) {
    for (char typed : {'a', '-', ',', '+', '/'}) {
        PlaceCursor(1, 1);
        model().SetTextMatrix(1, 1, QStringLiteral("3.00"));
        Type(QLatin1Char(typed));
        EXPECT_TRUE(editor.visible) << typed;
        EXPECT_EQ(editor.text, QString()) << typed;
        Mei::EditorKeyDown(grid, editor, Mei::kKeyReturn, 0);
        EXPECT_EQ(model().TextMatrix(1, 1), QString()) << typed;
    }
}

TEST_F(CellEdit, a_double_byte_character_opens_the_editor_holding_it) {
    fillDown = true;
    PlaceCursor(1, 3);
    Type(QChar(0xFF15));  // full-width 5 from an input method
    EXPECT_EQ(editor.text, QStringLiteral("５"));
    EXPECT_EQ(editor.requestedSelStart, 1);
    editor.text += QStringLiteral("．２");
    Mei::EditorKeyDown(grid, editor, Mei::kKeyReturn, 0);
    EXPECT_EQ(model().TextMatrix(1, 3), QStringLiteral("５．２"));  // not reformatted
    EXPECT_EQ(Cursor(), (Cell{2, 3}));
}

TEST_F(CellEdit, space_edits_the_existing_text_with_the_caret_at_its_start) {
    PlaceCursor(3, 2);
    model().SetTextMatrix(3, 2, QStringLiteral("1.2.3"));
    Type(QLatin1Char(' '));
    EXPECT_EQ(editor.text, QStringLiteral("1.2.3"));
    EXPECT_EQ(editor.requestedSelStart, 0);
    EXPECT_EQ(editor.selLength, 0);
}

TEST_F(CellEdit, delete_and_backspace_open_an_empty_editor_with_the_caret_at_the_end) {
    for (bool useDelete : {false, true}) {
        PlaceCursor(4, 1);
        model().SetTextMatrix(4, 1, QStringLiteral("9"));
        if (useDelete) {
            Mei::GridKeyDown(grid, editor, Mei::kKeyDelete);
        } else {
            Mei::StartEditByKey(grid, editor, Mei::kKeyBack, 2);
        }
        EXPECT_TRUE(editor.visible);
        EXPECT_EQ(editor.text, QString());
        EXPECT_EQ(editor.requestedSelStart, 10000);
        Mei::EditorKeyDown(grid, editor, Mei::kKeyReturn, 0);
        EXPECT_EQ(model().TextMatrix(4, 1), QString());
        EXPECT_EQ(Cursor(), (Cell{4, 2}));
    }
}

TEST_F(CellEdit, other_control_codes_and_other_key_downs_open_nothing) {
    for (int code : {0, 3, Mei::kKeyReturn, Mei::kKeyEscape, 31}) {
        Mei::StartEditByKey(grid, editor, code, 2);
    }
    for (int key : {Mei::kKeyUp, Mei::kKeyDown, Mei::kKeyBack, 65}) {
        Mei::GridKeyDown(grid, editor, key);
    }
    EXPECT_EQ(editor.showCount, 0);
}

TEST_F(CellEdit, the_editor_lies_exactly_over_the_current_cell) {
    grid.left = 200;
    grid.top = 1800;
    grid.cellRect = [](int row, int col) { return TwipRect{600 + (col - 1) * 750, 240 * row, 750, 240}; };
    PlaceCursor(3, 2);
    Type(QLatin1Char('1'));
    EXPECT_EQ(editor.rect.left, 200 + 1350);
    EXPECT_EQ(editor.rect.top, 1800 + 720);
    EXPECT_EQ(editor.rect.width, 750);
    EXPECT_EQ(editor.rect.height, 240);
    EXPECT_EQ(Mei::lEditRow, 3);
    EXPECT_EQ(Mei::lEditCol, 2);
}

TEST_F(CellEdit, esc_hides_then_focuses_the_grid_and_still_writes_the_text) {
    Journal journal;
    PlaceCursor(2, 2);
    model().SetTextMatrix(2, 2, QStringLiteral("4"));
    Type(QLatin1Char('5'));
    editor.text = QStringLiteral("56");
    grid.journal = &journal;
    editor.journal = &journal;

    Mei::EditorKeyDown(grid, editor, Mei::kKeyEscape, 0);
    EXPECT_EQ(commits, 1);
    EXPECT_EQ(model().TextMatrix(2, 2), QStringLiteral("56"));
    EXPECT_EQ(Cursor(), (Cell{2, 3}));
    ASSERT_GE(journal.size(), 2U);
    EXPECT_EQ(journal.front(), "editor.Hide");
    EXPECT_EQ(journal.back(), "grid.SetFocus");
}

TEST_F(CellEdit, scrolling_commits_an_open_editor_and_ignores_a_closed_one) {
    Mei::GridScrolled(grid, editor);
    EXPECT_EQ(grid.focusCount, 0);

    PlaceCursor(1, 1);
    Type(QLatin1Char('8'));
    Mei::GridScrolled(grid, editor);
    EXPECT_EQ(commits, 1);
    EXPECT_FALSE(editor.visible);
    EXPECT_EQ(model().TextMatrix(1, 1), QStringLiteral("8"));
}

TEST_F(CellEdit, commit_writes_the_cell_the_editor_was_opened_on) {
    PlaceCursor(2, 1);
    Type(QLatin1Char('3'));
    PlaceCursor(5, 3);  // moved by the mouse while the editor was open
    editor.focused = false;  // the focus has already gone; this is its commit
    Mei::CommitEdit(grid, editor, false);
    EXPECT_EQ(model().TextMatrix(2, 1), QStringLiteral("3"));
    EXPECT_EQ(model().TextMatrix(5, 3), QString());
    // The advance starts from where the cursor is now: past the last column.
    EXPECT_EQ(Cursor(), (Cell{5, 1}));
}

struct ArrowCase {
    const char* situation;
    bool fillDown;
    int key;
    Cell edited;
    Cell after;
};

TEST_F(CellEdit, up_and_down_move_from_the_cell_the_commit_advanced_to) {
    const ArrowCase cases[] = {
        {"up, down the column: back to the edited cell", true, Mei::kKeyUp, {3, 2}, {3, 2}},
        {"down, down the column: two rows below", true, Mei::kKeyDown, {2, 2}, {4, 2}},
        {"up, along the row: row above, column right", false, Mei::kKeyUp, {3, 1}, {2, 2}},
        {"down, along the row: row below, column right", false, Mei::kKeyDown, {3, 1}, {4, 2}},
        {"up on the first row, along the row: stays in row 1", false, Mei::kKeyUp, {1, 2}, {1, 3}},
        {"down on the last row, down the column: wraps to the top", true, Mei::kKeyDown, {5, 1}, {2, 2}},
    };
    deferFocusLoss = true;
    for (const auto& c : cases) {
        fillDown = c.fillDown;
        commits = 0;
        PlaceCursor(c.edited.first, c.edited.second);
        Type(QLatin1Char('6'));
        Mei::EditorKeyDown(grid, editor, c.key, 0);
        EXPECT_EQ(commits, 1) << c.situation;
        EXPECT_EQ(model().TextMatrix(c.edited.first, c.edited.second), QStringLiteral("6")) << c.situation;
        EXPECT_EQ(Cursor(), c.after) << c.situation;
        EXPECT_TRUE(grid.topRowSets.empty()) << c.situation;
    }
}

TEST_F(CellEdit, up_and_down_scroll_one_row_when_the_new_row_is_hidden) {
    model().SetRows(41);
    grid.topRow = 10;
    grid.visibleRows = 5;  // rows 10 to 14 on screen
    fillDown = true;

    PlaceCursor(14, 1);
    Type(QLatin1Char('1'));
    Mei::EditorKeyDown(grid, editor, Mei::kKeyDown, 0);  // commit to 15, then 16
    EXPECT_EQ(Cursor(), (Cell{16, 1}));
    EXPECT_EQ(grid.topRowSets, (std::vector<int>{11}));

    grid.topRow = 10;
    grid.topRowSets.clear();
    PlaceCursor(9, 1);
    Type(QLatin1Char('1'));
    fillDown = false;
    Mei::EditorKeyDown(grid, editor, Mei::kKeyUp, 0);  // commit to (9, 2), then 8
    EXPECT_EQ(Cursor(), (Cell{8, 2}));
    EXPECT_EQ(grid.topRowSets, (std::vector<int>{9}));
}

TEST_F(CellEdit, up_never_scrolls_above_the_first_data_row) {
    grid.rowIsVisible = [](int) { return false; };
    grid.topRow = 1;
    PlaceCursor(1, 1);
    Type(QLatin1Char('2'));
    Mei::EditorKeyDown(grid, editor, Mei::kKeyUp, 0);
    EXPECT_EQ(grid.topRow, 1);
    EXPECT_TRUE(grid.topRowSets.empty());
}

TEST_F(CellEdit, other_keys_in_the_editor_are_left_to_it) {
    PlaceCursor(1, 1);
    Type(QLatin1Char('2'));
    const int focusBefore = grid.focusCount;
    for (int key : {37, 39, Mei::kKeyDelete, 36, 35}) {
        Mei::EditorKeyDown(grid, editor, key, 0);
    }
    EXPECT_EQ(grid.focusCount, focusBefore);
    EXPECT_TRUE(editor.visible);
    EXPECT_EQ(commits, 0);
}

}  // namespace
