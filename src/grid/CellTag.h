#pragma once

#include <memory>

// Something kept with one cell's value, such as the figure it was measured
// from. The grid holds it without knowing what it is and lets it go whenever
// the cell's text is written, emptied or cut off, so it never outlives the
// value it belongs to; the undo log brings it back with the value.
class CellTag {
  public:
    virtual ~CellTag() = default;
};

// Tags are never changed once made, so one can be shared by the grid, the
// undo log and whatever draws it.
using CellTagPtr = std::shared_ptr<const CellTag>;
