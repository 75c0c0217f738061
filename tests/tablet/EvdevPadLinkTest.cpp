// The evdev tablet library between its event source and the window: one
// notification per batch, the side press's own notification, the recording
// player's timing, and the device layer's read loop.

#include <gtest/gtest.h>
#include <libevdev/libevdev.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "EvdevDevice.h"
#include "EvdevPadLink.h"
#include "EvemuPlayer.h"
#include "EvemuRecording.h"
#include "QStringPrinter.h"
#include "WintabPacketEvent.h"

namespace {

using Points = std::vector<std::string>;

EvemuRecording Load(const char* name) {
    return EvemuRecording::Read(
        QStringLiteral(KALVOR_TEST_DATA "/%1.evemu").arg(QLatin1String(name)));
}

// A source the test plays by hand, all at once, before the loop runs.
class ScriptedSource : public EvdevEventSource {
  public:
    QString Name() const override { return QStringLiteral("scripted"); }
    TabletAxes Axes() const override { return {}; }
    void Start(Sink sink) override { sink_ = std::move(sink); }
    void Stop() override { sink_ = nullptr; }

    void Play(const EvemuRecording& recording) {
        for (const EvemuRecording::Event& e : recording.events)
            if (sink_) sink_(e.type, e.code, e.value);
    }
    bool Started() const { return static_cast<bool>(sink_); }

  private:
    Sink sink_;
};

// A window that, like the tablet handler, answers every packet: it asks how
// many points wait and takes them (at most `takeAtMost`, as a two-point
// distance stops early), keeping what each notification yielded.
class Window : public QObject {
  public:
    explicit Window(PadLink& pad) : pad_(pad) {}
    struct Notification {
        std::int32_t count;
        Points points;
    };
    std::vector<Notification> notifications;
    std::int32_t takeAtMost = INT32_MAX;
    QElapsedTimer clock;
    std::vector<qint64> times;

    bool event(QEvent* e) override {
        if (e->type() != WintabPacketEvent::EventType()) return QObject::event(e);
        Notification n{pad_.PadlinkWintab(0, 0), {}};
        for (std::int32_t i = 0; i < std::min(n.count, takeAtMost); ++i) {
            std::int32_t lx = 0, ly = 0, px = 0, py = 0, end = 0;
            pad_.PadlinkGetData(0, lx, ly, px, py, end);
            n.points.push_back(std::to_string(px) + "," + std::to_string(py) + (end ? "!" : ""));
        }
        notifications.push_back(n);
        times.push_back(clock.elapsed());
        return true;
    }

  private:
    PadLink& pad_;
};

void RunLoop(qint64 ms = 0) {
    QElapsedTimer clock;
    clock.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    } while (clock.elapsed() < ms);
}

bool RunUntil(const std::function<bool()>& done, qint64 limitMs = 3000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// An EvdevPadLink over a scripted source, initialised with a Window.
struct Scripted {
    explicit Scripted(std::int32_t mode) {
        auto owned = std::make_unique<ScriptedSource>();
        source = owned.get();
        pad = std::make_unique<EvdevPadLink>(std::move(owned));
        window = std::make_unique<Window>(*pad);
        pad->PadlinkSetMode(mode);
        pad->PadlinkInit(window.get(), 0, 0);
    }
    ScriptedSource* source;
    std::unique_ptr<EvdevPadLink> pad;
    std::unique_ptr<Window> window;
};

}  // namespace

TEST(EvdevPadLink, one_notification_carries_whatever_arrived_since_the_last) {
    Scripted s(1);
    ASSERT_TRUE(s.source->Started());
    s.source->Play(Load("wacom-pen-strokes"));  // two strokes, 10 frames
    RunLoop();
    ASSERT_EQ(s.window->notifications.size(), 1u);
    EXPECT_EQ(s.window->notifications[0].count, 8);
    EXPECT_EQ(s.window->notifications[0].points.back(), "21100,15600!");

    s.source->Play(Load("wacom-pen-tap"));
    RunLoop();
    ASSERT_EQ(s.window->notifications.size(), 2u);
    EXPECT_EQ(s.window->notifications[1].points, (Points{"12000,8000", "12000,8000!"}));
}

// Picks, the side switch and another pick arrive before the window runs: the
// picks are measured, then the figure ends, then the next pick starts anew.
TEST(EvdevPadLink, side_press_and_the_points_around_it_each_get_a_notification) {
    Scripted s(0);
    s.source->Play(Load("square-picked"));
    s.source->Play(Load("wacom-pen-tap"));
    RunLoop();
    ASSERT_EQ(s.window->notifications.size(), 3u);
    EXPECT_EQ(s.window->notifications[0].points,
              (Points{"10000,10000!", "10800,10000!", "10800,10800!", "10000,10800!"}));
    EXPECT_EQ(s.window->notifications[1].count, -1);
    EXPECT_EQ(s.window->notifications[2].points, (Points{"12000,8000!"}));
    EXPECT_EQ(s.pad->PadlinkWintab(0, 0), 0);
}

// Points the window leaves behind wait in the library and go out with the
// next frame the pen sends, as the notifications of a Wintab tablet would.
TEST(EvdevPadLink, points_left_behind_go_out_with_the_next_frame) {
    Scripted s(0);
    s.window->takeAtMost = 1;
    s.source->Play(Load("hid-pen-no-proximity"));  // two picks
    RunLoop();
    ASSERT_EQ(s.window->notifications.size(), 1u);
    EXPECT_EQ(s.window->notifications[0].count, 2);
    EXPECT_EQ(s.pad->PadlinkGetDataCnt(), 1);

    EvemuRecording hover;
    hover.events = {{0, EV_ABS, ABS_X, 5200}, {0, EV_SYN, SYN_REPORT, 0}};
    s.source->Play(hover);
    RunLoop();
    ASSERT_EQ(s.window->notifications.size(), 2u);
    EXPECT_EQ(s.window->notifications[1].points, (Points{"5000,3000!"}));
}

