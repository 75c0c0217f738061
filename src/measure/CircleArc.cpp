#include "measure/CircleArc.h"

#include <cmath>
#include <algorithm>
#include <numbers>

namespace {

// Gauss–Legendre nodes and weights on [-1, 1], five points: exact for
// polynomials up to degree 9.
constexpr double kNodes[5] = {0.0, -0.5384693101056831, 0.5384693101056831, -0.9061798459386640,
                              0.9061798459386640};
constexpr double kWeights[5] = {0.5688888888888889, 0.4786286704993665, 0.4786286704993665,
                                0.2369268850561891, 0.2369268850561891};
// Pieces of the swept angle each integrated with the five points. The
// integrand is smooth (no cusp: the ellipse has none), so the error falls
// with the tenth power of the piece; 64 pieces of a half turn keep it far
// below a count even for a factor of 10.
constexpr int kPieces = 64;

}  // namespace

std::optional<CircleArc> CircleArc::Through(FigurePoint start, FigurePoint middle,
                                            FigurePoint end) {
    // Relative to the start, in 64 bits so that no 32-bit difference
    // overflows. The cross product is exact in double precision for any
    // tablet's counts (below 2^26), so collinearity is decided exactly.
    const std::int64_t bx = std::int64_t{middle.x} - start.x;
    const std::int64_t by = std::int64_t{middle.y} - start.y;
    const std::int64_t cx = std::int64_t{end.x} - start.x;
    const std::int64_t cy = std::int64_t{end.y} - start.y;
    const double cross = static_cast<double>(bx) * static_cast<double>(cy) -
                         static_cast<double>(by) * static_cast<double>(cx);
    if (cross == 0.0) return std::nullopt;

    // The circumcentre of the start (at 0,0), the middle and the end.
    const double b2 = static_cast<double>(bx) * static_cast<double>(bx) +
                      static_cast<double>(by) * static_cast<double>(by);
    const double c2 = static_cast<double>(cx) * static_cast<double>(cx) +
                      static_cast<double>(cy) * static_cast<double>(cy);
    const double d = 2.0 * cross;
    const double ux = (static_cast<double>(cy) * b2 - static_cast<double>(by) * c2) / d;
    const double uy = (static_cast<double>(bx) * c2 - static_cast<double>(cx) * b2) / d;

    CircleArc arc;
    arc.centreX_ = start.x + ux;
    arc.centreY_ = start.y + uy;
    arc.radius_ = std::hypot(ux, uy);
    const auto angleOf = [&](FigurePoint p) {
        return std::atan2(p.y - arc.centreY_, p.x - arc.centreX_);
    };
    arc.startAngle_ = angleOf(start);
    const double toEnd = angleOf(end) - arc.startAngle_;
    // The turn from the start's direction: positive when the picks turn from
    // x towards y (cross > 0), the way round that passes the middle.
    const double turn = 2.0 * std::numbers::pi;
    const auto positive = [&](double a) { return a - turn * std::floor(a / turn); };
    if (cross > 0.0) {
        // Turning from x towards y, the middle lies between: the sweep is
        // the positive angle to the end.
        arc.sweep_ = positive(toEnd);
    } else {
        arc.sweep_ = -positive(-toEnd);
    }
    return arc;
}

double CircleArc::Length(double vertical) const {
    if (vertical == 1.0) return radius_ * std::fabs(sweep_);
    // The mapped arc is (cx + r cos t, v (cy + r sin t)); its speed is
    // r √(sin² t + v² cos² t), integrated over the swept angle piece by
    // piece with five-point Gauss–Legendre.
    const double piece = sweep_ / kPieces;
    double total = 0.0;
    for (int i = 0; i < kPieces; ++i) {
        const double mid = startAngle_ + piece * (i + 0.5);
        double sum = 0.0;
        for (int k = 0; k < 5; ++k) {
            const double t = mid + kNodes[k] * piece / 2.0;
            const double s = std::sin(t);
            const double c = std::cos(t) * vertical;
            sum += kWeights[k] * std::sqrt(s * s + c * c);
        }
        total += sum * std::fabs(piece) / 2.0;
    }
    return radius_ * total;
}

double CircleArc::SignedSegmentArea() const {
    // Sector less the triangle of the centre and the chord: r²/2 (θ − sin θ),
    // negative with a negative sweep, for either side of a half turn.
    return radius_ * radius_ / 2.0 * (sweep_ - std::sin(sweep_));
}

std::vector<FigurePoint> CircleArc::Points(int pieces) const {
    std::vector<FigurePoint> points;
    points.reserve(static_cast<std::size_t>(pieces) + 1);
    for (int i = 0; i <= pieces; ++i) {
        const double t = startAngle_ + sweep_ * i / pieces;
        points.push_back(
            {static_cast<std::int32_t>(std::lround(centreX_ + radius_ * std::cos(t))),
             static_cast<std::int32_t>(std::lround(centreY_ + radius_ * std::sin(t)))});
    }
    return points;
}

std::vector<FigurePoint> CircleArc::PathThrough(const std::vector<FigurePoint>& p,
                                                const std::vector<std::int32_t>& middles, int pieces) {
    std::vector<FigurePoint> path;
    path.reserve(p.size() + middles.size() * static_cast<std::size_t>(std::max(pieces, 1)));
    auto arc = middles.begin();
    for (std::size_t i = 0; i < p.size(); ++i) {
        while (arc != middles.end() && *arc < static_cast<std::int32_t>(i)) ++arc;
        const bool middle =
            arc != middles.end() && *arc == static_cast<std::int32_t>(i) && i >= 1 && i + 1 < p.size();
        if (middle) {
            if (const std::optional<CircleArc> circle = Through(p[i - 1], p[i], p[i + 1])) {
                const std::vector<FigurePoint> along = circle->Points(pieces);
                // The start is in the path already, the end comes next.
                path.insert(path.end(), along.begin() + 1, along.end() - 1);
                continue;
            }
        }
        path.push_back(p[i]);
    }
    return path;
}
