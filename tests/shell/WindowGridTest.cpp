// The detail grid through the real window: values put at the cursor, in-place
// editing by real key events, and the layout from the size and width boxes.
// The procedures behind them are tested with fakes in tests/grid; these tests
// keep what needs the real widgets, keys, focus and files.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <tuple>
#include <utility>

#include "grid/ui/CellEditorBox.h"
#include "grid/ui/FilteredLineEdit.h"
#include "grid/ui/MeiGridView.h"
#include "QStringPrinter.h"
#include "exchange/TextTable.h"
#include "grid/Twips.h"
#include "WindowFixture.h"

namespace {

using Cell = std::pair<int, int>;  // (row, column)

// The window shown and active with the start-up defaults: 20 data rows by 15
// data columns, two decimals, filling across.
template <typename Base>
class WindowGridBase : public Base {
  protected:
    explicit WindowGridBase(const Edition& edition) : fx(edition) {}

    void SetUp() override {
        fx.Start();
        fx.window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(fx.window.get()));
        ASSERT_EQ(view(), QApplication::focusWidget());
    }

    frmTab& window() { return *fx.window; }
    GridModel& grid() { return fx.window->Grid(); }
    QString Text(Cell c) { return grid().TextMatrix(c.first, c.second); }
    MeiGridView* view() { return fx.Find<MeiGridView>(QStringLiteral("msgMei")); }
    CellEditorBox* editor() { return fx.Find<CellEditorBox>(QStringLiteral("txtForEdit")); }
    FilteredLineEdit* input(int i) {
        return fx.Find<FilteredLineEdit>(QStringLiteral("txtInput(%1)").arg(i));
    }
    QComboBox* combo(const char* name) { return fx.Find<QComboBox>(QLatin1String(name)); }
    QAbstractButton* button(const char* name) {
        return fx.Find<QAbstractButton>(QLatin1String(name));
    }

    void FillDown(bool down) {
        fx.Find<QRadioButton>(QStringLiteral("optInput(%1)").arg(down ? 0 : 1))->setChecked(true);
    }
    void Place(Cell c) {
        ASSERT_TRUE(grid().SetRow(c.first));
        ASSERT_TRUE(grid().SetCol(c.second));
    }
    Cell Cursor() { return {grid().Row(), grid().Col()}; }
    Cell Size() { return {grid().Rows(), grid().Cols()}; }

