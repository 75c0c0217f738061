#include "measure/ui/FigureRaster.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

// The path's pen: 2 pixels wide with round ends where there are few enough
// vertices for that to be cheap, else a hairline.
QPen PathPen(const QColor& colour, bool smooth, qreal pixelRatio) {
    return smooth ? QPen(colour, 2.0 * pixelRatio, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)
                  : QPen(colour, 0);
}

bool StartsWith(const std::vector<FigurePoint>& points, const std::vector<FigurePoint>& prefix) {
    if (points.size() < prefix.size()) return false;
    // FigurePoint is two 32-bit integers without padding: equal bytes are
    // equal points.
    static_assert(sizeof(FigurePoint) == 2 * sizeof(std::int32_t));
    return prefix.empty() ||
           std::memcmp(points.data(), prefix.data(), prefix.size() * sizeof(FigurePoint)) == 0;
}

// Clips the segment from `a` to `b` to a picture `width` by `height` (pixel
// x covers x to x + 1, as QPainter has it); false when nothing is left.
bool ClipToPicture(QPointF& a, QPointF& b, int width, int height) {
    const QPointF from = a;
    const QPointF delta = b - a;
    const double p[4] = {-delta.x(), delta.x(), -delta.y(), delta.y()};
    const double q[4] = {from.x(), width - from.x(), from.y(), height - from.y()};
    double enter = 0.0;
    double leave = 1.0;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
        if (enter > leave) return false;
    }
    a = from + delta * enter;
    b = from + delta * leave;
    return true;
}

// A line one pixel wide, without antialiasing, written straight into the
// picture: QPainter's hairline costs several times as much on a path of tens
// of thousands of pixel-long pieces.
void Hairline(QImage& picture, QPointF a, QPointF b, QRgb colour) {
    const int width = picture.width();
    const int height = picture.height();
    if (!ClipToPicture(a, b, width, height)) return;
    // Clipped, so not below 0: truncating is the floor.
    const auto pixel = [](double v, int size) {
        return std::clamp(static_cast<int>(v), 0, size - 1);
    };
    int x = pixel(a.x(), width);
    int y = pixel(a.y(), height);
    const int toX = pixel(b.x(), width);
    const int toY = pixel(b.y(), height);
    const int dx = std::abs(toX - x);
    const int dy = -std::abs(toY - y);
    const int stepX = x < toX ? 1 : -1;
    const int stepY = y < toY ? 1 : -1;
    uchar* bits = picture.bits();
    const qsizetype line = picture.bytesPerLine();
    int error = dx + dy;
    for (;;) {
        reinterpret_cast<QRgb*>(bits + y * line)[x] = colour;
        if (x == toX && y == toY) break;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += stepX;
        }
        if (twice <= dx) {
            error += dx;
            y += stepY;
        }
    }
}

}  // namespace

