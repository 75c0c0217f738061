#include "shell/WindowFit.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowFit, design_size_where_it_fits_else_the_free_area_else_maximised) {
    // At 96 dpi: design client 992 x 673, smallest 822 x 374, frame 9 x 26.
    const QSize design(992, 673);
    const QSize smallest(822, 374);
    const QSize frame(9, 26);
    struct Case {
        const char* screen;
        QRect available;
        WindowFit expected;
    };
    const Case cases[] = {
        {"1920x1080", {0, 0, 1920, 1040}, {{0, 0}, design, false}},
        {"exactly_enough", {0, 0, 1001, 699}, {{0, 0}, design, false}},
        {"1366x768_at_125_percent_with_a_top_panel", {0, 27, 1093, 587}, {{0, 27}, {992, 561}, false}},
        {"1366x768_at_150_percent", {0, 0, 911, 512}, {{0, 0}, {902, 486}, false}},
        {"narrower_than_the_smallest_layout", {10, 0, 800, 600}, {{10, 0}, smallest, true}},
        {"lower_than_the_smallest_layout", {0, 0, 1366, 390}, {{0, 0}, smallest, true}},
    };
    for (const Case& c : cases) {
        const WindowFit fit = FitToScreen(design, smallest, frame, c.available);
        EXPECT_EQ(fit.topLeft, c.expected.topLeft) << c.screen;
        EXPECT_EQ(fit.client, c.expected.client) << c.screen;
        EXPECT_EQ(fit.maximize, c.expected.maximize) << c.screen;
    }
}

}  // namespace
