#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "PenQueue.h"

// Drains a queue as the window would and writes what it handed out: "x,y" per
// point ("!" after a point that ends a stroke) and "side" per side press.
inline std::vector<std::string> DrainAsText(PenQueue& queue) {
    std::vector<std::string> out;
    for (std::int32_t n = queue.Announce(); n != 0; n = queue.Announce()) {
        if (n < 0) {
            out.push_back("side");
            continue;
        }
        for (std::int32_t i = 0; i < n; ++i) {
            std::int32_t lx = 0, ly = 0, px = 0, py = 0, end = 0;
            queue.Take(lx, ly, px, py, end);
            out.push_back(std::to_string(px) + "," + std::to_string(py) + (end ? "!" : ""));
        }
    }
    return out;
}
