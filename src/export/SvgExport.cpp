#include "export/SvgExport.h"

#include <QXmlStreamWriter>
#include <algorithm>
#include <cmath>
#include <limits>

#include "export/FigureOutline.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// Millimetres of paper, or counts where the tablet told no resolution.
double PerCount(const KeptFigure& figure) {
    return figure.countsPerMm > 0.0 ? 1.0 / figure.countsPerMm : 1.0;
}

QString Number(double value) {
    QString text = QString::number(value, 'f', 3);
    while (text.endsWith(QLatin1Char('0'))) text.chop(1);
    if (text.endsWith(QLatin1Char('.'))) text.chop(1);
    return text == QStringLiteral("-0") ? QStringLiteral("0") : text;
}

QString Colour(FigureMode mode) {
    switch (mode) {
        case FigureMode::TwoPointDistance:
            return QStringLiteral("#c0392b");
        case FigureMode::PickedArea:
        case FigureMode::TracedArea:
            return QStringLiteral("#1f5fbf");
        case FigureMode::PickedLength:
        case FigureMode::TracedLength:
            return QStringLiteral("#1e8449");
        case FigureMode::Coordinate:
            return QStringLiteral("#8e44ad");
    }
    return QStringLiteral("#000000");
}

struct Bounds {
    double minX = std::numeric_limits<double>::max();
    double minY = std::numeric_limits<double>::max();
    double maxX = std::numeric_limits<double>::lowest();
    double maxY = std::numeric_limits<double>::lowest();
    void Add(double x, double y) {
        minX = std::min(minX, x);
        minY = std::min(minY, y);
        maxX = std::max(maxX, x);
        maxY = std::max(maxY, y);
    }
};

Bounds SheetBounds(const ExportSheet& sheet) {
    Bounds bounds;
    for (const ExportItem& item : sheet.items) {
        const double k = PerCount(*item.figure);
        const FigureOutline outline = FigureOutline::Of(*item.figure);
        for (const FigureOutline::Vertex& vertex : outline.Vertices()) {
            bounds.Add(vertex.at.x * k, vertex.at.y * k);
            if (vertex.arcToNext)
                for (const FigurePoint& p : vertex.arcToNext->Points(16))
                    bounds.Add(p.x * k, p.y * k);
        }
    }
    return bounds;
}

// The outline as path data, arcs as SVG arcs: the figure is scaled alike
// across and down, so a circle's arc stays one. The sweep flag is 1 for an
// arc turning from x towards y, in SVG's Y-down space as on the tablet.
QString PathData(const FigureOutline& outline, double k) {
    QString d;
    const auto& vertices = outline.Vertices();
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const FigureOutline::Vertex& v = vertices[i];
        if (i == 0) {
            d += QStringLiteral("M%1 %2").arg(Number(v.at.x * k), Number(v.at.y * k));
        }
        if (i + 1 >= vertices.size()) break;
        const FigurePoint& to = vertices[i + 1].at;
        if (v.arcToNext) {
            const double sweep = v.arcToNext->Sweep();
            const QString r = Number(v.arcToNext->Radius() * k);
            d += QStringLiteral(" A%1 %1 0 %2 %3 %4 %5")
                     .arg(r)
                     .arg(std::fabs(sweep) > kPi ? 1 : 0)
                     .arg(sweep > 0.0 ? 1 : 0)
                     .arg(Number(to.x * k), Number(to.y * k));
        } else {
            d += QStringLiteral(" L%1 %2").arg(Number(to.x * k), Number(to.y * k));
        }
    }
    if (outline.Closed()) d += QStringLiteral(" Z");
    return d;
}

}  // namespace

