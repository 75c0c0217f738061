#pragma once

#include <QByteArray>
#include <QSizeF>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "export/CellFigure.h"
#include "export/ExportSheet.h"
#include "export/SheetFiles.h"

// The figures as SVG, to lay over the drawing they were measured on: one
// file per page (SheetFiles), in millimetres of paper with the page's
// top-left corner at 0,0, as the pad counts. Lengths are lines, areas
// outlines with a light fill, a sum's holes dashed, coordinates marks; each
// has its label. Every figure's element has the id "f<row>-<col>-<n>" (n:
// which figure of the cell, from 0), its label's "l<row>-<col>-<n>".
//
// A figure from a tablet is drawn in the tablet's millimetres (counts over
// its resolution); one whose tablet told no resolution in counts, which the
// file then says.
class SvgExport {
  public:
    // The size in millimetres of a drawing's page, where it is known; the
    // sheet then has the page's size, else it reaches from the corner to
    // just past its figures.
    using PageSize = std::function<std::optional<QSizeF>(const QString& file, int page)>;

    static QByteArray Bytes(const ExportSheet& sheet, std::optional<QSizeF> pageMm);
    static ExportResult Write(const QString& path, const std::vector<CellFigure>& figures,
                              const PageSize& pageSize);
};
