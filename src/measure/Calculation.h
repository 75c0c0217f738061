#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

#include "measure/PointStore.h"

// The two scale texts as they stand at the moment of use: the real reference
// length (txtInput(0)) and the tablet counts of that length (txtInput(3)).
// They are read and converted again at every conversion, so a result always
// follows what the boxes hold.
class ScaleSource {
  public:
    virtual ~ScaleSource() = default;
    virtual QString ReferenceLengthText() const = 0;
    virtual QString TabletCountsText() const = 0;
    // A cross-section drawn at another scale up than across: every vertical
    // distance in counts is multiplied by this before any length, area or
    // coordinate is taken from it. 1 for one scale.
    virtual double VerticalFactor() const { return 1.0; }
    // Areas are multiplied by this (a land unit instead of the square of
    // the length unit); 1 for the square.
    virtual double AreaFactor() const { return 1.0; }
    // The units after a length and after an area in the figure's status
    // line; empty where the scale names none.
    virtual QString LengthUnit() const { return {}; }
    virtual QString AreaUnit() const { return {}; }
};

// A value that cannot be had (a scale text that is empty or not a number, a
// division by zero, an overflowing 32-bit difference) is std::nullopt, never
// an infinity or an exception.
using MaybeValue = std::optional<double>;

// a − b in tablet counts, or no value when it does not fit in 32 bits (the
// contract's coordinates are 32-bit, and so are their differences).
std::optional<std::int32_t> Difference(std::int32_t a, std::int32_t b);

// counts × reference length ÷ tablet counts, multiplication first. A
// vertical distance is first multiplied by the vertical factor
// (ScaleYToReal).
MaybeValue ScaleToReal(double counts, const ScaleSource& scale);
MaybeValue ScaleYToReal(double counts, const ScaleSource& scale);

// The vertical factor from two picks a known length apart up the drawing:
// the length is `referenceCounts` counts across (the tablet counts of the
// reference length), so the picks' vertical distance times the factor, with
// their horizontal distance, must make that many counts. No value when the
// picks are not apart vertically, when their horizontal distance alone
// exceeds the length, or for a count that is not a number above 0.
MaybeValue VerticalFactorFromPicks(std::int32_t x1, std::int32_t y1, std::int32_t x2,
                                   std::int32_t y2, const QString& referenceCounts);

// Straight distance between two tablet points: 32-bit differences, a
// double-precision root, the vertical difference times the vertical factor.
// Unscaled in counts, scaled in real length.
MaybeValue CalcDistance(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                        bool scaled, const ScaleSource& scale);

// The scale texts give a factor: both are numbers and the tablet counts are
// not 0.
bool ScaleIsUsable(const ScaleSource& scale);

// What the figure in the store measures so far, without touching the store,
// by the same rules as CalcLengthArea: the open path through its points
// (0 for fewer than 2), or the polygon closed from its last point back to the
// first (0 for fewer than 3). Not finite when an absurd scale overflows.
double FigureLength(const PointStore& points, const ScaleSource& scale);
double FigureArea(const PointStore& points, const ScaleSource& scale);

// Ends a picked or traced figure: the open polyline length (lengthMode) or
// the polygon area of the stored points, handed to putValue (which writes it
// and advances). Fewer than 2 points (length) or 3 (area) are discarded
// without a value. In the length case a failing segment adds nothing; in the
// area case a coordinate that cannot be scaled counts as 0, and the closing
// point is copied into the store. Leaves lPointCount at 0 on every path.
void CalcLengthArea(PointStore& points, bool lengthMode, const ScaleSource& scale,
                    const std::function<void(double)>& putValue);
