#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

#include "figures/FigureFile.h"
#include "grid/CellTag.h"

class GridModel;

// The autosave of the grid ("Save.csv") and the run marker ("err.dat") in the
// data directory. The grid is written after every change of its values, and
// the marker stands while the program runs, so that the values of a run that
// did not end normally come back at the next start. Measuring goes on when a
// write fails, but the operator must know that the values on screen are not
// safe: Problem() says why, from the first failure until a write succeeds
// again, and the old file stays as it was.
class Autosave {
  public:
    // Off (the reduced edition): nothing is written, read or marked.
    // `problemChanged` is called whenever Problem() changes.
    Autosave(const QString& dataDirectory, bool on, std::function<void()> problemChanged);

    bool On() const { return on_; }
    QString Path() const;
    QString RunMarkerPath() const;
    // The figures kept with the measured values ("Save.figures").
    QString FiguresPath() const;

    // Writes the grid's values, unless off or held; first the figures kept
    // with them, when they changed, so that a value the autosave keeps never
    // finds its figure missing at recovery (a figure whose value missed the
    // autosave is left out then).
    void Write(const GridModel& grid);
    // While held (a table read into the grid value by value), Write writes
    // nothing; the holder writes once at the end.
    void Hold(bool held) { held_ = held; }

    // The previous run's marker is still there: that run did not end
    // normally, and its values are to be read back.
    bool PreviousRunBroke() const;
    // The table at `path` to read back. A file that is not the program's own
    // regular file (a link, a device) is not read, and Problem() says why;
    // none either for a file that cannot be read.
    std::optional<QString> ReadBack(const QString& path);
    // After the values are read back: every figure whose value came back
    // goes back with it. A figure file that cannot be read costs the
    // figures, never a value. Returns how many came back.
    // `decimals` is the setting the values were read back with.
    int RestoreFigures(GridModel& grid, int decimals);
    // This run is under way: the marker is set, and what a write killed
    // half-way left behind is removed. Why a crash will not be recovered,
    // for the operator, when a marker of ours cannot be set; else empty.
    QString BeginRun();
    // A normal end: the marker goes.
    void EndRun();

    // Why the file is not safe, as the title shows it after its own text;
    // empty while it is.
    const QString& Problem() const { return problem_; }

  private:
    void SetProblem(const QString& why);
    // The figures of values in the autosave on disk that the grid no longer
    // holds.
    std::vector<KeptFigureAt> FiguresOnDiskReplaced(const GridModel& grid) const;

    QString directory_;
    bool on_;
    std::function<void()> problemChanged_;
    bool held_ = false;
    QString problem_;
    // The grid's tag count when the figures were last written; none yet, so
    // that the first write of a run replaces the last run's figures.
    std::optional<std::uint64_t> writtenTags_;
    // The figures of the values in the autosave on disk (as of the tag count
    // beside them). Until a new autosave is in place, a crash brings those
    // values back, so a figures file written before it keeps their figures
    // too, even where the grid has replaced them. Unknown at the start of a
    // run that recovered nothing: the last run's file is read then.
    std::unordered_map<std::uint64_t, CellTagPtr> onDisk_;
    std::uint64_t onDiskTags_ = 0;
    bool onDiskKnown_ = false;
};
