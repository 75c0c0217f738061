#pragma once

#include <QByteArray>
#include <QString>

#include "grid/CellRange.h"

class GridModel;

// The grid text table: the used rectangle of the data cells (rows 1 to
// lMaxRow by columns 1 to lMaxCol, anchored at the first data cell), one line
// per row, the cell texts exactly as they stand with one separator between
// neighbouring cells, CR LF after every line. A grid without a non-blank cell
// gives the empty text.
struct UsedExtent {
    int lMaxRow = 0;
    int lMaxCol = 0;
};

UsedExtent FindUsedExtent(const GridModel& grid);

QString BuildTextTable(const GridModel& grid, const QString& separator);

// The same text for a rectangle of cells (the grid's selection): its data
// cells as they stand, empty ones included, one separator between
// neighbours and CR LF after every row, so that a spreadsheet receives a
// block of the grid as it receives the whole table. The rectangle is cut to
// the used rectangle of the data cells; nothing of it left gives the empty
// text.
QString BuildRangeTable(const GridModel& grid, const CellRange& range, const QString& separator);

// The same table encoded in the system's code page, built straight into the
// bytes that a file receives: the autosave writes it after every value.
QByteArray BuildTextTableBytes(const GridModel& grid, char separator);
