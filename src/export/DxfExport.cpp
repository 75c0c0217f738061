#include "export/DxfExport.h"

#include <dxflib/dl_dxf.h>
#include <dxflib/dl_writer_ascii.h>

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "export/FigureOutline.h"
#include "measure/Calculation.h"

namespace {

// dxflib writes through DL_WriterA, which opens a file by a narrow name:
// no good for the operator's paths on Windows, nor for the atomic writer.
// This one keeps the groups in memory instead (its own file never opens).
class MemoryDxfWriter : public DL_WriterA {
  public:
    MemoryDxfWriter() : DL_WriterA("", DL_Codes::AC1009) {}
    void dxfReal(int gc, double value) const override { Group(gc, RealText(value)); }
    void dxfInt(int gc, int value) const override { Group(gc, std::to_string(value)); }
    void dxfHex(int gc, int value) const override {
        Group(gc, QByteArray::number(value, 16).toUpper().toStdString());
    }
    void dxfString(int gc, const char* value) const override { Group(gc, value); }
    void dxfString(int gc, const std::string& value) const override { Group(gc, value); }

    QByteArray Bytes() const { return QByteArray::fromStdString(text_); }

  private:
    // Locale-free, as every reader expects "." whatever the system says.
    static std::string RealText(double value) {
        if (!std::isfinite(value)) value = 0.0;
        QByteArray text = QByteArray::number(value, 'f', 9);
        while (text.endsWith('0')) text.chop(1);
        if (text.endsWith('.')) text.append('0');
        if (text == "-0.0") text = "0.0";
        return text.toStdString();
    }
    // Group codes right-aligned in three places, lines ended by CR LF, as
    // CAD programs write them.
    void Group(int gc, const std::string& value) const {
        std::string code = std::to_string(gc);
        if (code.size() < 3) code.insert(0, 3 - code.size(), ' ');
        text_ += code;
        text_ += "\r\n";
        text_ += value;
        text_ += "\r\n";
    }
    mutable std::string text_;
};

// The scale a figure was measured with, read from its texts as the
// calculation read them.
class KeptScale : public ScaleSource {
  public:
    explicit KeptScale(const KeptFigure& figure) : figure_(figure) {}
    QString ReferenceLengthText() const override { return figure_.referenceLength; }
    QString TabletCountsText() const override { return figure_.tabletLength; }
    double VerticalFactor() const override { return figure_.verticalFactor; }

