// Undo and redo on the grid: every kind of change the operator makes is one
// step, taken back with its cursor and its autosave, in both editions.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <functional>

#include "QStringPrinter.h"
#include "exchange/TextTable.h"
#include "WindowFixture.h"

namespace {

using Cell = std::pair<int, int>;  // (row, column)

class WindowUndo : public ::testing::TestWithParam<bool> {
  public:
    void SetUp() override {
        f.Start();
        f.window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(f.window.get()));
        w().cmdMes_Click(0);  // a run of "二点間の距離"
    }
    bool Full() const { return GetParam(); }
    frmTab& w() { return *f.window; }
    QTableView* view() { return f.Find<QTableView>(QStringLiteral("msgMei")); }
    QLineEdit* editor() { return f.Find<QLineEdit>(QStringLiteral("txtForEdit")); }
    QByteArray Table() { return BuildTextTable(w().Grid(), QStringLiteral(",")).toUtf8(); }
    Cell Cursor() { return {w().Grid().Row(), w().Grid().Col()}; }
    void Place(Cell c) {
        w().Grid().SetRow(c.first);
        w().Grid().SetCol(c.second);
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    // Two picks 800 counts apart in "二点間の距離": 10.00 with the defaults.
    void MeasureTwoPoints() {
        f.tablet.PushPick(0, 0);
        f.tablet.PushPick(800, 0);
        f.Deliver();
    }

    WindowFixture f{GetParam() ? FullEdition() : ReducedEdition()};
};

INSTANTIATE_TEST_SUITE_P(Editions, WindowUndo, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Full" : "Reduced"; });

struct StepCase {
    const char* name;
    std::function<void(WindowUndo&)> change;
    bool fullOnly;
};

TEST_P(WindowUndo, each_kind_of_step_is_undone_and_redone_with_cursor_and_autosave) {
    const std::vector<StepCase> steps = {
        {"measured_value", [](WindowUndo& t) { t.MeasureTwoPoints(); }, false},
        {"hand_edit",
         [](WindowUndo& t) {
             t.Key(Qt::Key_7);
             t.Key(Qt::Key_Return);
         },
         false},
        {"paste",
         [](WindowUndo& t) {
             t.f.clipboard.SetText(QStringLiteral("1\t2\r\n3\r\n"));
             t.f.dialogs.AnswerNext(true);
             t.w().cmdPaste_Click();
         },
         true},
        {"clear",
         [](WindowUndo& t) {
             t.f.dialogs.AnswerNext(true);
             t.w().cmdClr_Click();
         },
         false},
        {"a_smaller_grid_dropping_a_value",
         [](WindowUndo& t) {
             t.f.dialogs.AnswerNext(true);
             t.f.Enter(QStringLiteral("txtInput(1)"), QStringLiteral("2"));
             t.view()->setFocus();  // Ctrl+Z in the box would undo its text
         },
         false},
    };
    // A sheet to change: one value low in the grid, the cursor elsewhere.
    w().Grid().SetTextMatrix(5, 3, QStringLiteral("5.00"));
    w().PutValue(5, false);  // autosaved (full edition) with the cell above
    for (const StepCase& step : steps) {
        if (step.fullOnly && !Full()) continue;
        SCOPED_TRACE(step.name);
        Place({2, 2});
        view()->setFocus();
        const QByteArray before = Table();
        const QByteArray savedBefore = f.Autosave();
        step.change(*this);
        const QByteArray after = Table();
        const Cell cursorAfter = Cursor();
        ASSERT_NE(after, before);

        const int rows = w().Grid().Rows();
        Key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(Table(), before);
        EXPECT_EQ(Cursor(), Cell(2, 2));
        EXPECT_EQ(w().Grid().Rows(), 21) << "and the grid's size";
        EXPECT_EQ(f.Find<QLineEdit>(QStringLiteral("txtInput(1)"))->text(), QStringLiteral("20"));
        EXPECT_EQ(f.Autosave(), Full() ? before : savedBefore)
            << "rewritten once, full edition only";

        Key(Qt::Key_Y, Qt::ControlModifier);
        EXPECT_EQ(Table(), after);
        EXPECT_EQ(Cursor(), cursorAfter);
        EXPECT_EQ(w().Grid().Rows(), rows);
        Key(Qt::Key_Z, Qt::ControlModifier);
        Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(Table(), after) << "Ctrl+Shift+Z redoes too";
        Key(Qt::Key_Z, Qt::ControlModifier);
        ASSERT_EQ(Table(), before);
    }
}

TEST_P(WindowUndo, ctrl_z_in_the_open_editor_undoes_only_the_editors_text) {
    MeasureTwoPoints();
    const QByteArray measured = Table();
    Place({1, 1});
    view()->setFocus();
    Key(Qt::Key_F2);
    ASSERT_TRUE(editor()->isVisible());
    EXPECT_EQ(editor()->text(), QStringLiteral("10.00"));
    EXPECT_EQ(editor()->cursorPosition(), 5) << "F2 puts the caret at the end";
    Key(Qt::Key_5);
    EXPECT_EQ(editor()->text(), QStringLiteral("10.005"));
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor()->text(), QStringLiteral("10.00"));
    EXPECT_EQ(Table(), measured) << "the grid's own steps are untouched";
    Key(Qt::Key_Escape);
    EXPECT_EQ(Table(), measured);
}

TEST_P(WindowUndo, double_click_opens_the_editor_on_the_cells_text_with_the_caret_at_its_end) {
    w().Grid().SetTextMatrix(3, 2, QStringLiteral("1.2.3"));
    const QRect cell = view()->visualRect(view()->model()->index(2, 1));
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QTest::mouseDClick(view()->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    ASSERT_TRUE(editor()->isVisible());
    EXPECT_EQ(editor()->text(), QStringLiteral("1.2.3"));
    EXPECT_EQ(editor()->cursorPosition(), 5);
}

}  // namespace
