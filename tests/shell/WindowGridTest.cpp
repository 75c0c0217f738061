// The detail grid through the real window: values put at the cursor, the
// cursor moves, in-place editing by real key events, and the grid's layout
// from the size and width boxes.

#include "CellEditorBox.h"
#include "FilteredLineEdit.h"
#include "MeiGridView.h"
#include "QStringPrinter.h"
#include "TextTable.h"
#include "Twips.h"
#include "WindowFixture.h"

#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Kind = FakeDialogs::Shown::Kind;
using Cell = std::pair<int, int>;  // (row, column)

const QString kClearQuestion = QStringLiteral("全データをクリアしてよろしいですか？");

struct EditionCase {
    const char* name;
    Edition (*make)();
};

void PrintTo(const EditionCase& c, std::ostream* os) { *os << c.name; }

std::string EditionName(const testing::TestParamInfo<EditionCase>& info) {
    return info.param.name;
}

// The window shown, active and with the start-up defaults (20 data rows by
// 15 data columns, two decimals, filling across).
class WindowGridBase {
protected:
    explicit WindowGridBase(const Edition& edition) : fx(edition) {}

    void Open() {
        fx.Start();
        fx.window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(fx.window.get()));
        ASSERT_EQ(view(), QApplication::focusWidget());
    }

    frmTab& window() { return *fx.window; }
    GridModel& grid() { return fx.window->Grid(); }
    MeiGridView* view() { return fx.Find<MeiGridView>(QStringLiteral("msgMei")); }
    CellEditorBox* editor() { return fx.Find<CellEditorBox>(QStringLiteral("txtForEdit")); }
    FilteredLineEdit* input(int i) {
        return fx.Find<FilteredLineEdit>(QStringLiteral("txtInput(%1)").arg(i));
    }
    QComboBox* combo(const char* name) { return fx.Find<QComboBox>(QLatin1String(name)); }

    void FillDown(bool down) {
        fx.Find<QRadioButton>(down ? QStringLiteral("optInput(0)") : QStringLiteral("optInput(1)"))
            ->setChecked(true);
    }
    void Place(int row, int col) {
        ASSERT_TRUE(grid().SetRow(row));
        ASSERT_TRUE(grid().SetCol(col));
    }
    Cell Cursor() { return {grid().Row(), grid().Col()}; }

    // Replaces a box's whole text by typing, key by key, as the operator does.
    void TypeOver(FilteredLineEdit* box, const QString& text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    }

    // Brings up the page that holds a box, as the operator does before typing.
    void ShowPage(int page) { fx.Find<QTabWidget>(QStringLiteral("sstMenu"))->setCurrentIndex(page); }

    void SetSize(int rows, int cols) {
        input(1)->setText(QString::number(rows));
        input(2)->setText(QString::number(cols));
        ASSERT_EQ(rows + 1, grid().Rows());
        ASSERT_EQ(cols + 1, grid().Cols());
    }

    // Where the editor must sit: exactly on the current cell, in the
    // window's coordinates.
    QRect CurrentCellInWindow() {
        const QModelIndex index = view()->model()->index(grid().Row() - 1, grid().Col() - 1);
        const QRect cell = view()->visualRect(index);
        return {view()->viewport()->mapTo(fx.window.get(), cell.topLeft()), cell.size()};
    }

    bool AutosaveExists() const { return QFile::exists(fx.Path(QStringLiteral("Save.csv"))); }
    QByteArray Autosave() const {
        QFile f(fx.Path(QStringLiteral("Save.csv")));
        if (!f.open(QIODevice::ReadOnly)) return "<missing>";
        return f.readAll();
    }
    QByteArray TableOfGrid() { return BuildTextTable(grid(), QStringLiteral(",")).toUtf8(); }

    int Questions() const { return fx.dialogs.Count(Kind::Question); }

    WindowFixture fx;
};

class WindowGrid : public WindowGridBase, public testing::Test {
protected:
    WindowGrid() : WindowGridBase(FullEdition()) {}
    void SetUp() override { Open(); }
};