  private:
    const KeptFigure& figure_;
};

// Letters beyond ASCII as "\U+XXXX"; R12 has no other way that every
// reader understands.
std::string Escaped(const QString& text) {
    std::string out;
    for (const char32_t c : text.toUcs4()) {
        if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else if (c >= 0x80) {
            out += "\\U+";
            out += QString::number(static_cast<uint>(c), 16)
                       .rightJustified(4, QLatin1Char('0'))
                       .toUpper()
                       .toStdString();
        }
    }
    return out;
}

const char* LayerOf(const KeptFigure& figure) {
    if (figure.minus) return "HOLE";
    switch (figure.mode) {
        case FigureMode::TwoPointDistance:
            return "DISTANCE";
        case FigureMode::PickedArea:
            return "PICKED_AREA";
        case FigureMode::TracedArea:
            return "TRACED_AREA";
        case FigureMode::PickedLength:
            return "PICKED_LENGTH";
        case FigureMode::TracedLength:
            return "TRACED_LENGTH";
        case FigureMode::Coordinate:
            return "COORDINATE";
    }
    return "0";
}

struct Layer {
    const char* name;
    int colour;
    const char* linetype;
};
constexpr Layer kLayers[] = {
    {"0", 7, "CONTINUOUS"},
    {"DISTANCE", 1, "CONTINUOUS"},
    {"PICKED_AREA", 5, "CONTINUOUS"},
    {"TRACED_AREA", 4, "CONTINUOUS"},
    {"PICKED_LENGTH", 3, "CONTINUOUS"},
    {"TRACED_LENGTH", 94, "CONTINUOUS"},
    {"COORDINATE", 6, "CONTINUOUS"},
    {"HOLE", 1, "DASHED"},
};

// The length unit of a figure's value: an area's unit without its square;
// the land units are of metres.
QString LengthUnit(const KeptFigure& figure) {
    QString unit = figure.unit;
    if (unit.endsWith(QStringLiteral("²"))) unit.chop(1);
    if (unit == QStringLiteral("a") || unit == QStringLiteral("ha") || unit == QStringLiteral("坪"))
        unit = QStringLiteral("m");
    return unit;
}

// Counts to the figure's real unit, Y turned up.
struct Mapping {
    double x = 1.0;
    double y = -1.0;
    bool counts = false;
    double X(double c) const { return c * x; }
    double Y(double c) const { return c * y; }
};

Mapping MappingOf(const KeptFigure& figure) {
    Mapping m;
    const MaybeValue perCount = ScaleToReal(1.0, KeptScale(figure));
    if (!perCount || !(*perCount > 0.0)) {
        m.counts = true;
        return m;
    }
    const double vertical = figure.verticalFactor > 0.0 ? figure.verticalFactor : 1.0;
    m.x = *perCount;
    m.y = -*perCount * vertical;
    return m;
}

void WriteTables(DL_Dxf& dxf, MemoryDxfWriter& dw) {
    dw.sectionTables();
    dxf.writeVPort(dw);

    // Line types written here: dxflib's own knows only its ISO patterns.
    dw.table("LTYPE", 2);
    dw.dxfString(0, "LTYPE");
    dw.dxfString(2, "CONTINUOUS");
    dw.dxfInt(70, 0);
    dw.dxfString(3, "Solid line");
    dw.dxfInt(72, 65);
    dw.dxfInt(73, 0);
    dw.dxfReal(40, 0.0);
    dw.dxfString(0, "LTYPE");
    dw.dxfString(2, "DASHED");
    dw.dxfInt(70, 0);
    dw.dxfString(3, "Dashed __ __ __");
    dw.dxfInt(72, 65);
    dw.dxfInt(73, 2);
    dw.dxfReal(40, 0.75);
    dw.dxfReal(49, 0.5);
    dw.dxfReal(49, -0.25);
    dw.tableEnd();

    dw.tableLayers(static_cast<int>(std::size(kLayers)));
    for (const Layer& layer : kLayers)
        dxf.writeLayer(dw, DL_LayerData(layer.name, 0),
                       DL_Attributes(std::string(), layer.colour, -1, layer.linetype, 1.0));
    dw.tableEnd();

    dw.tableStyle(1);
    dxf.writeStyle(dw, DL_StyleData("STANDARD", 0, 0.0, 1.0, 0.0, 0, 2.5, "txt", ""));
    dw.tableEnd();
    dw.sectionEnd();
}

void WriteOutline(DL_Dxf& dxf, MemoryDxfWriter& dw, const KeptFigure& figure, const Mapping& m,
                  const DL_Attributes& attributes) {
    const FigureOutline outline = FigureOutline::Of(figure);
    const auto& vertices = outline.Vertices();
    if (figure.mode == FigureMode::Coordinate || vertices.size() == 1) {
        const FigurePoint& p = vertices.front().at;
        dxf.writePoint(dw, DL_PointData(m.X(p.x), m.Y(p.y), 0.0), attributes);
        return;
    }
    if (vertices.size() == 2 && !vertices.front().arcToNext && !outline.Closed()) {
        const FigurePoint& a = vertices[0].at;
        const FigurePoint& b = vertices[1].at;
        dxf.writeLine(dw, DL_LineData(m.X(a.x), m.Y(a.y), 0.0, m.X(b.x), m.Y(b.y), 0.0),
                      attributes);
        return;
    }
    // A circle's arc stays one while both axes are scaled alike: a bulge,
    // tan(angle / 4), positive counter-clockwise; turning Y up turns the
    // picked sweep round. Stretched up by a vertical factor it is an
    // ellipse's arc, which R12 has no entity for: short straight pieces.
    const bool uniform = std::fabs(m.x + m.y) <= 1e-12 * std::fabs(m.x);
    std::vector<DL_VertexData> out;
    for (const FigureOutline::Vertex& v : vertices) {
        if (v.arcToNext && uniform) {
            out.emplace_back(m.X(v.at.x), m.Y(v.at.y), 0.0, std::tan(-v.arcToNext->Sweep() / 4.0));
        } else if (v.arcToNext) {
            const int pieces =
                std::max(8, static_cast<int>(std::ceil(std::fabs(v.arcToNext->Sweep()) /
                                                       (3.14159265358979 / 36.0))));
            const std::vector<FigurePoint> along = v.arcToNext->Points(pieces);
            for (std::size_t i = 0; i + 1 < along.size(); ++i)
                out.emplace_back(m.X(along[i].x), m.Y(along[i].y), 0.0, 0.0);
        } else {
            out.emplace_back(m.X(v.at.x), m.Y(v.at.y), 0.0, 0.0);
        }
    }
    dxf.writePolyline(dw,
                      DL_PolylineData(static_cast<int>(out.size()), 0, 0, outline.Closed() ? 1 : 0),
                      attributes);
    for (const DL_VertexData& vertex : out) dxf.writeVertex(dw, vertex);
    dxf.writePolylineEnd(dw);
}

}  // namespace

