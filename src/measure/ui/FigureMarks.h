#pragma once

#include <QPolygonF>
#include <QRectF>
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

    // Paints every mark that reaches into `surface` (widget pixels).
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
    };
    std::vector<Shape> shapes_;
    std::vector<FigureMark> marks_;
};
