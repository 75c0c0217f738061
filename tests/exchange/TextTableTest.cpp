#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "grid/GridModel.h"
#include "QStringPrinter.h"
#include "exchange/TextTable.h"

#include <QStringEncoder>

namespace {

struct Cell {
    int row;
    int col;
    const char* text;
};

struct TableCase {
    const char* name;
    std::vector<Cell> cells;
    const char* expected;  // with "," as separator
};

GridModel GridWith(const std::vector<Cell>& cells, int rows = 20, int cols = 7) {
    GridModel grid(rows, cols);
    for (const Cell& cell : cells) {
        grid.SetTextMatrix(cell.row, cell.col, QString::fromUtf8(cell.text));
    }
    return grid;
}

class TextTableLayout : public ::testing::TestWithParam<TableCase> {};

TEST_P(TextTableLayout, writes_used_rectangle_as_it_stands) {
    const GridModel grid = GridWith(GetParam().cells);
    EXPECT_EQ(BuildTextTable(grid, QStringLiteral(",")), QString::fromUtf8(GetParam().expected));
    // The file's bytes are the same table in the system's code page.
    EXPECT_EQ(BuildTextTableBytes(grid, ','),
              QStringEncoder(QStringConverter::System).encode(QString::fromUtf8(GetParam().expected)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextTableLayout,
    ::testing::Values(
        TableCase{"two_rows_trailing_separator",
                  {{1, 1, "12.50"}, {1, 2, "3.00"}, {2, 1, "7.25"}},
                  "12.50,3.00\r\n7.25,\r\n"},
        TableCase{"lone_value_low_in_the_grid", {{3, 2, "4.0"}}, ",\r\n,\r\n,4.0\r\n"},
        TableCase{"empty_grid_gives_empty_text", {}, ""},
        TableCase{
            "spaces_inside_rectangle_kept", {{1, 1, "1"}, {1, 2, "  "}, {1, 3, "3"}}, "1,  ,3\r\n"},
        TableCase{"spaces_outside_rectangle_do_not_widen",
                  {{1, 1, "1"}, {1, 4, " "}, {3, 1, "  "}},
                  "1\r\n"},
        TableCase{
            "texts_not_quoted_or_trimmed", {{1, 1, " a,b "}, {1, 2, "\"q\""}}, " a,b ,\"q\"\r\n"},
        TableCase{
            "headers_never_written", {{0, 0, "H"}, {0, 1, "1"}, {1, 0, "1"}, {1, 1, "9"}}, "9\r\n"},
        TableCase{"corner_cell_may_be_empty", {{1, 2, "a"}, {2, 1, "b"}}, ",a\r\nb,\r\n"},
        TableCase{"short_and_long_rows_and_typed_text",
                  {{1, 5, "５"}, {2, 1, "1.2.3"}, {3, 3, "x"}, {3, 1, ""}},
                  ",,,,５\r\n1.2.3,,,,\r\n,,x,,\r\n"},
        TableCase{"a_cell_that_turns_japanese_after_ascii", {{1, 1, "12.5 面積"}, {1, 2, "1"}}, "12.5 面積,1\r\n"}),
    [](const ::testing::TestParamInfo<TableCase>& info) { return std::string(info.param.name); });

TEST(TextTable, only_value_in_last_data_cell_gives_separator_lines) {
    const GridModel grid = GridWith({{3, 2, "x"}}, 4, 3);
    EXPECT_EQ(BuildTextTable(grid, QStringLiteral(",")), QStringLiteral(",\r\n,\r\n,x\r\n"));
    const UsedExtent extent = FindUsedExtent(grid);
    EXPECT_EQ(extent.lMaxRow, 3);
    EXPECT_EQ(extent.lMaxCol, 2);
}

TEST(TextTable, clipboard_table_uses_tabs) {
    const GridModel grid = GridWith({{1, 1, "12.50"}, {1, 2, "3.00"}, {2, 1, "7.25"}});
    EXPECT_EQ(BuildTextTable(grid, QStringLiteral("\t")),
              QStringLiteral("12.50\t3.00\r\n7.25\t\r\n"));
}

TEST(TextTable, a_selected_block_gives_its_cells_as_the_whole_table_would) {
    // Used rectangle: rows 1 to 3, columns 1 to 3; the grid is 5 by 5.
    const GridModel grid = GridWith({{1, 1, "1"}, {1, 3, "3"}, {2, 2, "x"}, {3, 1, "7"}}, 6, 6);
    const QString tab = QStringLiteral("\t");
    struct Case {
        const char* name;
        CellRange range;
        const char* text;
    };
    const Case cases[] = {
        {"one_cell", {2, 2, 2, 2}, "x\r\n"},
        {"one_empty_cell", {2, 1, 2, 1}, "\r\n"},
        {"block_with_empty_cells", {1, 1, 2, 2}, "1\t\r\n\tx\r\n"},
        {"past_the_used_cells_is_cut", {2, 2, 5, 5}, "x\t\r\n\t\r\n"},
        {"nothing_used", {4, 4, 5, 5}, ""},
        {"headers_left_out", {0, 0, 1, 1}, "1\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(BuildRangeTable(grid, c.range, tab), QString::fromUtf8(c.text));
    }
    EXPECT_EQ(BuildRangeTable(grid, {1, 1, 5, 5}, tab), BuildTextTable(grid, tab))
        << "the whole grid selected is the table of \"コピー\"";
}

}  // namespace
