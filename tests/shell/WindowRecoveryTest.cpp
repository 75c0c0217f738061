// A killed run comes back cell for cell, whatever the fill direction and the
// grid's size; a paste keeps the copied table's shape.

#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QRadioButton>

#include "CommitGate.h"
#include "CodePage.h"
#include "shell/Common.h"
#include "exchange/CsvFile.h"
#include "QStringPrinter.h"
#include "exchange/TextTable.h"
#include "FileBytes.h"
#include "WindowFixture.h"

namespace {

using Cell = std::pair<int, int>;  // (row, column)

QByteArray Csv(const GridModel& grid) { return BuildTextTable(grid, QStringLiteral(",")).toUtf8(); }

struct RecoveryCase {
    const char* name;
    bool down;          // "縦に入力"
    int rows, cols;     // the grid size the settings hold
    QByteArray saved;   // Save.csv left by the killed run
    QByteArray table;   // the grid after start-up, as a text table
    Cell cursor;
    int rowsAfter, colsAfter;  // data rows and columns after start-up
    int restored;              // values put back
};

class WindowRecovery : public ::testing::TestWithParam<RecoveryCase> {
protected:
    void TearDown() override { SetBeforeCommitHookForTest(nullptr); }
};

TEST_P(WindowRecovery, every_field_comes_back_into_the_cell_it_was_saved_from) {
    const RecoveryCase& c = GetParam();
    if (!SystemCodePageHolds(QString::fromUtf8(c.saved)))
        GTEST_SKIP() << "code page " << SystemCodePage() << " cannot hold the saved text";
    WindowFixture f;
    Common ini(f.Path(QStringLiteral("Kalvor.INI")));
    ini.WriteSetting("frmTab", "optInput", c.down ? "0" : "1");
    ini.WriteSetting("frmTab", "txtInput 1", QString::number(c.rows));
    ini.WriteSetting("frmTab", "txtInput 2", QString::number(c.cols));
    ASSERT_TRUE(WriteBytes(f.Path("Save.csv"), c.saved));
    ASSERT_TRUE(WriteBytes(f.Path("err.dat"), "err\r\n"));
    int writes = 0;
    SetBeforeCommitHookForTest([&](const QString& path) {
        writes += path.endsWith(QStringLiteral("Save.csv")) ? 1 : 0;
        return true;
    });

    frmTab& w = f.Start(false);
    ASSERT_TRUE(f.loaded);
    EXPECT_EQ(Csv(w.Grid()), c.table);
    EXPECT_EQ(ReadBytes(f.Path("Save.csv")), c.table);
    EXPECT_EQ(writes, 1) << "the autosave is rewritten once, when the grid is whole";
    EXPECT_EQ(Cell(w.Grid().Row(), w.Grid().Col()), c.cursor) << "where the next value goes";
    EXPECT_EQ(w.Grid().Rows() - 1, c.rowsAfter);
    EXPECT_EQ(w.Grid().Cols() - 1, c.colsAfter);
    EXPECT_EQ(f.Find<QLineEdit>("txtInput(1)")->text(), QString::number(c.rowsAfter));
    EXPECT_EQ(f.Find<QLineEdit>("txtInput(2)")->text(), QString::number(c.colsAfter));
    // Said once, when the window is up: how many values came back, and from where.
    EXPECT_TRUE(f.dialogs.shown.empty());
    w.show();
    QApplication::processEvents();
    const QStringList notices = f.dialogs.Texts(FakeDialogs::Shown::Kind::Notice);
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].contains(QStringLiteral("Save.csv")) &&
                notices[0].contains(QStringLiteral("値を %1 個戻しました").arg(c.restored)))
        << notices[0].toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowRecovery,
    ::testing::Values(
        RecoveryCase{"filling_down_keeps_rows_and_columns", true, 20, 15,
                     "1.00,2.00\r\n3.00,4.00\r\n", "1.00,2.00\r\n3.00,4.00\r\n", {3, 2}, 20, 15, 4},
        RecoveryCase{"a_full_row_and_one_more_across", false, 20, 15,
                     "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15\r\n16,,,,,,,,,,,,,,\r\n",
                     "1.00,2.00,3.00,4.00,5.00,6.00,7.00,8.00,9.00,10.00,11.00,12.00,13.00,"
                     "14.00,15.00\r\n16.00,,,,,,,,,,,,,,\r\n",
                     {2, 2}, 20, 15, 16},
        RecoveryCase{"typed_text_stays_and_later_fields_keep_their_columns", false, 20, 15,
                     "1.2.3,\xEF\xBC\x91\xEF\xBC\x92,7\r\n,  ,x\r\n",
                     "1.2.3,\xEF\xBC\x91\xEF\xBC\x92,7.00\r\n,  ,x\r\n", {2, 4}, 20, 15, 5},
        RecoveryCase{"a_table_larger_than_the_grid_grows_it", true, 2, 2,
                     "1,,\r\n,,\r\n,,\r\n,,9\r\n", "1.00,,\r\n,,\r\n,,\r\n,,9.00\r\n", {1, 3},
                     4, 3, 2},
        RecoveryCase{"the_last_cell_of_the_grid_puts_the_cursor_where_a_value_would_wrap", false,
                     3, 2, "1,2\r\n3,4\r\n5,6\r\n", "1.00,2.00\r\n3.00,4.00\r\n5.00,6.00\r\n",
                     {3, 1}, 3, 2, 6}),
    [](const auto& info) { return std::string(info.param.name); });

