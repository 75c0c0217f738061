#pragma once

#include <cstdint>
#include <vector>

// The points of the figure being measured, in tablet counts. Entries 0 to
// lPointCount - 1 are valid; entries above are stale and never read. The
// arrays only grow: they are created with upper bound 100 at the first point
// and grow by 91 entries at a time, never per point, so that they always have
// room for the closing point an area calculation appends.
struct PointStore {
    std::vector<std::int32_t> lPointX;
    std::vector<std::int32_t> lPointY;
    std::int32_t lPointCount = 0;
    // Upper bound of both arrays (they hold lPointMax + 1 entries); 0 until
    // the first point.
    std::int32_t lPointMax = 0;

    // Grows the arrays when lPointCount + 10 > lPointMax, to upper bound
    // lPointCount + 100, keeping their contents.
    void EnsureRoom();
    // Stores a point at lPointCount and counts it. Arc marks left at that
    // index or above (from a figure emptied by lPointCount = 0) go.
    void Append(std::int32_t x, std::int32_t y);

    // Arcs of a picked figure: the indexes of the points picked on an arc,
    // ascending. Point m on an arc makes the sides m - 1 to m to m + 1 one
    // circular arc, from m - 1 through m to m + 1. A mark counts only once
    // its arc has an end (m + 1 < lPointCount); until then, and at index 0,
    // the point is an ordinary corner. Marks at lPointCount or above are
    // stale and never read.
    std::vector<std::int32_t> arcMiddles;
    // Point m is the middle of a finished arc.
    bool IsArcMiddle(std::int32_t m) const;
    // The finished arcs' middles, ascending.
    std::vector<std::int32_t> ArcMiddles() const;
};