void FigureRaster::Update(const std::vector<FigurePoint>& points, bool closed,
                          const QTransform& map, const QSize& size, qreal pixelRatio,
                          const Style& style) {
    QTransform device = map * QTransform::fromScale(pixelRatio, pixelRatio);
    // A move by whole device pixels is kept apart from the scale: the
    // decimation does not change with it and the pictures only move. Any
    // other move is part of the scale.
    QPoint shift(static_cast<int>(std::lround(device.dx())),
                 static_cast<int>(std::lround(device.dy())));
    if (std::fabs(device.dx() - shift.x()) > 1e-9 || std::fabs(device.dy() - shift.y()) > 1e-9) {
        shift = QPoint();
    } else {
        device = QTransform(device.m11(), device.m12(), device.m21(), device.m22(), 0, 0);
    }
    const bool sameScale = device == scale_ && size == size_ && pixelRatio == pixelRatio_ &&
                           closed == closed_ && style == style_;
    const bool extends = sameScale && StartsWith(points, points_);
    const bool same = extends && points.size() == points_.size();
    const std::size_t from = points_.size();
    if (!same) points_ = points;
    closed_ = closed;
    scale_ = device;
    shift_ = shift;
    size_ = size;
    pixelRatio_ = pixelRatio;
    style_ = style;
    if (!extends || (!same && kept_.isEmpty())) {
        Redraw(true);
        return;
    }
    // Moved past the margin: the same vertices, drawn over a new frame.
    if (!frame_.contains(ViewRect())) Redraw(false);
    if (same) return;

    // The old last point's piece of path and of the shaded polygon go; the
    // new points join on at the last vertex kept.
    const qsizetype joint = kept_.size() - 1;
    const QPointF first = kept_.front();
    const bool hadTail = hasTail_;
    const QPointF oldTail = tail_;
    Decimate(from);
    if ((kept_.size() + (hasTail_ ? 1 : 0) <= kMaxSmoothVertices) != smooth_) {
        Redraw(false);
        return;
    }
    DrawPath(joint);
    if (closed_) {
        QPolygonF change = kept_.mid(joint);
        if (hasTail_) change.append(tail_);
        change.append(first);
        if (hadTail) change.append(oldTail);
        Shade(change);
    }
}

QRect FigureRaster::ViewRect() const {
    return QRect(-shift_, (QSizeF(size_) * pixelRatio_).toSize());
}

void FigureRaster::Redraw(bool decimate) {
    if (decimate) {
        kept_.clear();
        hasTail_ = false;
        Decimate(0);
    }
    smooth_ = kept_.size() + (hasTail_ ? 1 : 0) <= kMaxSmoothVertices;
    // A quarter of the view's size on each side, for a drag to move over.
    const QRect view = ViewRect();
    frame_ =
        view.adjusted(-view.width() / 4, -view.height() / 4, view.width() / 4, view.height() / 4);
    if (path_.size() != frame_.size()) {
        path_ = QImage(frame_.size(), QImage::Format_ARGB32_Premultiplied);
        shade_ = QImage(frame_.size(), QImage::Format_ARGB32_Premultiplied);
        toggles_.assign(static_cast<std::size_t>(std::max(frame_.width(), 0)) *
                            static_cast<std::size_t>(std::max(frame_.height(), 0)),
                        0);
    }
    if (path_.isNull()) return;
    path_.setDevicePixelRatio(pixelRatio_);
    shade_.setDevicePixelRatio(pixelRatio_);
    path_.fill(Qt::transparent);
    shade_.fill(Qt::transparent);
    DrawPath(0);
    if (closed_) Shade(ShadedPolygon());
}

void FigureRaster::Decimate(std::size_t from) {
    // The mapping is applied by hand: QTransform::map per point costs more
    // than all the rest of a 100,000-point trace.
    const double m11 = scale_.m11(), m12 = scale_.m12(), m21 = scale_.m21(), m22 = scale_.m22();
    const double dx = scale_.dx(), dy = scale_.dy();
    hasTail_ = false;
    for (std::size_t i = from; i < points_.size(); ++i) {
        const double x = points_[i].x;
        const double y = points_[i].y;
        const QPointF at(m11 * x + m21 * y + dx, m12 * x + m22 * y + dy);
        const QPoint pixel = at.toPoint();
        if (!kept_.isEmpty() && pixel == lastPixel_) {
            if (i + 1 == points_.size()) {
                hasTail_ = true;
                tail_ = at;
            }
            continue;
        }
        kept_.append(at);
        lastPixel_ = pixel;
    }
}

