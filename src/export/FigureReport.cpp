#include "export/FigureReport.h"

bool FigureReport::Write(const QString&, const std::vector<CellFigure>&, ReportPaper, QString* reason) {
    if (reason != nullptr) *reason = QStringLiteral("PDF のレポートはまだ書き出せません");
    return false;
}
