#pragma once

#include <QString>
#include <vector>

#include "export/CellFigure.h"

class DrawingHelper;

// The paper a report is laid out for.
enum class ReportPaper { A4, A3 };

// A PDF to hand over with an estimate: each drawing page that has figures,
// drawn with its figures and their labels, then the table of the cells that
// have figures.
class FigureReport {
  public:
    // Writes the report of `figures` to `path` through the atomic writer.
    // False, with the reason in the words a failed save gives, when it cannot.
    static bool Write(const QString& path, const std::vector<CellFigure>& figures,
                      ReportPaper paper, QString* reason);
    // The same with the drawing helper that reads the drawings' pages (a
    // report's own otherwise). A drawing that cannot be read now still gets
    // its page, with its figures and a line that says why the drawing is not
    // under them. Waits for the helper (from the GUI thread), each call at
    // most the helper's time budget.
    static bool Write(const QString& path, const std::vector<CellFigure>& figures,
                      ReportPaper paper, QString* reason, DrawingHelper& helper);
};
