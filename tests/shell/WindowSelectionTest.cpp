// Totals of the selected cells through the window as the operator uses it:
// cells selected with the mouse and with Shift, the line that tells their
// count, total and mean, and F9 and Shift+F9, in both editions.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <vector>

#include "grid/ui/MeiGridView.h"
#include "QStringPrinter.h"
#include "exchange/TextTable.h"
#include "WindowFixture.h"

namespace {

using Cell = std::pair<int, int>;  // (row, column)
using Cells = std::vector<Cell>;

class WindowSelection : public ::testing::TestWithParam<bool> {
  public:
    void SetUp() override {
        f.Start();
        f.window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(f.window.get()));
    }
    GridModel& grid() { return f.window->Grid(); }
    MeiGridView* view() { return f.Find<MeiGridView>(QStringLiteral("msgMei")); }
    QLabel* line() { return f.Find<QLabel>(QStringLiteral("lblSelection")); }
    QString Line() { return line()->text(); }
    // The line tells this number (a total or a mean); its wording is the
    // totals' own, tested with them.
    bool Shows(const char* number) {
        return Line().contains(QLatin1Char(' ') + QLatin1String(number) + QChar(u'　')) ||
               Line().endsWith(QLatin1Char(' ') + QLatin1String(number));
    }

    QByteArray Table() { return BuildTextTable(grid(), QStringLiteral(",")).toUtf8(); }
    // The autosave after a value: the grid, in the full edition only.
    QByteArray Saved(const QByteArray& table) {
        return GetParam() ? table : QByteArray("<missing>");
    }

    Cell Cursor() { return {grid().Row(), grid().Col()}; }
    void Place(Cell c) {
        grid().SetRow(c.first);
        grid().SetCol(c.second);
    }
    void Put(Cell c, const char* text) {
        grid().SetTextMatrix(c.first, c.second, QString::fromUtf8(text));
    }
    QString Text(Cell c) { return grid().TextMatrix(c.first, c.second); }
    Cells Selected() {
        Cells cells;
        for (const QModelIndex& i : view()->selectionModel()->selectedIndexes())
            cells.emplace_back(i.row() + 1, i.column() + 1);
        std::sort(cells.begin(), cells.end());
        return cells;
    }

    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    QPoint At(Cell c) {
        return view()->visualRect(view()->model()->index(c.first - 1, c.second - 1)).center();
    }
    void Click(Cell c, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, modifiers, At(c));
    }
    void FillDown(bool down) {
        f.Find<QRadioButton>(QStringLiteral("optInput(%1)").arg(down ? 0 : 1))->setChecked(true);
        view()->setFocus();
    }

    WindowFixture f{GetParam() ? FullEdition() : ReducedEdition()};
};

INSTANTIATE_TEST_SUITE_P(Editions, WindowSelection, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Full" : "Reduced"; });

TEST_P(WindowSelection, three_measured_areas_dragged_over_show_their_total_and_mean) {
    f.Find<QRadioButton>(QStringLiteral("optMes(1)"))->setChecked(true);  // 多点の面積
    view()->setFocus();
    // Squares of 800, 400 and 1600 counts: 100, 25 and 400 with the default scale.
    for (int side : {800, 400, 1600}) {
        for (auto [x, y] : {std::pair{0, 0}, {side, 0}, {side, side}, {0, side}})
            f.tablet.PushPick(x, y);
        f.Deliver();
        Key(Qt::Key_F12);
    }
    ASSERT_EQ(Text({1, 3}), QStringLiteral("400.00"));
    EXPECT_EQ(Line(), QString());

    QTest::mousePress(view()->viewport(), Qt::LeftButton, Qt::NoModifier, At({1, 1}));
    QTest::mouseMove(view()->viewport(), At({1, 2}));
    QTest::mouseMove(view()->viewport(), At({1, 3}));
    QTest::mouseRelease(view()->viewport(), Qt::LeftButton, Qt::NoModifier, At({1, 3}));
    EXPECT_TRUE(Shows("525.00")) << "the total";
    EXPECT_TRUE(Shows("175.00")) << "the mean";
}

TEST_P(WindowSelection, f9_and_shift_f9_put_after_the_selection_through_undo_and_the_autosave) {
    struct Case {
        const char* name;
        bool down;
        bool mean;
        Cell target;
        const char* text;
        Cell cursorAfter;
    };
    const Case cases[] = {
        {"total_across", false, false, {1, 3}, "30.00", {1, 4}},
        {"mean_across", false, true, {1, 3}, "15.00", {1, 4}},
        {"total_down", true, false, {3, 1}, "30.00", {4, 1}},
        {"mean_down", true, true, {3, 1}, "15.00", {4, 1}},
    };
    // Two values, a note and an empty cell; the targets' old texts are replaced.
    // The note in ASCII: the autosave is compared with the table's bytes, and
    // a Western Windows code page has no Japanese.
    Put({1, 1}, "10.00");
    Put({2, 1}, "20.00");
    Put({1, 2}, "memo");
    Put({1, 3}, "1");
    Put({3, 1}, "1");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FillDown(c.down);
        Place({1, 1});
        Key(Qt::Key_Down, Qt::ShiftModifier);
        Key(Qt::Key_Right, Qt::ShiftModifier);
        ASSERT_EQ(Selected(), (Cells{{1, 1}, {1, 2}, {2, 1}, {2, 2}}));
        EXPECT_TRUE(Shows("30.00"));
        const QByteArray before = Table();
        const QByteArray savedBefore = f.Autosave();

        Key(Qt::Key_F9, c.mean ? Qt::ShiftModifier : Qt::NoModifier);
        EXPECT_EQ(Text(c.target), QString::fromUtf8(c.text));
        EXPECT_EQ(Cursor(), c.cursorAfter);
        EXPECT_EQ(Selected(), Cells{c.cursorAfter}) << "Shift held does not stretch it";
        EXPECT_EQ(Line(), QString());
        EXPECT_EQ(f.Autosave(), Saved(Table()));

        Key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(Table(), before);
        EXPECT_EQ(Cursor(), Cell(2, 2)) << "back where F9 was pressed";
        EXPECT_EQ(f.Autosave(), GetParam() ? before : savedBefore);
    }
}

