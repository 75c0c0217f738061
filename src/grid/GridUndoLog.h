#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <unordered_map>
#include <vector>

#include "grid/GridModel.h"

// Undo and redo of the operator's changes to the grid's cells. The window
// brackets each change the operator makes (a measured value, a hand edit, a
// paste, a clear) with Begin() and End(); the model tells the log the old
// text of every data cell the change touches, and End() reads the new ones.
// Undo puts the old texts back and the cursor where it stood before the
// change; Redo does the change again and puts the cursor where it ended.
//
// A log in the grid core rather than Qt's undo framework: the change itself
// is only known cell by cell as the model makes it (a clear or a paste of a
// million cells is one step), and the core stays free of the GUI library.
class GridUndoLog : private GridModel::Recorder {
  public:
    static constexpr std::size_t kMaxSteps = 1000;
    // One step can hold a whole grid (a paste, a clear of 10,000 × 1,000
    // cells): the log also keeps no more cell changes than this, about 1 GB
    // of texts at most, dropping its oldest steps first. The newest step is
    // always kept.
    static constexpr std::size_t kMaxCells = 20'000'000;

    explicit GridUndoLog(GridModel& grid, std::size_t maxCells = kMaxCells);
    ~GridUndoLog() override;
    GridUndoLog(const GridUndoLog&) = delete;
    GridUndoLog& operator=(const GridUndoLog&) = delete;

    // A change by the operator starts and ends. Steps nest: only the
    // outermost pair counts. A step that changed neither a cell nor the
    // grid's size is not kept. A new step drops the steps that could have
    // been redone.
    void Begin();
    void End();

    // Called before a step's cells are put back when the step changed the
    // grid's size (a clear that came with a new size): the owner gives the
    // grid that size again, rows × cols with the headers, keeping its cells.
    void SetResizeGrid(std::function<void(int rows, int cols)> resizeGrid) {
        resizeGrid_ = std::move(resizeGrid);
    }

    bool CanUndo() const { return !done_.empty(); }
    bool CanRedo() const { return !undone_.empty(); }
    // False when there was nothing to take back or to do again.
    bool Undo();
    bool Redo();
    // Forgets every step (a grid loaded anew).
    void Clear();

    std::size_t UndoCount() const { return done_.size(); }

  private:
    struct Change {
        int row;
        int col;
        QString before;
        QString after;
        // The tag kept with the value, before and after: it comes back with it.
        CellTagPtr tagBefore;
        CellTagPtr tagAfter;
    };
    struct Step {
        std::vector<Change> changes;
        int rowBefore = 1;
        int colBefore = 1;
        int rowAfter = 1;
        int colAfter = 1;
        int rowsBefore = 0;
        int colsBefore = 0;
        int rowsAfter = 0;
        int colsAfter = 0;
    };

    void CellChanging(int row, int col, const QString& before) override;
    void Apply(const Step& step, bool forward);

    GridModel& grid_;
    std::function<void(int, int)> resizeGrid_;
    int depth_ = 0;
    bool applying_ = false;
    Step open_;
    // Where each cell of the open step stands in its change list, so that a
    // cell written twice keeps its first old text.
    std::unordered_map<std::uint64_t, std::size_t> openIndex_;
    std::deque<Step> done_;
    std::vector<Step> undone_;
    // Cell changes held in done_ and undone_ together, and their bound.
    std::size_t heldCells_ = 0;
    std::size_t maxCells_;
};
