#include "export/FigureOutline.h"

#include <algorithm>
#include <cmath>

namespace {

// The centroid of the polygon through the vertices (shoelace), or the mean
// of the vertices when it has no area.
void Centroid(const std::vector<FigureOutline::Vertex>& vertices, double& x, double& y) {
    double twiceArea = 0.0;
    double cx = 0.0;
    double cy = 0.0;
    double mx = 0.0;
    double my = 0.0;
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const FigurePoint& a = vertices[i].at;
        const FigurePoint& b = vertices[(i + 1) % vertices.size()].at;
        const double cross = double(a.x) * double(b.y) - double(b.x) * double(a.y);
        twiceArea += cross;
        cx += (double(a.x) + double(b.x)) * cross;
        cy += (double(a.y) + double(b.y)) * cross;
        mx += double(a.x);
        my += double(a.y);
    }
    const auto n = static_cast<double>(vertices.size());
    if (std::fabs(twiceArea) > 1e-9) {
        x = cx / (3.0 * twiceArea);
        y = cy / (3.0 * twiceArea);
    } else {
        x = mx / n;
        y = my / n;
    }
}

}  // namespace

FigureOutline FigureOutline::Of(const KeptFigure& figure) {
    FigureOutline outline;
    outline.closed_ = figure.Closed();
    const std::vector<FigurePoint>& points = figure.points;
    std::size_t next = 0;
    auto middle = figure.arcMiddles.begin();
    for (std::size_t i = 0; i < points.size(); ++i) {
        Vertex vertex{points[i], std::nullopt};
        while (middle != figure.arcMiddles.end() && *middle < static_cast<std::int32_t>(i) + 1)
            ++middle;
        // The arc through the next pick, when that pick is an arc's middle
        // and the one after it exists.
        if (middle != figure.arcMiddles.end() && *middle == static_cast<std::int32_t>(i) + 1 &&
            i + 2 < points.size()) {
            vertex.arcToNext = CircleArc::Through(points[i], points[i + 1], points[i + 2]);
        }
        if (i < next) continue;
        outline.vertices_.push_back(vertex);
        next = vertex.arcToNext ? i + 2 : i + 1;
    }
    if (outline.vertices_.empty()) return outline;
    if (outline.closed_ && outline.vertices_.size() >= 3) {
        Centroid(outline.vertices_, outline.labelX_, outline.labelY_);
    } else {
        // The middle of the line: of its middle side, or the point itself.
        const std::size_t n = points.size();
        const FigurePoint& a = points[(n - 1) / 2];
        const FigurePoint& b = points[n / 2];
        outline.labelX_ = (double(a.x) + double(b.x)) / 2.0;
        outline.labelY_ = (double(a.y) + double(b.y)) / 2.0;
    }
    return outline;
}
