#include "measure/ui/FigureMarks.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>

#include "measure/CircleArc.h"

namespace {

// Kept figures in a calm blue, unlike the magenta of the figure being
// measured; a selected cell's figure in orange, drawn heavier.
const QColor kKeptLine(31, 95, 191);
const QColor kKeptFill(31, 95, 191, 40);
const QColor kChosenLine(224, 112, 0);
const QColor kChosenFill(224, 112, 0, 70);
// How near a click must come to a line or a mark to hit it, in pixels.
constexpr double kHitPixels = 5.0;
// Sides a kept arc is drawn with.
constexpr int kArcPieces = 32;

QPolygonF PolygonOf(const std::vector<FigurePoint>& points) {
    QPolygonF polygon;
    polygon.reserve(static_cast<qsizetype>(points.size()));
    for (const FigurePoint& p : points) polygon.append(QPointF(p.x, p.y));
    return polygon;
}

QPolygonF PolygonOf(const FigureMark& mark) {
    if (mark.arcMiddles.empty()) return PolygonOf(*mark.points);
    return PolygonOf(CircleArc::PathThrough(*mark.points, mark.arcMiddles, kArcPieces));
}

}  // namespace

void FigureMarks::Set(std::vector<FigureMark> marks) {
    shapes_.clear();
    shapes_.reserve(marks.size());
    for (FigureMark& mark : marks) {
        if (!mark.points || mark.points->empty()) continue;
        Shape shape;
        shape.polygon = PolygonOf(mark);
        shape.bounds = shape.polygon.boundingRect();
        shape.mark = std::move(mark);
        shapes_.push_back(std::move(shape));
    }
    // Highlighted marks last, so that they are drawn over the others.
    std::stable_partition(shapes_.begin(), shapes_.end(),
                          [](const Shape& s) { return !s.mark.highlighted; });
    marks_.clear();
    for (const Shape& s : shapes_) marks_.push_back(s.mark);
}

void FigureMarks::Paint(QPainter& painter, const QTransform& map, const QRectF& surface) const {
    if (shapes_.empty()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QFontMetricsF metrics(painter.font());
    for (const Shape& shape : shapes_) {
        // Lines and marks reach a few pixels past their points.
        const QRectF onScreen = map.mapRect(shape.bounds).adjusted(-8, -8, 8, 8);
        if (!onScreen.intersects(surface)) continue;
        const bool chosen = shape.mark.highlighted;
        QPen pen(chosen ? kChosenLine : kKeptLine, chosen ? 2.5 : 1.5);
        pen.setCosmetic(true);
        if (shape.mark.hole) pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        if (shape.mark.point) {
            painter.setBrush(Qt::NoBrush);
            for (const QPointF& p : shape.polygon) {
                const QPointF at = map.map(p);
                painter.drawLine(at - QPointF(6, 6), at + QPointF(6, 6));
                painter.drawLine(at - QPointF(6, -6), at + QPointF(6, -6));
            }
        } else {
            painter.setTransform(map);
            if (shape.mark.closed) {
                painter.setBrush(shape.mark.hole ? QBrush(Qt::NoBrush) : QBrush(chosen ? kChosenFill : kKeptFill));
                painter.drawPolygon(shape.polygon);
            } else {
                painter.setBrush(Qt::NoBrush);
                painter.drawPolyline(shape.polygon);
            }
            painter.resetTransform();
        }
        if (shape.mark.label.isEmpty()) continue;
        // The label at the figure's centre (an area), or beside its first
        // point, on a light plate so that it reads over any drawing.
        const QPointF anchor = shape.mark.closed ? map.map(shape.bounds.center())
                                                 : map.map(shape.polygon.front()) + QPointF(8, -8);
        QRectF plate = metrics.boundingRect(shape.mark.label).adjusted(-3, -1, 3, 1);
        plate.moveCenter(shape.mark.closed ? anchor : anchor + QPointF(plate.width() / 2, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 210));
        painter.drawRect(plate);
        painter.setPen(chosen ? kChosenLine : kKeptLine);
        painter.drawText(plate, Qt::AlignCenter, shape.mark.label);
    }
    painter.restore();
}

std::optional<std::pair<int, int>> FigureMarks::CellAt(const QPointF& pixel,
                                                       const QTransform& map) const {
    for (auto it = shapes_.rbegin(); it != shapes_.rend(); ++it) {
        const Shape& shape = *it;
        if (!map.mapRect(shape.bounds).adjusted(-kHitPixels, -kHitPixels, kHitPixels, kHitPixels)
                 .contains(pixel))
            continue;
        const QPolygonF mapped = map.map(shape.polygon);
        bool hit = shape.mark.closed && mapped.containsPoint(pixel, Qt::OddEvenFill);
        if (!hit) {
            QPainterPath path;
            path.addPolygon(mapped);
            if (shape.mark.closed) path.closeSubpath();
            QPainterPathStroker stroker;
            stroker.setWidth(2 * kHitPixels);
            hit = stroker.createStroke(path).contains(pixel) ||
                  (mapped.size() == 1 &&
                   QLineF(mapped.front(), pixel).length() <= 2 * kHitPixels);
        }
        if (hit) return std::make_pair(shape.mark.row, shape.mark.col);
    }
    return std::nullopt;
}

std::optional<QRectF> FigureMarks::HighlightedBounds() const {
    std::optional<QRectF> bounds;
    for (const Shape& shape : shapes_) {
        if (!shape.mark.highlighted) continue;
        bounds = bounds ? bounds->united(shape.bounds) : shape.bounds;
    }
    return bounds;
}