class WindowGridEditions : public WindowGridBase, public testing::TestWithParam<EditionCase> {
protected:
    WindowGridEditions() : WindowGridBase(GetParam().make()) {}
    void SetUp() override { Open(); }
    bool Autosaves() const { return std::string(GetParam().name) == "Full"; }
};

INSTANTIATE_TEST_SUITE_P(Editions, WindowGridEditions,
                         testing::Values(EditionCase{"Full", &FullEdition},
                                         EditionCase{"Reduced", &ReducedEdition}),
                         EditionName);

// --- Values put at the cursor ------------------------------------------------------

TEST_F(WindowGrid, put_value_writes_the_number_with_the_chosen_decimals_over_the_cell) {
    const struct {
        int decimals;
        double value;
        const char* text;
    } cases[] = {
        {0, 2.5, "3"},     {0, -2.5, "-3"},   {0, 0.4, "0"},       {2, 0.125, ".13"},
        {2, 7, "7.00"},    {2, 2.675, "2.68"}, {1, -3.25, "-3.3"}, {5, 1.5, "1.50000"},
        {-1, 2.6, "3"},  // no selection counts as no decimals
    };
    QComboBox* decimals = combo("cmbSyosu");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        decimals->setCurrentIndex(c.decimals);
        Place(4, 4);
        grid().SetTextMatrix(4, 4, QStringLiteral("old"));
        window().PutValue(c.value, false);
        EXPECT_EQ(QString::fromUtf8(c.text), grid().TextMatrix(4, 4));
        EXPECT_EQ(Cell(4, 4), Cursor());
    }
}

TEST_F(WindowGrid, put_values_fill_a_small_grid_in_the_fill_direction_and_wrap) {
    const struct {
        bool down;
        std::vector<Cell> landings;
    } cases[] = {
        {false, {{1, 1}, {1, 2}, {2, 1}, {2, 2}, {3, 1}, {3, 2}, {3, 1}}},
        {true, {{1, 1}, {2, 1}, {3, 1}, {1, 2}, {2, 2}, {3, 2}, {1, 2}}},
    };
    SetSize(3, 2);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.down ? "down" : "across");
        FillDown(c.down);
        grid().ClearData();
        Place(1, 1);
        for (std::size_t i = 0; i < c.landings.size(); ++i) {
            EXPECT_EQ(c.landings[i], Cursor()) << "value " << i + 1;
            window().PutValue(static_cast<double>(i + 1), true);
        }
        // The seventh overwrote the cell where it landed.
        const Cell last = c.landings.back();
        EXPECT_EQ(QStringLiteral("7.00"), grid().TextMatrix(last.first, last.second));
    }
}

TEST_P(WindowGridEditions, put_value_rewrites_the_autosave_in_the_full_edition_only) {
    window().PutValue(12.5, true);
    window().PutValue(3, true);
    window().cmdNextLine_Click();
    window().PutValue(7.25, true);
    if (Autosaves()) {
        EXPECT_EQ(QByteArray("12.50,3.00\r\n7.25,\r\n"), Autosave());
    } else {
        EXPECT_FALSE(AutosaveExists());
    }
}

TEST_F(WindowGrid, put_value_and_next_line_leave_the_grid_focused) {
    auto* exitButton = fx.Find<QToolButton>(QStringLiteral("cmdExit"));
    exitButton->setFocus();
    ASSERT_EQ(exitButton, QApplication::focusWidget());
    window().PutValue(1, true);
    EXPECT_EQ(view(), QApplication::focusWidget());

    exitButton->setFocus();
    window().cmdNextLine_Click();
    EXPECT_EQ(view(), QApplication::focusWidget());
}

TEST_F(WindowGrid, next_line_goes_to_the_start_of_the_next_line_in_the_fill_direction) {
    // 20 data rows by 15 data columns.
    const struct {
        bool down;
        Cell from;
        Cell to;
    } cases[] = {
        {false, {2, 2}, {3, 1}},
        {false, {20, 4}, {1, 2}},  // past the last row: top of column 2
        {true, {5, 3}, {1, 4}},
        {true, {5, 15}, {2, 1}},  // past the last column: row 2, column 1
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.down ? "down" : "across") << " from (" << c.from.first
                                        << "," << c.from.second << ")");
        FillDown(c.down);
        Place(c.from.first, c.from.second);
        window().cmdNextLine_Click();
        EXPECT_EQ(c.to, Cursor());
    }
}

