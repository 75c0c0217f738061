// The part every tablet library shares: the queue, its notifications and its
// inputs.

#include <gtest/gtest.h>

#include <memory>

#include "AnsweringWindow.h"
#include "tablet/QueuedPadLink.h"

namespace {

// An input whose frames the test sends, through a pen of its own.
class FrameInput : public PenInput {
  public:
    explicit FrameInput(bool holds = true) : holds_(holds) {}
    void Start(QueuedPadLink& link) override {
        pen.emplace(link);
        ++starts;
    }
    void Stop() override {
        if (pen) {
            PenFrame gone;
            gone.gone = true;
            pen->Frame(gone);
        }
        pen.reset();
        ++stops;
    }
    bool SetExclusive(bool exclusive) override {
        exclusive_ = exclusive;
        return holds_ || !exclusive;
    }
    bool CanBeExclusive() const override { return true; }

    void Send(std::int32_t x, std::int32_t y, bool tip, bool side = false) {
        PenFrame f;
        f.x = x;
        f.y = y;
        f.moved = true;
        f.tip = tip;
        f.side = side;
        if (pen) pen->Frame(f);
    }

    std::optional<QueuedPadLink::Pen> pen;
    int starts = 0;
    int stops = 0;

  private:
    bool holds_;
    bool exclusive_ = false;
};

}  // namespace

// Every source's pen frames reach the window through this one path.
TEST(QueuedPadLink, picks_around_a_side_press_all_arrive) {
    QueuedPadLink pad;
    auto* input = new FrameInput;
    pad.AddInput(std::unique_ptr<PenInput>(input));
    AnsweringWindow window(pad);
    pad.PadlinkInit(&window, 0, 0);
    ExpectPicksAroundASidePressAllArrive(pad, window, [&] {
        input->Send(10, 10, true);
        input->Send(10, 10, false);
        input->Send(10, 10, false, true);
        input->Send(20, 20, false);
        input->Send(20, 20, true);
    });
}

// Inputs run from PadlinkInit to PadlinkClose; a stroke under way when its
// input stops ends there, without a point made up for it.
TEST(QueuedPadLink, inputs_follow_the_library_and_a_stopped_stroke_gives_no_end_point) {
    QueuedPadLink pad;
    auto* input = new FrameInput;
    pad.AddInput(std::unique_ptr<PenInput>(input));
    AnsweringWindow window(pad);
    EXPECT_EQ(input->starts, 0);
    pad.PadlinkSetMode(1);
    pad.PadlinkInit(&window, 0, 0);
    ASSERT_EQ(input->starts, 1);
    input->Send(1, 1, true);
    input->Send(2, 2, true);
    RunFor(0);
    pad.PadlinkClose();
    EXPECT_EQ(input->stops, 1);
    RunFor(0);
    EXPECT_EQ(window.Everything(), (Points{"1,1", "2,2"}));
}

TEST(QueuedPadLink, the_pen_is_held_only_where_every_input_holds_it) {
    QueuedPadLink none;
    EXPECT_FALSE(none.CanHoldPen());
    EXPECT_TRUE(none.SetPenExclusive(true)) << "nothing to hold, nothing failed";

    QueuedPadLink pad;
    pad.AddInput(std::make_unique<FrameInput>(true));
    pad.AddInput(std::make_unique<FrameInput>(false));
    EXPECT_TRUE(pad.CanHoldPen());
    EXPECT_FALSE(pad.SetPenExclusive(true));
    EXPECT_TRUE(pad.SetPenExclusive(false));
}

// Events lost while the tip went down: where it touched is unknown, so no
// point is made up, and the operator is told to pick it again.
TEST(QueuedPadLink, a_pick_lost_with_the_devices_events_is_said) {
    QueuedPadLink pad;
    auto* input = new FrameInput;
    pad.AddInput(std::unique_ptr<PenInput>(input));
    std::vector<TabletNotice::Kind> told;
    pad.SetNoticeSink([&](const TabletNotice& n) { told.push_back(n.kind); });
    AnsweringWindow window(pad);
    pad.PadlinkInit(&window, 0, 0);
    PenFrame resync;
    resync.x = resync.y = 5;
    resync.tip = resync.moved = resync.resync = true;
    input->pen->Frame(resync);
    RunFor(0);
    EXPECT_EQ(told, std::vector{TabletNotice::Kind::PointLost});
    EXPECT_TRUE(window.Everything().empty());
}
