#include "FakeCellEditor.h"
#include "FakeGridView.h"
#include "grid/FilterKey.h"
#include "grid/GridModel.h"
#include "grid/Mei.h"

#include "QStringPrinter.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using Cell = std::pair<int, int>;  // (row, column)

// A grid and its editor wired as the window wires them: the grid taking the
// focus takes it from the editor, and the editor losing it commits.
class CellEdit : public ::testing::Test {
protected:
    CellEdit() {
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
    void PlaceCursor(int row, int col, const QString& text = {}) {
        model().SetRow(row);
        model().SetCol(col);
        model().SetTextMatrix(row, col, text);
    }
    void Type(QChar ch) {
        Mei::StartEditByKey(grid, editor, CharCode(ch), FilterKind::Number, QString(ch));
    }
    void Key(int key) { Mei::EditorKeyDown(grid, editor, key, 0); }

    FakeGridView grid;
    FakeCellEditor editor;
    bool fillDown = false;
    // When set, the editor's loss of focus arrives as a queued event.
    bool deferFocusLoss = false;
    int commits = 0;
};

// Each way of opening the editor, then Enter. What the filter drops opens it
// empty; Backspace and Delete open it empty too, to empty the cell. Text is
// written as typed, never reformatted: a double-byte digit from an input
// method, or 1.2.3 edited with Space, stays as it is.
TEST_F(CellEdit, the_editor_opens_on_the_right_text_and_enter_writes_it_as_typed) {
    struct Case {
        const char* how;
        std::function<void()> open;
        QString before;
        QString text;
        int caret;
    };
    const QString number = QStringLiteral("12.50");
    const auto type = [this](QChar ch) { return [this, ch] { Type(ch); }; };
    const Case cases[] = {
        {"digit", type(u'7'), number, QStringLiteral("7"), 1},
        {"letter", type(u'a'), number, QString(), 1},
        {"minus", type(u'-'), number, QString(), 1},
        {"comma", type(u','), number, QString(), 1},
        {"plus", type(u'+'), number, QString(), 1},
        {"slash", type(u'/'), number, QString(), 1},
        {"double-byte digit", type(QChar(0xFF15)), number, QStringLiteral("５"), 1},
        {"space", type(u' '), QStringLiteral("1.2.3"), QStringLiteral("1.2.3"), 0},
        {"backspace",
         [this] { Mei::StartEditByKey(grid, editor, Mei::kKeyBack, FilterKind::Number); }, number,
         QString(), 10000},
        {"delete", [this] { Mei::GridKeyDown(grid, editor, Mei::kKeyDelete); }, number, QString(),
         10000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        commits = 0;
        PlaceCursor(2, 1, c.before);
        c.open();
        EXPECT_EQ(editor.text, c.text);
        EXPECT_EQ(editor.requestedSelStart, c.caret);
        EXPECT_EQ(editor.selLength, 0);
        EXPECT_TRUE(editor.visible);
        EXPECT_TRUE(editor.focused);

        Key(Mei::kKeyReturn);
        EXPECT_EQ(commits, 1);
        EXPECT_FALSE(editor.visible);
        EXPECT_EQ(model().TextMatrix(2, 1), c.text);
        EXPECT_EQ(Cursor(), (Cell{2, 2}));
    }
}

TEST_F(CellEdit, other_keys_neither_open_nor_close_the_editor) {
    for (int code : {0, 3, Mei::kKeyReturn, Mei::kKeyEscape, 31}) {
        Mei::StartEditByKey(grid, editor, code, FilterKind::Number);
    }
    for (int key : {Mei::kKeyUp, Mei::kKeyDown, Mei::kKeyBack, 65}) {
        Mei::GridKeyDown(grid, editor, key);
    }
    EXPECT_EQ(editor.showCount, 0);

    Type(QLatin1Char('2'));
    const int focusBefore = grid.focusCount;
    for (int key : {37, 39, Mei::kKeyDelete, 36, 35}) {  // left, right, Delete, Home, End
        Key(key);
    }
    EXPECT_EQ(grid.focusCount, focusBefore);
    EXPECT_TRUE(editor.visible);
    EXPECT_EQ(commits, 0);
}

TEST_F(CellEdit, esc_hides_then_focuses_the_grid_and_still_writes_the_text) {
    std::vector<std::string> journal;
    PlaceCursor(2, 2, QStringLiteral("4"));
    Type(QLatin1Char('5'));
    editor.text = QStringLiteral("56");
    grid.journal = &journal;
    editor.journal = &journal;

    Key(Mei::kKeyEscape);
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
    model().SetRow(5);  // moved by the mouse while the editor was open
    model().SetCol(3);
    editor.focused = false;  // the focus has already gone; this is its commit
    Mei::CommitEdit(grid, editor, false);
    EXPECT_EQ(model().TextMatrix(2, 1), QStringLiteral("3"));
    EXPECT_EQ(model().TextMatrix(5, 3), QString());
    EXPECT_EQ(Cursor(), (Cell{5, 1})) << "the advance starts from where the cursor is now";
}

TEST_F(CellEdit, up_and_down_move_from_the_cell_the_commit_advanced_to) {
    struct ArrowCase {
        const char* situation;
        bool fillDown;
        int key;
        Cell edited;
        Cell after;
    };
    const ArrowCase cases[] = {
        {"up, down the column: back to the edited cell", true, Mei::kKeyUp, {3, 2}, {3, 2}},
        {"down, down the column: two rows below", true, Mei::kKeyDown, {2, 2}, {4, 2}},
        {"up, along the row: row above, column right", false, Mei::kKeyUp, {3, 1}, {2, 2}},
        {"down, along the row: row below, column right", false, Mei::kKeyDown, {3, 1}, {4, 2}},
        {"up on the first row, along the row: stays in row 1, no scroll", false, Mei::kKeyUp, {1, 2}, {1, 3}},
        {"down on the last row, down the column: wraps to the top", true, Mei::kKeyDown, {5, 1}, {2, 2}},
    };
    deferFocusLoss = true;
    // Row 1 counts as partly hidden, so Up there would scroll above it were
    // that not refused.
    grid.rowIsVisible = [](int row) { return row != 1; };
    for (const auto& c : cases) {
        fillDown = c.fillDown;
        commits = 0;
        PlaceCursor(c.edited.first, c.edited.second);
        Type(QLatin1Char('6'));
        Key(c.key);
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
    Key(Mei::kKeyDown);  // commit to 15, then 16
    EXPECT_EQ(Cursor(), (Cell{16, 1}));
    EXPECT_EQ(grid.topRowSets, (std::vector<int>{11}));

    grid.topRow = 10;
    grid.topRowSets.clear();
    PlaceCursor(9, 1);
    Type(QLatin1Char('1'));
    fillDown = false;
    Key(Mei::kKeyUp);  // commit to (9, 2), then 8
    EXPECT_EQ(Cursor(), (Cell{8, 2}));
    EXPECT_EQ(grid.topRowSets, (std::vector<int>{9}));
}

}  // namespace

// Each grid remembers the cell its own editor was opened on: an editor
// opened on another grid in between does not move where this one commits.
TEST_F(CellEdit, each_grid_commits_to_the_cell_its_own_editor_was_opened_on) {
    PlaceCursor(3, 2);
    Type(u'4');
    FakeGridView other;
    FakeCellEditor otherEditor;
    other.Model().SetRow(5);
    Mei::StartEditByKey(other, otherEditor, CharCode(u'9'), FilterKind::Number,
                        QStringLiteral("9"));
    Key(Mei::kKeyReturn);
    EXPECT_EQ(model().TextMatrix(3, 2), QStringLiteral("4"));
}
