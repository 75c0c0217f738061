// The evdev tablet library between its event source and the window: one
// notification per batch, the state at open, and the recording player's
// timing.

#include <gtest/gtest.h>
#include <linux/input.h>

#include "AnsweringWindow.h"
#include "tablet/evdev/EvdevInput.h"
#include "tablet/evdev/EvemuPlayer.h"
#include "ScriptedSource.h"

namespace {

EvemuRecording Load(const char* name) {
    return EvemuRecording::Read(
        QStringLiteral(KALVOR_TEST_DATA "/%1.evemu").arg(QLatin1String(name)));
}

// A library with one scripted source, opened in `mode`.
struct Scripted {
    explicit Scripted(std::int32_t mode, EvdevState state = {}) {
        auto owned = std::make_unique<ScriptedSource>(std::move(state));
        source = owned.get();
        pad.AddInput(std::make_unique<EvdevInput>(std::move(owned)));
        pad.PadlinkSetMode(mode);
        pad.PadlinkInit(&window, 0, 0);
    }
    ScriptedSource* source = nullptr;
    QueuedPadLink pad;
    AnsweringWindow window{pad};
};

}  // namespace

TEST(EvdevInput, one_notification_carries_whatever_arrived_since_the_last) {
    Scripted s(1);
    s.source->Play(Load("wacom-pen-strokes").events);  // two strokes, 10 frames
    RunFor(0);
    ASSERT_EQ(s.window.notifications.size(), 1u);
    EXPECT_EQ(s.window.notifications[0].count, 8);
    EXPECT_EQ(s.window.notifications[0].points.back(), "21100,15600!");
}

// Points the window leaves behind wait in the library and go out with the
// next frame the pen sends, as with a Wintab tablet.
TEST(EvdevInput, points_left_behind_go_out_with_the_next_frame) {
    Scripted s(0);
    s.window.takeAtMost = 1;
    s.source->Play(Load("hid-pen-no-proximity").events);  // two picks
    RunFor(0);
    ASSERT_EQ(s.window.notifications.size(), 1u);
    s.source->Play({Ev(EV_ABS, ABS_X, 5200), kReport});
    RunFor(0);
    ASSERT_EQ(s.window.notifications.size(), 2u);
    EXPECT_EQ(s.window.notifications[1].points, Points{"5000,3000!"});
}

// The first tap 5 ms after the start delay, the second 415 ms after it, as
// recorded; closing stops the rest (here a frame added a second
// after the end).
TEST(EvdevInput, recording_plays_in_real_time_until_closed) {
    constexpr int kStartDelayMs = 50;
    EvemuRecording recording = Load("hid-pen-no-proximity");
    recording.events.push_back({recording.events.back().timeUs + 1'000'000, EV_SYN, SYN_REPORT, 0});
    auto owned = std::make_unique<EvemuPlayer>(std::move(recording), kStartDelayMs);
    EvemuPlayer* player = owned.get();
    QueuedPadLink pad;
    pad.AddInput(std::make_unique<EvdevInput>(std::move(owned)));
    AnsweringWindow window(pad);
    pad.PadlinkInit(&window, 0, 0);
    ASSERT_TRUE(RunUntil([&] { return window.notifications.size() == 2; }));
    // Never early; how late depends on the machine's load.
    EXPECT_GE(window.notifications[0].atMs, kStartDelayMs + 5);
    EXPECT_GE(window.notifications[1].atMs, kStartDelayMs + 415);
    EXPECT_EQ(window.notifications[1].points, Points{"5000,3000!"});
    pad.PadlinkClose();
    ASSERT_TRUE(RunPast(1100));  // the added frame was due a second on
    EXPECT_GE(player->Remaining(), 1u);
}

// The kernel repeats nothing of what is held when a reader opens the node:
// what was there already is known only from the state at open.
TEST(EvdevInput, the_state_at_open_is_where_the_pen_starts) {
    struct Case {
        const char* name;
        std::int32_t mode;
        EvdevState atOpen;
        std::vector<EvemuRecording::Event> events;
        Points expected;
    };
    const std::vector<Case> cases = {
        // Hovering over the first corner, then a tap without moving.
        {"pen_hovering_taps_in_place",
         0,
         {1000, 2000, {BTN_TOOL_PEN}},
         {Ev(EV_KEY, BTN_TOUCH, 1), kReport, Ev(EV_KEY, BTN_TOUCH, 0), kReport},
         {"1000,2000!"}},
        // A puck lying on the tablet: its buttons count from the first click.
        {"puck_lying_clicks",
         0,
         {500, 600, {BTN_TOOL_MOUSE}},
         {Ev(EV_KEY, BTN_LEFT, 1), kReport, Ev(EV_KEY, BTN_LEFT, 0), kReport,
          Ev(EV_KEY, BTN_RIGHT, 1), kReport, Ev(EV_KEY, BTN_RIGHT, 0), kReport},
         {"500,600!", "side"}},
        // A tip already down: that press and the rest of its stroke are no
        // points; the next one is.
        {"tip_down_at_open_gives_nothing_until_lifted",
         1,
         {700, 700, {BTN_TOOL_PEN, BTN_TOUCH}},
         {Ev(EV_ABS, ABS_X, 800), kReport, Ev(EV_KEY, BTN_TOUCH, 0), kReport,
          Ev(EV_KEY, BTN_TOUCH, 1), kReport, Ev(EV_ABS, ABS_Y, 900), kReport,
          Ev(EV_KEY, BTN_TOUCH, 0), kReport},
         {"800,700", "800,900", "800,900!"}},
        // Nothing in proximity: the axes are where the last tool left, and
        // the next tool's first frame says where it is.
        {"nothing_there_then_a_pen_comes",
         0,
         {3000, 3000, {}},
         {Ev(EV_KEY, BTN_TOOL_PEN, 1), Ev(EV_ABS, ABS_X, 100), Ev(EV_ABS, ABS_Y, 200), kReport,
          Ev(EV_KEY, BTN_TOUCH, 1), kReport},
         {"100,200!"}},
    };
    for (const Case& c : cases) {
        Scripted s(c.mode, c.atOpen);
        s.source->Play(c.events);
        RunFor(0);
        EXPECT_EQ(s.window.Everything(), c.expected) << c.name;
    }
}

// A recording with no event says so when the window starts listening.
TEST(EvdevInput, a_source_with_nothing_to_play_says_why) {
    QueuedPadLink pad;
    pad.AddInput(std::make_unique<EvdevInput>(std::make_unique<EvemuPlayer>(
        EvemuRecording::Parse(QStringLiteral("N: Pen\n"), QStringLiteral("pen.evemu")))));
    QString told;
    pad.SetNoticeSink([&](const TabletNotice& n) { told = n.text; });
    AnsweringWindow window(pad);
    pad.PadlinkInit(&window, 0, 0);
    EXPECT_EQ(told, QStringLiteral(
                        "記録「pen.evemu」から再生するものがありません（イベントがありません）"));
}
