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

    // Counted off in a sum: a hole (a courtyard in a footprint, a stairwell
    // in a floor).
    bool minus = false;
    // A sum's value comes from several figures: this one is the first, the
    // others follow here in the order they were added, each with its own
    // points and sign (their `value` is their own, unrounded text; their
    // `parts` empty). Empty for a value measured from one figure.
    std::vector<KeptFigure> parts;

    // Areas are drawn closed.
    bool Closed() const { return mode == FigureMode::PickedArea || mode == FigureMode::TracedArea; }

    // This figure and a sum's other figures, in order: what is drawn and
    // exported for the cell.
    std::vector<const KeptFigure*> Figures() const {
        std::vector<const KeptFigure*> all{this};
        for (const KeptFigure& part : parts) all.push_back(&part);
        return all;
    }
};
