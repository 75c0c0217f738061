#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "export/CellFigure.h"
#include "export/ExportSheet.h"
#include "export/SheetFiles.h"

// The figures as DXF R12 (ASCII), which every CAD program reads: one file
// per page (SheetFiles), in the real unit of each figure's scale (metres
// when the scale was set in metres; the vertical factor applied up the
// page), Y up as CAD has it, so a drawing's page lies below the X axis with
// its top-left corner at 0,0. One layer per measurement (DISTANCE,
// PICKED_AREA, TRACED_AREA, PICKED_LENGTH, TRACED_LENGTH, COORDINATE), a
// sum's holes on HOLE (dashed); areas and lengths as POLYLINEs whose picked
// arcs are bulges, a two-point distance as a LINE, a coordinate as a POINT,
// each labelled by TEXT on its own layer. R12 knows no Unicode: letters
// beyond ASCII are written "\U+XXXX", as CAD programs read them.
class DxfExport {
  public:
    static QByteArray Bytes(const ExportSheet& sheet);
    static ExportResult Write(const QString& path, const std::vector<CellFigure>& figures);
};
