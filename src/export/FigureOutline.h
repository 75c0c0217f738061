#pragma once

#include <optional>
#include <vector>

#include "figures/KeptFigure.h"
#include "measure/CircleArc.h"

// One kept figure's outline as the exports draw it, in tablet counts (Y
// down, as picked): its vertices in order, each side either straight or the
// circular arc the operator picked through a middle point. An arc's middle
// pick is no vertex: the arc runs from the pick before it to the pick after.
// Three picks in a line make no arc; they stay straight sides.
class FigureOutline {
  public:
    struct Vertex {
        FigurePoint at;
        // The side from this vertex to the next one is this arc.
        std::optional<CircleArc> arcToNext;
    };

    static FigureOutline Of(const KeptFigure& figure);

    const std::vector<Vertex>& Vertices() const { return vertices_; }
    // Drawn back from the last vertex to the first (an area); that closing
    // side is never an arc.
    bool Closed() const { return closed_; }
    // Where a label goes, in counts: inside an area (its centroid), the
    // middle of a line, beside a point.
    double LabelX() const { return labelX_; }
    double LabelY() const { return labelY_; }

  private:
    std::vector<Vertex> vertices_;
    bool closed_ = false;
    double labelX_ = 0.0;
    double labelY_ = 0.0;
};
