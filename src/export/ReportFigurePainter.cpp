#include "export/ReportFigurePainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <optional>

#include "measure/CircleArc.h"

namespace {

// Figures in the pad's calm blue, dark enough to print on a grey copier;
// holes in red, dashed, so that a sum's parts read apart in black and white
// too.
const QColor kLine(31, 78, 156);
const QColor kFill(31, 78, 156, 40);
const QColor kHole(190, 40, 40);
// Millimetres of the sheet: lines, the arms of a coordinate's cross, the
// gap between a line's first point and its label.
constexpr double kLineMm = 0.35;
constexpr double kCrossMm = 1.8;
constexpr double kLabelGapMm = 2.5;
// Sides an arc is drawn with: smooth at any size it takes on a sheet.
constexpr int kArcPieces = 48;
// A label is moved at most this many of its heights to find a free place.
constexpr int kLabelTries = 12;

}  // namespace

ReportFigurePainter::ReportFigurePainter(QPainter& painter, double deviceUnitsPerMm, QFont font)
    : painter_(painter), perMm_(deviceUnitsPerMm), font_(std::move(font)) {}

QString ReportFigurePainter::Label(const CellFigure& cell) {
    const KeptFigure& figure = *cell.figure;
    const QString value =
        figure.unit.isEmpty() ? figure.value : figure.value + QLatin1Char(' ') + figure.unit;
    return QStringLiteral("%1行%2列　%3").arg(cell.row).arg(cell.col).arg(value);
}

std::vector<QPointF> ReportFigurePainter::Outline(const KeptFigure& figure) {
    const std::vector<FigurePoint>& p = figure.points;
    std::vector<QPointF> outline;
    outline.reserve(p.size() + figure.arcMiddles.size() * kArcPieces);
    auto arc = figure.arcMiddles.begin();
    for (std::size_t i = 0; i < p.size(); ++i) {
        while (arc != figure.arcMiddles.end() && *arc < static_cast<std::int32_t>(i)) ++arc;
        const bool middle = arc != figure.arcMiddles.end() &&
                            *arc == static_cast<std::int32_t>(i) && i >= 1 && i + 1 < p.size();
        if (middle) {
            if (const std::optional<CircleArc> circle =
                    CircleArc::Through(p[i - 1], p[i], p[i + 1])) {
                const std::vector<FigurePoint> along = circle->Points(kArcPieces);
                // The start is in the outline already, the end comes next.
                for (std::size_t k = 1; k + 1 < along.size(); ++k)
                    outline.emplace_back(along[k].x, along[k].y);
                continue;
            }
        }
        outline.emplace_back(p[i].x, p[i].y);
    }
    return outline;
}

QRectF ReportFigurePainter::BoundsMm(const std::vector<const CellFigure*>& cells,
                                     double fallbackPerMm) {
    QRectF bounds;
    bool any = false;
    for (const CellFigure* cell : cells) {
        for (const KeptFigure* figure : cell->figure->Figures()) {
            const double perMm = figure->countsPerMm > 0 ? figure->countsPerMm : fallbackPerMm;
            for (const QPointF& p : Outline(*figure)) {
                const QPointF mm = p / perMm;
                if (!any) {
                    bounds = QRectF(mm, QSizeF(0, 0));
                    any = true;
                }
                bounds.setLeft(std::min(bounds.left(), mm.x()));
                bounds.setRight(std::max(bounds.right(), mm.x()));
                bounds.setTop(std::min(bounds.top(), mm.y()));
                bounds.setBottom(std::max(bounds.bottom(), mm.y()));
            }
        }
    }
    return bounds;
}

