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
    // Stores a point at lPointCount and counts it.
    void Append(std::int32_t x, std::int32_t y);
};
