// The evdev tablet library between its event source and the window: one
// notification per batch, what a side press leaves unannounced, and the
// recording player's timing.

#include <gtest/gtest.h>
#include <linux/input.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

#include "AnsweringWindow.h"
#include "EvdevInput.h"
#include "EvemuPlayer.h"
#include "WintabPacketEvent.h"

namespace {

EvemuRecording Load(const char* name) {
    return EvemuRecording::Read(
        QStringLiteral(KALVOR_TEST_DATA "/%1.evemu").arg(QLatin1String(name)));
}

// A source the test plays by hand, all at once, before the loop runs, found
// in the state it is given when opened.
class ScriptedSource : public EvdevEventSource {
  public:
    explicit ScriptedSource(EvdevState state = {}, TabletAxes axes = {})
        : state_(std::move(state)), axes_(axes) {}
    QString Name() const override { return {}; }
    TabletAxes Axes() const override { return axes_; }
    EvdevState State() const override { return state_; }
    // Like a device node, it is opened once: stopped, it is closed.
    void Start(Sink sink, std::function<void()>) override {
        EXPECT_FALSE(closed_) << "started after it was closed";
        sink_ = std::move(sink);
    }
    void Stop() override {
        sink_ = nullptr;
        closed_ = true;
    }
    void Play(const std::vector<EvemuRecording::Event>& events) {
        for (const EvemuRecording::Event& e : events)
            if (sink_) sink_(e.type, e.code, e.value);
    }

  private:
    EvdevState state_;
    TabletAxes axes_;
    Sink sink_;
    bool closed_ = false;
};

// A library with one scripted source, opened in `mode`.
struct Scripted {
    explicit Scripted(std::int32_t mode, EvdevState state = {}, TabletAxes axes = {}) {
        auto owned = std::make_unique<ScriptedSource>(std::move(state), axes);
        source = owned.get();
        pad.AddInput(std::make_unique<EvdevInput>(std::move(owned)));
        pad.PadlinkSetMode(mode);
        pad.PadlinkInit(&window, 0, 0);
    }
    ScriptedSource* source = nullptr;
    QueuedPadLink pad;
    AnsweringWindow window{pad};
};

EvemuRecording::Event Ev(std::uint16_t type, std::uint16_t code, std::int32_t value) {
    return {0, type, code, value};
}
const EvemuRecording::Event kReport = Ev(EV_SYN, SYN_REPORT, 0);

}  // namespace

TEST(EvdevInput, one_notification_carries_whatever_arrived_since_the_last) {
    Scripted s(1);
    s.source->Play(Load("wacom-pen-strokes").events);  // two strokes, 10 frames
    RunFor(0);
    ASSERT_EQ(s.window.notifications.size(), 1u);
    EXPECT_EQ(s.window.notifications[0].count, 8);
    EXPECT_EQ(s.window.notifications[0].points.back(), "21100,15600!");
}

// Picks, the side switch and another pick arrive before the window runs: the
// picks are measured, then the figure ends, then the next pick starts anew.
TEST(EvdevInput, side_press_and_the_points_around_it_each_get_a_notification) {
    Scripted s(0);
    s.source->Play(Load("square-picked").events);
    s.source->Play(Load("wacom-pen-tap").events);
    RunFor(0);
    ASSERT_EQ(s.window.notifications.size(), 3u);
    EXPECT_EQ(s.window.notifications[0].count, 4);
    EXPECT_EQ(s.window.notifications[1].count, -1);
    EXPECT_EQ(s.window.notifications[2].points, Points{"12000,8000!"});
}

// Points the window leaves behind wait in the library and go out with the
// next frame the pen sends, as with a Wintab tablet.
TEST(EvdevInput, points_left_behind_go_out_with_the_next_frame) {
    Scripted s(0);
    s.window.takeAtMost = 1;
    s.source->Play(Load("hid-pen-no-proximity").events);  // two picks
    RunFor(0);
    ASSERT_EQ(s.window.notifications.size(), 1u);
    s.source->Play({{0, EV_ABS, ABS_X, 5200}, {0, EV_SYN, SYN_REPORT, 0}});
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
    RunFor(1100);
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

// 100 counts/mm across and 80 up (hid-pen.evemu): 10 mm either way is the
// same 1000 counts once Y is brought to X's count.
TEST(EvdevInput, unequal_axes_reach_the_window_in_one_count) {
    const TabletAxes axes{{0, 20000, 100}, {0, 16000, 80}};
    Scripted s(0, {0, 0, {BTN_TOOL_PEN}}, axes);
    s.source->Play({Ev(EV_ABS, ABS_X, 1000), Ev(EV_KEY, BTN_TOUCH, 1), kReport,
                    Ev(EV_KEY, BTN_TOUCH, 0), kReport, Ev(EV_ABS, ABS_X, 0), Ev(EV_ABS, ABS_Y, 800),
                    Ev(EV_KEY, BTN_TOUCH, 1), kReport});
    RunFor(0);
    EXPECT_EQ(s.window.Everything(), (Points{"1000,0!", "0,1000!"}));
}

TEST(EvdevInput, picks_around_a_side_press_all_arrive) {
    Scripted s(0, {0, 0, {BTN_TOOL_PEN}});
    ExpectPicksAroundASidePressAllArrive(s.pad, s.window, [&] {
        s.source->Play({Ev(EV_ABS, ABS_X, 10), Ev(EV_ABS, ABS_Y, 10), Ev(EV_KEY, BTN_TOUCH, 1),
                        kReport, Ev(EV_KEY, BTN_TOUCH, 0), kReport, Ev(EV_KEY, BTN_STYLUS, 1),
                        kReport, Ev(EV_KEY, BTN_STYLUS, 0), kReport, Ev(EV_ABS, ABS_X, 20),
                        Ev(EV_ABS, ABS_Y, 20), Ev(EV_KEY, BTN_TOUCH, 1), kReport,
                        Ev(EV_KEY, BTN_TOUCH, 0), kReport});
    });
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
    EXPECT_EQ(told, QStringLiteral("記録「pen.evemu」から再生するものがありません（イベントがありません）"));
}