void ReportFigurePainter::Paint(
    const std::vector<const CellFigure*>& cells,
    const std::function<QTransform(const KeptFigure&)>& countsToDevice) {
    placed_.clear();
    painter_.save();
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setFont(font_);
    // Every outline first, then the labels over all of them: a label is
    // never hidden under a neighbour's fill.
    struct Pending {
        QString text;
        QPointF anchor;
        bool centred = false;
        bool minus = false;
    };
    std::vector<Pending> labels;
    for (const CellFigure* cell : cells) {
        const std::vector<const KeptFigure*> figures = cell->figure->Figures();
        for (std::size_t i = 0; i < figures.size(); ++i) {
            const KeptFigure& figure = *figures[i];
            const QTransform map = countsToDevice(figure);
            PaintOne(figure, map);
            const std::vector<QPointF> outline = Outline(figure);
            if (outline.empty()) continue;
            QPolygonF mapped;
            for (const QPointF& p : outline) mapped << map.map(p);
            Pending label;
            // The cell's own label on its first figure; a sum's other
            // figures say their cell and sign.
            label.text = i == 0
                             ? Label(*cell)
                             : QStringLiteral("%1%2行%3列")
                                   .arg(figure.minus ? QStringLiteral("−") : QStringLiteral("＋"))
                                   .arg(cell->row)
                                   .arg(cell->col);
            label.minus = figure.minus;
            label.centred = figure.Closed() && mapped.size() > 2;
            label.anchor = label.centred
                               ? mapped.boundingRect().center()
                               : mapped.front() + QPointF(kLabelGapMm, -kLabelGapMm) * perMm_;
            labels.push_back(label);
        }
    }
    for (const Pending& label : labels)
        PlaceLabel(label.text, label.anchor, label.centred, label.minus);
    painter_.restore();
}

void ReportFigurePainter::PaintOne(const KeptFigure& figure, const QTransform& map) {
    const std::vector<QPointF> outline = Outline(figure);
    if (outline.empty()) return;
    QPolygonF mapped;
    mapped.reserve(static_cast<qsizetype>(outline.size()));
    for (const QPointF& p : outline) mapped << map.map(p);
    const QColor colour = figure.minus ? kHole : kLine;
    QPen pen(colour, kLineMm * perMm_, figure.minus ? Qt::DashLine : Qt::SolidLine, Qt::RoundCap,
             Qt::RoundJoin);
    painter_.setPen(pen);
    if (figure.mode == FigureMode::Coordinate) {
        painter_.setBrush(Qt::NoBrush);
        const double arm = kCrossMm * perMm_;
        for (const QPointF& at : mapped) {
            painter_.drawLine(at - QPointF(arm, arm), at + QPointF(arm, arm));
            painter_.drawLine(at - QPointF(arm, -arm), at + QPointF(arm, -arm));
        }
    } else if (figure.Closed()) {
        // A hole is left unfilled: what is counted off shows as paper.
        painter_.setBrush(figure.minus ? QBrush(Qt::NoBrush) : QBrush(kFill));
        painter_.drawPolygon(mapped);
    } else {
        painter_.setBrush(Qt::NoBrush);
        painter_.drawPolyline(mapped);
    }
}

void ReportFigurePainter::PlaceLabel(const QString& text, QPointF anchor, bool centred,
                                     bool minus) {
    const QFontMetricsF metrics(font_, painter_.device());
    const double pad = 0.6 * perMm_;
    QRectF plate = metrics.boundingRect(text).adjusted(-pad, -pad / 2, pad, pad / 2);
    plate.moveCenter(centred ? anchor : anchor + QPointF(plate.width() / 2, 0));
    // Down a plate's height at a time until it covers no other label.
    const QRectF first = plate;
    for (int tries = 0; tries < kLabelTries; ++tries) {
        const bool overlaps = std::any_of(placed_.begin(), placed_.end(), [&](const QRectF& other) {
            return other.intersects(plate);
        });
        if (!overlaps) break;
        plate.translate(0, first.height());
    }
    placed_.push_back(plate);
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(QColor(255, 255, 255, 225));
    painter_.drawRect(plate);
    painter_.setPen(minus ? kHole : kLine);
    painter_.drawText(plate, Qt::AlignCenter, text);
}
