#pragma once

#include "grid/GridModel.h"
#include "grid/GridView.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

// A grid control for tests: a GridModel (its own, or one handed in) plus the
// widget-only parts, which tests set and inspect directly.
class FakeGridView : public GridView {
public:
    FakeGridView() : model_(&ownModel_) {}
    explicit FakeGridView(GridModel& model) : model_(&model) {}

    GridModel& Model() override { return *model_; }

    void SetFocus() override {
        ++focusCount;
        Note("grid.SetFocus");
        if (onSetFocus) {
            onSetFocus();
        }
    }

    int Left() const override { return left; }
    int Top() const override { return top; }
    // Every column is colWidth twips wide and every row rowHeight twips
    // high, headers included.
    TwipRect CurrentCellRect() const override {
        return {model_->Col() * colWidth, model_->Row() * rowHeight, colWidth, rowHeight};
    }

    // Rows topRow to topRow + visibleRows - 1 are fully shown, unless
    // rowIsVisible says otherwise.
    bool RowIsVisible(int row) const override {
        if (rowIsVisible) {
            return rowIsVisible(row);
        }
        return row >= topRow && row < topRow + visibleRows;
    }
    int TopRow() const override { return topRow; }
    void SetTopRow(int row) override {
        topRow = row;
        topRowSets.push_back(row);
        Note("grid.SetTopRow");
    }

    // Runs and empties the queued callbacks, as the event loop would.
    void ProcessPendingEvents() override {
        Note("grid.ProcessPendingEvents");
        auto queued = std::exchange(pending, {});
        for (auto& event : queued) {
            event();
        }
    }

    int left = 120;
    int top = 480;
    int colWidth = 750;
    int rowHeight = 240;
    int topRow = 1;
    int visibleRows = 1000000;
    std::function<bool(int row)> rowIsVisible;
    std::vector<int> topRowSets;

    int focusCount = 0;
    // Called after each SetFocus, e.g. to make an open editor lose the focus.
    std::function<void()> onSetFocus;
    std::vector<std::function<void()>> pending;
    // When set, every call is noted here, to check the order across fakes.
    std::vector<std::string>* journal = nullptr;

private:
    void Note(const char* what) {
        if (journal != nullptr) {
            journal->emplace_back(what);
        }
    }

    GridModel ownModel_;
    GridModel* model_;
};
