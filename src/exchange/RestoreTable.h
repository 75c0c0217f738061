#pragma once

#include <QStringView>

class GridModel;

// The size of a saved text table: its last line that holds a non-empty
// field, and the most fields up to a non-empty one in any line (data rows and
// columns, headers not counted).
struct TableShape {
    int rows = 0;
    int cols = 0;
};

TableShape MeasureTable(QStringView text, QChar separator);

struct RestoredTable {
    // The last cell filled, in the order values fill the grid across (row by
    // row) and down (column by column); 0, 0 when nothing was filled.
    int lastAcrossRow = 0;
    int lastAcrossCol = 0;
    int lastDownRow = 0;
    int lastDownCol = 0;
    // Non-empty fields put back, and those that fell outside the grid.
    int restored = 0;
    int outside = 0;
};

// Puts a saved text table (lines ended by CR LF, fields split by separator)
// back into the cells it was saved from: line i, field j into row i, column
// j, whatever the fill direction and the cursor. A field that reads as a
// number is written again with `decimals`; any other non-empty text exactly as
// saved; an empty field leaves its cell alone. Nothing wraps and the grid does
// not grow: the caller sizes it first from MeasureTable.
RestoredTable RestoreTable(QStringView text, QChar separator, GridModel& grid, int decimals);
