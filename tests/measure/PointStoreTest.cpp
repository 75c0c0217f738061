#include <gtest/gtest.h>

#include "measure/PointStore.h"

// Whatever it grows by: every point kept in order, always room for the
// closing point an area calculation appends, and never smaller again.
TEST(PointStore, keeps_every_point_with_room_for_one_more_and_never_shrinks) {
    PointStore store;
    for (int i = 0; i < 300; ++i) {
        store.Append(i, -i);
        ASSERT_GE(store.lPointMax, store.lPointCount) << i;
        ASSERT_GE(store.lPointX.size(), static_cast<std::size_t>(store.lPointCount) + 1);
    }
    for (int i = 0; i < 300; ++i) {
        ASSERT_EQ(store.lPointX[static_cast<std::size_t>(i)], i);
        ASSERT_EQ(store.lPointY[static_cast<std::size_t>(i)], -i);
    }
    const std::int32_t bound = store.lPointMax;
    store.lPointCount = 0;
    store.Append(7, 8);
    EXPECT_EQ(store.lPointMax, bound) << "the arrays never shrink";
    EXPECT_EQ(store.lPointX[0], 7);
    EXPECT_EQ(store.lPointX[1], 1) << "stale entries are left as they were";
}
