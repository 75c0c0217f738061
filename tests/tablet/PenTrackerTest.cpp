#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AnsweringWindow.h"
#include "tablet/PenQueue.h"
#include "tablet/PenTracker.h"

namespace {

PenFrame At(std::int32_t x, std::int32_t y, bool tip, bool moved = true) {
    PenFrame f;
    f.x = x;
    f.y = y;
    f.tip = tip;
    f.moved = moved;
    return f;
}

struct Case {
    const char* name;
    std::int32_t mode;
    std::vector<PenFrame> frames;
    std::vector<std::string> expected;
};

PenFrame Side(std::int32_t x, std::int32_t y, bool tip, bool side) {
    PenFrame f = At(x, y, tip, false);
    f.side = side;
    return f;
}

PenFrame Leaving(bool tip) {
    PenFrame f = At(0, 0, tip);  // axes zeroed as some tablets send them
    f.leaving = true;
    return f;
}

PenFrame Resync(std::int32_t x, std::int32_t y, bool tip) {
    PenFrame f = At(x, y, tip);
    f.resync = true;
    return f;
}

}  // namespace

TEST(PenTracker, frames_become_the_contracts_points_in_both_modes) {
    const std::vector<Case> cases = {
        {"pick_where_the_tip_goes_down",
         0,
         {At(5, 6, false), At(10, 20, true), At(30, 40, true), At(30, 40, false)},
         {"10,20!"}},
        {"tap_without_movement_still_picks",
         0,
         {At(10, 20, false), At(10, 20, true, false), At(10, 20, false, false)},
         {"10,20!"}},
        {"stroke_start_moves_and_end",
         1,
         {At(1, 1, true), At(2, 1, true), At(2, 1, true, false), At(3, 3, true), At(3, 3, false)},
         {"1,1", "2,1", "3,3", "3,3!"}},
        {"stroke_that_never_moved_still_ends",
         1,
         {At(7, 7, false), At(7, 7, true, false), At(7, 7, false, false)},
         {"7,7", "7,7!"}},
        {"hovering_gives_nothing", 1, {At(1, 1, false), At(2, 2, false)}, {}},
        {"two_strokes",
         1,
         {At(0, 0, true), At(1, 0, true), At(1, 0, false), At(5, 5, true), At(6, 5, false)},
         {"0,0", "1,0", "1,0!", "5,5", "6,5!"}},
        {"side_press_while_hovering_once",
         0,
         {Side(1, 1, false, true), Side(1, 1, false, true), Side(1, 1, false, false)},
         {"side"}},
        {"side_after_picks_comes_after_them",
         0,
         {At(1, 1, true), At(1, 1, false), At(2, 2, true), At(2, 2, false),
          Side(2, 2, false, true)},
         {"1,1!", "2,2!", "side"}},
        {"zeroed_leaving_frame_is_never_a_point",
         1,
         {At(100, 200, true), At(110, 200, true), Leaving(false)},
         {"100,200", "110,200", "110,200!"}},
        {"leaving_while_touching_ends_the_stroke_at_the_last_position",
         1,
         {At(100, 200, true), Leaving(true), At(0, 0, false, false)},
         {"100,200", "100,200!"}},
        {"lost_release_ends_the_stroke_where_last_seen",
         1,
         {At(10, 10, true), At(20, 10, true), Resync(90, 90, false)},
         {"10,10", "20,10", "20,10!"}},
        {"movement_in_a_resync_frame_is_no_point",
         1,
         {At(10, 10, true), Resync(50, 50, true), At(60, 50, true), At(60, 50, false)},
         {"10,10", "60,50", "60,50!"}},
        {"press_seen_only_in_a_resync_is_no_pick",
         0,
         {At(1, 1, false), Resync(5, 5, true), At(5, 5, false)},
         {}},
    };
    for (const Case& c : cases) {
        PenQueue queue;
        PenTracker tracker(queue);
        tracker.SetMode(c.mode);
        for (const PenFrame& f : c.frames) tracker.Frame(f);
        EXPECT_EQ(DrainAsText(queue), c.expected) << c.name;
    }
}

TEST(PenQueue, side_press_waits_behind_the_points_queued_before_it) {
    PenQueue queue;
    queue.PushPoint({0, 0, 1, 1, 1});
    queue.PushPoint({0, 0, 2, 2, 1});
    queue.PushSide();
    queue.PushPoint({0, 0, 3, 3, 1});

    EXPECT_EQ(queue.Announce(), 2);
    EXPECT_TRUE(queue.SideWaitsBehind());
    std::int32_t lx, ly, px, py, end;
    queue.Take(lx, ly, px, py, end);
    EXPECT_EQ(queue.Count(), 1);
    queue.Take(lx, ly, px, py, end);
    EXPECT_EQ(queue.Count(), 0) << "the side press stops the fetch loop";
    queue.Take(lx, ly, px, py, end);
    EXPECT_EQ(px, 0) << "nothing is taken across the side press";

    EXPECT_EQ(queue.Announce(), -1);
    EXPECT_EQ(queue.Announce(), 1);
    queue.Take(lx, ly, px, py, end);
    EXPECT_EQ(px, 3);
    EXPECT_EQ(queue.Announce(), 0);
    EXPECT_TRUE(queue.Empty());
}
