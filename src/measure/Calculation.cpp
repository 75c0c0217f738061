#include "measure/Calculation.h"

#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

#include "grid/NumberText.h"
#include "measure/CircleArc.h"

namespace {

// R and T as converted from the two scale texts; no value where a text is
// not a number.
struct Scale {
    std::optional<double> reference;
    std::optional<double> counts;
    double vertical = 1.0;
    double area = 1.0;
};

Scale ReadScale(const ScaleSource& source) {
    return {ParseNumber(source.ReferenceLengthText()), ParseNumber(source.TabletCountsText()),
            source.VerticalFactor(), source.AreaFactor()};
}

// (R × value) / T. No value for a text that is not a number, for T = 0 and
// for a result that is not finite.
MaybeValue ApplyScale(double value, const Scale& scale) {
    if (!scale.reference || !scale.counts || *scale.counts == 0.0) {
        return std::nullopt;
    }
    const double result = (*scale.reference * value) / *scale.counts;
    if (!std::isfinite(result)) {
        return std::nullopt;
    }
    return result;
}

// The distance in counts, the vertical difference times `vertical`; no
// value when a 32-bit difference overflows.
MaybeValue CountsDistance(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                          double vertical) {
    const std::optional<std::int32_t> dx = Difference(x1, x2);
    const std::optional<std::int32_t> dy = Difference(y1, y2);
    if (!dx || !dy) {
        return std::nullopt;
    }
    const double fx = static_cast<double>(*dx);
    const double fy = static_cast<double>(*dy) * vertical;
    return std::sqrt(fy * fy + fx * fx);
}

// The open path through the first n stored points, in real units: no segment
// back from the last point to the first. A segment that cannot be had adds
// nothing.
FigurePoint PointAt(const PointStore& points, std::int32_t i) {
    const auto at = static_cast<std::size_t>(i);
    return {points.lPointX[at], points.lPointY[at]};
}

// The arc whose middle is point m, from m - 1 to m + 1; none for three
// points in a line.
std::optional<CircleArc> ArcAt(const PointStore& points, std::int32_t m) {
    return CircleArc::Through(PointAt(points, m - 1), PointAt(points, m), PointAt(points, m + 1));
}

double PathLength(const PointStore& points, std::int32_t n, const Scale& scale,
                  const std::vector<std::int32_t>& arcs) {
    double total = 0.0;
    auto arc = arcs.begin();
    for (std::int32_t i = 1; i < n; ++i) {
        if (arc != arcs.end() && *arc == i) {
            // The side into an arc's middle and the one out of it are the
            // arc, in counts with the vertical stretch, then scaled.
            ++arc;
            if (const std::optional<CircleArc> circle = ArcAt(points, i)) {
                if (const MaybeValue real = ApplyScale(circle->Length(scale.vertical), scale))
                    total += *real;
                ++i;
                continue;
            }
        }
        const auto a = static_cast<std::size_t>(i - 1);
        const auto b = static_cast<std::size_t>(i);
        const MaybeValue d = CountsDistance(points.lPointX[a], points.lPointY[a], points.lPointX[b],
                                            points.lPointY[b], scale.vertical);
        if (const MaybeValue real = d ? ApplyScale(*d, scale) : std::nullopt) {
            total += *real;
        }
    }
    return total;
}

// The figure with arcs: the polygon of its corners (an arc's middle is none:
// its chord is a side), plus each arc's circular segment on the side it
// bulges to. The segment is taken in counts, where the circle was fitted, and
// brought to real units by the square of the scale; the vertical factor then
// stretches chord polygon and segments alike, which multiplies every area by
// it exactly. A coordinate that cannot be scaled counts as 0.
double ArcPolygonArea(const PointStore& points, std::int32_t n, const Scale& scale,
                      const std::vector<std::int32_t>& arcs) {
    const auto scaledOrZero = [&](std::int32_t counts) {
        return ApplyScale(static_cast<double>(counts), scale).value_or(0.0);
    };
    const double unit = ApplyScale(1.0, scale).value_or(0.0);
    std::vector<std::int32_t> corners;
    corners.reserve(static_cast<std::size_t>(n));
    auto arc = arcs.begin();
    double segments = 0.0;
    for (std::int32_t i = 0; i < n; ++i) {
        if (arc != arcs.end() && *arc == i) {
            ++arc;
            if (const std::optional<CircleArc> circle = ArcAt(points, i)) {
                segments += circle->SignedSegmentArea() * unit * unit;
                continue;
            }
        }
        corners.push_back(i);
    }
    // Shoelace in its plain form, positive turning from x towards y, the
    // sense the segments' signs are taken in.
    double twice = 0.0;
    for (std::size_t k = 0; k < corners.size(); ++k) {
        const FigurePoint a = PointAt(points, corners[k]);
        const FigurePoint b = PointAt(points, corners[(k + 1) % corners.size()]);
        twice += scaledOrZero(a.x) * scaledOrZero(b.y) - scaledOrZero(b.x) * scaledOrZero(a.y);
    }
    return std::fabs(twice / 2.0 + segments) * scale.vertical * scale.area;
}

// The polygon of the first n stored points closed from the last back to the
// first, without touching the store: the closing vertex is point 0 read
// again. Trapezoid form of the shoelace sum on coordinates already in real
// units, so the area comes out in the square of the reference unit; then
// stretched by the vertical factor and read in the area unit. A coordinate
// that cannot be scaled counts as 0.
double PolygonArea(const PointStore& points, std::int32_t n, const Scale& scale,
                   const std::vector<std::int32_t>& arcs) {
    const auto scaledOrZero = [&](std::int32_t counts) {
        return ApplyScale(static_cast<double>(counts), scale).value_or(0.0);
    };
    if (!arcs.empty()) return ArcPolygonArea(points, n, scale, arcs);
    double sum = 0.0;
    for (std::int32_t i = 1; i <= n; ++i) {
        const auto cur = static_cast<std::size_t>(i == n ? 0 : i);
        const auto prev = static_cast<std::size_t>(i - 1);
        const double xa = scaledOrZero(points.lPointX[cur]);
        const double xb = scaledOrZero(points.lPointX[prev]);
        const double ya = scaledOrZero(points.lPointY[cur]);
        const double yb = scaledOrZero(points.lPointY[prev]);
        sum = (xa + xb) * (yb - ya) + sum;
    }
    return std::fabs(sum / 2.0) * scale.vertical * scale.area;
}

}  // namespace

