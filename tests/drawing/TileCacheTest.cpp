// The tile cache: within its budget, the least recently used tiles go first
// and the pinned overview never goes.

#include <gtest/gtest.h>

#include "drawing/TileCache.h"

TEST(TileCache, past_its_budget_the_least_recently_used_go_and_the_pinned_overview_stays) {
    // Tiles of 64 × 64 pixels, 16 KB each; room for four.
    const auto tile = [] { return QImage(64, 64, QImage::Format_RGB32); };
    const std::int64_t size = tile().sizeInBytes();
    TileCache cache(4 * size);
    cache.Pin(1);
    for (int i = 0; i < 3; ++i) cache.Insert({1, i, 0}, tile());  // the overview
    for (int i = 0; i < 4; ++i) cache.Insert({2, i, 0}, tile());
    ASSERT_NE(cache.Find({2, 0, 0}), nullptr);  // used: now the most recent
    cache.Insert({2, 4, 0}, tile());
    cache.Insert({2, 5, 0}, tile());
    EXPECT_EQ(cache.Bytes(), 4 * size);
    EXPECT_EQ(cache.AllBytes(), 7 * size);
    for (const auto& [column, kept] :
         {std::pair{0, true}, {1, false}, {2, false}, {3, true}, {4, true}, {5, true}})
        EXPECT_EQ(cache.Find({2, column, 0}) != nullptr, kept) << column;
    for (int i = 0; i < 3; ++i) EXPECT_NE(cache.Find({1, i, 0}), nullptr);
    EXPECT_EQ(cache.NearestOtherScale(3), 2);
    EXPECT_EQ(cache.NearestOtherScale(2), 1);
}
