#pragma once

#include <QFont>
#include <QRectF>
#include <QString>
#include <cstdint>
#include <vector>

#include "export/CellFigure.h"

class QPainter;

// The table that closes a report: one row per cell that has a figure, in
// the grid's order (row by row), with its row, column, value, unit, the
// measurement as the measurement options name it, where it was measured and
// when. It runs over as many pages as it needs, each with the header.
class ReportTable {
  public:
    explicit ReportTable(std::vector<const CellFigure*> cells);

    // How many pages the table takes in `area` (the painter's units, with
    // `perMm` of them in a millimetre).
    int Pages(const QRectF& area, double perMm) const;
    // Paints page `index` (from 0) of the table into `area`.
    void PaintPage(QPainter& painter, const QRectF& area, double perMm, const QFont& font,
                   int index) const;

    // The words of the table's columns.
    static QString ModeText(FigureMode mode);
    static QString SourceText(const KeptFigure& figure);
    // The time in the computer's own time zone, to the second.
    static QString TimeText(std::int64_t msSinceEpoch);

  private:
    static int RowsPerPage(const QRectF& area, double perMm);

    std::vector<const CellFigure*> cells_;
};