// Seven values into a 3 x 2 grid, killed, started again: the grid comes back
// exactly as it stood, in both fill directions.
TEST(WindowRecoveryRun, a_wrapped_small_grid_comes_back_as_it_stood_in_both_directions) {
    for (const bool down : {false, true}) {
        SCOPED_TRACE(down ? "down" : "across");
        WindowFixture f;
        Common ini(f.Path(QStringLiteral("Kalvor.INI")));
        ini.WriteSetting("frmTab", "optInput", down ? "0" : "1");
        ini.WriteSetting("frmTab", "txtInput 1", "3");
        ini.WriteSetting("frmTab", "txtInput 2", "2");
        frmTab& w = f.Start(true);
        for (int i = 1; i <= 7; ++i) w.PutValue(i, true);
        const QByteArray before = Csv(w.Grid());
        f.Kill();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        WindowFixture later;
        later.services.dataDirectory = f.dir.path();
        later.services.executableDirectory = f.dir.path();
        frmTab& again = later.Start(false);
        EXPECT_EQ(Csv(again.Grid()), before);
        EXPECT_EQ(ReadBytes(f.Path("Save.csv")), before);
        // The seventh value went over an earlier cell; the next goes on from
        // the last filled cell in the fill direction, wrapping as a value does.
        EXPECT_EQ(Cell(again.Grid().Row(), again.Grid().Col()), down ? Cell(1, 2) : Cell(3, 1));
    }
}

TEST(WindowPasteShape, a_block_pasted_while_filling_down_keeps_its_rows_and_columns) {
    WindowFixture f;
    frmTab& w = f.Start(true);
    f.Find<QRadioButton>("optInput(0)")->setChecked(true);
    w.Grid().SetRow(2);
    w.Grid().SetCol(2);
    // LF-only, as spreadsheets on Linux put it on the clipboard.
    f.clipboard.SetText(QStringLiteral("1\t2\n3\t4\n"));
    f.dialogs.AnswerNext(true);
    w.cmdPaste_Click();
    EXPECT_EQ(Csv(w.Grid()), QByteArray(",,\r\n,1.00,2.00\r\n,3.00,4.00\r\n"));
    EXPECT_EQ(Cell(w.Grid().Row(), w.Grid().Col()), Cell(5, 2));
}

TEST(WindowPasteShape, numbers_that_do_not_fit_are_left_out_and_the_operator_is_told) {
    WindowFixture f;
    Common(f.Path(QStringLiteral("Kalvor.INI"))).WriteSetting("frmTab", "txtInput 2", "2");
    frmTab& w = f.Start(true);
    f.clipboard.SetText(QStringLiteral("1\t2\t3\r\n4\t5\t6\r\n"));
    f.dialogs.AnswerNext(true);
    w.cmdPaste_Click();
    EXPECT_EQ(Csv(w.Grid()), QByteArray("1.00,2.00\r\n4.00,5.00\r\n"));
    ASSERT_EQ(f.dialogs.Count(FakeDialogs::Shown::Kind::Notice), 1);
    EXPECT_TRUE(f.dialogs.Texts(FakeDialogs::Shown::Kind::Notice).front().contains(QStringLiteral("2 個")));
}

}  // namespace
