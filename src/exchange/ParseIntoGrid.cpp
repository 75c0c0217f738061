#include "ParseIntoGrid.h"

#include <QStringView>

#include "GridModel.h"
#include "NumberText.h"

namespace {

// Puts one field when it is a number; anything else is skipped without
// moving the cursor, so the next field takes the cell this one would have.
int PutField(QStringView field, const std::function<void(double)>& putValue) {
    const std::optional<double> value = ParseNumber(field.toString());
    if (!value) {
        return 0;
    }
    putValue(*value);
    return 1;
}

int ParseLine(QStringView line, QStringView separator, GridModel& grid,
              const std::function<void(double)>& putValue) {
    int put = 0;
    qsizetype pos = 0;
    while (pos < line.size()) {
        // With no separator to look for, the whole line is one field.
        const qsizetype found = separator.isEmpty() ? -1 : line.indexOf(separator, pos);
        if (found < 0) {
            put += PutField(line.sliced(pos), putValue);
            break;
        }
        if (found == pos) {
            // An empty field keeps its column free: one column right, never
            // wrapping, refused by the model past the last data column.
            grid.SetCol(grid.Col() + 1);
        } else {
            put += PutField(line.sliced(pos, found - pos), putValue);
        }
        pos = found + separator.size();
    }
    return put;
}

}  // namespace

int ParseIntoGrid(const QString& text, const QString& separator, GridModel& grid,
                  const std::function<void(double)>& putValue) {
    // Splitting an empty text gives no lines at all, so an empty clipboard or
    // a zero-byte autosave file leaves the cursor where it is.
    if (text.isEmpty()) {
        return 0;
    }

    // Lines and fields are views into the one text: a large paste is read
    // once from start to end instead of being copied piece by piece.
    const int startCol = grid.Col();
    const QStringView all(text);
    const QStringView lineEnd(u"\r\n");
    int put = 0;
    qsizetype lineStart = 0;
    for (;;) {
        const qsizetype end = all.indexOf(lineEnd, lineStart);
        const bool last = end < 0;
        const qsizetype stop = last ? all.size() : end;
        put += ParseLine(all.sliced(lineStart, stop - lineStart), separator, grid, putValue);
        // Both moves are tried whatever happens to the other: at the last data
        // row the row stays but the column still returns to the start.
        grid.SetRow(grid.Row() + 1);
        grid.SetCol(startCol);
        if (last) {
            break;
        }
        lineStart = end + lineEnd.size();
    }
    return put;
}