std::optional<std::int32_t> Difference(std::int32_t a, std::int32_t b) {
    const std::int64_t difference = std::int64_t{a} - std::int64_t{b};
    if (difference < std::numeric_limits<std::int32_t>::min() ||
        difference > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(difference);
}

bool ScaleIsUsable(const ScaleSource& scale) {
    return ApplyScale(1.0, ReadScale(scale)).has_value();
}

double FigureLength(const PointStore& points, const ScaleSource& scale) {
    return PathLength(points, points.lPointCount, ReadScale(scale), points.ArcMiddles());
}

double FigureArea(const PointStore& points, const ScaleSource& scale) {
    const std::int32_t n = points.lPointCount;
    return n < 3 ? 0.0 : PolygonArea(points, n, ReadScale(scale), points.ArcMiddles());
}

MaybeValue ScaleToReal(double counts, const ScaleSource& scale) {
    return ApplyScale(counts, ReadScale(scale));
}

MaybeValue ScaleYToReal(double counts, const ScaleSource& scale) {
    const Scale current = ReadScale(scale);
    return ApplyScale(counts * current.vertical, current);
}

MaybeValue VerticalFactorFromPicks(std::int32_t x1, std::int32_t y1, std::int32_t x2,
                                   std::int32_t y2, const QString& referenceCounts) {
    const std::optional<double> length = ParseNumber(referenceCounts);
    const std::optional<std::int32_t> dx = Difference(x1, x2);
    const std::optional<std::int32_t> dy = Difference(y1, y2);
    if (!length || !(*length > 0.0) || !dx || !dy || *dy == 0) {
        return std::nullopt;
    }
    const double across = static_cast<double>(*dx);
    const double up = std::fabs(static_cast<double>(*dy));
    const double remaining = *length * *length - across * across;
    if (!(remaining > 0.0)) {
        return std::nullopt;
    }
    const double factor = std::sqrt(remaining) / up;
    return std::isfinite(factor) && factor > 0.0 ? MaybeValue(factor) : std::nullopt;
}

MaybeValue CalcDistance(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                        bool scaled, const ScaleSource& scale) {
    const Scale current = ReadScale(scale);
    const MaybeValue d = CountsDistance(x1, y1, x2, y2, current.vertical);
    if (!d || !scaled) {
        return d;
    }
    return ApplyScale(*d, current);
}

void CalcLengthArea(PointStore& points, bool lengthMode, const ScaleSource& scale,
                    const std::function<void(double)>& putValue) {
    const std::int32_t n = points.lPointCount;
    double total = 0.0;
    // The texts are read once for the whole figure: nothing can change them
    // while the calculation runs (it never yields to the message loop), and
    // converting them four times per vertex would dominate a long trace.
    const Scale current = ReadScale(scale);
    // Before the area's closing point is stored: an arc still waiting for
    // its end is no arc.
    const std::vector<std::int32_t> arcs = points.ArcMiddles();

    if (lengthMode) {
        if (n < 2) {
            points.lPointCount = 0;
            return;
        }
        total = PathLength(points, n, current, arcs);
    } else {
        if (n < 3) {
            points.lPointCount = 0;
            return;
        }
        // Close the polygon in the store. The store keeps room for this
        // point; making sure costs nothing.
        points.EnsureRoom();
        const auto closing = static_cast<std::size_t>(n);
        points.lPointX[closing] = points.lPointX[0];
        points.lPointY[closing] = points.lPointY[0];
        points.lPointCount = n + 1;
        total = PolygonArea(points, n, current, arcs);
    }

    // Sums of finite terms can still overflow with an absurd scale; such a
    // total is not a value and is not written.
    if (putValue && std::isfinite(total)) {
        putValue(total);
    }
    points.lPointCount = 0;
}
