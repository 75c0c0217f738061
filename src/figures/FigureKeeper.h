#pragma once

#include <QString>
#include <QStringList>
#include <memory>

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
    // A value went into row, col with text `value`: the figure told of
    // goes with it (both cells of a coordinate get it).
    void Attach(GridModel& grid, int row, int col, const QString& value);
    // The value is complete: later values have no figure until told of one.
    void Done() { pending_.reset(); }

    // The figure file beside the autosave: written before the autosave so
    // that a value the autosave keeps never finds its figure missing (a
    // figure whose value did not reach the autosave is left out at
    // recovery). True when written; `why` says what failed.
    bool Write(const GridModel& grid, const QString& path, QString* why = nullptr);
    // After a recovery: every figure whose value came back goes back with
    // it. Lines of the file that could not be read are in `problems`.
    int Restore(GridModel& grid, const QString& path, QStringList* problems = nullptr);

  private:
    std::shared_ptr<KeptFigure> pending_;
    // The grid's tag count when the file was last written: a value typed
    // into a cell without a figure changes no figure, and the file is then
    // not written again.
    std::uint64_t writtenTags_ = ~std::uint64_t{0};
    QString writtenPath_;
};
