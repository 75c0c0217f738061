// Where the pad and the figure window open beside the main window, on the
// screens operators have: a laptop's 1366 x 768 and a desktop's 1920 x 1080,
// each with a 27-pixel top panel.

#include <gtest/gtest.h>

#include "measure/ui/SidePlacement.h"

namespace {

const QMargins kFrame(4, 24, 4, 4);
// The main window at its design size (992 x 673 client) where the window
// manager put it, under the panel.
const QRect kOwner(0, 27, 1000, 701);
const int kOwnerTitle = 24;
const QSize kWanted(488, 394);
const QSize kLeast(352, 200);

QRect TitleBar(const QRect& frame) { return {frame.x(), frame.y(), frame.width(), kOwnerTitle}; }

}  // namespace

TEST(SidePlacement, a_side_window_opens_inside_the_screen_and_off_the_main_windows_title_bar) {
    struct Case {
        const char* name;
        QRect available;
        QRect owner;
        QRect frame;  // expected
    };
    for (const Case& c : {
             // Beside, as tall as the main window: 366 pixels are left of 1366.
             Case{"laptop", {0, 27, 1366, 741}, kOwner, {1000, 27, 366, 701}},
             Case{"desktop", {0, 27, 1920, 1053}, kOwner, {1000, 27, 496, 701}},
             // The main window moved right: the room is on its left.
             Case{"left", {0, 27, 1920, 1053}, {900, 27, 1000, 701}, {404, 27, 496, 701}},
             // A wide short main window on a tall screen: below it.
             Case{"below", {0, 0, 1100, 1200}, {0, 0, 1000, 701}, {0, 701, 496, 422}},
             // No room anywhere: over the grid's right part, under the title bar.
             Case{"none", {0, 27, 1024, 741}, {0, 27, 1000, 701}, {528, 51, 496, 422}},
         }) {
        SCOPED_TRACE(c.name);
        const SidePlace place =
            PlaceBeside(c.available, c.owner, kOwnerTitle, kFrame, kWanted, kLeast);
        const QRect frame = place.Frame(kFrame);
        EXPECT_EQ(c.frame, frame);
        EXPECT_TRUE(c.available.contains(frame));
        EXPECT_FALSE(frame.intersects(TitleBar(c.owner)));
    }
}

TEST(SidePlacement, a_kept_place_is_brought_back_inside_the_screen_it_is_on_now) {
    const QRect laptop(0, 27, 1366, 741);
    struct Case {
        const char* name;
        SidePlace kept;
        QRect frame;  // expected
    };
    for (const Case& c : {
             Case{"inside stays", {{1000, 27}, {358, 673}}, {1000, 27, 366, 701}},
             // Kept on a second screen to the right, now unplugged.
             Case{"on a screen gone", {{2200, 300}, {480, 360}}, {878, 300, 488, 388}},
             // Above the panel, with its title bar out of reach.
             Case{"under the panel", {{100, 0}, {480, 360}}, {100, 27, 488, 388}},
             // Kept on a larger screen: shrunk to this one.
             Case{"too large", {{0, 0}, {1900, 1000}}, {0, 27, 1366, 741}},
             Case{"too small", {{10, 40}, {20, 20}}, {10, 40, 360, 228}},
         }) {
        SCOPED_TRACE(c.name);
        const QRect frame = KeepOnScreen(c.kept, laptop, kFrame, kLeast).Frame(kFrame);
        EXPECT_EQ(c.frame, frame);
        EXPECT_TRUE(laptop.contains(frame));
    }
}

// Every screen from a laptop's to 4K, at every scale factor from 1 to 2: the
// side window stays on the screen and covers nothing of the main window but
// its grid, whether there is room beside it or not.
TEST(SidePlacement, on_any_screen_and_scale_only_the_grid_is_ever_covered) {
    const QSize screens[] = {{1366, 768}, {1600, 900}, {1920, 1080}, {2560, 1440}, {3840, 2160}};
    const double factors[] = {1.0, 1.25, 1.5, 1.75, 2.0};
    const int panel = 27;
    const QMargins ownerFrame(4, kOwnerTitle, 4, 4);
    const QSize design(992, 673);  // the main window's client area
    const int controls = 190;      // the tabs, buttons and key help under the grid
    for (const QSize& screen : screens) {
        for (double factor : factors) {
            const QRect available(0, panel, static_cast<int>(screen.width() / factor),
                                  static_cast<int>(screen.height() / factor) - panel);
            // Below 540 logical pixels the main window itself does not fit
            // (a laptop's 768 at 1.5 and beyond): nothing to keep clear.
            if (available.height() < 540 - panel) continue;
            // At its design size where it fits, else maximised.
            const QSize outer = design.grownBy(ownerFrame);
            const QRect owner = outer.width() <= available.width() &&
                                        outer.height() <= available.height()
                                    ? QRect(available.topLeft(), outer)
                                    : available;
            const QRect client = owner.marginsRemoved(ownerFrame);
            const QRect grid(client.x(), client.y(), client.width(), client.height() - controls);
            SCOPED_TRACE(testing::Message() << screen.width() << "x" << screen.height() << " at "
                                            << factor);
            const QRect frame =
                PlaceBeside(available, owner, kOwnerTitle, kFrame, kWanted, kLeast, grid)
                    .Frame(kFrame);
            EXPECT_TRUE(available.contains(frame)) << frame.x() << "," << frame.y();
            const QRect titleBar(owner.x(), owner.y(), owner.width(), kOwnerTitle);
            const QRect below(owner.x(), grid.bottom() + 1, owner.width(),
                              owner.bottom() - grid.bottom());
            EXPECT_FALSE(frame.intersects(titleBar));
            EXPECT_FALSE(frame.intersects(below))
                << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
            EXPECT_GE(frame.width(), kLeast.width() + kFrame.left() + kFrame.right());
        }
    }
}

TEST(SidePlacement, a_kept_place_too_wide_for_the_room_beside_the_main_window_is_shrunk_there) {
    const QRect laptop(0, 27, 1366, 741);
    // Kept 402 wide when a drawing had widened the pad: 28 pixels too many.
    const SidePlace kept{{1000, 27}, {394, 673}};
    const QRect frame = KeepOnScreen(kept, laptop, kFrame, kLeast, kOwner).Frame(kFrame);
    EXPECT_EQ(frame, QRect(1000, 27, 366, 701));
    EXPECT_FALSE(frame.intersects(kOwner));
    // Without the main window to keep clear of, it moves in whole as before.
    EXPECT_EQ(KeepOnScreen(kept, laptop, kFrame, kLeast).Frame(kFrame), QRect(964, 27, 402, 701));
}
