#include "grid/GridModel.h"

#include "QStringPrinter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Events = std::vector<std::string>;

class RecordingObserver : public GridModel::Observer {
public:
    void CellChanged(int row, int col) override {
        events.push_back("cell " + std::to_string(row) + "," + std::to_string(col));
    }
    void SizeChanged() override { events.emplace_back("size"); }
    void CursorChanged() override { events.emplace_back("cursor"); }
    void ColWidthChanged(int col) override { events.push_back("width " + std::to_string(col)); }

    Events events;
};

// The data cells' lengths added up cell by cell, to check the model's own
// running total against.
qsizetype DataCharsOf(const GridModel& grid) {
    qsizetype chars = 0;
    for (int row = 1; row < grid.Rows(); ++row)
        for (int col = 1; col < grid.Cols(); ++col) chars += grid.TextMatrix(row, col).size();
    return chars;
}

TEST(GridModel, used_extent_follows_every_write) {
    struct Write {
        int row;
        int col;
        QString text;
        int usedRows;
        int usedCols;
    };
    const Write writes[] = {
        {3, 2, QStringLiteral("1.50"), 3, 2},
        {1, 4, QStringLiteral("x"), 3, 4},  // the corner (3, 4) itself is empty
        {3, 2, QStringLiteral("   "), 1, 4},  // spaces only: blank
        {5, 5, QStringLiteral("1"), 5, 5},
        {5, 5, QStringLiteral("2"), 5, 5},  // an overwritten cell counts once
        {5, 5, QString(), 1, 4},
        {2, 1, QStringLiteral("\t"), 2, 4},  // only the plain space is blank
        {4, 1, QStringLiteral("\u3000"), 4, 4},
        {0, 5, QStringLiteral("5"), 4, 4},  // header cells do not count
        {10, 0, QStringLiteral("10"), 4, 4},
        {1, 4, QString(), 4, 1},
        {2, 1, QString(), 4, 1},
        {4, 1, QString(), 0, 0},
    };
    GridModel grid(11, 6);
    EXPECT_EQ(grid.UsedRows(), 0);
    EXPECT_EQ(grid.UsedCols(), 0);
    for (const Write& w : writes) {
        ASSERT_TRUE(grid.SetTextMatrix(w.row, w.col, w.text));
        EXPECT_EQ(grid.UsedRows(), w.usedRows) << w.row << "," << w.col << " " << w.text.toStdString();
        EXPECT_EQ(grid.UsedCols(), w.usedCols) << w.row << "," << w.col << " " << w.text.toStdString();
        EXPECT_EQ(grid.DataChars(), DataCharsOf(grid)) << w.row << "," << w.col;
    }
    EXPECT_EQ(grid.TextMatrix(3, 2), QStringLiteral("   ")) << "kept as written";
    EXPECT_EQ(grid.TextMatrix(0, 5), QStringLiteral("5"));
}

TEST(GridModel, shrinking_drops_cells_outside_and_growing_back_gives_empty_ones) {
    GridModel grid(11, 6);
    grid.SetTextMatrix(8, 2, QStringLiteral("a"));
    grid.SetTextMatrix(3, 5, QStringLiteral("b"));
    grid.SetTextMatrix(2, 2, QStringLiteral("c"));

    grid.SetRows(5);
    EXPECT_EQ(grid.UsedRows(), 3);
    EXPECT_EQ(grid.UsedCols(), 5);
    grid.SetCols(4);
    EXPECT_EQ(grid.UsedRows(), 2);
    EXPECT_EQ(grid.UsedCols(), 2);
    EXPECT_EQ(grid.DataChars(), DataCharsOf(grid));

    grid.SetRows(11);
    grid.SetCols(6);
    EXPECT_EQ(grid.TextMatrix(8, 2), QString());
    EXPECT_EQ(grid.TextMatrix(3, 5), QString());
    EXPECT_EQ(grid.TextMatrix(2, 2), QStringLiteral("c"));
    EXPECT_EQ(grid.UsedRows(), 2);
}

TEST(GridModel, shrinking_pulls_the_cursor_onto_the_last_data_cell_and_keeps_one) {
    GridModel grid(11, 6);
    RecordingObserver observer;
    grid.SetObserver(&observer);
    ASSERT_TRUE(grid.SetRow(9));
    ASSERT_TRUE(grid.SetCol(5));
    observer.events.clear();

    grid.SetRows(4);
    grid.SetCols(3);
    EXPECT_EQ(grid.Row(), 3);
    EXPECT_EQ(grid.Col(), 2);
    EXPECT_EQ(observer.events, (Events{"size", "cursor", "size", "cursor"}));

    grid.SetRows(1);
    EXPECT_EQ(grid.Rows(), 2) << "sizes below two are raised to two";
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(GridModel(0, -3).Cols(), 2);
}

