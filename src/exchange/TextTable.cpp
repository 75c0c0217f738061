#include "TextTable.h"

#include "GridModel.h"

UsedExtent FindUsedExtent(const GridModel& grid) {
    // The model keeps both maxima up to date on every write, so this costs
    // nothing however large the grid is.
    return UsedExtent{grid.UsedRows(), grid.UsedCols()};
}

QString BuildTextTable(const GridModel& grid, const QString& separator) {
    const UsedExtent extent = FindUsedExtent(grid);
    if (extent.lMaxRow <= 0 || extent.lMaxCol <= 0) {
        return QString();
    }

    // Size the result exactly first: the autosave rebuilds the table after
    // every measured value, and growing one string by appends over a large
    // rectangle would copy it again and again.
    const qsizetype separatorsPerLine =
        static_cast<qsizetype>(extent.lMaxCol - 1) * separator.size();
    qsizetype total = static_cast<qsizetype>(extent.lMaxRow) * (separatorsPerLine + 2);
    for (int row = 1; row <= extent.lMaxRow; ++row) {
        for (int col = 1; col <= extent.lMaxCol; ++col) {
            total += grid.TextMatrix(row, col).size();
        }
    }

    QString table;
    table.reserve(total);
    for (int row = 1; row <= extent.lMaxRow; ++row) {
        for (int col = 1; col <= extent.lMaxCol; ++col) {
            table += grid.TextMatrix(row, col);
            if (col < extent.lMaxCol) {
                table += separator;
            }
        }
        table += QLatin1String("\r\n");
    }
    return table;
}
