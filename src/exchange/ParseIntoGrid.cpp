#include "exchange/ParseIntoGrid.h"

#include <QStringView>

#include <algorithm>

#include "grid/GridModel.h"
#include "grid/NumberText.h"

namespace {

// Where the next field goes. It may lie past the grid's last row or column:
// what lands there is counted, not written, so the cells inside keep the
// table's shape.
struct Position {
    int row;
    int col;
};

// Puts one field when it is a number; false for anything else, which the
// next field's value then replaces in the same cell.
bool PutField(QStringView field, const Position& at, GridModel& grid,
              const std::function<void(double)>& putValue, PasteResult& result) {
    const std::optional<double> value = ParseNumber(field);
    if (!value) {
        return false;
    }
    if (at.row >= grid.Rows() || at.col >= grid.Cols()) {
        ++result.outside;
        return true;
    }
    grid.SetRow(at.row);
    grid.SetCol(at.col);
    putValue(*value);
    ++result.put;
    return true;
}

void ParseLine(QStringView line, QStringView separator, Position& at, GridModel& grid,
               const std::function<void(double)>& putValue, PasteResult& result) {
    qsizetype pos = 0;
    while (pos < line.size()) {
        // With no separator to look for, the whole line is one field.
        const qsizetype found = separator.isEmpty() ? -1 : line.indexOf(separator, pos);
        const qsizetype fieldEnd = found < 0 ? line.size() : found;
        // An empty field keeps its cell free; a number takes its cell.
        if (fieldEnd == pos || PutField(line.sliced(pos, fieldEnd - pos), at, grid, putValue, result)) {
            ++at.col;
        }
        if (found < 0) {
            return;
        }
        pos = found + separator.size();
    }
}

}  // namespace

PasteResult ParseIntoGrid(const QString& text, const QString& separator, GridModel& grid,
                          const std::function<void(double)>& putValue) {
    PasteResult result;
    // Splitting an empty text gives no lines at all, so an empty clipboard
    // leaves the cursor where it is.
    if (text.isEmpty()) {
        return result;
    }
    const int startCol = grid.Col();
    Position at{grid.Row(), startCol};
    const QStringView all(text);
    qsizetype lineStart = 0;
    for (;;) {
        qsizetype end = lineStart;
        while (end < all.size() && all[end] != u'\r' && all[end] != u'\n') ++end;
        ParseLine(all.sliced(lineStart, end - lineStart), separator, at, grid, putValue, result);
        ++at.row;
        at.col = startCol;
        if (end >= all.size()) {
            break;
        }
        lineStart = end + (all[end] == u'\r' && end + 1 < all.size() && all[end + 1] == u'\n' ? 2 : 1);
    }
    // The cursor ends where the next line would start, held on the last row
    // when that lies past it.
    grid.SetRow(std::min(at.row, grid.Rows() - 1));
    grid.SetCol(startCol);
    return result;
}