QByteArray SvgExport::Bytes(const ExportSheet& sheet, std::optional<QSizeF> pageMm) {
    const Bounds bounds = SheetBounds(sheet);
    const bool inCounts =
        std::any_of(sheet.items.begin(), sheet.items.end(),
                    [](const ExportItem& item) { return item.figure->countsPerMm <= 0.0; });
    // Sizes of strokes and letters in the sheet's unit: millimetres, or
    // counts scaled so that the sheet looks alike.
    const double extent = std::max({bounds.maxX - bounds.minX, bounds.maxY - bounds.minY, 1.0});
    const double u = inCounts ? extent / 150.0 : 1.0;
    const double margin = 10.0 * u;

    double x0 = 0.0;
    double y0 = 0.0;
    double width = 0.0;
    double height = 0.0;
    if (sheet.source == FigureSourceKind::Drawing && pageMm && pageMm->width() > 0 &&
        pageMm->height() > 0) {
        width = pageMm->width();
        height = pageMm->height();
    } else if (sheet.source == FigureSourceKind::Drawing && !inCounts) {
        // The page's corner stays at 0,0 so that the sheet still lays over
        // the page from its top-left corner.
        width = std::max(bounds.maxX, 0.0) + margin;
        height = std::max(bounds.maxY, 0.0) + margin;
    } else {
        x0 = bounds.minX - margin;
        y0 = bounds.minY - margin;
        width = bounds.maxX - bounds.minX + 2 * margin;
        height = bounds.maxY - bounds.minY + 2 * margin;
    }

    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("svg"));
    xml.writeDefaultNamespace(QStringLiteral("http://www.w3.org/2000/svg"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
    const QString unit = inCounts ? QString() : QStringLiteral("mm");
    xml.writeAttribute(QStringLiteral("width"), Number(width) + unit);
    xml.writeAttribute(QStringLiteral("height"), Number(height) + unit);
    xml.writeAttribute(
        QStringLiteral("viewBox"),
        QStringLiteral("%1 %2 %3 %4").arg(Number(x0), Number(y0), Number(width), Number(height)));
    xml.writeTextElement(QStringLiteral("title"), sheet.Title());
    xml.writeTextElement(
        QStringLiteral("desc"),
        inCounts ? QStringLiteral("Kalvor で計測した図形。タブレットが解像度を伝えなかったため、"
                                  "単位はタブレットのカウントです。")
                 : QStringLiteral("Kalvor で計測した図形。単位は紙の上のミリメートル、"
                                  "原点はページの左上です。"));

    const QString stroke = Number(0.35 * u);
    const QString font = Number(3.0 * u);
    for (const ExportItem& item : sheet.items) {
        const KeptFigure& figure = *item.figure;
        const double k = PerCount(figure);
        const FigureOutline outline = FigureOutline::Of(figure);
        const QString colour = Colour(figure.mode);
        const QString id = QStringLiteral("%1-%2-%3").arg(item.row).arg(item.col).arg(item.part);
        if (figure.mode == FigureMode::Coordinate) {
            // A ring with a cross through the pick.
            const double x = figure.points.front().x * k;
            const double y = figure.points.front().y * k;
            const double r = 1.2 * u;
            xml.writeStartElement(QStringLiteral("path"));
            xml.writeAttribute(QStringLiteral("id"), QLatin1Char('f') + id);
            xml.writeAttribute(
                QStringLiteral("d"),
                QStringLiteral(
                    "M%1 %2 A%3 %3 0 1 1 %4 %2 A%3 %3 0 1 1 %1 %2 Z M%5 %2 L%6 %2 M%7 %8 L%7 %9")
                    .arg(Number(x - r), Number(y), Number(r), Number(x + r), Number(x - 2 * r),
                         Number(x + 2 * r), Number(x), Number(y - 2 * r), Number(y + 2 * r)));
            xml.writeAttribute(QStringLiteral("fill"), QStringLiteral("none"));
        } else {
            xml.writeStartElement(QStringLiteral("path"));
            xml.writeAttribute(QStringLiteral("id"), QLatin1Char('f') + id);
            xml.writeAttribute(QStringLiteral("d"), PathData(outline, k));
            if (outline.Closed() && !figure.minus) {
                xml.writeAttribute(QStringLiteral("fill"), colour);
                xml.writeAttribute(QStringLiteral("fill-opacity"), QStringLiteral("0.15"));
            } else {
                xml.writeAttribute(QStringLiteral("fill"), QStringLiteral("none"));
            }
        }
        xml.writeAttribute(QStringLiteral("stroke"), colour);
        xml.writeAttribute(QStringLiteral("stroke-width"), stroke);
        xml.writeAttribute(QStringLiteral("stroke-linejoin"), QStringLiteral("round"));
        if (figure.minus)
            xml.writeAttribute(QStringLiteral("stroke-dasharray"),
                               Number(1.5 * u) + QLatin1Char(' ') + Number(1.0 * u));
        xml.writeEndElement();

        // The label, a line per text: beside a coordinate's mark, just
        // above a line, centred in an area.
        const bool point = figure.mode == FigureMode::Coordinate;
        const double lx = outline.LabelX() * k + (point ? 2.5 * u : 0.0);
        const double ly = outline.LabelY() * k + (outline.Closed() ? 1.0 * u : -1.0 * u);
        xml.writeStartElement(QStringLiteral("g"));
        xml.writeAttribute(QStringLiteral("id"), QLatin1Char('l') + id);
        xml.writeAttribute(QStringLiteral("font-family"), QStringLiteral("sans-serif"));
        xml.writeAttribute(QStringLiteral("font-size"), font);
        xml.writeAttribute(QStringLiteral("fill"), colour);
        if (!point) xml.writeAttribute(QStringLiteral("text-anchor"), QStringLiteral("middle"));
        for (qsizetype line = 0; line < item.labels.size(); ++line) {
            xml.writeStartElement(QStringLiteral("text"));
            xml.writeAttribute(QStringLiteral("x"), Number(lx));
            xml.writeAttribute(QStringLiteral("y"), Number(ly + double(line) * 3.6 * u));
            xml.writeCharacters(item.labels[line]);
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

ExportResult SvgExport::Write(const QString& path, const std::vector<CellFigure>& figures,
                              const PageSize& pageSize) {
    const std::vector<ExportSheet> sheets = ExportSheet::Of(figures);
    return SheetFiles::Write(path, sheets, [&](const ExportSheet& sheet) {
        std::optional<QSizeF> page;
        if (sheet.source == FigureSourceKind::Drawing && pageSize)
            page = pageSize(sheet.sourceName, sheet.page);
        return Bytes(sheet, page);
    });
}
