#include <gtest/gtest.h>

#include "PointStore.h"

TEST(PointStore, grows_ahead_of_need_by_91_entries_keeping_contents) {
    PointStore store;
    EXPECT_EQ(store.lPointMax, 0);
    EXPECT_TRUE(store.lPointX.empty());

    // Bound after each append, and where it changes.
    struct Step {
        int upToIndex;
        int bound;
    };
    int index = 0;
    for (const Step step : {Step{90, 100}, Step{181, 191}, Step{272, 282}}) {
        for (; index <= step.upToIndex; ++index) {
            store.Append(index, -index);
            ASSERT_EQ(store.lPointMax, step.bound) << "index " << index;
            ASSERT_EQ(store.lPointX.size(), static_cast<std::size_t>(step.bound) + 1);
            ASSERT_EQ(store.lPointY.size(), static_cast<std::size_t>(step.bound) + 1);
        }
    }
    store.Append(273, -273);
    EXPECT_EQ(store.lPointMax, 373);
    for (int i = 0; i <= 273; ++i) {
        ASSERT_EQ(store.lPointX[static_cast<std::size_t>(i)], i);
        ASSERT_EQ(store.lPointY[static_cast<std::size_t>(i)], -i);
    }
}

TEST(PointStore, emptied_store_keeps_its_size_and_reuses_entries) {
    PointStore store;
    for (int i = 0; i < 150; ++i) {
        store.Append(i, i);
    }
    const std::int32_t bound = store.lPointMax;
    store.lPointCount = 0;
    store.Append(7, 8);
    EXPECT_EQ(store.lPointMax, bound) << "the arrays never shrink";
    EXPECT_EQ(store.lPointX[0], 7);
    EXPECT_EQ(store.lPointX[1], 1) << "stale entries are left as they were";
}