TEST(GridModel, header_and_outside_cells_refuse_the_cursor_and_outside_cells_refuse_text) {
    GridModel grid(4, 3);
    RecordingObserver observer;
    grid.SetObserver(&observer);
    for (int index : {0, -1}) {
        EXPECT_FALSE(grid.SetRow(index)) << index;
        EXPECT_FALSE(grid.SetCol(index)) << index;
    }
    EXPECT_FALSE(grid.SetRow(4));
    EXPECT_FALSE(grid.SetCol(3));
    for (auto [row, col] : {std::pair{4, 1}, {1, 3}, {-1, 1}, {1, -1}}) {
        EXPECT_FALSE(grid.SetTextMatrix(row, col, QStringLiteral("x")));
        EXPECT_EQ(grid.TextMatrix(row, col), QString());
    }
    EXPECT_TRUE(observer.events.empty());
    EXPECT_EQ(grid.UsedRows(), 0);
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(grid.Col(), 1);
}

TEST(GridModel, clearing_empties_data_cells_but_keeps_headers_and_cursor) {
    GridModel grid(30, 20);
    for (int row = 0; row < 30; ++row) {
        for (int col = 0; col < 20; ++col) {
            grid.SetTextMatrix(row, col, QString::number(row * 100 + col));
        }
    }
    grid.SetRow(4);
    RecordingObserver observer;
    grid.SetObserver(&observer);

    grid.ClearData();
    for (int row = 0; row < 30; ++row) {
        for (int col = 0; col < 20; ++col) {
            const bool header = row == 0 || col == 0;
            EXPECT_EQ(grid.TextMatrix(row, col), header ? QString::number(row * 100 + col) : QString());
        }
    }
    EXPECT_EQ(grid.UsedRows(), 0);
    EXPECT_EQ(grid.UsedCols(), 0);
    EXPECT_EQ(grid.DataChars(), 0);
    EXPECT_EQ(grid.Row(), 4);
    EXPECT_EQ(observer.events, (Events{"size"}));
    grid.SetTextMatrix(1, 1, QStringLiteral("after"));
    EXPECT_EQ(grid.UsedRows(), 1);
}

TEST(GridModel, tells_the_observer_of_each_change) {
    GridModel grid(4, 3);
    RecordingObserver observer;
    grid.SetObserver(&observer);
    grid.SetTextMatrix(1, 2, QStringLiteral("a"));
    grid.SetTextMatrix(1, 2, QStringLiteral("a"));
    grid.SetRow(2);
    grid.SetRow(2);  // no move, no news
    grid.SetColWidth(2, 1500);
    grid.SetRows(8);
    grid.SetRows(8);
    EXPECT_EQ(observer.events, (Events{"cell 1,2", "cell 1,2", "cursor", "width 2", "size"}));
}

TEST(GridModel, column_widths_default_until_set_and_reset_when_columns_are_dropped) {
    GridModel grid(4, 6);
    EXPECT_EQ(grid.ColWidth(3), -1);
    grid.SetColWidth(0, 600);
    grid.SetColWidth(5, 750);
    grid.SetColWidth(6, 900);  // outside: ignored
    EXPECT_EQ(grid.ColWidth(5), 750);
    EXPECT_EQ(grid.ColWidth(6), -1);
    grid.SetCols(3);
    grid.SetCols(6);
    EXPECT_EQ(grid.ColWidth(0), 600);
    EXPECT_EQ(grid.ColWidth(5), -1);
}

TEST(GridModel, a_large_grid_tracks_its_far_corner) {
    GridModel grid;
    grid.SetRows(10001);
    grid.SetCols(1001);
    grid.SetTextMatrix(10000, 1000, QStringLiteral("corner"));
    EXPECT_EQ(grid.UsedRows(), 10000);
    EXPECT_EQ(grid.UsedCols(), 1000);
    grid.SetRows(10000);
    EXPECT_EQ(grid.UsedRows(), 0);
    EXPECT_EQ(grid.UsedCols(), 0);
}

}  // namespace