TEST_F(WindowGrid, enter_on_the_grid_moves_to_the_next_line_without_opening_the_editor) {
    Place(2, 2);
    QTest::keyClick(view(), Qt::Key_Return);
    EXPECT_EQ(Cell(3, 1), Cursor());
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(view(), QApplication::focusWidget());
}

// --- The cell editor ------------------------------------------------------------------

TEST_F(WindowGrid, a_key_on_the_grid_opens_the_editor_over_the_cell_and_enter_commits_it) {
    const struct {
        const char* what;
        Qt::Key key;
        char ascii;  // 0: send the key without text
        const char* editorText;
        int caret;
    } cases[] = {
        {"digit", Qt::Key_7, '7', "7", 1},
        {"point", Qt::Key_Period, '.', ".", 1},
        {"letter", Qt::Key_A, 'a', "", 0},
        {"minus", Qt::Key_Minus, '-', "", 0},
        {"space", Qt::Key_Space, ' ', "12.50", 0},
        {"delete", Qt::Key_Delete, 0, "", 0},
        {"backspace", Qt::Key_Backspace, 0, "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FillDown(false);
        Place(3, 2);
        grid().SetTextMatrix(3, 2, QStringLiteral("12.50"));
        if (c.ascii != 0) {
            QTest::keyClick(view(), c.ascii);
        } else {
            QTest::keyClick(view(), c.key);
        }
        ASSERT_TRUE(editor()->isVisible());
        EXPECT_EQ(editor(), QApplication::focusWidget());
        EXPECT_EQ(QString::fromUtf8(c.editorText), editor()->text());
        EXPECT_EQ(c.caret, editor()->cursorPosition());
        EXPECT_FALSE(editor()->hasSelectedText());
        EXPECT_EQ(CurrentCellInWindow(), editor()->geometry());
        // The cell keeps its text until the commit.
        EXPECT_EQ(QStringLiteral("12.50"), grid().TextMatrix(3, 2));

        QTest::keyClick(editor(), Qt::Key_Return);
        EXPECT_FALSE(editor()->isVisible());
        EXPECT_EQ(QString::fromUtf8(c.editorText), grid().TextMatrix(3, 2));
        EXPECT_EQ(Cell(3, 3), Cursor()) << "one advance across";
        EXPECT_EQ(view(), QApplication::focusWidget());
    }
}

TEST_F(WindowGrid, the_editor_takes_digits_and_the_point_but_no_letters_or_minus) {
    QTest::keyClick(view(), '7');
    QTest::keyClicks(editor(), "a-x+ ,");
    EXPECT_EQ(QStringLiteral("7"), editor()->text());
    QTest::keyClicks(editor(), "5.2.3");
    EXPECT_EQ(QStringLiteral("75.2.3"), editor()->text());
    QTest::keyClick(editor(), Qt::Key_Backspace);
    EXPECT_EQ(QStringLiteral("75.2."), editor()->text());
    QTest::keyClick(editor(), Qt::Key_Return);
    // Written as typed: a hand edit is not formatted or checked.
    EXPECT_EQ(QStringLiteral("75.2."), grid().TextMatrix(1, 1));
}

TEST_F(WindowGrid, editor_closings_commit_the_text_once_and_advance_once) {
    const struct {
        const char* what;
        bool down;
        Cell opened;
        Qt::Key key;
        Cell cursorAfter;
    } cases[] = {
        {"esc across", false, {2, 2}, Qt::Key_Escape, {2, 3}},
        {"esc down", true, {2, 2}, Qt::Key_Escape, {3, 2}},
        {"enter down", true, {2, 2}, Qt::Key_Return, {3, 2}},
        // Up and Down move from the cell the commit advanced to.
        {"up across on row 1", false, {1, 1}, Qt::Key_Up, {1, 2}},
        {"down across", false, {1, 1}, Qt::Key_Down, {2, 2}},
        {"up down returns to the cell", true, {3, 2}, Qt::Key_Up, {3, 2}},
        {"down down", true, {3, 2}, Qt::Key_Down, {5, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FillDown(c.down);
        Place(c.opened.first, c.opened.second);
        grid().SetTextMatrix(c.opened.first, c.opened.second, QStringLiteral("12.50"));
        QTest::keyClick(view(), ' ');
        ASSERT_TRUE(editor()->isVisible());
        QTest::keyClick(editor(), Qt::Key_End);
        QTest::keyClick(editor(), '9');
        ASSERT_EQ(QStringLiteral("12.509"), editor()->text());

        QTest::keyClick(editor(), c.key);
        QApplication::processEvents();
        EXPECT_FALSE(editor()->isVisible());
        EXPECT_EQ(QStringLiteral("12.509"), grid().TextMatrix(c.opened.first, c.opened.second));
        EXPECT_EQ(c.cursorAfter, Cursor());
        EXPECT_EQ(view(), QApplication::focusWidget());
    }
}

TEST_F(WindowGrid, scrolling_the_grid_commits_the_open_editor) {
    ShowPage(2);
    TypeOver(input(1), QStringLiteral("100"));
    ASSERT_EQ(101, grid().Rows());
    view()->setFocus();
    Place(1, 1);
    QTest::keyClick(view(), '4');
    ASSERT_TRUE(editor()->isVisible());
    ASSERT_GT(view()->verticalScrollBar()->maximum(), 5);

    view()->verticalScrollBar()->setValue(5);
    QApplication::processEvents();
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(QStringLiteral("4"), grid().TextMatrix(1, 1));
    EXPECT_EQ(Cell(1, 2), Cursor());
}

TEST_F(WindowGrid, the_commit_writes_to_the_cell_the_editor_was_opened_on) {
    Place(1, 1);
    QTest::keyClick(view(), '7');
    // The cursor moves while the editor is open (a measured value would do
    // this through the model, not the keyboard).
    Place(3, 2);
    QTest::keyClick(editor(), Qt::Key_Return);
    EXPECT_EQ(QStringLiteral("7"), grid().TextMatrix(1, 1));
    EXPECT_EQ(QString(), grid().TextMatrix(3, 2));
    EXPECT_EQ(Cell(3, 3), Cursor());
}

TEST_F(WindowGrid, full_width_digits_from_an_input_method_stay_as_typed) {
    // Typed on the grid: the input method's text opens the editor.
    Place(1, 1);
    QInputMethodEvent onGrid;
    onGrid.setCommitString(QStringLiteral("１２"));
    QApplication::sendEvent(view(), &onGrid);
    ASSERT_TRUE(editor()->isVisible());
    EXPECT_EQ(QStringLiteral("１２"), editor()->text());
    QTest::keyClick(editor(), Qt::Key_Return);
    EXPECT_EQ(QStringLiteral("１２"), grid().TextMatrix(1, 1));

    // Typed into the open editor.
    Place(2, 1);
    QTest::keyClick(view(), Qt::Key_Backspace);
    QInputMethodEvent inEditor;
    inEditor.setCommitString(QStringLiteral("３．５"));
    QApplication::sendEvent(editor(), &inEditor);
    QTest::keyClick(editor(), Qt::Key_Return);
    EXPECT_EQ(QStringLiteral("３．５"), grid().TextMatrix(2, 1));
}

TEST_F(WindowGrid, pasting_into_a_number_box_keeps_only_digits_and_points) {
    const char* boxes[] = {"txtForEdit", "txtInput(0)", "txtInput(3)"};
    for (const char* name : boxes) {
        SCOPED_TRACE(name);
        QGuiApplication::clipboard()->setText(QStringLiteral("1,2\t3\r\n4abc.5-"));
        FilteredLineEdit* box = nullptr;
        if (QLatin1String(name) == QLatin1String("txtForEdit")) {
            view()->setFocus();
            Place(1, 1);
            QTest::keyClick(view(), Qt::Key_Backspace);
            box = editor();
        } else {
            ShowPage(1);
            box = fx.Find<FilteredLineEdit>(QLatin1String(name));
            box->setFocus();
            box->selectAll();
        }
        ASSERT_NE(nullptr, box);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(QStringLiteral("1234.5"), box->text());
        if (box == editor()) QTest::keyClick(box, Qt::Key_Return);
    }
    EXPECT_EQ(QStringLiteral("1234.5"), grid().TextMatrix(1, 1));
}

TEST_P(WindowGridEditions, a_hand_edit_that_changes_a_cell_reaches_the_autosave_in_the_full_edition) {
    window().PutValue(12.5, true);
    window().PutValue(3, true);
    Place(1, 1);
    QTest::keyClick(view(), '7');
    QTest::keyClick(editor(), Qt::Key_Return);
    ASSERT_EQ(QStringLiteral("7"), grid().TextMatrix(1, 1));
    if (Autosaves()) {
        EXPECT_EQ(QByteArray("7,3.00\r\n"), Autosave());
    } else {
        EXPECT_FALSE(AutosaveExists());
    }

    // An emptied cell must not come back after a crash either.
    Place(1, 2);
    QTest::keyClick(view(), Qt::Key_Delete);
    QTest::keyClick(editor(), Qt::Key_Return);
    ASSERT_EQ(QString(), grid().TextMatrix(1, 2));
    if (Autosaves()) {
        EXPECT_EQ(QByteArray("7\r\n"), Autosave());
    } else {
        EXPECT_FALSE(AutosaveExists());
    }
}

// --- Layout from the size and width boxes ---------------------------------------------

TEST_F(WindowGrid, typing_a_row_count_over_the_old_one_lays_out_that_many_numbered_rows) {
    ShowPage(2);
    TypeOver(input(1), QStringLiteral("25"));
    ASSERT_EQ(QStringLiteral("25"), input(1)->text());
    ASSERT_EQ(26, grid().Rows());
    ASSERT_EQ(25, view()->model()->rowCount());
    for (int i = 1; i <= 25; ++i) {
        EXPECT_EQ(QString::number(i), grid().TextMatrix(i, 0));
        EXPECT_EQ(QVariant(QString::number(i)), view()->model()->headerData(i - 1, Qt::Vertical));
    }
    for (int j = 1; j <= 15; ++j)
        EXPECT_EQ(QVariant(QString::number(j)), view()->model()->headerData(j - 1, Qt::Horizontal));
    // The focus stays in the box, so the operator can go on typing.
    EXPECT_EQ(input(1), QApplication::focusWidget());
}

TEST_F(WindowGrid, grid_sizes_are_rounded_to_even_and_held_within_limits) {
    const struct {
        int box;
        const char* typed;
        int size;  // Rows for txtInput(1), Cols for txtInput(2), header included
    } cases[] = {
        {1, "2.5", 4},  // 3.5 goes to the even 4: three data rows
        {1, "3.5", 4},  // 4.5 goes to the even 4 as well
        {1, "0", 2},    // never fewer than one data row
        {1, "20000", 10001},
        {2, "0", 2},
        {2, "5000", 1001},
    };
    ShowPage(2);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "txtInput(" << c.box << ") " << c.typed);
        TypeOver(input(c.box), QString::fromUtf8(c.typed));
        if (c.box == 1) {
            EXPECT_EQ(c.size, grid().Rows());
            EXPECT_EQ(c.size - 1, view()->model()->rowCount());
        } else {
            EXPECT_EQ(c.size, grid().Cols());
            EXPECT_EQ(c.size - 1, view()->model()->columnCount());
        }
        EXPECT_EQ(QString::number(c.size - 1),
                  c.box == 1 ? grid().TextMatrix(c.size - 1, 0) : grid().TextMatrix(0, c.size - 1));
    }
}

TEST_F(WindowGrid, a_new_column_width_widens_every_data_column_and_keeps_data_and_cursor) {
    window().PutValue(12.5, true);
    window().PutValue(3, true);
    Place(4, 6);
    const QByteArray before = TableOfGrid();

    QComboBox* width = combo("cmdWidth");
    width->setCurrentIndex(width->findText(QStringLiteral("1500")));

    const int px = TwipsToPixels(1500, view()->logicalDpiX());
    if (view()->logicalDpiX() == 96) {
        EXPECT_EQ(100, px);
    }
    for (int j = 1; j < grid().Cols(); ++j) {
        EXPECT_EQ(1500, grid().ColWidth(j)) << "column " << j;
        EXPECT_EQ(px, view()->columnWidth(j - 1)) << "column " << j;
    }
    EXPECT_EQ(600, grid().ColWidth(0));
    EXPECT_EQ(before, TableOfGrid());
    EXPECT_EQ(Cell(4, 6), Cursor());
}

TEST_F(WindowGrid, number_boxes_refuse_letters_and_minus) {
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        ShowPage(i == 0 || i == 3 ? 1 : 2);
        FilteredLineEdit* box = input(i);
        const QString before = box->text();
        box->setFocus();
        box->end(false);
        QTest::keyClicks(box, "a-Z/ e");
        EXPECT_EQ(before, box->text());
        QTest::keyClicks(box, "1.5");
        QTest::keyClick(box, Qt::Key_Backspace);
        EXPECT_EQ(before + QStringLiteral("1."), box->text());
    }
}

