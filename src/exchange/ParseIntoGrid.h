#pragma once

#include <QString>

#include <functional>

class GridModel;

// Reads a text table into the grid at its cursor. Lines are split at every
// exact CR LF (a text ending in CR LF yields a last, empty line); each field
// that converts to a number is handed to putValue, which writes it at the
// cursor and advances as a measured value does. An empty field moves the
// cursor one column right, without wrapping; every line end moves it one row
// down and back to the column where the paste started. Moves that would leave
// the data cells are refused; the grid never grows. A field that does not
// convert is skipped and the next field lands in the same cell.
//
// Returns the number of values handed to putValue.
int ParseIntoGrid(const QString& text, const QString& separator, GridModel& grid,
                  const std::function<void(double)>& putValue);
