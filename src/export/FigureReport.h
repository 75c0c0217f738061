#pragma once

#include <QString>
#include <vector>

#include "export/CellFigure.h"

// The paper a report is laid out for.
enum class ReportPaper { A4, A3 };

// A PDF to hand over with an estimate: each drawing page that has figures,
// drawn with its figures and their labels, then the table of the cells that
// have figures.
class FigureReport {
  public:
    // Writes the report of `figures` to `path` through the atomic writer.
    // False, with the reason in the words a failed save gives, when it cannot.
    static bool Write(const QString& path, const std::vector<CellFigure>& figures, ReportPaper paper,
                      QString* reason);
};