TEST_F(WindowGrid, a_new_grid_size_asks_before_it_clears_data) {
    const struct {
        int box;
        bool yes;
    } cases[] = {{1, true}, {1, false}, {2, true}, {2, false}};
    ShowPage(2);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "txtInput(" << c.box << ") " << (c.yes ? "yes" : "no"));
        TypeOver(input(1), QStringLiteral("20"));
        TypeOver(input(2), QStringLiteral("15"));
        Place(1, 1);
        window().PutValue(12.5, true);
        window().PutValue(3, true);
        const QByteArray data = TableOfGrid();
        const Cell cursor = Cursor();
        const int asked = Questions();

        fx.dialogs.AnswerNext(c.yes);
        TypeOver(input(c.box), QStringLiteral("5"));

        ASSERT_EQ(asked + 1, Questions());
        EXPECT_EQ(kClearQuestion, fx.dialogs.shown.back().text);
        if (c.yes) {
            EXPECT_EQ(QStringLiteral("5"), input(c.box)->text());
            EXPECT_EQ(6, c.box == 1 ? grid().Rows() : grid().Cols());
            EXPECT_EQ(0, grid().UsedRows());
            EXPECT_EQ(Cell(1, 1), Cursor());
        } else {
            EXPECT_EQ(c.box == 1 ? QStringLiteral("20") : QStringLiteral("15"),
                      input(c.box)->text());
            EXPECT_EQ(21, grid().Rows());
            EXPECT_EQ(16, grid().Cols());
            EXPECT_EQ(data, TableOfGrid());
            EXPECT_EQ(cursor, Cursor());
        }
        grid().ClearData();
    }
}