TEST(EvdevPadLink, close_stops_the_source_and_the_notifications) {
    Scripted s(0);
    s.pad->PadlinkClose();
    EXPECT_FALSE(s.source->Started());
    s.source->Play(Load("wacom-pen-tap"));
    RunLoop(50);
    EXPECT_TRUE(s.window->notifications.empty());
}

// The recording plays in real time: the first frame after the start delay,
// the tap after a 400 ms pause that much later.
TEST(EvdevPadLink, recording_plays_in_real_time_from_its_timestamps) {
    constexpr int kStartDelayMs = 50;
    auto owned = std::make_unique<EvemuPlayer>(Load("hid-pen-no-proximity"), kStartDelayMs);
    EvemuPlayer* player = owned.get();
    EvdevPadLink pad(std::move(owned));
    Window window(pad);
    window.clock.start();
    pad.PadlinkInit(&window, 0, 0);
    ASSERT_TRUE(RunUntil([&] { return window.notifications.size() == 2; }));
    EXPECT_EQ(window.notifications[0].points, (Points{"1000,1000!"}));
    EXPECT_EQ(window.notifications[1].points, (Points{"5000,3000!"}));
    EXPECT_GE(window.times[0], kStartDelayMs);
    EXPECT_GE(window.times[1] - window.times[0], 380);
    EXPECT_TRUE(RunUntil([&] { return player->Remaining() == 0; }));
    EXPECT_EQ(window.notifications.size(), 2u);
}

TEST(EvdevPadLink, closing_stops_a_recording_midway) {
    auto owned = std::make_unique<EvemuPlayer>(Load("hid-pen-no-proximity"), 0);
    EvemuPlayer* player = owned.get();
    EvdevPadLink pad(std::move(owned));
    Window window(pad);
    pad.PadlinkInit(&window, 0, 0);
    ASSERT_TRUE(RunUntil([&] { return window.notifications.size() == 1; }));
    pad.PadlinkClose();
    RunLoop(600);
    EXPECT_EQ(window.notifications.size(), 1u);
    EXPECT_GT(player->Remaining(), 0u);
}

namespace {

// One scripted answer of libevdev_next_event: the flags it expects, what it
// returns and the event it hands out.
struct Read {
    unsigned flags;
    int rc;
    std::uint16_t type = 0, code = 0;
    std::int32_t value = 0;
};

struct DrainCase {
    const char* name;
    std::vector<Read> reads;
    bool result;
    Points events;  // "type:code:value" as the sink saw them
};

constexpr unsigned kNormal = LIBEVDEV_READ_FLAG_NORMAL;
constexpr unsigned kSync = LIBEVDEV_READ_FLAG_SYNC;
constexpr int kOk = LIBEVDEV_READ_STATUS_SUCCESS;
constexpr int kSyncing = LIBEVDEV_READ_STATUS_SYNC;

}  // namespace

TEST(DrainEvdevEvents, reads_until_it_would_block_and_resynchronises_after_a_drop) {
    const std::vector<DrainCase> cases = {
        {"plain frames",
         {{kNormal, kOk, EV_ABS, ABS_X, 7}, {kNormal, kOk, EV_SYN, SYN_REPORT}, {kNormal, -EAGAIN}},
         true,
         {"3:0:7", "0:0:0"}},
        {"a drop, the sync events, then reading on",
         {{kNormal, kOk, EV_ABS, ABS_X, 7},
          {kNormal, kSyncing, EV_SYN, SYN_DROPPED},
          {kSync, kSyncing, EV_KEY, BTN_TOUCH, 0},
          {kSync, kSyncing, EV_ABS, ABS_X, 9},
          {kSync, kSyncing, EV_SYN, SYN_REPORT},
          {kSync, -EAGAIN},
          {kNormal, kOk, EV_ABS, ABS_Y, 3},
          {kNormal, -EAGAIN}},
         true,
         {"3:0:7", "0:3:0", "1:330:0", "3:0:9", "0:0:0", "3:1:3"}},
        {"unplugged", {{kNormal, kOk, EV_ABS, ABS_X, 7}, {kNormal, -ENODEV}}, false, {"3:0:7"}},
        {"unplugged while resynchronising",
         {{kNormal, kSyncing, EV_SYN, SYN_DROPPED}, {kSync, -ENODEV}},
         false,
         {"0:3:0"}},
    };
    for (const DrainCase& c : cases) {
        std::deque<Read> reads(c.reads.begin(), c.reads.end());
        Points seen;
        const bool result = DrainEvdevEvents(
            [&](unsigned flags, input_event& event) {
                if (reads.empty()) {
                    ADD_FAILURE() << c.name << ": read past the script";
                    return -EAGAIN;
                }
                const Read r = reads.front();
                reads.pop_front();
                EXPECT_EQ(flags, r.flags) << c.name;
                event.type = r.type;
                event.code = r.code;
                event.value = r.value;
                return r.rc;
            },
            [&](std::uint16_t type, std::uint16_t code, std::int32_t value) {
                seen.push_back(std::to_string(type) + ":" + std::to_string(code) + ":" +
                               std::to_string(value));
            });
        EXPECT_EQ(result, c.result) << c.name;
        EXPECT_EQ(seen, c.events) << c.name;
        EXPECT_TRUE(reads.empty()) << c.name;
    }
}