TEST_P(WindowSelection, f9_then_shift_f9_on_the_same_cells_keeps_both) {
    Put({1, 1}, "10.00");
    Put({2, 1}, "20.00");
    const auto select = [&] {
        Click({1, 1});
        Click({2, 1}, Qt::ShiftModifier);
    };
    FillDown(true);
    select();
    Key(Qt::Key_F9);
    select();
    Key(Qt::Key_F9, Qt::ShiftModifier);
    EXPECT_EQ(Text({3, 1}), QStringLiteral("30.00"));
    EXPECT_EQ(Text({4, 1}), QStringLiteral("15.00"));
    EXPECT_EQ(Cursor(), Cell(5, 1));
}

TEST_P(WindowSelection, ctrl_c_copies_the_selected_cells_and_ctrl_v_pastes_as_the_paste_button) {
    Put({1, 1}, "10.00");
    Put({2, 1}, "20.00");
    Put({1, 2}, "memo");
    Click({1, 1});
    Click({2, 2}, Qt::ShiftModifier);
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(f.clipboard.text, QStringLiteral("10.00\tmemo\r\n20.00\t\r\n"));
    Click({2, 1});
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(f.clipboard.text, QStringLiteral("20.00\r\n")) << "the cursor's cell alone";
    EXPECT_TRUE(f.dialogs.shown.empty()) << "no notice, unlike the copy button";

    // The paste of the button, at the cursor, question included.
    f.clipboard.SetText(QStringLiteral("1\t2\r\n3\r\n"));
    Click({4, 3});
    const QByteArray before = Table();
    f.dialogs.AnswerNext(true);
    Key(Qt::Key_V, Qt::ControlModifier);
    const QByteArray byKey = Table();
    if (!GetParam()) {
        EXPECT_EQ(byKey, before) << "the reduced edition has no paste";
        EXPECT_TRUE(f.dialogs.shown.empty());
        return;
    }
    EXPECT_EQ(f.dialogs.shown.size(), 1u) << "the paste question";
    EXPECT_EQ(Text({4, 3}), QStringLiteral("1.00"));
    EXPECT_EQ(Text({4, 4}), QStringLiteral("2.00"));
    EXPECT_EQ(Text({5, 3}), QStringLiteral("3.00"));
    const Cell cursor = Cursor();
    Key(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(Table(), before);
    Place({4, 3});
    f.dialogs.AnswerNext(true);
    f.window->cmdPaste_Click();
    EXPECT_EQ(Table(), byKey);
    EXPECT_EQ(Cursor(), cursor);
}

TEST_P(WindowSelection, nothing_is_put_without_two_cells_a_number_and_a_cell_to_put_it_in) {
    struct Case {
        const char* name;
        bool down;
        Cell from;
        Cell to;
        Qt::KeyboardModifiers modifiers;
        bool line;  // the totals are shown, though nothing can be put
    };
    // The grid is 20 rows by 15 columns.
    const Case cases[] = {
        {"one_cell", false, {1, 1}, {1, 1}, {}, false},
        {"text_and_empty_cells", false, {1, 2}, {2, 3}, {}, false},
        {"past_the_last_column", false, {5, 14}, {5, 15}, {}, true},
        {"past_the_last_row", true, {19, 1}, {20, 1}, {}, true},
        {"ctrl_f9", false, {1, 1}, {2, 1}, Qt::ControlModifier, true},
    };
    for (auto [cell, text] : {std::pair{Cell(1, 2), "1.2.3"},
                              {Cell(2, 2), "メモ"},
                              {Cell(5, 14), "1"},
                              {Cell(5, 15), "2"},
                              {Cell(19, 1), "2"},
                              {Cell(20, 1), "3"}})
        Put(cell, text);
    f.window->PutValue(7, false);  // into (1, 1), and the autosave as it stands
    f.tablet.PushPick(5, 5);
    f.Deliver();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FillDown(c.down);
        view()->scrollTo(view()->model()->index(c.to.first - 1, c.to.second - 1));
        Click(c.from);
        Click(c.to, Qt::ShiftModifier);
        EXPECT_EQ(!Line().isEmpty(), c.line);
        const QByteArray table = Table();
        const QByteArray saved = f.Autosave();
        for (Qt::KeyboardModifiers shift : {Qt::NoModifier, Qt::ShiftModifier}) {
            Key(Qt::Key_F9, c.modifiers | shift);
            EXPECT_EQ(Table(), table);
            EXPECT_EQ(Cursor(), c.to);
            EXPECT_EQ(f.Autosave(), saved);
            EXPECT_EQ(f.window->Engine().points.lPointCount, 1) << "the figure keeps its pick";
        }
    }
}