void FigureRaster::DrawPath(qsizetype fromVertex) {
    if (path_.isNull() || kept_.size() - fromVertex < 2) return;
    if (!smooth_) {
        const QPointF origin = frame_.topLeft();
        const QRgb colour = qPremultiply(style_.line.rgba());
        for (qsizetype i = fromVertex + 1; i < kept_.size(); ++i)
            Hairline(path_, kept_[i - 1] - origin, kept_[i] - origin, colour);
        return;
    }
    QPainter painter(&path_);
    // The image's own ratio would scale what is drawn: vertices are in
    // device pixels already.
    painter.resetTransform();
    painter.scale(1.0 / pixelRatio_, 1.0 / pixelRatio_);
    painter.translate(-frame_.topLeft());
    painter.setRenderHint(QPainter::Antialiasing, smooth_);
    painter.setPen(PathPen(style_.line, smooth_, pixelRatio_));
    painter.drawPolyline(kept_.constData() + fromVertex,
                         static_cast<int>(kept_.size() - fromVertex));
}

QPolygonF FigureRaster::ShadedPolygon() const {
    QPolygonF corners = kept_;
    if (hasTail_) corners.append(tail_);
    return corners;
}

void FigureRaster::Shade(const QPolygonF& corners) {
    const int width = shade_.width();
    const int height = shade_.height();
    if (shade_.isNull() || corners.size() < 2) return;
    int firstRow = height;
    int lastRow = -1;
    // A pixel is inside when an odd number of sides cross its row left of
    // its centre. Each crossing toggles one mark; a pass along the row then
    // carries the parity from the left. A side is always taken from its
    // upper end, so that a side shared by two polygons
    // marks the same pixels in both, and the two toggles cancel exactly.
    const QPointF origin = frame_.topLeft();
    for (qsizetype i = 0; i < corners.size(); ++i) {
        QPointF a = corners[i] - origin;
        QPointF b = corners[(i + 1) % corners.size()] - origin;
        if (a.y() == b.y()) continue;
        if (a.y() > b.y()) std::swap(a, b);
        // Rows whose centre (row + 0.5) lies in [a.y, b.y).
        const int top = std::max(0, static_cast<int>(std::ceil(a.y() - 0.5)));
        const int bottom = std::min(height - 1, static_cast<int>(std::ceil(b.y() - 0.5)) - 1);
        const double slope = (b.x() - a.x()) / (b.y() - a.y());
        for (int row = top; row <= bottom; ++row) {
            const double x = a.x() + (row + 0.5 - a.y()) * slope;
            // The first pixel whose centre is right of the crossing; one
            // left of the image counts from its first column.
            const double column = std::ceil(x - 0.5);
            if (column >= width) continue;
            const int at = column < 0 ? 0 : static_cast<int>(column);
            toggles_[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) +
                     static_cast<std::size_t>(at)] ^= 1;
            firstRow = std::min(firstRow, row);
            lastRow = std::max(lastRow, row);
        }
    }
    const QRgb colour = qPremultiply(style_.fill.rgba());
    for (int row = firstRow; row <= lastRow; ++row) {
        std::uint8_t* marks =
            toggles_.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(width);
        auto* pixels = reinterpret_cast<QRgb*>(shade_.scanLine(row));
        std::uint8_t inside = 0;
        for (int x = 0; x < width; ++x) {
            inside ^= marks[x];
            marks[x] = 0;
            if (inside) pixels[x] ^= colour;
        }
    }
}

QPointF FigureRaster::Vertex(qsizetype i) const {
    const QPointF at = i < kept_.size() ? kept_[i] : tail_;
    return (at + shift_) / pixelRatio_;
}

QPolygonF FigureRaster::Polyline() const {
    QPolygonF polyline = ShadedPolygon();
    for (QPointF& p : polyline) p = (p + shift_) / pixelRatio_;
    return polyline;
}

void FigureRaster::Paint(QPainter& painter) const {
    if (path_.isNull()) return;
    const QPointF at = QPointF(frame_.topLeft() + shift_) / pixelRatio_;
    if (closed_) painter.drawImage(at, shade_);
    painter.drawImage(at, path_);
    if (hasTail_ && !kept_.isEmpty()) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, smooth_);
        painter.setPen(PathPen(style_.line, smooth_, 1.0));
        painter.drawLine((kept_.back() + shift_) / pixelRatio_, (tail_ + shift_) / pixelRatio_);
        painter.restore();
    }
}
