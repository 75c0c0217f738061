// The evdev decoder fed with recordings of real drivers' event sequences
// (tests/data/*.evemu, commented frame by frame), through the pen tracker.

#include <gtest/gtest.h>
#include <linux/input.h>

#include "AnsweringWindow.h"
#include "tablet/evdev/EvdevDecoder.h"
#include "tablet/evdev/EvemuRecording.h"
#include "QStringPrinter.h"

namespace {

// What the pen yields in one library mode from a whole recording.
Points Play(const char* name, std::int32_t mode) {
    const EvemuRecording recording =
        EvemuRecording::Read(QStringLiteral(KALVOR_TEST_DATA "/%1.evemu").arg(QLatin1String(name)));
    EXPECT_TRUE(recording.errors.empty() && !recording.events.empty()) << name;
    PenQueue queue;
    PenTracker tracker(queue);
    tracker.SetMode(mode);
    EvdevDecoder decoder([&](const PenFrame& f) { tracker.Frame(f); }, recording.Axes());
    for (const EvemuRecording::Event& e : recording.events) decoder.Feed(e.type, e.code, e.value);
    return DrainAsText(queue);
}

}  // namespace

TEST(EvdevDecoder, recordings_give_the_contracts_points_in_both_modes) {
    struct Case {
        const char* recording;
        std::int32_t mode;
        Points expected;
    };
    const std::vector<Case> cases = {
        // A tap whose frames carry no X or Y; the zeroed leaving frame is no point.
        {"wacom-pen-tap", 0, {"12000,8000!"}},
        {"wacom-pen-tap", 1, {"12000,8000", "12000,8000!"}},
        // Two strokes, the second released in the zeroed leaving frame.
        {"wacom-pen-strokes", 0, {"20000,15000!", "21010,15500!"}},
        {"wacom-pen-strokes",
         1,
         {"20000,15000", "20100,15000", "20200,15050", "20200,15050!", "21010,15500", "21010,15600",
          "21100,15600", "21100,15600!"}},
        // Both side switches while hovering, each once, after the tap.
        {"wacom-pen-side", 1, {"5000,5000", "5000,5000!", "side", "side"}},
        // SYN_DROPPED mid-stroke: a lost release ends the stroke where the pen
        // was last seen; a resynchronised move is no point.
        {"wacom-pen-dropped", 0, {"30000,20000!", "31000,20600!"}},
        {"wacom-pen-dropped",
         1,
         {"30000,20000", "30100,20000", "30100,20000!", "31000,20600", "31100,20600", "31500,20700",
          "31500,20700!"}},
        // MSC_SCAN before every button; X starts at 200 and stays as it is,
        // Y (80 counts/mm against X's 100) is brought to X's count.
        {"hid-pen", 1, {"10300,6250", "10300,6250!", "side"}},
        // No proximity ever reported: the pen returns far away, touching.
        {"hid-pen-no-proximity", 0, {"1000,1000!", "5000,3000!"}},
        {"hid-pen-no-proximity",
         1,
         {"1000,1000", "1005,1000", "1005,1000!", "5000,3000", "5100,3000", "5100,3000!"}},
        // Pucks: the first button is the tip, the second the side switch.
        {"wacom-lens", 0, {"15200,9000!", "15400,9300!", "side"}},
        {"hid-puck", 1, {"20000,20000", "20100,20000", "20100,20100", "20100,20100!", "side"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Play(c.recording, c.mode), c.expected) << c.recording << " in mode " << c.mode;
}

// Older kernels put a tablet's own buttons on the pen's node, as BTN_0 and
// up: they are no puck click while a pen, or nothing, is in proximity.
TEST(EvdevDecoder, numbered_buttons_without_a_puck_are_ignored) {
    PenQueue queue;
    PenTracker tracker(queue);
    EvdevDecoder decoder([&](const PenFrame& f) { tracker.Frame(f); }, {});
    for (const auto& [tool, pressed] : {std::pair{0, 1}, {0, 0}, {1, 1}, {1, 0}}) {
        decoder.Feed(EV_KEY, BTN_TOOL_PEN, tool);
        decoder.Feed(EV_KEY, BTN_0, pressed);
        decoder.Feed(EV_KEY, BTN_1, pressed);
        decoder.Feed(EV_ABS, ABS_X, 100);
        decoder.Feed(EV_SYN, SYN_REPORT, 0);
    }
    EXPECT_EQ(DrainAsText(queue), Points{});
}