    // A key pressed on the grid at a cell: printable ASCII comes with its text.
    void PressAt(Cell at, int key) {
        Place(at);
        if (key < 0x80) {
            QTest::keyClick(view(), static_cast<char>(key));
        } else {
            QTest::keyClick(view(), static_cast<Qt::Key>(key));
        }
    }
    // Replaces a box's whole text key by key, on the page that holds it.
    void TypeOver(FilteredLineEdit* box, const QString& text) {
        const int page = box == input(0) || box == input(3) ? 1 : 2;
        fx.Find<QTabWidget>(QStringLiteral("sstMenu"))->setCurrentIndex(page);
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    }
    void EnterSize(FilteredLineEdit* box, const QString& text) {
        TypeOver(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }
    void PutTwoValues() {
        Place({1, 1});
        window().PutValue(12.5, true);
        window().PutValue(3, true);
    }

    QByteArray TableOfGrid() { return BuildTextTable(grid(), QStringLiteral(",")).toUtf8(); }
    int Questions() const { return fx.dialogs.Count(FakeDialogs::Shown::Kind::Question); }

    WindowFixture fx;
};

class WindowGrid : public WindowGridBase<testing::Test> {
  protected:
    WindowGrid() : WindowGridBase(FullEdition()) {}
};

class WindowGridEditions : public WindowGridBase<testing::TestWithParam<bool>> {
  protected:
    WindowGridEditions() : WindowGridBase(GetParam() ? FullEdition() : ReducedEdition()) {}
    QByteArray AutosaveOrMissing(const QByteArray& bytes) const {
        return GetParam() ? bytes : QByteArray("<missing>");
    }
};

INSTANTIATE_TEST_SUITE_P(Editions, WindowGridEditions, testing::Bool(),
                         [](const auto& info) { return info.param ? "Full" : "Reduced"; });

// --- Values put at the cursor ------------------------------------------------------

TEST_P(WindowGridEditions, put_value_writes_the_value_advances_and_autosaves_in_the_full_edition) {
    // decimals (-1: no selection counts as none), value, fill down, text, cursor after
    for (auto [decimals, value, down, text, after] : {std::tuple{0, -2.5, false, "-3", Cell(2, 3)},
                                                      {2, 0.125, true, ".13", Cell(3, 2)},
                                                      {5, 1.5, false, "1.50000", Cell(2, 3)},
                                                      {-1, 2.6, true, "3", Cell(3, 2)}}) {
        SCOPED_TRACE(text);
        combo("cmbSyosu")->setCurrentIndex(decimals);
        FillDown(down);
        Place({2, 2});
        grid().SetTextMatrix(2, 2, QStringLiteral("old"));
        button("cmdExit")->setFocus();
        window().PutValue(value, true);
        EXPECT_EQ(QString::fromUtf8(text), Text({2, 2}));
        EXPECT_EQ(after, Cursor());
        EXPECT_EQ(view(), QApplication::focusWidget());
        EXPECT_EQ(AutosaveOrMissing(",\r\n," + QByteArray(text) + "\r\n"), fx.Autosave());
    }
}

TEST_F(WindowGrid, next_line_button_and_enter_on_the_grid_go_to_the_next_line_start) {
    for (auto [down, next] : {std::pair{false, Cell(3, 1)}, {true, Cell(1, 3)}}) {
        SCOPED_TRACE(down ? "down" : "across");
        FillDown(down);
        Place({2, 2});
        button("cmdExit")->setFocus();
        button("cmdNextLine")->click();
        EXPECT_EQ(next, Cursor());
        EXPECT_EQ(view(), QApplication::focusWidget());

        PressAt({2, 2}, Qt::Key_Return);
        EXPECT_EQ(next, Cursor());
        EXPECT_FALSE(editor()->isVisible()) << "Enter on the grid never opens the editor";
    }
}

// --- The cell editor ------------------------------------------------------------------

TEST_F(WindowGrid, a_key_on_the_grid_opens_the_editor_over_the_cell_and_enter_commits_it) {
    // key, editor text, caret
    for (auto [key, typed, caret] : {std::tuple{int('7'), "7", 1},
                                     {'a', "", 0},
                                     {'-', "", 0},
                                     {' ', "12.50", 0},
                                     {Qt::Key_Delete, "", 0},
                                     {Qt::Key_Backspace, "", 0}}) {
        SCOPED_TRACE(key);
        grid().SetTextMatrix(3, 2, QStringLiteral("12.50"));
        PressAt({3, 2}, key);
        ASSERT_TRUE(editor()->isVisible());
        EXPECT_EQ(editor(), QApplication::focusWidget());
        EXPECT_EQ(QString::fromUtf8(typed), editor()->text());
        EXPECT_EQ(caret, editor()->cursorPosition());
        EXPECT_FALSE(editor()->hasSelectedText());
        const QRect cell = view()->visualRect(view()->model()->index(2, 1));
        EXPECT_EQ(QRect(view()->viewport()->mapTo(fx.window.get(), cell.topLeft()), cell.size()),
                  editor()->geometry());
        EXPECT_EQ(QStringLiteral("12.50"), Text({3, 2})) << "untouched until the commit";

        QTest::keyClick(editor(), Qt::Key_Return);
        EXPECT_FALSE(editor()->isVisible());
        EXPECT_EQ(QString::fromUtf8(typed), Text({3, 2}));
        EXPECT_EQ(Cell(3, 3), Cursor()) << "one advance across";
    }
}

TEST_F(WindowGrid, editor_closings_commit_the_text_once_and_advance_once) {
    // Up and Down move from the cell the commit advanced to; row 1 stays row 1.
    for (auto [down, opened, key, after] : {
             std::tuple{false, Cell(2, 2), Qt::Key_Escape, Cell(2, 3)},
             {true, Cell(2, 2), Qt::Key_Escape, Cell(3, 2)},
             {true, Cell(2, 2), Qt::Key_Return, Cell(3, 2)},
             {false, Cell(1, 1), Qt::Key_Up, Cell(1, 2)},
             {false, Cell(1, 1), Qt::Key_Down, Cell(2, 2)},
             {true, Cell(3, 2), Qt::Key_Up, Cell(3, 2)},
             {true, Cell(3, 2), Qt::Key_Down, Cell(5, 2)},
         }) {
        SCOPED_TRACE(testing::Message() << (down ? "down " : "across ") << key);
        FillDown(down);
        grid().SetTextMatrix(opened.first, opened.second, QStringLiteral("12.50"));
        PressAt(opened, ' ');
        QTest::keyClick(editor(), Qt::Key_End);
        QTest::keyClick(editor(), '9');

        QTest::keyClick(editor(), key);
        QApplication::processEvents();
        EXPECT_FALSE(editor()->isVisible());
        EXPECT_EQ(QStringLiteral("12.509"), Text(opened));
        EXPECT_EQ(after, Cursor());
        EXPECT_EQ(view(), QApplication::focusWidget());
    }
}

TEST_F(WindowGrid, scrolling_commits_the_editor_into_the_cell_it_was_opened_on) {
    input(1)->setText(QStringLiteral("100"));
    QTest::keyClick(input(1), Qt::Key_Return);
    PressAt({1, 1}, '4');
    ASSERT_TRUE(editor()->isVisible());
    Place({3, 2});  // as a measured value would move it, through the model
    ASSERT_GT(view()->verticalScrollBar()->maximum(), 5);

    view()->verticalScrollBar()->setValue(5);
    QApplication::processEvents();
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(QStringLiteral("4"), Text({1, 1}));
    EXPECT_EQ(QString(), Text({3, 2}));
    EXPECT_EQ(Cell(3, 3), Cursor());
}

TEST_F(WindowGrid, full_width_digits_from_an_input_method_stay_as_typed) {
    for (auto [onGrid, text] :
         {std::pair{true, QStringLiteral("１２")}, {false, QStringLiteral("３．５")}}) {
        SCOPED_TRACE(onGrid ? "on the grid" : "in the editor opened empty");
        if (!onGrid) PressAt({1, 1}, Qt::Key_Backspace);
        Place({1, 1});
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(onGrid ? static_cast<QWidget*>(view()) : editor(), &event);
        ASSERT_TRUE(editor()->isVisible());
        EXPECT_EQ(text, editor()->text());
        QTest::keyClick(editor(), Qt::Key_Return);
        EXPECT_EQ(text, Text({1, 1}));
    }
}

TEST_F(WindowGrid, ctrl_v_into_the_editor_or_a_number_box_keeps_only_digits_and_points) {
    QGuiApplication::clipboard()->setText(QStringLiteral("1,2\t3\r\n4abc.5-"));
    PressAt({1, 1}, Qt::Key_Backspace);
    QTest::keyClick(editor(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(QStringLiteral("1234.5"), editor()->text());
    QTest::keyClick(editor(), Qt::Key_Return);
    EXPECT_EQ(QStringLiteral("1234.5"), Text({1, 1}));

    TypeOver(input(3), QString());
    QTest::keyClick(input(3), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(QStringLiteral("1234.5"), input(3)->text());
}

TEST_P(WindowGridEditions, a_hand_edit_reaches_the_autosave_in_the_full_edition_only) {
    PutTwoValues();
    // An emptied cell must not come back after a crash either.
    for (auto [at, key, text, autosave] : {std::tuple{Cell(1, 1), int('7'), "7", "7,3.00\r\n"},
                                           {Cell(1, 2), int(Qt::Key_Delete), "", "7\r\n"}}) {
        PressAt(at, key);
        QTest::keyClick(editor(), Qt::Key_Return);
        ASSERT_EQ(QString::fromUtf8(text), Text(at));
        EXPECT_EQ(AutosaveOrMissing(autosave), fx.Autosave());
    }
}

// --- Layout from the size and width boxes ---------------------------------------------

TEST_F(WindowGrid, typed_sizes_lay_out_evenly_rounded_numbered_lines_within_limits) {
    // box, text typed key by key, Rows or Cols with the header (2.5 + 1 goes to the even 4)
    for (auto [box, typed, size] : {std::tuple{1, "25", 26},
                                    {1, "2.5", 4},
                                    {1, "0", 2},
                                    {1, "20000", 10001},
                                    {2, "0", 2},
                                    {2, "5000", 1001}}) {
        SCOPED_TRACE(testing::Message() << "txtInput(" << box << ") " << typed);
        EnterSize(input(box), QString::fromUtf8(typed));
        const bool rows = box == 1;
        const QAbstractItemModel* model = view()->model();
        ASSERT_EQ(size, rows ? grid().Rows() : grid().Cols());
        ASSERT_EQ(size - 1, rows ? model->rowCount() : model->columnCount());
        for (int i = 1; i < size; ++i) {
            EXPECT_EQ(QString::number(i), Text(rows ? Cell(i, 0) : Cell(0, i)));
            EXPECT_EQ(QVariant(QString::number(i)),
                      model->headerData(i - 1, rows ? Qt::Vertical : Qt::Horizontal));
        }
        EXPECT_EQ(input(box), QApplication::focusWidget()) << "the operator goes on typing";
    }
    EXPECT_EQ(0, Questions()) << "an empty grid is resized without a question";
}

TEST_F(WindowGrid, a_new_column_width_widens_every_data_column_and_keeps_data_and_cursor) {
    PutTwoValues();
    Place({4, 6});
    const QByteArray before = TableOfGrid();

    combo("cmdWidth")->setCurrentIndex(combo("cmdWidth")->findText(QStringLiteral("1500")));

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

TEST_F(WindowGrid, number_boxes_and_the_editor_refuse_letters_and_minus) {
    for (int i = 0; i < 4; ++i) {
        const QString before = input(i)->text();
        TypeOver(input(i), before);
        QTest::keyClicks(input(i), "a-Z/ e1.5");
        QTest::keyClick(input(i), Qt::Key_Backspace);
        EXPECT_EQ(before + QStringLiteral("1."), input(i)->text()) << i;
    }

    view()->setFocus();
    PressAt({1, 1}, '7');
    QTest::keyClicks(editor(), "a-x+ ,1.2.3");
    EXPECT_EQ(QStringLiteral("71.2.3"), editor()->text());
    QTest::keyClick(editor(), Qt::Key_Return);
    EXPECT_EQ(QStringLiteral("71.2.3"), Text({1, 1})) << "neither formatted nor checked";
}

TEST_F(WindowGrid, an_entered_size_keeps_what_fits_and_asks_before_dropping_the_rest) {
    struct Case {
        int box;
        const char* entered;
        bool yes;
        int asked;  // values the question counts, 0 for no question
        Cell size;
    };
    // Values at (1,1), (1,2) and (8,3) of a 20 x 15 grid.
    for (const Case& c : {Case{1, "30", true, 0, {31, 16}}, Case{1, "8", true, 0, {9, 16}},
                          Case{1, "5", true, 1, {6, 16}}, Case{1, "5", false, 1, {21, 16}},
                          Case{2, "2", true, 1, {21, 3}}, Case{2, "2", false, 1, {21, 16}},
                          Case{2, ".", true, 0, {21, 16}}}) {
        SCOPED_TRACE(testing::Message() << "txtInput(" << c.box << ") " << c.entered);
        grid().ClearData();
        EnterSize(input(1), QStringLiteral("20"));
        EnterSize(input(2), QStringLiteral("15"));
        PutTwoValues();
        grid().SetTextMatrix(8, 3, QStringLiteral("7"));
        const int questions = Questions();

        fx.dialogs.answers = {c.yes};
        TypeOver(input(c.box), QString::fromUtf8(c.entered));
        EXPECT_EQ(questions, Questions()) << "nothing happens while the operator types";
        QTest::keyClick(input(c.box), Qt::Key_Return);

        ASSERT_EQ(questions + (c.asked > 0 ? 1 : 0), Questions());
        if (c.asked > 0) {
            EXPECT_EQ(QStringLiteral("表に入りきらない値が %1 個あります。削除してよろしいですか？")
                          .arg(c.asked),
                      fx.dialogs.shown.back().text);
        }
        EXPECT_EQ(c.size, Size());
        const bool dropped = c.asked > 0 && c.yes;
        EXPECT_EQ(dropped ? QString() : QStringLiteral("7"), Text({8, 3}));
        EXPECT_EQ(QStringLiteral("12.5"), Text({1, 1}).left(4)) << "what fits is kept";
        const QString shown = c.box == 1 ? QStringLiteral("20") : QStringLiteral("15");
        EXPECT_EQ(c.size == Cell(21, 16) ? shown : QString::fromUtf8(c.entered),
                  input(c.box)->text())
            << "a refused or unreadable size puts the old text back";
    }
}

TEST_F(WindowGrid, the_scale_boxes_neither_clear_nor_lay_out_the_grid) {
    PutTwoValues();
    grid().SetTextMatrix(1, 0, QStringLiteral("x"));
    grid().SetColWidth(1, 111);
    const QByteArray data = TableOfGrid();
    for (int i : {0, 3}) TypeOver(input(i), QStringLiteral("55"));

    EXPECT_EQ(0, Questions());
    EXPECT_EQ(data, TableOfGrid());
    EXPECT_EQ(Cell(1, 3), Cursor());
    EXPECT_EQ(QStringLiteral("x"), Text({1, 0}));
    EXPECT_EQ(111, grid().ColWidth(1));
    EXPECT_EQ(Cell(21, 16), Size());
}

}  // namespace
