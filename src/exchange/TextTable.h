#pragma once

#include <QByteArray>
#include <QString>

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

// The same table encoded in the system's code page, built straight into the
// bytes that a file receives: the autosave writes it after every value.
QByteArray BuildTextTableBytes(const GridModel& grid, char separator);
