// The evdev tablet library between its event source and the window: one
// notification per batch, what a side press leaves unannounced, and the
// recording player's timing.

#include <gtest/gtest.h>
#include <linux/input.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

#include "EvdevPadLink.h"
#include "EvemuPlayer.h"
#include "PenQueueText.h"
#include "WintabPacketEvent.h"

namespace {

EvemuRecording Load(const char* name) {
    return EvemuRecording::Read(
        QStringLiteral(KALVOR_TEST_DATA "/%1.evemu").arg(QLatin1String(name)));
}

// A source the test plays by hand, all at once, before the loop runs.
class ScriptedSource : public EvdevEventSource {
  public:
    QString Name() const override { return {}; }
    TabletAxes Axes() const override { return {}; }
    void Start(Sink sink) override { sink_ = std::move(sink); }
    void Stop() override { sink_ = nullptr; }
    void Play(const std::vector<EvemuRecording::Event>& events) {
        for (const EvemuRecording::Event& e : events)
            if (sink_) sink_(e.type, e.code, e.value);
    }

  private:
    Sink sink_;
};

// Answers every packet as the tablet handler does, taking at most
// `takeAtMost` points (a two-point distance stops early), and keeps the
// count and the points of each notification, and when it came (ms).
class Window : public QObject {
  public:
    explicit Window(PadLink& pad) : pad_(pad) { clock.start(); }
    std::vector<std::pair<std::int32_t, Points>> notifications;
    std::vector<qint64> times;
    std::int32_t takeAtMost = INT32_MAX;
    QElapsedTimer clock;

    bool event(QEvent* e) override {
        if (e->type() != WintabPacketEvent::EventType()) return QObject::event(e);
        const std::int32_t n = pad_.PadlinkWintab(0, 0);
        Points points;
        for (std::int32_t i = 0; i < std::min(n, takeAtMost); ++i) {
            std::int32_t lx, ly, px, py, end;
            pad_.PadlinkGetData(0, lx, ly, px, py, end);
            points.push_back(PointText(px, py, end));
        }
        notifications.emplace_back(n, points);
        times.push_back(clock.elapsed());
        return true;
    }

  private:
    PadLink& pad_;
};

bool RunUntil(const std::function<bool()>& done, qint64 limitMs = 3000) {
    QElapsedTimer clock;
    clock.start();
    do QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    while (!done() && clock.elapsed() < limitMs);
    return done();
}
void RunFor(qint64 ms) {
    RunUntil([] { return false; }, ms);
}

struct Scripted {
    explicit Scripted(std::int32_t mode)
        : source(new ScriptedSource), pad(std::unique_ptr<ScriptedSource>(source)) {
        pad.PadlinkSetMode(mode);
        pad.PadlinkInit(&window, 0, 0);
    }
    ScriptedSource* source;
    EvdevPadLink pad;
    Window window{pad};
};

}  // namespace

TEST(EvdevPadLink, one_notification_carries_whatever_arrived_since_the_last) {
    Scripted s(1);
    s.source->Play(Load("wacom-pen-strokes").events);  // two strokes, 10 frames
    RunFor(0);
    ASSERT_EQ(s.window.notifications.size(), 1u);
    EXPECT_EQ(s.window.notifications[0].first, 8);
    EXPECT_EQ(s.window.notifications[0].second.back(), "21100,15600!");
}

// Picks, the side switch and another pick arrive before the window runs: the
// picks are measured, then the figure ends, then the next pick starts anew.
TEST(EvdevPadLink, side_press_and_the_points_around_it_each_get_a_notification) {
    Scripted s(0);
    s.source->Play(Load("square-picked").events);
    s.source->Play(Load("wacom-pen-tap").events);
    RunFor(0);
    ASSERT_EQ(s.window.notifications.size(), 3u);
    EXPECT_EQ(s.window.notifications[0].first, 4);
    EXPECT_EQ(s.window.notifications[1].first, -1);
    EXPECT_EQ(s.window.notifications[2].second, Points{"12000,8000!"});
}

// Points the window leaves behind wait in the library and go out with the
// next frame the pen sends, as with a Wintab tablet.
TEST(EvdevPadLink, points_left_behind_go_out_with_the_next_frame) {
    Scripted s(0);
    s.window.takeAtMost = 1;
    s.source->Play(Load("hid-pen-no-proximity").events);  // two picks
    RunFor(0);
    ASSERT_EQ(s.window.notifications.size(), 1u);
    s.source->Play({{0, EV_ABS, ABS_X, 5200}, {0, EV_SYN, SYN_REPORT, 0}});
    RunFor(0);
    ASSERT_EQ(s.window.notifications.size(), 2u);
    EXPECT_EQ(s.window.notifications[1].second, Points{"5000,3000!"});
}

// The first tap 5 ms after the start delay, the second 415 ms after it, as
// recorded; closing stops the rest (here a frame added a second
// after the end).
TEST(EvdevPadLink, recording_plays_in_real_time_until_closed) {
    constexpr int kStartDelayMs = 50;
    EvemuRecording recording = Load("hid-pen-no-proximity");
    recording.events.push_back({recording.events.back().timeUs + 1'000'000, EV_SYN, SYN_REPORT, 0});
    auto owned = std::make_unique<EvemuPlayer>(std::move(recording), kStartDelayMs);
    EvemuPlayer* player = owned.get();
    EvdevPadLink pad(std::move(owned));
    Window window(pad);
    pad.PadlinkInit(&window, 0, 0);
    ASSERT_TRUE(RunUntil([&] { return window.notifications.size() == 2; }));
    // Never early; how late depends on the machine's load.
    EXPECT_GE(window.times[0], kStartDelayMs + 5);
    EXPECT_GE(window.times[1], kStartDelayMs + 415);
    EXPECT_EQ(window.notifications[1].second, Points{"5000,3000!"});
    pad.PadlinkClose();
    RunFor(1100);
    EXPECT_GE(player->Remaining(), 1u);
}
