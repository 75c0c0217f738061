#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "measure/Figure.h"

// The circular arc through three picks, in tablet counts as picked on the
// paper: from `start` through `middle` to `end`. The circle is fitted in
// counts; a vertical factor stretches it afterwards into an ellipse's arc,
// the way the paper's vertical scale stretches the drawn curve.
class CircleArc {
  public:
    // No arc when the three picks lie in a line (or two coincide): there is
    // no circle through them, and they are straight sides.
    static std::optional<CircleArc> Through(FigurePoint start, FigurePoint middle, FigurePoint end);

    // The arc's length in counts once vertical distances are multiplied by
    // `vertical`. With 1 it is radius × angle, exactly; otherwise the mapped
    // arc is an ellipse's and its length is integrated numerically (see the
    // definition).
    double Length(double vertical) const;
    // The circular segment between the arc and its chord, in counts
    // squared, before any vertical factor (an affine stretch multiplies it
    // by the factor exactly). Positive when start, middle, end turn the way
    // the shoelace sum counts as positive (x to y), negative otherwise.
    double SignedSegmentArea() const;
    // Points along the arc for drawing, in counts, from start to end, both
    // included: `pieces` + 1 points.
    std::vector<FigurePoint> Points(int pieces) const;

    // The path through `points` with the side pair around each arc's middle
    // (`middles`, ascending) replaced by `pieces` short sides along the arc,
    // from the picked start to the picked end: what is drawn for a picked
    // figure with arcs. Three picks in a line stay straight.
    static std::vector<FigurePoint> PathThrough(const std::vector<FigurePoint>& points,
                                                const std::vector<std::int32_t>& middles, int pieces);

    double Radius() const { return radius_; }
    // The swept angle in radians, signed: positive from x towards y.
    double Sweep() const { return sweep_; }

  private:
    double centreX_ = 0.0;
    double centreY_ = 0.0;
    double radius_ = 0.0;
    double startAngle_ = 0.0;
    double sweep_ = 0.0;
};
