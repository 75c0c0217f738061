#include "RestoreTable.h"

#include <QString>

#include <algorithm>

#include "GridModel.h"
#include "NumberText.h"

namespace {

// Calls field(row, col, text) for every non-empty field, rows and columns
// counted from 1, lines split at CR LF.
template <typename Field>
void ForEachField(QStringView text, QChar separator, Field field) {
    int row = 1;
    qsizetype lineStart = 0;
    while (lineStart < text.size()) {
        // A CR not followed by LF is part of the line. Found as a single
        // character, which is several times faster than a two-character
        // search.
        qsizetype lineEnd = text.indexOf(u'\r', lineStart);
        while (lineEnd >= 0 && (lineEnd + 1 >= text.size() || text[lineEnd + 1] != u'\n'))
            lineEnd = text.indexOf(u'\r', lineEnd + 1);
        if (lineEnd < 0) lineEnd = text.size();
        int col = 1;
        qsizetype pos = lineStart;
        for (;;) {
            qsizetype end = text.indexOf(separator, pos);
            if (end < 0 || end > lineEnd) end = lineEnd;
            if (end > pos) field(row, col, text.sliced(pos, end - pos));
            if (end >= lineEnd) break;
            pos = end + 1;
            ++col;
        }
        ++row;
        lineStart = lineEnd + 2;
    }
}

}  // namespace

TableShape MeasureTable(QStringView text, QChar separator) {
    TableShape shape;
    ForEachField(text, separator, [&](int row, int col, QStringView) {
        shape.rows = std::max(shape.rows, row);
        shape.cols = std::max(shape.cols, col);
    });
    return shape;
}

RestoredTable RestoreTable(QStringView text, QChar separator, GridModel& grid, int decimals) {
    RestoredTable result;
    ForEachField(text, separator, [&](int row, int col, QStringView field) {
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
        grid.SetTextMatrix(row, col, cell);
        ++result.restored;
        // Lines come in order, so the last field seen is the last across.
        result.lastAcrossRow = row;
        result.lastAcrossCol = col;
        if (col > result.lastDownCol || (col == result.lastDownCol && row > result.lastDownRow)) {
            result.lastDownRow = row;
            result.lastDownCol = col;
        }
    });
    return result;
}
