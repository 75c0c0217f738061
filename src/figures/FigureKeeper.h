#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "figures/KeptFigure.h"

class GridModel;
struct PointStore;

// Keeps the figure of every measured value with its cell. The window tells it
// of a measurement's figure before that measurement puts its values
// (Measured), of each cell a value went into (Attach) and of the end of the
// value (Done); values put without a figure before them (typed, pasted,
// totals) get none. The grid then drops a figure with its value, and the undo
// log brings it back with it.
class FigureKeeper {
  public:
    // What the window knows of a measurement besides its points.
    struct Context {
        FigureMode mode = FigureMode::TwoPointDistance;
        QString referenceLength;
        QString tabletLength;
        double verticalFactor = 1.0;
        QString unit;
        double countsPerMm = 0.0;
        FigureOrigin origin;
        std::int64_t timeMs = 0;
    };

    // The figure of the value about to be put: the store's points 0 to
    // lPointCount - 1.
    void Measured(const PointStore& points, const Context& context);
    // A sum took this figure as its entry `index` (0 starts a new sum),
    // minus for a hole.
    void Summed(const PointStore& points, const Context& context, std::size_t index, bool minus);
    // The sum's total is about to be put: its figures go with it, the first
    // holding the others.
    void MeasuredSum();
    // A value went into row, col with text `value`: the figure told of
    // goes with it (both cells of a coordinate get it).
    void Attach(GridModel& grid, int row, int col, const QString& value);
    // The value is complete: later values have no figure until told of one.
    void Done() { pending_.reset(); }

  private:
    static std::optional<KeptFigure> FigureOf(const PointStore& points, const Context& context);

    std::shared_ptr<KeptFigure> pending_;
    std::vector<KeptFigure> sum_;
};
