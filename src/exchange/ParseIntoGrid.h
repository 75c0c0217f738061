#pragma once

#include <QString>

#include <functional>

class GridModel;

struct PasteResult {
    // Values handed to putValue.
    int put = 0;
    // Numbers that fell outside the grid and were not written.
    int outside = 0;
};

// Reads a text table (a spreadsheet's clipboard text) into the grid at its
// cursor, keeping the table's shape. A line ends at CR LF, at a lone LF (as
// spreadsheets on Linux put it on the clipboard) and at a lone CR; a text
// ending in a line end yields a last, empty line. Within a line the fields go
// to successive columns whatever the fill direction: each field that converts
// to a number is handed to putValue with the cursor on its cell (putValue
// writes it there without moving on); an empty field leaves its cell alone
// and the next field goes one column right; a field that does not convert is
// skipped and the next field takes its cell. Every line end goes one row down
// and back to the column where the paste started. The grid never grows:
// numbers that would fall outside it are not written but counted. At the end
// the cursor stands where the next line would start, or as close to it as the
// grid allows.
PasteResult ParseIntoGrid(const QString& text, const QString& separator, GridModel& grid,
                          const std::function<void(double)>& putValue);
