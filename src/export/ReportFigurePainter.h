#pragma once

#include <QFont>
#include <QRectF>
#include <QString>
#include <QTransform>
#include <functional>
#include <vector>

#include "export/CellFigure.h"

class QPainter;

// Draws kept figures onto a sheet of the report as vectors, over a drawing's
// page or on paper of their own: lengths as lines, areas outlined with a
// light fill, coordinates as crosses, a sum's holes dashed; each cell's
// figure labelled with the cell and its value as on the pad ("3行2列　12.50
// m²"), and a sum's other figures with the cell and their sign. Labels that
// would cover one another are moved apart.
class ReportFigurePainter {
  public:
    // `deviceUnitsPerMm`: the painter's units in a millimetre of the sheet,
    // for line widths and marks; `font` for the labels.
    ReportFigurePainter(QPainter& painter, double deviceUnitsPerMm, QFont font);

    // Draws the cells' figures; `countsToDevice` gives each figure's mapping
    // from its counts to the painter's units.
    void Paint(const std::vector<const CellFigure*>& cells,
               const std::function<QTransform(const KeptFigure&)>& countsToDevice);

    // The label of a cell's figure, as the pad shows it.
    static QString Label(const CellFigure& cell);
    // The figure's outline in counts, each arc replaced by short sides along
    // it; areas are not closed here.
    static std::vector<QPointF> Outline(const KeptFigure& figure);
    // The bounds of every figure of the cells in millimetres of the source
    // (counts over each figure's counts per millimetre, or `fallbackPerMm`
    // where it is not known); empty for none.
    static QRectF BoundsMm(const std::vector<const CellFigure*>& cells, double fallbackPerMm);

  private:
    void PaintOne(const KeptFigure& figure, const QTransform& map);
    void PlaceLabel(const QString& text, QPointF anchor, bool centred, bool minus);

    QPainter& painter_;
    double perMm_;
    QFont font_;
    std::vector<QRectF> placed_;
};
