#include "exchange/RestoreTable.h"

#include <QString>

#include <algorithm>
#include <utility>

#include "grid/GridModel.h"
#include "grid/NumberText.h"

namespace {

// Where the line that starts at lineStart ends: its CR LF, or the end of the
// text. A CR not followed by LF is part of the line. Found as a single
// character, which is several times faster than a two-character search.
qsizetype LineEnd(QStringView text, qsizetype lineStart) {
    qsizetype end = text.indexOf(u'\r', lineStart);
    while (end >= 0 && (end + 1 >= text.size() || text[end + 1] != u'\n'))
        end = text.indexOf(u'\r', end + 1);
    return end < 0 ? text.size() : end;
}

// The column of a line's last non-empty field, 0 when it has none. One pass
// that the compiler can vectorise, where a search per field would cost a
// library call for every few characters.
int LastFieldColumn(QStringView line, QChar separator) {
    qsizetype last = line.size();
    while (last > 0 && line[last - 1] == separator) --last;
    if (last == 0) return 0;
    const char16_t* chars = line.utf16();
    const char16_t sep = separator.unicode();
    int separators = 0;
    for (qsizetype i = 0; i < last; ++i) separators += chars[i] == sep ? 1 : 0;
    return separators + 1;
}

// Calls line(row, text) for every line, rows counted from 1, lines split at
// CR LF.
template <typename Line>
void ForEachLine(QStringView text, Line line) {
    int row = 1;
    qsizetype lineStart = 0;
    while (lineStart < text.size()) {
        const qsizetype lineEnd = LineEnd(text, lineStart);
        line(row, text.sliced(lineStart, lineEnd - lineStart));
        ++row;
        lineStart = lineEnd + 2;
    }
}

// Calls field(col, text) for every non-empty field of a line, columns
// counted from 1. Fields are mostly a few characters long: a plain loop finds
// their ends faster than a search call per field.
template <typename Field>
void ForEachField(QStringView line, QChar separator, Field field) {
    const char16_t* chars = line.utf16();
    const char16_t sep = separator.unicode();
    const qsizetype size = line.size();
    int col = 1;
    qsizetype fieldStart = 0;
    for (qsizetype i = 0; i <= size; ++i) {
        if (i < size && chars[i] != sep) continue;
        if (i > fieldStart) field(col, line.sliced(fieldStart, i - fieldStart));
        fieldStart = i + 1;
        ++col;
    }
}

}  // namespace

TableShape MeasureTable(QStringView text, QChar separator) {
    TableShape shape;
    ForEachLine(text, [&](int row, QStringView line) {
        const int cols = LastFieldColumn(line, separator);
        if (cols == 0) return;
        shape.rows = row;
        shape.cols = std::max(shape.cols, cols);
    });
    return shape;
}

RestoredTable RestoreTable(QStringView text, QChar separator, GridModel& grid, int decimals) {
    RestoredTable result;
    ForEachLine(text, [&](int row, QStringView line) {
        // Room for the whole line at once: a row grown cell by cell is copied
        // again at every doubling.
        if (const int cols = LastFieldColumn(line, separator); cols > 0) grid.ReserveCells(row, cols);
        ForEachField(line, separator, [&](int col, QStringView field) {
            if (row >= grid.Rows() || col >= grid.Cols()) {
                ++result.outside;
                return;
            }
            QString cell;
            // A number already in the current form (every cell the program
            // wrote with these decimals) is kept; others are read and written
            // again.
            if (IsFormattedDecimals(field, decimals)) {
                cell = field.toString();
            } else if (const std::optional<double> value = ParseNumber(field)) {
                cell = FormatDecimals(*value, decimals);
            }
            // Text the operator typed, and a number whose new form would not
            // read back, stay as they were saved.
            if (cell.isEmpty()) cell = field.toString();
            grid.SetTextMatrix(row, col, std::move(cell));
            ++result.restored;
            // Lines come in order, so the last field seen is the last across.
            result.lastAcrossRow = row;
            result.lastAcrossCol = col;
            if (col > result.lastDownCol || (col == result.lastDownCol && row > result.lastDownRow)) {
                result.lastDownRow = row;
                result.lastDownCol = col;
            }
        });
    });
    return result;
}
