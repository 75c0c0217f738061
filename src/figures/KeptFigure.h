#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "grid/CellTag.h"
#include "measure/Figure.h"

// The measurement a figure was made by, as the measurement options list them.
enum class FigureMode : std::uint8_t {
    TwoPointDistance,
    PickedArea,
    TracedArea,
    PickedLength,
    TracedLength,
    Coordinate,
};

// The figure a measured value came from, kept with its cell so that the
// operator can see, check and hand over what was measured. It is made once,
// when the value is put, and never changed after.
struct KeptFigure : CellTag {
    FigureMode mode = FigureMode::TwoPointDistance;
    // The points as measured, in counts after both axes are brought to one
    // count; a traced figure keeps every point.
    std::vector<FigurePoint> points;
    // The picks that are the middle of a circular arc (a picked figure): the
    // arc runs from the pick before through this one to the pick after.
    // Increasing, each with a pick on both sides.
    std::vector<std::int32_t> arcMiddles;
    // The scale in force: "基準となる長さ" and "タブレット上の長さ" as the
    // operator set them, the vertical factor, and the unit the scale dialog
    // named (empty when it named none).
    QString referenceLength;
    QString tabletLength;
    double verticalFactor = 1.0;
    QString unit;
    // Counts per millimetre of the tablet's surface (the pad's paper or
    // screen too), so that a figure from paper can be drawn in millimetres;
    // 0 where the tablet does not say.
    double countsPerMm = 0.0;
    FigureSourceKind source = FigureSourceKind::BlankPad;
    // The tablet's name, or the drawing's file; empty on the blank pad.
    QString sourceName;
    // The drawing's page, from 1; 0 for anything but a drawing.
    int page = 0;
    // When the value was put, in milliseconds since 1970 (UTC).
    std::int64_t timeMs = 0;
    // The cell's text as it was put: after a crash a figure goes back only
    // into a cell that holds its value again.
    QString value;

    // Areas are drawn closed.
    bool Closed() const { return mode == FigureMode::PickedArea || mode == FigureMode::TracedArea; }
};
