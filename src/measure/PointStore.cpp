#include "measure/PointStore.h"

#include <algorithm>
#include <cstddef>

void PointStore::EnsureRoom() {
    // Grows ahead of need in steps of 91 entries (bounds 100, 191, 282, ...),
    // so that there is always room for the closing point of an area.
    if (lPointCount + 10 > lPointMax) {
        lPointMax = lPointCount + 100;
        const auto size = static_cast<std::size_t>(lPointMax) + 1;
        if (lPointX.size() < size) {
            lPointX.resize(size, 0);
        }
        if (lPointY.size() < size) {
            lPointY.resize(size, 0);
        }
    }
}

void PointStore::Append(std::int32_t x, std::int32_t y) {
    EnsureRoom();
    const auto index = static_cast<std::size_t>(lPointCount);
    while (!arcMiddles.empty() && arcMiddles.back() >= lPointCount) arcMiddles.pop_back();
    lPointX[index] = x;
    lPointY[index] = y;
    ++lPointCount;
}

bool PointStore::IsArcMiddle(std::int32_t m) const {
    if (m < 1 || m + 1 >= lPointCount) return false;
    return std::binary_search(arcMiddles.begin(), arcMiddles.end(), m);
}

std::vector<std::int32_t> PointStore::ArcMiddles() const {
    std::vector<std::int32_t> finished;
    for (std::int32_t m : arcMiddles)
        if (IsArcMiddle(m)) finished.push_back(m);
    return finished;
}
