// The grid's model as views see it: a bulk change (a load, a grid laid out
// anew) reports its cells and header numbers once, not cell by cell.

#include "grid/ui/GridTableModel.h"

#include <QAbstractItemModelTester>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct HeaderChange {
    Qt::Orientation orientation;
    int first;
    int last;
    bool operator==(const HeaderChange&) const = default;
};

TEST(GridTableModel, a_bulk_change_reports_each_changed_header_once_and_whole) {
    GridModel grid(3, 3);
    GridTableModel model(grid);
    QAbstractItemModelTester tester(&model);
    std::vector<HeaderChange> changes;
    QObject::connect(&model, &QAbstractItemModel::headerDataChanged,
                     [&](Qt::Orientation orientation, int first, int last) {
                         changes.push_back({orientation, first, last});
                     });
    struct Case {
        bool rows;  // numbers the rows anew
        bool cols;  // numbers the columns anew
        std::vector<HeaderChange> expected;
    };
    for (const Case& c : {Case{true, false, {{Qt::Vertical, 0, 99}}},
                          Case{false, true, {{Qt::Horizontal, 0, 4}}},
                          Case{true, true, {{Qt::Vertical, 0, 99}, {Qt::Horizontal, 0, 4}}},
                          Case{false, false, {}}}) {
        changes.clear();
        model.BeginBulkChange();
        grid.SetRows(101);
        grid.SetCols(6);
        if (c.rows)
            for (int row = 1; row < grid.Rows(); ++row) grid.SetTextMatrix(row, 0, QString::number(row));
        if (c.cols)
            for (int col = 1; col < grid.Cols(); ++col) grid.SetTextMatrix(0, col, QString::number(col));
        grid.SetTextMatrix(2, 2, QStringLiteral("1.00"));
        EXPECT_TRUE(changes.empty()) << "not one by one";
        model.EndBulkChange();
        EXPECT_EQ(changes, c.expected) << c.rows << c.cols;
    }
}

}  // namespace