TEST_F(WindowGrid, a_new_grid_size_on_an_empty_grid_asks_nothing) {
    ShowPage(2);
    TypeOver(input(1), QStringLiteral("7"));
    TypeOver(input(2), QStringLiteral("3"));
    EXPECT_EQ(0, Questions());
    EXPECT_EQ(8, grid().Rows());
    EXPECT_EQ(4, grid().Cols());
}

TEST_F(WindowGrid, the_scale_boxes_neither_clear_nor_lay_out_the_grid) {
    ShowPage(1);
    for (int i : {0, 3}) {
        SCOPED_TRACE(i);
        window().PutValue(12.5, true);
        grid().SetTextMatrix(1, 0, QStringLiteral("x"));
        grid().SetColWidth(1, 111);
        const QByteArray data = TableOfGrid();
        const Cell cursor = Cursor();

        TypeOver(input(i), QStringLiteral("55"));

        EXPECT_EQ(0, Questions());
        EXPECT_EQ(data, TableOfGrid());
        EXPECT_EQ(cursor, Cursor());
        EXPECT_EQ(QStringLiteral("x"), grid().TextMatrix(1, 0));
        EXPECT_EQ(111, grid().ColWidth(1));
        EXPECT_EQ(21, grid().Rows());
    }
}

}  // namespace
