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
// Below this many points in all, the marks are drawn straight at every
// paint: cheap enough, and the layer's picture (twice the surface's pixels)
// is not worth its memory.
constexpr qsizetype kLayerFromPoints = 20'000;

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
        shape.label.setText(mark.label);
        shape.label.setTextFormat(Qt::PlainText);
        shape.mark = std::move(mark);
        shapes_.push_back(std::move(shape));
    }
    // Highlighted marks last, so that they are drawn over the others.
    std::stable_partition(shapes_.begin(), shapes_.end(),
                          [](const Shape& s) { return !s.mark.highlighted; });
    marks_.clear();
    points_ = 0;
    for (const Shape& s : shapes_) {
        marks_.push_back(s.mark);
        points_ += s.polygon.size();
    }
    labelsLaidOut_ = false;
    layer_ = {};
}

void FigureMarks::Paint(QPainter& painter, const QTransform& map, const QRectF& surface) const {
    if (shapes_.empty()) return;
    if (points_ < kLayerFromPoints) {
        PaintShapes(painter, map, surface);
        return;
    }
    const double ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
    // Dragging only moves the mapping: the layer drawn before serves while
    // the surface stays within what it covers.
    const QPointF moved(map.dx() - layer_.map.dx(), map.dy() - layer_.map.dy());
    const bool sameScale = !layer_.image.isNull() && map.type() <= QTransform::TxScale &&
                           layer_.map.m11() == map.m11() && layer_.map.m22() == map.m22() &&
                           layer_.image.devicePixelRatio() == ratio && layer_.font == painter.font();
    if (!sameScale || !layer_.covers.contains(surface.translated(-moved))) {
        // A quarter of the surface more on every side: a drag of that much
        // goes by without drawing the marks again.
        const QRectF covers = surface.adjusted(-surface.width() / 4, -surface.height() / 4,
                                               surface.width() / 4, surface.height() / 4);
        QImage image((covers.size() * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        if (image.isNull()) {
            // No memory for the layer: drawn straight, as before it.
            PaintShapes(painter, map, surface);
            return;
        }
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        QPainter layerPainter(&image);
        layerPainter.setFont(painter.font());
        layerPainter.translate(-covers.topLeft());
        PaintShapes(layerPainter, map, covers);
        layerPainter.end();
        layer_ = {std::move(image), map, covers, painter.font()};
    }
    const QPointF shift(map.dx() - layer_.map.dx(), map.dy() - layer_.map.dy());
    const QRectF from = surface.translated(-shift - layer_.covers.topLeft());
    painter.drawImage(surface,
                      layer_.image,
                      QRectF(from.topLeft() * ratio, from.size() * ratio));
}

void FigureMarks::PaintShapes(QPainter& painter, const QTransform& map, const QRectF& surface) const {
    painter.save();
    const QTransform base = painter.transform();
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (!labelsLaidOut_ || labelFont_ != painter.font()) {
        labelFont_ = painter.font();
        for (const Shape& shape : shapes_) shape.label.prepare(QTransform(), labelFont_);
        labelsLaidOut_ = true;
    }
    const double labelHeight = QFontMetricsF(labelFont_).height();
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
            painter.setTransform(map * base);
            if (shape.mark.closed) {
                painter.setBrush(shape.mark.hole ? QBrush(Qt::NoBrush) : QBrush(chosen ? kChosenFill : kKeptFill));
                painter.drawPolygon(shape.polygon);
            } else {
                painter.setBrush(Qt::NoBrush);
                painter.drawPolyline(shape.polygon);
            }
            painter.setTransform(base);
        }
        if (shape.mark.label.isEmpty()) continue;
        // A figure zoomed out to a few pixels keeps its label hidden until
        // it is zoomed in (or its cell chosen): a thousand labels over one
        // another read as a grey smear and would hide the plan.
        const QRectF figureOnScreen = map.mapRect(shape.bounds);
        if (!chosen && !shape.mark.point &&
            std::max(figureOnScreen.width(), figureOnScreen.height()) < 2 * labelHeight)
            continue;
        // The label at the figure's centre (an area), or beside its first
        // point, on a light plate so that it reads over any drawing.
        const QPointF anchor = shape.mark.closed ? map.map(shape.bounds.center())
                                                 : map.map(shape.polygon.front()) + QPointF(8, -8);
        const QSizeF size = shape.label.size();
        QRectF plate(QPointF(), QSizeF(size.width() + 6, std::max(size.height(), labelHeight) + 2));
        plate.moveCenter(shape.mark.closed ? anchor : anchor + QPointF(plate.width() / 2, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 210));
        painter.drawRect(plate);
        painter.setPen(chosen ? kChosenLine : kKeptLine);
        painter.drawStaticText(plate.topLeft() + QPointF(3, 1), shape.label);
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
