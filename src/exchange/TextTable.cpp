#include "exchange/TextTable.h"

#include <QStringEncoder>

#include <algorithm>
#include <vector>

#include "grid/GridModel.h"

namespace {

// Walks the used rectangle row by row, handing each cell's text (empty for
// cells past the end of a short row) and each separator and line end to the
// sink, without a lookup per cell.
template <typename Cell, typename Separator, typename LineEnd>
void WalkTable(const GridModel& grid, Cell cell, Separator separator, LineEnd lineEnd) {
    const UsedExtent extent = FindUsedExtent(grid);
    if (extent.lMaxRow <= 0 || extent.lMaxCol <= 0) {
        return;
    }
    const auto lastCol = static_cast<std::size_t>(extent.lMaxCol);
    for (int row = 1; row <= extent.lMaxRow; ++row) {
        const std::vector<QString>& cells = grid.RowCells(row);
        const std::size_t stored = std::min(cells.size(), lastCol + 1);
        for (std::size_t col = 1; col < stored; ++col) {
            cell(cells[col]);
            if (col < lastCol) separator();
        }
        // Empty cells after the row's last stored one: separators only.
        for (std::size_t col = std::max<std::size_t>(stored, 1); col < lastCol; ++col) {
            separator();
        }
        lineEnd();
    }
}

// No less than the table's size in bytes when every cell is ASCII, one byte a
// character (cells outside the used rectangle hold only spaces, if
// anything): the buffer is made that large at once instead of doubling, and
// copying, its way there.
qsizetype AsciiTableSize(const GridModel& grid) {
    const UsedExtent extent = FindUsedExtent(grid);
    if (extent.lMaxRow <= 0 || extent.lMaxCol <= 0) return 0;
    // Each line: its cells, a separator between two, CR LF.
    return grid.DataChars() + qsizetype{extent.lMaxRow} * (extent.lMaxCol + 1);
}

}  // namespace

UsedExtent FindUsedExtent(const GridModel& grid) {
    // The model keeps both maxima up to date on every write, so this costs
    // nothing however large the grid is.
    return UsedExtent{grid.UsedRows(), grid.UsedCols()};
}

QString BuildTextTable(const GridModel& grid, const QString& separator) {
    QString table;
    WalkTable(
        grid, [&](const QString& text) { table += text; }, [&] { table += separator; },
        [&] { table += QLatin1String("\r\n"); });
    return table;
}

QString BuildRangeTable(const GridModel& grid, const CellRange& range, const QString& separator) {
    const int top = std::max(range.top, grid.FixedRows());
    const int left = std::max(range.left, grid.FixedCols());
    // Past the used rectangle every cell is empty: cut there, as the whole
    // table is, so that a selection of the whole grid gives exactly the
    // table "コピー" gives, and a selected empty column costs nothing.
    const int bottom = std::min(range.bottom, grid.UsedRows());
    const int right = std::min(range.right, grid.UsedCols());
    QString table;
    if (bottom < top || right < left) return table;
    for (int row = top; row <= bottom; ++row) {
        for (int col = left; col <= right; ++col) {
            if (col > left) table += separator;
            table += grid.TextMatrix(row, col);
        }
        table += QLatin1String("\r\n");
    }
    return table;
}

QByteArray BuildTextTableBytes(const GridModel& grid, char separator) {
    // One byte buffer, sized for an all-ASCII table and grown only for other
    // characters, each cell encoded straight into it: no text copy of the
    // whole table in between. Written through a plain pointer, which moves
    // with the buffer when it grows.
    QStringEncoder encoder(QStringConverter::System);
    QByteArray bytes(AsciiTableSize(grid), Qt::Uninitialized);
    char* out = bytes.data();
    auto room = [&](qsizetype more) {
        const qsizetype size = out - bytes.constData();
        if (bytes.size() - size >= more) return;
        bytes.resize(std::max(size + more, bytes.size() * 2 + 4096));
        out = bytes.data() + size;
    };
    WalkTable(
        grid,
        [&](const QString& text) {
            // Cells are nearly always numbers: plain ASCII, which every code
            // page the program writes holds as the same bytes, so they are
            // copied without the encoder. A cell with anything else goes
            // through the encoder whole.
            const qsizetype n = text.size();
            room(n);
            const QChar* from = text.constData();
            qsizetype i = 0;
            while (i < n && from[i].unicode() < 0x80) {
                out[i] = static_cast<char>(from[i].unicode());
                ++i;
            }
            if (i == n) {
                out += n;
                return;
            }
            room(encoder.requiredSpace(n));
            out = encoder.appendToBuffer(out, text);
        },
        [&] {
            room(1);
            *out++ = separator;
        },
        [&] {
            room(2);
            *out++ = '\r';
            *out++ = '\n';
        });
    bytes.truncate(out - bytes.constData());
    return bytes;
}
