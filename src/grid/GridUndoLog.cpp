#include "grid/GridUndoLog.h"

#include <algorithm>
#include <utility>

GridUndoLog::GridUndoLog(GridModel& grid, std::size_t maxCells) : grid_(grid), maxCells_(maxCells) {
    grid_.SetRecorder(this);
}

GridUndoLog::~GridUndoLog() { grid_.SetRecorder(nullptr); }

void GridUndoLog::Begin() {
    if (depth_++ > 0) {
        return;
    }
    open_ = Step{};
    open_.rowBefore = grid_.Row();
    open_.colBefore = grid_.Col();
    open_.rowsBefore = grid_.Rows();
    open_.colsBefore = grid_.Cols();
    openIndex_.clear();
}

void GridUndoLog::CellChanging(int row, int col, const QString& before) {
    // Changes outside a step (the start-up load) and the log's own replay are
    // not steps of the operator's.
    if (depth_ == 0 || applying_) {
        return;
    }
    const auto [it, added] = openIndex_.try_emplace(GridModel::CellKey(row, col), open_.changes.size());
    if (added) {
        open_.changes.push_back(Change{row, col, before, QString(), grid_.Tag(row, col), nullptr});
    }
}

void GridUndoLog::End() {
    if (depth_ == 0 || --depth_ > 0) {
        return;
    }
    openIndex_.clear();
    // What each cell holds now; cells that came back to their old text are
    // no change at all.
    auto& changes = open_.changes;
    for (Change& change : changes) {
        change.after = grid_.TextMatrix(change.row, change.col);
        change.tagAfter = grid_.Tag(change.row, change.col);
    }
    changes.erase(std::remove_if(changes.begin(), changes.end(),
                                 [](const Change& c) {
                                     return c.before == c.after && c.tagBefore == c.tagAfter;
                                 }),
                  changes.end());
    // A new size is a change of its own, even when no cell was touched.
    if (changes.empty() && grid_.Rows() == open_.rowsBefore && grid_.Cols() == open_.colsBefore) {
        return;
    }
    open_.rowAfter = grid_.Row();
    open_.colAfter = grid_.Col();
    open_.rowsAfter = grid_.Rows();
    open_.colsAfter = grid_.Cols();
    for (const Step& dropped : undone_) heldCells_ -= dropped.changes.size();
    undone_.clear();
    heldCells_ += changes.size();
    done_.push_back(std::move(open_));
    open_ = Step{};
    while (done_.size() > 1 && (done_.size() > kMaxSteps || heldCells_ > maxCells_)) {
        heldCells_ -= done_.front().changes.size();
        done_.pop_front();
    }
}

void GridUndoLog::Apply(const Step& step, bool forward) {
    const int rows = forward ? step.rowsAfter : step.rowsBefore;
    const int cols = forward ? step.colsAfter : step.colsBefore;
    if ((rows != grid_.Rows() || cols != grid_.Cols()) && resizeGrid_) {
        resizeGrid_(rows, cols);
    }
    // Each cell appears once in a step, so the order does not matter.
    applying_ = true;
    for (const Change& change : step.changes) {
        grid_.SetTextMatrix(change.row, change.col, forward ? change.after : change.before);
        if (const CellTagPtr& tag = forward ? change.tagAfter : change.tagBefore) {
            grid_.SetTag(change.row, change.col, tag);
        }
    }
    applying_ = false;
    grid_.SetRow(forward ? step.rowAfter : step.rowBefore);
    grid_.SetCol(forward ? step.colAfter : step.colBefore);
}

bool GridUndoLog::Undo() {
    if (done_.empty() || depth_ > 0) {
        return false;
    }
    Step step = std::move(done_.back());
    done_.pop_back();
    Apply(step, false);
    undone_.push_back(std::move(step));
    return true;
}

bool GridUndoLog::Redo() {
    if (undone_.empty() || depth_ > 0) {
        return false;
    }
    Step step = std::move(undone_.back());
    undone_.pop_back();
    Apply(step, true);
    done_.push_back(std::move(step));
    return true;
}

void GridUndoLog::Clear() {
    done_.clear();
    undone_.clear();
    heldCells_ = 0;
}