TEST_P(WindowSelection, the_line_follows_the_selection_its_cells_and_the_decimals) {
    Put({1, 1}, "10.00");
    Put({1, 2}, "20.00");
    Put({1, 3}, "x");
    Place({1, 1});
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_TRUE(Shows("30.00"));
    f.Find<QComboBox>(QStringLiteral("cmbSyosu"))->setCurrentIndex(0);
    EXPECT_FALSE(Shows("30.00")) << "the decimals follow the setting";
    EXPECT_TRUE(Shows("30"));
    Put({1, 3}, "-5");  // a cell of the selection changes
    EXPECT_TRUE(Shows("25"));

    // On every page, beside the tabs, in full; no control moves for it.
    auto* tabs = f.Find<QTabWidget>(QStringLiteral("sstMenu"));
    for (int page = 0; page < tabs->count(); ++page) {
        SCOPED_TRACE(page);
        tabs->setCurrentIndex(page);
        QApplication::processEvents();
        EXPECT_TRUE(line()->isVisible());
        const QRect strip = tabs->tabBar()->geometry();
        const QRect where = line()->geometry();
        EXPECT_GE(where.left(), strip.right());
        EXPECT_LE(where.right(), tabs->width());
        EXPECT_LT(where.top(), strip.bottom());
        EXPECT_GE(where.width(), line()->sizeHint().width()) << "the whole line shows";
    }

    Click({4, 4});
    EXPECT_EQ(Line(), QString()) << "one cell";
    Place({1, 1});
    Key(Qt::Key_Right, Qt::ShiftModifier);
    ASSERT_FALSE(Line().isEmpty());
    f.Enter(QStringLiteral("txtInput(2)"), QStringLiteral("10"));  // a new grid size
    EXPECT_EQ(Line(), QString());
}

// The grid's own keys act on the cursor's cell as before; every cursor move
// of the program leaves only its new cell selected.
TEST_P(WindowSelection, the_grid_keys_act_on_the_cursor_cell_and_program_moves_collapse_it) {
    const auto select = [&] {
        Click({2, 2});
        Click({2, 3}, Qt::ShiftModifier);
        ASSERT_EQ(Selected().size(), 2u);
    };
    select();
    Key(Qt::Key_Return);
    EXPECT_EQ(Selected(), Cells{Cell(3, 1)}) << "Enter: the next line";

    select();
    QTest::keyClick(view(), '7');
    Key(Qt::Key_Return);
    EXPECT_EQ(Text({2, 3}), QStringLiteral("7")) << "typing edits the cursor's cell";
    EXPECT_EQ(Text({2, 2}), QString());
    EXPECT_EQ(Selected(), Cells{Cell(2, 4)});

    select();
    f.window->PutValue(1, true);  // a measured value
    EXPECT_EQ(Text({2, 3}), QStringLiteral("1.00"));
    EXPECT_EQ(Selected(), Cells{Cell(2, 4)});
    // Shift+click after the program moved the cursor selects from the cursor.
    Click({3, 5}, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (Cells{{2, 4}, {2, 5}, {3, 4}, {3, 5}}));

    // A click on a header moves nothing.
    auto* header = view()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(header->sectionViewportPosition(7) + 5, header->height() / 2));
    EXPECT_EQ(Cursor(), Cell(3, 5));
}

}  // namespace
