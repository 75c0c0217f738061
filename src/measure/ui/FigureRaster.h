#pragma once

#include <QColor>
#include <QImage>
#include <QPolygonF>
#include <QRect>
#include <QSize>
#include <QTransform>
#include <cstdint>
#include <vector>

#include "measure/Figure.h"

class QPainter;

// The figure's path and shading drawn once at the view's resolution and kept
// between paints, so that a paint costs two copies of pixels whatever the
// number of points. A trace that grows is drawn on where it grew: only its
// new pieces are added to the line, and the shading is brought up to date by
// toggling what the new points change (see Shade). A move of the view by
// whole pixels (the pad's drawing dragged along) only moves the pictures,
// which hold a margin around the view for that; they are drawn again when
// the view leaves them.
//
// Everything is drawn afresh when the points are not the last ones with more
// added, or when the scale, the size, closedness or the colours change.
class FigureRaster {
  public:
    struct Style {
        QColor line;
        QColor fill;
        bool operator==(const Style&) const = default;
    };

    // Up to this many vertices the path is 2 pixels wide and smooth; above,
    // a hairline without antialiasing: the wide, smooth pen costs about 4 ms
    // a thousand vertices.
    static constexpr qsizetype kMaxSmoothVertices = 1000;

    // Brings the pictures up to date with `points` (tablet counts) drawn
    // through `map` (counts to widget pixels) on a widget of `size` pixels
    // whose screen has `pixelRatio` device pixels to a widget pixel.
    void Update(const std::vector<FigurePoint>& points, bool closed, const QTransform& map,
                const QSize& size, qreal pixelRatio, const Style& style);

    // The path in widget pixels as drawn: points that fall on the device
    // pixel of the point kept before them are left out (a long trace draws
    // what can be seen, not every point); the last point is always kept.
    QPolygonF Polyline() const;
    // The same vertex by vertex, without making the polygon.
    qsizetype VertexCount() const { return kept_.size() + (hasTail_ ? 1 : 0); }
    QPointF Vertex(qsizetype i) const;
    bool Smooth() const { return smooth_; }

    // The shading (an area's inside), then the path, over the widget from
    // its pixel 0,0.
    void Paint(QPainter& painter) const;

  private:
    // Decimates afresh when `decimate`, then draws both pictures over a
    // frame around the view.
    void Redraw(bool decimate);
    // Points from index `from` on, decimated onto the kept vertices.
    void Decimate(std::size_t from);
    void DrawPath(qsizetype fromVertex);
    // Toggles the shading inside the closed polygon through `corners`: the
    // shading of a closed path is its even-odd inside, and the inside of two
    // paths that share a side is the exclusive-or of theirs, so the shading
    // of a longer path is the old one toggled by the polygon of what changed.
    void Shade(const QPolygonF& corners);
    QPolygonF ShadedPolygon() const;
    // The view in the pictures' coordinates (device pixels, without the
    // move).
    QRect ViewRect() const;

    std::vector<FigurePoint> points_;
    bool closed_ = false;
    // Counts to device pixels, without the whole-pixel move `shift_`.
    QTransform scale_;
    QPoint shift_;
    QSize size_;
    qreal pixelRatio_ = 1.0;
    Style style_;
    bool smooth_ = true;

    // Vertices kept by the decimation, in device pixels before the move,
    // and the pixel of the last.
    QPolygonF kept_;
    QPoint lastPixel_;
    // The last point, where it is not a kept vertex (it fell on the pixel of
    // the vertex before it).
    bool hasTail_ = false;
    QPointF tail_;

    // What the pictures cover, in device pixels before the move.
    QRect frame_;
    QImage path_;
    QImage shade_;
    // One toggle per pixel for Shade, all zero between calls.
    std::vector<std::uint8_t> toggles_;
};
