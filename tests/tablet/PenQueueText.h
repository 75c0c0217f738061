#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "PenQueue.h"

using Points = std::vector<std::string>;

// A point as "x,y", with "!" when it ends a stroke.
inline std::string PointText(std::int32_t x, std::int32_t y, std::int32_t strokeEnd) {
    return std::to_string(x) + "," + std::to_string(y) + (strokeEnd ? "!" : "");
}

// Drains a queue as the window would: its points, and "side" per side press.
inline Points DrainAsText(PenQueue& queue) {
    Points out;
    for (std::int32_t n = queue.Announce(); n != 0; n = queue.Announce()) {
        if (n < 0) out.push_back("side");
        for (std::int32_t i = 0; i < n; ++i) {
            std::int32_t lx = 0, ly = 0, px = 0, py = 0, end = 0;
            queue.Take(lx, ly, px, py, end);
            out.push_back(PointText(px, py, end));
        }
    }
    return out;
}
