#pragma once

#include <QFont>
#include <QImage>
#include <QPolygonF>
#include <QRectF>
#include <QStaticText>
#include <QTransform>
#include <optional>
#include <utility>
#include <vector>

#include "measure/FigureDisplay.h"

class QPainter;

// The kept figures a view draws under the figure being measured: outlines
// in counts, painted through the view's mapping so that they stay on the
// drawing while it is zoomed and dragged, and found again under a click.
class FigureMarks {
  public:
    void Set(std::vector<FigureMark> marks);
    bool Empty() const { return marks_.empty(); }
    std::size_t Count() const { return marks_.size(); }

    // Paints every mark that reaches into `surface` (widget pixels). The
    // marks are drawn once into a layer somewhat larger than the surface and
    // only moved while the view is dragged, so that panning over a marked-up
    // plan costs a picture's copy, not a thousand outlines.
    void Paint(QPainter& painter, const QTransform& countsToPixels, const QRectF& surface) const;
    // The cell of the mark under `pixel`, the topmost one, within a few
    // pixels of its outline or inside an area; none when there is none.
    std::optional<std::pair<int, int>> CellAt(const QPointF& pixel,
                                              const QTransform& countsToPixels) const;
    // The extent of the highlighted marks in counts; none when none is.
    std::optional<QRectF> HighlightedBounds() const;

  private:
    struct Shape {
        FigureMark mark;
        // The points in counts, as Qt draws them; their bounds.
        QPolygonF polygon;
        QRectF bounds;
        // The label laid out once for the font it is drawn in: a marked-up
        // plan has a thousand, drawn at every move.
        mutable QStaticText label;
    };
    // Draws the marks reaching into `area` (pixels of `countsToPixels`)
    // with the painter as it stands.
    void PaintShapes(QPainter& painter, const QTransform& countsToPixels, const QRectF& area) const;

    std::vector<Shape> shapes_;
    // The layer: the marks drawn under `map` over `covers` (pixels of that
    // map), at the device's pixel ratio; empty when it must be drawn again.
    struct Layer {
        QImage image;
        QTransform map;
        QRectF covers;
        QFont font;
    };
    mutable Layer layer_;
    // Points in all the shapes.
    qsizetype points_ = 0;
    mutable QFont labelFont_;
    mutable bool labelsLaidOut_ = false;
    std::vector<FigureMark> marks_;
};
