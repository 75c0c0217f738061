#include <gtest/gtest.h>

#include <QLocale>
#include <utility>
#include <vector>

#include "DefaultLocale.h"
#include "grid/GridModel.h"
#include "grid/NumberText.h"
#include "exchange/ParseIntoGrid.h"
#include "QStringPrinter.h"
#include "exchange/TextTable.h"

namespace {

// Stands in for the window's value intake: the value is written with two
// decimals at the cursor, which the reader puts on each field's cell.
class ParseIntoGridTest : public ::testing::Test {
  protected:
    DefaultLocale japanese_;

    int Paste(const char* text, const char* separator = ",") {
        last_ = ParseIntoGrid(QString::fromUtf8(text), QString::fromUtf8(separator), grid_,
                              [this](double value) { PutAtCursor(value); });
        return last_.put;
    }

    void PutAtCursor(double value) {
        grid_.SetTextMatrix(grid_.Row(), grid_.Col(), FormatDecimals(value, 2));
    }

    std::pair<int, int> Cursor() const { return {grid_.Row(), grid_.Col()}; }
    QString At(int row, int col) const { return grid_.TextMatrix(row, col); }
    GridModel grid_{20, 7};
    PasteResult last_;
};

TEST_F(ParseIntoGridTest, empty_field_skips_a_cell_and_line_ends_return_to_start_column) {
    grid_.SetTextMatrix(1, 2, QStringLiteral("keep"));
    EXPECT_EQ(Paste("1,,3\r\n4\r\n"), 3);
    EXPECT_EQ(At(1, 1), QStringLiteral("1.00"));
    EXPECT_EQ(At(1, 2), QStringLiteral("keep"));
    EXPECT_EQ(At(1, 3), QStringLiteral("3.00"));
    EXPECT_EQ(At(2, 1), QStringLiteral("4.00"));
    EXPECT_EQ(Cursor(), std::make_pair(4, 1));
}

TEST_F(ParseIntoGridTest, final_cr_lf_moves_one_row_further) {
    Paste("1\t2\r\n", "\t");
    EXPECT_EQ(Cursor(), std::make_pair(3, 1));

    GridModel other(20, 7);
    grid_ = other;
    Paste("1\t2", "\t");
    EXPECT_EQ(Cursor(), std::make_pair(2, 1));
}

TEST_F(ParseIntoGridTest, paste_starts_and_returns_at_cursor_column) {
    grid_.SetRow(5);
    grid_.SetCol(3);
    Paste("1,2\r\n3");
    EXPECT_EQ(At(5, 3), QStringLiteral("1.00"));
    EXPECT_EQ(At(5, 4), QStringLiteral("2.00"));
    EXPECT_EQ(At(6, 3), QStringLiteral("3.00"));
    EXPECT_EQ(Cursor(), std::make_pair(7, 3));
}

TEST_F(ParseIntoGridTest, non_numbers_are_skipped_and_next_value_takes_their_cell) {
    EXPECT_EQ(Paste("1,abc,3,nan,inf,0x10,,5"), 3);
    EXPECT_EQ(At(1, 1), QStringLiteral("1.00"));
    EXPECT_EQ(At(1, 2), QStringLiteral("3.00"));
    EXPECT_TRUE(At(1, 3).isEmpty());
    EXPECT_EQ(At(1, 4), QStringLiteral("5.00"));
}

TEST_F(ParseIntoGridTest, spreadsheet_titles_are_skipped_but_their_line_moves_down) {
    EXPECT_EQ(Paste("長さ\t面積\r\n 1.5 \t2\r\n", "\t"), 2);
    EXPECT_TRUE(At(1, 1).isEmpty());
    EXPECT_TRUE(At(1, 2).isEmpty());
    EXPECT_EQ(At(2, 1), QStringLiteral("1.50"));
    EXPECT_EQ(At(2, 2), QStringLiteral("2.00"));
    EXPECT_EQ(Cursor(), std::make_pair(4, 1));
}

TEST_F(ParseIntoGridTest, empty_text_changes_nothing) {
    grid_.SetRow(3);
    grid_.SetCol(2);
    EXPECT_EQ(Paste(""), 0);
    EXPECT_EQ(Cursor(), std::make_pair(3, 2));
    EXPECT_EQ(grid_.UsedRows(), 0);
}

TEST_F(ParseIntoGridTest, numbers_past_the_grid_are_counted_not_written_over_its_edge) {
    GridModel small(4, 3);  // data rows 1-3, data columns 1-2
    grid_ = small;
    grid_.SetRow(2);
    grid_.SetCol(2);
    // Empty fields and a number past the last column; lines past the last row.
    EXPECT_EQ(Paste("1,,,7\r\n2,8\r\n3\r\n4\r\n"), 2);
    EXPECT_EQ(last_.outside, 4);
    EXPECT_EQ(At(2, 2), QStringLiteral("1.00"));
    EXPECT_EQ(At(3, 2), QStringLiteral("2.00"));
    EXPECT_TRUE(At(3, 1).isEmpty()) << "nothing wraps into the next row";
    EXPECT_EQ(Cursor(), std::make_pair(3, 2)) << "held on the last row";
    EXPECT_EQ(grid_.Rows(), 4);
    EXPECT_EQ(grid_.Cols(), 3);
}

TEST_F(ParseIntoGridTest, lone_lf_and_lone_cr_end_lines_as_cr_lf_does) {
    for (const char* text : {"1\t2\n3\t4\n", "1\t2\r3\t4\r", "1\t2\r\n3\t4\n"}) {
        grid_ = GridModel(20, 7);
        EXPECT_EQ(Paste(text, "\t"), 4) << text;
        EXPECT_EQ(At(1, 1), QStringLiteral("1.00"));
        EXPECT_EQ(At(1, 2), QStringLiteral("2.00"));
        EXPECT_EQ(At(2, 1), QStringLiteral("3.00"));
        EXPECT_EQ(At(2, 2), QStringLiteral("4.00"));
        EXPECT_EQ(Cursor(), std::make_pair(4, 1));
    }
}

TEST_F(ParseIntoGridTest, copied_table_pastes_back_into_the_same_cells) {
    GridModel source(20, 7);
    const std::vector<std::pair<std::pair<int, int>, const char*>> cells = {{{1, 1}, "12.50"},
                                                                            {{1, 3}, "3.00"},
                                                                            {{2, 2}, "-1.25"},
                                                                            {{4, 1}, "7.25"},
                                                                            {{4, 5}, "100.00"}};
    for (const auto& [where, text] : cells) {
        source.SetTextMatrix(where.first, where.second, QString::fromUtf8(text));
    }
    const QString table = BuildTextTable(source, QStringLiteral("\t"));
    ParseIntoGrid(table, QStringLiteral("\t"), grid_, [this](double value) { PutAtCursor(value); });
    for (int row = 1; row < source.Rows(); ++row) {
        for (int col = 1; col < source.Cols(); ++col) {
            EXPECT_EQ(At(row, col), source.TextMatrix(row, col)) << row << "," << col;
        }
    }
}

}  // namespace