QByteArray DxfExport::Bytes(const ExportSheet& sheet) {
    DL_Dxf dxf;
    // dxflib takes the version only with a file it opens itself; asked for
    // none, it keeps the version and opens nothing.
    delete dxf.out("", DL_Codes::AC1009);
    MemoryDxfWriter dw;

    // The extent, and what the units are, for the header and the note.
    double minX = std::numeric_limits<double>::max();
    double minY = minX;
    double maxX = std::numeric_limits<double>::lowest();
    double maxY = maxX;
    QStringList units;
    bool inCounts = false;
    for (const ExportItem& item : sheet.items) {
        const Mapping m = MappingOf(*item.figure);
        inCounts = inCounts || m.counts;
        const QString unit = m.counts ? QStringLiteral("counts") : LengthUnit(*item.figure);
        if (!unit.isEmpty() && !units.contains(unit)) units << unit;
        for (const FigurePoint& p : item.figure->points) {
            minX = std::min(minX, m.X(p.x));
            maxX = std::max(maxX, m.X(p.x));
            minY = std::min(minY, m.Y(p.y));
            maxY = std::max(maxY, m.Y(p.y));
        }
    }
    if (sheet.items.empty()) minX = minY = maxX = maxY = 0.0;
    const double extent = std::max({maxX - minX, maxY - minY, 1e-9});

    // What the file is, before anything else, where a reader looks first.
    dw.dxfString(999,
                 Escaped(QStringLiteral("Kalvor: %1; units: %2%3")
                             .arg(sheet.Title(),
                                  units.isEmpty() ? QStringLiteral("as scaled")
                                                  : units.join(QStringLiteral(", ")),
                                  inCounts ? QStringLiteral(" (no usable scale: tablet counts)")
                                           : QString())));
    dxf.writeHeader(dw);
    dw.dxfString(9, "$INSBASE");
    dw.coord(10, 0.0, 0.0, 0.0);
    dw.dxfString(9, "$EXTMIN");
    dw.coord(10, minX, minY, 0.0);
    dw.dxfString(9, "$EXTMAX");
    dw.coord(10, maxX, maxY, 0.0);
    dw.sectionEnd();
    WriteTables(dxf, dw);
    dw.sectionBlocks();
    dw.sectionEnd();

    dw.sectionEntities();
    for (const ExportItem& item : sheet.items) {
        const KeptFigure& figure = *item.figure;
        const Mapping m = MappingOf(figure);
        const DL_Attributes attributes(LayerOf(figure), 256, -1, "BYLAYER", 1.0);
        WriteOutline(dxf, dw, figure, m, attributes);

        // Letters 3 mm high on the paper, where its millimetres are known.
        const double height =
            figure.countsPerMm > 0.0 && !m.counts ? 3.0 * figure.countsPerMm * m.x : extent / 50.0;
        const FigureOutline outline = FigureOutline::Of(figure);
        const bool point = figure.mode == FigureMode::Coordinate;
        // Beside a coordinate's point, just above a line, centred in an area.
        const double x = m.X(outline.LabelX()) + (point ? height : 0.0);
        double y = m.Y(outline.LabelY()) + (outline.Closed() ? -height * 0.3 : height * 0.3);
        for (const QString& label : item.labels) {
            dxf.writeText(dw,
                          DL_TextData(x, y, 0.0, x, y, 0.0, height, 1.0, 0, point ? 0 : 1, 0,
                                      Escaped(label), "STANDARD", 0.0),
                          attributes);
            y -= height * 1.3;
        }
    }
    dw.sectionEnd();
    dw.dxfEOF();
    return dw.Bytes();
}

ExportResult DxfExport::Write(const QString& path, const std::vector<CellFigure>& figures) {
    return SheetFiles::Write(path, ExportSheet::Of(figures), &DxfExport::Bytes);
}
