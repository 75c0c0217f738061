// The evdev decoder fed with recordings of real drivers' event sequences
// (tests/data/*.evemu, commented frame by frame), through the pen tracker.

#include <gtest/gtest.h>
#include <linux/input.h>

#include <string>
#include <vector>

#include "EvdevDecoder.h"
#include "EvemuRecording.h"
#include "PenQueueText.h"
#include "PenTracker.h"
#include "QStringPrinter.h"

namespace {

using Points = std::vector<std::string>;

EvemuRecording Load(const char* name) {
    const QString path = QStringLiteral(KALVOR_TEST_DATA "/%1.evemu").arg(QLatin1String(name));
    EvemuRecording recording = EvemuRecording::Read(path);
    EXPECT_TRUE(recording.errors.empty()) << recording.errors.front().toStdString();
    EXPECT_FALSE(recording.events.empty()) << name;
    return recording;
}

// What the pen yields in one library mode when the whole recording is
// played through the decoder.
Points Play(const EvemuRecording& recording, std::int32_t mode) {
    PenQueue queue;
    PenTracker tracker(queue);
    tracker.SetMode(mode);
    EvdevDecoder decoder(tracker, recording.Axes());
    for (const EvemuRecording::Event& e : recording.events) decoder.Feed(e.type, e.code, e.value);
    return DrainAsText(queue);
}

struct Case {
    const char* recording;
    std::int32_t mode;
    Points expected;
};

}  // namespace

TEST(EvdevDecoder, recordings_give_the_contracts_points_in_both_modes) {
    const std::vector<Case> cases = {
        // A tap whose frames carry no X or Y; the leaving frame's zeroed axes
        // never become a point.
        {"wacom-pen-tap", 0, {"12000,8000!"}},
        {"wacom-pen-tap", 1, {"12000,8000", "12000,8000!"}},
        // Two strokes, the second released in the zeroed leaving frame.
        {"wacom-pen-strokes", 0, {"20000,15000!", "21010,15500!"}},
        {"wacom-pen-strokes",
         1,
         {"20000,15000", "20100,15000", "20200,15050", "20200,15050!", "21010,15500", "21010,15600",
          "21100,15600", "21100,15600!"}},
        // Both side switches while hovering, each once, after the tap.
        {"wacom-pen-side", 0, {"5000,5000!", "side", "side"}},
        {"wacom-pen-side", 1, {"5000,5000", "5000,5000!", "side", "side"}},
        // SYN_DROPPED mid-stroke: a lost release ends the stroke where the pen
        // was last seen; a resynchronised move is no point.
        {"wacom-pen-dropped", 0, {"30000,20000!", "31000,20600!"}},
        {"wacom-pen-dropped",
         1,
         {"30000,20000", "30100,20000", "30100,20000!", "31000,20600", "31100,20600", "31500,20700",
          "31500,20700!"}},
        // MSC_SCAN before every button; X starts at 200 and stays unscaled.
        {"hid-pen", 0, {"10300,5000!", "side"}},
        {"hid-pen", 1, {"10300,5000", "10300,5000!", "side"}},
        // No proximity ever reported: the pen returns far away, touching.
        {"hid-pen-no-proximity", 0, {"1000,1000!", "5000,3000!"}},
        {"hid-pen-no-proximity",
         1,
         {"1000,1000", "1005,1000", "1005,1000!", "5000,3000", "5100,3000", "5100,3000!"}},
        // Pucks: the first button is the tip, the second the side switch.
        {"wacom-lens", 0, {"15200,9000!", "15400,9300!", "side"}},
        {"hid-puck", 0, {"20000,20000!", "side"}},
        {"hid-puck", 1, {"20000,20000", "20100,20000", "20100,20100", "20100,20100!", "side"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Play(Load(c.recording), c.mode), c.expected)
            << c.recording << " in mode " << c.mode;
    }
}

TEST(EvdevDecoder, axes_come_from_the_device_as_they_are) {
    const EvemuRecording hid = Load("hid-pen");
    PenQueue queue;
    PenTracker tracker(queue);
    const EvdevDecoder decoder(tracker, hid.Axes());
    EXPECT_EQ(decoder.Axes().x.minimum, 200);
    EXPECT_EQ(decoder.Axes().x.maximum, 40200);
    EXPECT_EQ(decoder.Axes().y.maximum, 25000);
    EXPECT_EQ(decoder.Axes().ResolutionLine(),
              QStringLiteral("このタブレットの分解能: X 100 / Y 80 カウント/mm"));
    EXPECT_EQ(Load("hid-pen-no-proximity").Axes().ResolutionLine(), QString())
        << "a device without a resolution gets no line";
}

// Older kernels put a tablet's own buttons on the pen's node, as BTN_0 and
// up: they are no puck click while a pen, or nothing, is in proximity.
TEST(EvdevDecoder, numbered_buttons_without_a_puck_are_ignored) {
    PenQueue queue;
    PenTracker tracker(queue);
    EvdevDecoder decoder(tracker, {});
    const auto frame = [&](std::vector<std::pair<std::uint16_t, std::int32_t>> keys) {
        for (auto [code, value] : keys) decoder.Feed(EV_KEY, code, value);
        decoder.Feed(EV_ABS, ABS_X, 100);
        decoder.Feed(EV_SYN, SYN_REPORT, 0);
    };
    frame({{BTN_0, 1}, {BTN_1, 1}});
    frame({{BTN_0, 0}, {BTN_1, 0}, {BTN_TOOL_PEN, 1}});
    frame({{BTN_0, 1}, {BTN_1, 1}});
    frame({{BTN_0, 0}, {BTN_1, 0}});
    EXPECT_EQ(DrainAsText(queue), Points{});
}
